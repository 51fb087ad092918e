// drive: plays a running program as a user would, for scripts and for people
// at a shell. Each command acts on a top-level window found by its title.
//
//   drive wait TITLE [MS]      wait until a visible window has that title
//   drive gone TITLE [MS]      wait until no window has that title
//   drive type TEXT            type the text with SendInput (into the focus)
//   drive key NAME             press enter, escape, tab or space
//   drive click TITLE ID       click the child control with that id
//   drive run EXE [ARGS]       start a program, wait for it, print its exit code
//
// Exit status 0 when the command did what it says, 1 on a timeout or error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/window_find.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: drive wait TITLE [MS] | gone TITLE [MS] | type TEXT | key NAME |\n"
                 "             click TITLE ID | run EXE [ARGS]\n");
    return 2;
}

void send_key(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// Types one byte: a key the keyboard layout has, else the byte as a character.
void type_byte(unsigned char c) {
    SHORT vk = VkKeyScanA(static_cast<char>(c));
    if (vk != -1 && c < 0x80) {
        bool shift = (vk & 0x100) != 0;
        if (shift) send_key(VK_SHIFT, false);
        send_key(static_cast<WORD>(vk & 0xFF), false);
        send_key(static_cast<WORD>(vk & 0xFF), true);
        if (shift) send_key(VK_SHIFT, true);
    } else {
        // A byte the layout has no key for arrives as WM_CHAR through the
        // focus window, the way an input method delivers it.
        HWND focus = focused_window();
        if (focus != nullptr) PostMessageA(focus, WM_CHAR, c, 1);
    }
    Sleep(5);
}

WORD key_named(const char* name) {
    if (std::strcmp(name, "enter") == 0) return VK_RETURN;
    if (std::strcmp(name, "escape") == 0) return VK_ESCAPE;
    if (std::strcmp(name, "tab") == 0) return VK_TAB;
    if (std::strcmp(name, "space") == 0) return VK_SPACE;
    return 0;
}

int run(int argc, char** argv) {
    std::string line = "\"" + std::string(argv[2]) + "\"";
    for (int i = 3; i < argc; ++i) line += " " + std::string(argv[i]);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "drive: cannot start %s (error %lu)\n", argv[2], GetLastError());
        return 1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::printf("exit code %lu\n", code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    std::string cmd = argv[1];
    DWORD ms = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 10000;
    if (cmd == "wait") return wait_for_window(argv[2], ms) != nullptr ? 0 : 1;
    if (cmd == "gone") return wait_for_no_window(argv[2], ms) ? 0 : 1;
    if (cmd == "type") {
        for (const char* p = argv[2]; *p; ++p) type_byte(static_cast<unsigned char>(*p));
        return 0;
    }
    if (cmd == "key") {
        WORD vk = key_named(argv[2]);
        if (vk == 0) return usage();
        send_key(vk, false);
        send_key(vk, true);
        return 0;
    }
    if (cmd == "click" && argc == 4) {
        HWND top = wait_for_window(argv[2], 10000);
        HWND control = top ? GetDlgItem(top, std::atoi(argv[3])) : nullptr;
        if (control == nullptr) return 1;
        return click_window(control) ? 0 : 1;
    }
    if (cmd == "run") return run(argc, argv);
    return usage();
}
