// message_box on the real platform: a watcher thread finds the box that the
// test thread shows, reads it, and presses one of its buttons.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "runtime/message_box.h"
#include "tests/common/string_testing.h"
#include "tests/common/win32_testing.h"

namespace {

struct SeenBox {
    bool found = false;
    std::string caption;
    std::string text;
    LONG exstyle = 0;
    LONG text_style = 0;
    bool has_yes = false;
};

std::string text_of(HWND w) {
    char buf[512] = {};
    int n = GetWindowTextA(w, buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

struct FindBox {
    HWND box;
};

BOOL CALLBACK find_dialog(HWND w, LPARAM p) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(w)) {
        reinterpret_cast<FindBox*>(p)->box = w;
        return FALSE;
    }
    return TRUE;
}

// Watches the thread that will show the box, and presses button `press`.
class BoxWatcher {
public:
    BoxWatcher(int press) : thread_id_(GetCurrentThreadId()), press_(press) {
        worker_ = std::thread([this] { watch(); });
    }
    ~BoxWatcher() { worker_.join(); }
    SeenBox result() {
        worker_.join();
        worker_ = std::thread([] {});
        return seen_;
    }

private:
    void watch() {
        FindBox f = {nullptr};
        for (int i = 0; i < 500 && f.box == nullptr; ++i) {
            EnumThreadWindows(thread_id_, find_dialog, reinterpret_cast<LPARAM>(&f));
            if (f.box == nullptr) Sleep(10);
        }
        if (f.box == nullptr) return;
        Sleep(20);  // let the box finish its own set-up
        seen_.found = true;
        seen_.caption = text_of(f.box);
        seen_.text = text_of(GetDlgItem(f.box, 0xFFFF));  // the box's message text
        seen_.exstyle = GetWindowLongA(f.box, GWL_EXSTYLE);
        seen_.text_style = GetWindowLongA(GetDlgItem(f.box, 0xFFFF), GWL_STYLE);
        seen_.has_yes = GetDlgItem(f.box, IDYES) != nullptr;
        PostMessageA(f.box, WM_COMMAND, MAKEWPARAM(press_, BN_CLICKED), 0);
    }

    DWORD thread_id_;
    int press_;
    SeenBox seen_;
    std::thread worker_;
};

constexpr auto pool = make_literal_pool("Hello Ann", "Title", "");
enum { kHelloAnn, kTitle, kEmpty };

using MessageBoxOnPlatform = StringRuntimeTest;

TEST_F(MessageBoxOnPlatform, EmptyCaptionGivesTheDefaultCaption) {
    BoxWatcher watcher(IDOK);
    ProcFrame f;
    push_literal(f, pool[kHelloAnn]);
    push_empty(f);
    std::int32_t result = message_box(f, 0);
    SeenBox seen = watcher.result();
    ASSERT_TRUE(seen.found) << "no message box appeared";
    EXPECT_EQ(seen.caption, "Kestrowane");
    EXPECT_EQ(seen.text, "Hello Ann");
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(live(), 0) << "the owned text is freed";
}

TEST_F(MessageBoxOnPlatform, BorrowedEmptyCaptionGivesTheDefaultCaptionAndBorrowedTextIsKept) {
    DynString text = make("kept");
    BoxWatcher watcher(IDOK);
    ProcFrame f;
    push_borrowed(f, text);
    push_borrowed(f, 0);
    message_box(f, 0);
    SeenBox seen = watcher.result();
    EXPECT_EQ(seen.caption, "Kestrowane");
    EXPECT_EQ(seen.text, "kept");
    EXPECT_EQ(bytes_of(text), "kept");
    EXPECT_EQ(f.strings.depth, 0u);
    free_string(text);
}

TEST_F(MessageBoxOnPlatform, CaptionOfOneZeroByteIsNotEmpty) {
    BoxWatcher watcher(IDOK);
    ProcFrame f;
    push_literal(f, pool[kHelloAnn]);
    push_copy(f, "\0", 1);
    message_box(f, 0);
    SeenBox seen = watcher.result();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "") << "a zero-length caption, not the default";
    EXPECT_EQ(live(), 0);
}

TEST_F(MessageBoxOnPlatform, GivenCaptionAndEmptyTextAreShown) {
    BoxWatcher watcher(IDOK);
    ProcFrame f;
    push_literal(f, pool[kEmpty]);
    push_literal(f, pool[kTitle]);
    message_box(f, 0);
    SeenBox seen = watcher.result();
    EXPECT_EQ(seen.caption, "Title");
    EXPECT_EQ(seen.text, "");
}

TEST_F(MessageBoxOnPlatform, TextWithEmbeddedZeroShowsTheBytesBeforeIt) {
    BoxWatcher watcher(IDOK);
    ProcFrame f;
    push_copy(f, "Hi\0there", 8);
    push_empty(f);
    message_box(f, 0);
    EXPECT_EQ(watcher.result().text, "Hi");
    EXPECT_EQ(live(), 0);
}

TEST_F(MessageBoxOnPlatform, ButtonPressedIsTheResult) {
    BoxWatcher watcher(IDNO);
    ProcFrame f;
    push_literal(f, pool[kHelloAnn]);
    push_empty(f);
    std::int32_t result = message_box(f, MB_YESNO | MB_ICONQUESTION);
    SeenBox seen = watcher.result();
    EXPECT_TRUE(seen.has_yes) << "style 0x24 reaches the platform unchanged";
    EXPECT_EQ(result, IDNO);
}

// Wine 8 shows no trace of any uType bit from 16 to 31 in the box it makes
// (each bit tried alone: same styles, same result), so the value that reaches
// the platform is read at the call itself: the test swaps this program's
// import slot of MessageBoxA for a recorder for the length of one call.
KW_IMPORT_SLOT(imported_message_box, MessageBoxA, 16);

UINT recorded_type;

UINT type_reaching_platform(std::uint32_t style) {
    // The recorder calls through the real function, which it keeps here.
    static int(WINAPI * real)(HWND, LPCSTR, LPCSTR, UINT);
    ImportSwap swap(imported_message_box, reinterpret_cast<void*>(+[](HWND o, LPCSTR t, LPCSTR c, UINT type) WINAPI {
                        recorded_type = type;
                        return real(o, t, c, type);
                    }));
    real = reinterpret_cast<decltype(real)>(swap.original());
    BoxWatcher watcher(IDYES);
    ProcFrame f;
    push_copy(f, "x", 1);
    push_empty(f);
    message_box(f, style);
    watcher.result();
    return recorded_type;
}

TEST_F(MessageBoxOnPlatform, StyleBitsAboveSixteenAreDropped) {
    EXPECT_EQ(type_reaching_platform(MB_TOPMOST), 0u);
    EXPECT_EQ(type_reaching_platform(0xFFFF0024u), 0x24u);
    EXPECT_EQ(type_reaching_platform(MB_YESNO | MB_ICONQUESTION), 0x24u);
}

// The beep is the platform's simple beep (0xFFFFFFFF), asked for once; the
// same swap of the import slot records what reaches the platform.
KW_IMPORT_SLOT(imported_message_beep, MessageBeep, 4);

std::vector<UINT> recorded_beeps;

TEST(Beep, AsksThePlatformForTheSimpleBeepOnce) {
    {
        ImportSwap swap(imported_message_beep, reinterpret_cast<void*>(+[](UINT type) WINAPI -> BOOL {
                            recorded_beeps.push_back(type);
                            return TRUE;
                        }));
        beep();
    }
    EXPECT_EQ(recorded_beeps, std::vector<UINT>{0xFFFFFFFFu});
}

}  // namespace
