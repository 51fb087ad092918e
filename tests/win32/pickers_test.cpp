// File and folder pickers on the real platform. Each picker is answered from
// a thread of the test's own as a user answers it: the path typed into its
// name box and its default button pressed, or Cancel.
#include <windows.h>

#include <string>
#include <thread>

#include "runtime/errors.h"
#include "tests/common/dialog_testing.h"

namespace {

std::wstring wide(const std::string& s) {
    std::wstring w(s.size() + 1, L'\0');
    w.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), static_cast<int>(w.size()))));
    return w;
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
    std::string typed;               // into the name box; empty: Cancel
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
            return;
        }
        std::wstring typed = wide(a.typed);
        SendMessageW(GetDlgItem(picker, 1152), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        PostMessageW(picker, WM_COMMAND, IDOK, 0);
        if (a.confirm_overwrite) {
            HWND question = wait_for_owned(picker, "question before overwriting");
            if (question != nullptr) PostMessageW(question, WM_COMMAND, IDYES, 0);
        }
    }
    bool owner_disabled_ = false;
    std::thread thread_;
};

class Pickers : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ShowWindow(dialog_, SW_SHOW);
        WCHAR temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"kw pickers " + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        for (const char* name : {"a.txt", "Ελληνικά.txt", "李雷.txt"}) {
            HANDLE h = CreateFileW(path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(h);
        }
    }
    void TearDown() override {
        for (const char* name : {"a.txt", "Ελληνικά.txt", "李雷.txt"}) DeleteFileW(path(name).c_str());
        RemoveDirectoryW(folder_.c_str());
        DialogTest::TearDown();
    }
    std::wstring path(const char* name) const { return folder_ + L"\\" + wide(name); }
    // The folder, or a path in it, as UTF-8 (the test program's code page).
    std::string utf8(const std::wstring& w) const {
        std::string s(w.size() * 4 + 1, '\0');
        s.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()),
                                                              s.data(), static_cast<int>(s.size()), nullptr, nullptr)));
        return s;
    }
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
    std::wstring folder_;
};

TEST_F(Pickers, OpenGivesTheTypedFileInEveryScriptAndDisablesItsOwner) {
    auto open = [this](ProcFrame& f) { return pick_open_file(f, dialog_, 0); };
    Outcome o = pick(open, {"Text files|*.txt|All files|*.*", utf8(folder_)}, {utf8(path("Ελληνικά.txt"))});
    EXPECT_EQ(o.text, utf8(path("Ελληνικά.txt")));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.error, 0);
    EXPECT_TRUE(o.owner_disabled) << "the owner is disabled while the picker is open";
    EXPECT_TRUE(IsWindowEnabled(dialog_)) << "and enabled again afterwards";
    // A name alone is found in the folder the picker opened in.
    o = pick(open, {"", utf8(folder_)}, {"李雷.txt"});
    EXPECT_EQ(o.text, utf8(path("李雷.txt")));
}

TEST_F(Pickers, OpenWithManyGivesEveryFileJoinedByLineFeeds) {
    auto open = [this](ProcFrame& f) { return pick_open_file(f, dialog_, kPickMany); };
    Outcome o = pick(open, {"", utf8(folder_)}, {"\"a.txt\" \"李雷.txt\""});
    EXPECT_EQ(o.result, 2);
    EXPECT_EQ(o.text, utf8(path("a.txt")) + "\n" + utf8(path("李雷.txt")));
}

TEST_F(Pickers, SaveAddsTheDefaultExtensionAndAsksBeforeOverwriting) {
    auto save = [this](ProcFrame& f) { return pick_save_file(f, dialog_); };
    Outcome o = pick(save, {"Text files|*.txt", "txt", utf8(path("new"))}, {"report"});
    EXPECT_EQ(o.text, utf8(path("report.txt")));
    EXPECT_EQ(o.result, 1);
    Answer overwrite = {"a.txt", true};
    o = pick(save, {"", ".txt", utf8(path("a.txt"))}, overwrite);
    EXPECT_EQ(o.text, utf8(path("a.txt"))) << "the question answered Yes";
}

TEST_F(Pickers, FolderGivesTheTypedFolder) {
    auto folder = [this](ProcFrame& f) { return pick_folder(f, dialog_); };
    Outcome o = pick(folder, {""}, {utf8(folder_)});
    EXPECT_EQ(o.text, utf8(folder_));
    EXPECT_EQ(o.result, 1);
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
    for (const auto& p : pickers) {
        SCOPED_TRACE(p.name);
        HWND d = dialog_;
        auto run = [&](ProcFrame& f) { return p.pick(f, d); };
        Outcome o = p.args == 1   ? pick(run, {"x"}, {})
                    : p.args == 2 ? pick(run, {"x", "y"}, {})
                                  : pick(run, {"x", "y", "z"}, {});
        EXPECT_EQ(o.text, "");
        EXPECT_EQ(o.result, 0);
        EXPECT_EQ(o.error, 0);
        EXPECT_EQ(live(), 0) << "the arguments freed";
    }
}

}  // namespace
