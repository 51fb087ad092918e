// File and folder pickers on the real platform. Each picker is answered from
// a thread of the test's own as a user answers it: the path typed into its
// name box and its default button pressed, or Cancel. Paths come back in the
// program's code page: UTF-8, or the system's ANSI code page (1252), each
// with names of its own letters (tests/common/code_page_texts.h).
#include <windows.h>

#include <string>
#include <thread>

#include "runtime/errors.h"
#include "tests/common/code_page_texts.h"
#include "tests/common/dialog_testing.h"

namespace {

// The files the folder holds, and the folder's own name (before the process
// id), each outside ASCII but for the first file.
const TextInCodePages kPlain = {{"a.txt", L"a.txt"}, {"a.txt", L"a.txt"}};
const TextInCodePages kGreek = {{"Ελληνικά.txt", L"Ελληνικά.txt"}, {"\xC4rger.txt", L"Ärger.txt"}};
const TextInCodePages kHan = {{"李雷.txt", L"李雷.txt"}, {"Zo\xEB \x80.txt", L"Zoë €.txt"}};
const TextInCodePages kFolderName = {{"kw pickers Café ", L"kw pickers Café "},
                                     {"kw pickers Caf\xE9 ", L"kw pickers Café "}};
// A name code page 1252 cannot hold (it has no "Ω"), and the name the
// platform's default conversion would make of it there.
const TextInCodePages kOmega = {{"Ωmega.txt", L"Ωmega.txt"}, {nullptr, L"Ωmega.txt"}};
const TextInCodePages kLookAlike = {{"Omega.txt", L"Omega.txt"}, {"Omega.txt", L"Omega.txt"}};
const TextInCodePages* const kFiles[] = {&kPlain, &kGreek, &kHan, &kOmega, &kLookAlike};

// The file a path opens, as its volume and index; 0 when it opens none.
std::uint64_t file_identity(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info = {};
    bool known = h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &info);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return known ? std::uint64_t{info.dwVolumeSerialNumber} << 40 ^ std::uint64_t{info.nFileIndexHigh} << 32 ^
                       info.nFileIndexLow
                 : 0;
}
std::uint64_t file_opened_by(const std::string& path) {
    return file_identity(
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
}
std::uint64_t file_opened_by(const std::wstring& path) {
    return file_identity(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
}

struct Owned {
    HWND owner;
    HWND found;
};

BOOL CALLBACK owned_window(HWND w, LPARAM lp) {
    auto* o = reinterpret_cast<Owned*>(lp);
    if (GetWindow(w, GW_OWNER) != o->owner || !IsWindowVisible(w)) return TRUE;
    o->found = w;
    return FALSE;
}

// The visible top-level window that owner owns, waited for up to 10 s.
HWND wait_for_owned(HWND owner, const char* what) {
    Owned o = {owner, nullptr};
    for (int i = 0; i < 1000 && o.found == nullptr; ++i) {
        EnumWindows(owned_window, reinterpret_cast<LPARAM>(&o));
        if (o.found == nullptr) Sleep(10);
    }
    EXPECT_NE(o.found, nullptr) << "no " << what << " appeared within 10 s";
    return o.found;
}

// How the answering thread answers the picker.
struct Answer {
    std::wstring typed;              // into the name box; empty: Cancel
    bool confirm_overwrite = false;  // a question follows the button: Yes
};

// Answers the picker that owner gets, from a thread of its own.
class Answerer {
public:
    Answerer(HWND owner, Answer a) : thread_([this, owner, a] { run(owner, a); }) {}
    ~Answerer() { join(); }
    bool owner_was_disabled() const { return owner_disabled_; }
    void join() {
        if (thread_.joinable()) thread_.join();
    }

private:
    void run(HWND owner, const Answer& a) {
        HWND picker = wait_for_owned(owner, "picker");
        if (picker == nullptr) return;
        owner_disabled_ = !IsWindowEnabled(owner);
        if (a.typed.empty()) {
            PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
        } else {
            SendMessageW(GetDlgItem(picker, 1152), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a.typed.c_str()));
            PostMessageW(picker, WM_COMMAND, IDOK, 0);
            if (a.confirm_overwrite) {
                HWND question = wait_for_owned(picker, "question before overwriting");
                if (question != nullptr) PostMessageW(question, WM_COMMAND, IDYES, 0);
            }
        }
        // A picker that refuses the answer (a name it cannot find shows a
        // message box of its own) would keep the test waiting: it is
        // cancelled, its boxes first, and the test fails.
        if (closed_within_10_s(picker)) return;
        ADD_FAILURE() << "the picker was still open 10 s after it was answered";
        for (int round = 0; round < 3 && IsWindow(picker); ++round) {
            Owned box = {picker, nullptr};
            EnumWindows(owned_window, reinterpret_cast<LPARAM>(&box));
            PostMessageW(box.found != nullptr ? box.found : picker, WM_COMMAND, IDCANCEL, 0);
            closed_within_10_s(box.found != nullptr ? box.found : picker);
        }
    }
    static bool closed_within_10_s(HWND window) {
        for (int i = 0; i < 1000 && IsWindow(window); ++i) Sleep(10);
        return !IsWindow(window);
    }
    bool owner_disabled_ = false;
    std::thread thread_;
};

class Pickers : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ShowWindow(dialog_, SW_SHOW);
        // The temporary folder's path is ASCII here, the same bytes in
        // either code page.
        char temp[MAX_PATH];
        WCHAR wide_temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        GetTempPathW(MAX_PATH, wide_temp);
        std::string pid = std::to_string(GetCurrentProcessId());
        folder_ = std::string(temp) + kFolderName.here().bytes + pid;
        wide_folder_ = std::wstring(wide_temp) + kFolderName.here().wide + std::wstring(pid.begin(), pid.end());
        ASSERT_TRUE(CreateDirectoryW(wide_folder_.c_str(), nullptr)) << GetLastError();
        for (const TextInCodePages* name : kFiles) {
            HANDLE h = CreateFileW(wide_path(*name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
            CloseHandle(h);
        }
    }
    void TearDown() override {
        for (const TextInCodePages* name : kFiles) DeleteFileW(wide_path(*name).c_str());
        RemoveDirectoryW(wide_folder_.c_str());
        DialogTest::TearDown();
    }
    // A file in the folder: its path in the program's code page, and in UTF-16.
    std::string path(const TextInCodePages& name) const { return path(name.here().bytes); }
    std::string path(const char* name) const { return folder_ + "\\" + name; }
    std::wstring wide_path(const TextInCodePages& name) const { return wide_folder_ + L"\\" + name.here().wide; }
    // Runs a picker with its string arguments, answered as given; the pushed
    // text, the result and the error word.
    struct Outcome {
        std::string text;
        std::int32_t result;
        std::uint16_t error;
        bool owner_disabled;
    };
    template <typename Pick>
    Outcome pick(Pick picker, std::initializer_list<std::string> args, Answer a) {
        ProcFrame f;
        for (const std::string& s : args) push_copy(f, s.data(), static_cast<std::uint32_t>(s.size()));
        Outcome o;
        {
            Answerer answerer(dialog_, a);
            o.result = picker(f);
            answerer.join();
            o.owner_disabled = answerer.owner_was_disabled();
        }
        EXPECT_EQ(f.strings.depth, 1u) << "the arguments taken and one result pushed";
        o.text = bytes_of(string_arg(f, 0));
        o.error = f.error_word;
        pop_string(f);
        return o;
    }
    std::string folder_;        // in the program's code page
    std::wstring wide_folder_;  // the same in UTF-16
};

TEST_F(Pickers, OpenGivesTheTypedFileInEveryScriptAndDisablesItsOwner) {
    auto open = [this](ProcFrame& f) { return pick_open_file(f, dialog_, 0); };
    Outcome o = pick(open, {"Text files|*.txt|All files|*.*", folder_}, {wide_path(kGreek)});
    EXPECT_EQ(o.text, path(kGreek));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.error, 0);
    EXPECT_TRUE(o.owner_disabled) << "the owner is disabled while the picker is open";
    EXPECT_TRUE(IsWindowEnabled(dialog_)) << "and enabled again afterwards";
    // A name alone is found in the folder the picker opened in.
    o = pick(open, {"", folder_}, {kHan.here().wide});
    EXPECT_EQ(o.text, path(kHan));
}

TEST_F(Pickers, OpenWithManyGivesEveryFileJoinedByLineFeeds) {
    auto open = [this](ProcFrame& f) { return pick_open_file(f, dialog_, kPickMany); };
    Outcome o = pick(open, {"", folder_}, {L"\"a.txt\" \"" + std::wstring(kHan.here().wide) + L"\""});
    EXPECT_EQ(o.result, 2);
    EXPECT_EQ(o.text, path(kPlain) + "\n" + path(kHan));
}

TEST_F(Pickers, SaveAddsTheDefaultExtensionAndAsksBeforeOverwriting) {
    auto save = [this](ProcFrame& f) { return pick_save_file(f, dialog_); };
    Outcome o = pick(save, {"Text files|*.txt", "txt", path("new")}, {L"report"});
    EXPECT_EQ(o.text, path("report.txt"));
    EXPECT_EQ(o.result, 1);
    Answer overwrite = {L"a.txt", true};
    o = pick(save, {"", ".txt", path(kPlain)}, overwrite);
    EXPECT_EQ(o.text, path(kPlain)) << "the question answered Yes";
}

TEST_F(Pickers, FolderGivesTheTypedFolder) {
    auto folder = [this](ProcFrame& f) { return pick_folder(f, dialog_); };
    Outcome o = pick(folder, {""}, {wide_folder_});
    EXPECT_EQ(o.text, folder_);
    EXPECT_EQ(o.result, 1);
}

// Converted as the platform converts by default, "Ωmega.txt" would come back
// in code page 1252 as "Omega.txt" (under Wine), which names another file
// here. A path that the code page cannot hold comes back in a form that opens
// the chosen file (its short form), or not at all: a new file of such a name
// has none.
TEST_F(Pickers, PathsOutsideTheCodePageNameTheChosenFileOrNone) {
    const bool utf8 = GetACP() == CP_UTF8;
    auto open = [this](ProcFrame& f) { return pick_open_file(f, dialog_, 0); };
    Outcome o = pick(open, {"", folder_}, {kOmega.here().wide});
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.error, 0);
    ASSERT_NE(file_opened_by(wide_path(kOmega)), 0u);
    EXPECT_EQ(file_opened_by(o.text), file_opened_by(wide_path(kOmega))) << o.text << " opens the chosen file";
    if (utf8) {
        EXPECT_EQ(o.text, path(kOmega));
    }
    auto save = [this](ProcFrame& f) { return pick_save_file(f, dialog_); };
    o = pick(save, {"", "", path("new")}, {L"Ωnew.txt"});
    EXPECT_EQ(o.text, utf8 ? path("Ωnew.txt") : "");
    EXPECT_EQ(o.result, utf8 ? 1 : 0);
    EXPECT_EQ(o.error, utf8 ? 0 : kErrorPending + kCallRefused);
}

// A start that names no folder (a file, a path of the Unix root that Wine's
// shell reads as a folder its picker then fails on once the user chooses)
// leaves the picker where the platform opens it, and the path typed is chosen.
TEST_F(Pickers, AStartThatNamesNoFolderLeavesThePickerWhereItOpens) {
    auto open = [this](ProcFrame& f) { return pick_open_file(f, dialog_, 0); };
    auto save = [this](ProcFrame& f) { return pick_save_file(f, dialog_); };
    auto folder = [this](ProcFrame& f) { return pick_folder(f, dialog_); };
    for (const std::string& start : {std::string("/"), std::string("/tmp"), path(kPlain)}) {
        SCOPED_TRACE(start);
        EXPECT_EQ(pick(open, {"", start}, {wide_path(kPlain)}).text, path(kPlain));
        EXPECT_EQ(pick(folder, {start}, {wide_folder_}).text, folder_);
        EXPECT_EQ(pick(save, {"", "", start + "/new.txt"}, {wide_folder_ + L"\\new.txt"}).text, path("new.txt"));
    }
}

TEST_F(Pickers, CancelledPickersGiveTheEmptyStringAndNoError) {
    const struct {
        const char* name;
        std::int32_t (*pick)(ProcFrame&, HWND);
        int args;
    } pickers[] = {
        {"open", [](ProcFrame& f, HWND d) { return pick_open_file(f, d, kPickMany); }, 2},
        {"save", pick_save_file, 3},
        {"folder", pick_folder, 1},
    };
    // An owner disabled before (by a modal dialog of its own, say) stays
    // disabled afterwards, so that dialog stays modal.
    for (bool disabled : {false, true}) {
        for (const auto& p : pickers) {
            SCOPED_TRACE(std::string(p.name) + (disabled ? ", owner disabled" : ""));
            HWND d = dialog_;
            EnableWindow(d, !disabled);
            auto run = [&](ProcFrame& f) { return p.pick(f, d); };
            Outcome o = p.args == 1   ? pick(run, {"x"}, {})
                        : p.args == 2 ? pick(run, {"x", "y"}, {})
                                      : pick(run, {"x", "y", "z"}, {});
            EXPECT_EQ(o.text, "");
            EXPECT_EQ(o.result, 0);
            EXPECT_EQ(o.error, 0);
            EXPECT_EQ(live(), 0) << "the arguments freed";
            EXPECT_EQ(IsWindowEnabled(d) == FALSE, disabled) << "the owner as it was before";
        }
    }
    EnableWindow(dialog_, TRUE);
}

}  // namespace
