// File and folder pickers: the platform's common item dialog (open, save,
// choose a folder), owned by a dialog. Paths come and go as strings in the
// program's code page on the caller's string argument stack; the platform
// sees them in UTF-16, so no path is cut at 260 characters.
#include <shobjidl.h>
#include <windows.h>

#include "toolkit/toolkit_private.h"

namespace {

// The bytes of a UTF-16 text in the program's code page: how many there are,
// written to out when out is not null.
std::uint32_t narrow(const WCHAR* w, char* out, std::uint32_t room) {
    int n = WideCharToMultiByte(CP_ACP, 0, w, -1, out, static_cast<int>(room), nullptr, nullptr);
    return n > 0 ? static_cast<std::uint32_t>(n) - 1 : 0;  // without the terminator
}

// What a picker gives: its paths joined by line feeds, pushed as one string.
// A line feed can be part of no path, so the text splits back unambiguously.
struct Choice {
    HRESULT result = E_FAIL;
    IShellItemArray* items = nullptr;  // the open picker's
    IShellItem* item = nullptr;        // the save and folder pickers'
};

// Whether the UTF-16 text converts to the program's code page exactly, no
// character left out or replaced by a look-alike. UTF-8 holds every one.
bool converts_exactly(const WCHAR* w) {
    if (GetACP() == CP_UTF8) return true;
    BOOL replaced = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, -1, nullptr, 0, nullptr, &replaced) > 0 && !replaced;
}

// The file-system path of an item as the program's code page holds it, in
// the task allocator, or null. A code page such as 1252 would otherwise get
// look-alikes for the letters it lacks ("Omega.txt" for "Ωmega.txt"), a path
// of another file, so such a path is given by its short form when that
// converts exactly (a file that exists has one under Wine, in ASCII), and
// otherwise not at all.
PWSTR path_of(IShellItem* item) {
    PWSTR path = nullptr;
    if (item == nullptr || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) return nullptr;
    if (converts_exactly(path)) return path;
    DWORD room = GetShortPathNameW(path, nullptr, 0);
    auto* short_path = room != 0 ? static_cast<PWSTR>(CoTaskMemAlloc(room * sizeof(WCHAR))) : nullptr;
    DWORD n = short_path != nullptr ? GetShortPathNameW(path, short_path, room) : 0;
    CoTaskMemFree(path);
    if (n != 0 && n < room && converts_exactly(short_path)) return short_path;
    CoTaskMemFree(short_path);
    return nullptr;
}

// Pushes the chosen paths (the empty string for none) and gives their count.
// Cancelling records nothing; any other failure records error 5, and a result
// that could not be allocated error 7.
std::int32_t push_choice(ProcFrame& f, const Choice& c) {
    if (c.result == HRESULT_FROM_WIN32(ERROR_CANCELLED) || c.result == E_OUTOFMEMORY) {
        push_empty(f);
        if (c.result == E_OUTOFMEMORY) record_error(f, kOutOfMemory);
        return 0;
    }
    DWORD count = 0;
    if (SUCCEEDED(c.result) && c.items != nullptr) c.items->GetCount(&count);
    if (SUCCEEDED(c.result) && c.item != nullptr) count = 1;
    // Two passes over the paths: their length, then their bytes.
    std::uint64_t total = 0;
    StringAllocation s = {};
    bool failed = FAILED(c.result) || count == 0;
    for (int pass = 0; pass < 2 && !failed; ++pass) {
        std::uint64_t at = 0;
        for (DWORD i = 0; i < count && !failed; ++i) {
            IShellItem* item = c.item;
            if (c.items != nullptr && FAILED(c.items->GetItemAt(i, &item))) item = nullptr;
            PWSTR path = path_of(item);
            if (c.items != nullptr && item != nullptr) item->Release();
            if (path == nullptr) {
                failed = true;
                break;
            }
            if (i != 0) {
                if (pass == 1) s.bytes[at] = '\n';
                ++at;
            }
            std::uint32_t n = narrow(path, nullptr, 0);
            if (pass == 1) narrow(path, s.bytes + at, n + 1);
            at += n;
            CoTaskMemFree(path);
        }
        if (pass == 0 && !failed) {
            total = at;
            if (total == 0 || total > 0x7FFFFFFF) {
                failed = true;
                break;
            }
            s = allocate_string(static_cast<std::uint32_t>(total));
            if (s.failed()) {
                push_new_string(f, s);
                return 0;
            }
        }
    }
    if (failed) {
        free_string(s.handle);
        push_empty(f);
        record_error(f, kCallRefused);
        return 0;
    }
    push_handle(f, s.handle);
    return static_cast<std::int32_t>(count);
}

// "Text files|*.txt|All files|*.*" as the platform's list of filters; the
// last name without a pattern is dropped. Gives how many there are.
UINT filter_specs(WCHAR* filters, COMDLG_FILTERSPEC* specs, UINT room) {
    UINT n = 0;
    WCHAR* p = filters;
    while (*p != 0 && n < room) {
        WCHAR* name = p;
        while (*p != 0 && *p != L'|') ++p;
        if (*p == 0) break;
        *p++ = 0;
        WCHAR* pattern = p;
        while (*p != 0 && *p != L'|') ++p;
        if (*p != 0) *p++ = 0;
        specs[n++] = {name, pattern};
    }
    return n;
}

// The folder item of a path, or null when it names no folder of the file
// system. The path is made full first, as the platform's file functions
// read it ("/" is the root of the current drive): parsed as it is, a path
// that begins with "/" is an item of the Unix root to Wine's shell, which
// its picker takes but fails on (reading address 0) once the user chooses.
IShellItem* folder_item(const WCHAR* path) {
    DWORD room = path[0] != 0 ? GetFullPathNameW(path, 0, nullptr, nullptr) : 0;
    WideBuffer full(room);
    DWORD n = room != 0 && full.units() != nullptr ? GetFullPathNameW(path, room, full.units(), nullptr) : 0;
    DWORD attributes = n != 0 && n < room ? GetFileAttributesW(full.units()) : INVALID_FILE_ATTRIBUTES;
    IShellItem* item = nullptr;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        FAILED(SHCreateItemFromParsingName(full.units(), nullptr, IID_IShellItem, reinterpret_cast<void**>(&item))))
        return nullptr;
    return item;
}

enum class Picker { kOpen, kSave, kFolder };

// Shows one picker. filters and extension may be null; start names the folder
// the picker opens in or, for the save picker, the proposed file.
Choice show_picker(HWND owner, Picker kind, const Wide* filters, const Wide* extension, const Wide& start, bool many) {
    Choice c;
    IFileDialog* dialog = nullptr;
    c.result = kind == Picker::kSave ? CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                                        IID_IFileSaveDialog, reinterpret_cast<void**>(&dialog))
                                     : CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                                        IID_IFileOpenDialog, reinterpret_cast<void**>(&dialog));
    if (SUCCEEDED(c.result)) {
        FILEOPENDIALOGOPTIONS options = 0;
        dialog->GetOptions(&options);
        options |= FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
        if (kind == Picker::kOpen) options |= FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST;
        if (kind == Picker::kOpen && many) options |= FOS_ALLOWMULTISELECT;
        if (kind == Picker::kSave) options |= FOS_OVERWRITEPROMPT | FOS_PATHMUSTEXIST;
        if (kind == Picker::kFolder) options |= FOS_PICKFOLDERS | FOS_PATHMUSTEXIST;
        dialog->SetOptions(options);
        COMDLG_FILTERSPEC specs[32];
        if (filters != nullptr && !filters->empty()) {
            UINT n = filter_specs(filters->text(), specs, 32);
            if (n != 0) dialog->SetFileTypes(n, specs);
        }
        if (extension != nullptr && !extension->empty())
            dialog->SetDefaultExtension(extension->text()[0] == L'.' ? extension->text() + 1 : extension->text());
        if (kind == Picker::kSave && !start.empty()) {
            // A proposed path: its folder, when it has one, and its name.
            WCHAR* name = start.text();
            for (WCHAR* p = start.text(); *p != 0; ++p)
                if (*p == L'\\' || *p == L'/') name = p + 1;
            if (name != start.text()) {
                WCHAR kept = *name;
                *name = 0;
                if (IShellItem* folder = folder_item(start.text())) {
                    dialog->SetFolder(folder);
                    folder->Release();
                }
                *name = kept;
            }
            dialog->SetFileName(name);
        } else if (IShellItem* folder = folder_item(start.text())) {
            dialog->SetFolder(folder);
            folder->Release();
        }
        // The picker disables its owner while it is open and enables it
        // when it ends even when it had been disabled before (seen under
        // Wine): an owner kept disabled by a modal dialog of its own is
        // disabled again, so that dialog stays modal.
        HWND top = owner != nullptr ? GetAncestor(owner, GA_ROOT) : nullptr;
        bool was_disabled = top != nullptr && !IsWindowEnabled(top);
        c.result = dialog->Show(top);
        if (was_disabled) EnableWindow(top, FALSE);
        if (SUCCEEDED(c.result)) {
            if (kind == Picker::kOpen)
                c.result = static_cast<IFileOpenDialog*>(dialog)->GetResults(&c.items);
            else
                c.result = dialog->GetResult(&c.item);
        }
        dialog->Release();
    }
    return c;
}

// COM for the calling thread, as a single-threaded apartment when nobody has
// initialised it, for as long as a picker and what it chose live: the chosen
// items are read and released before the apartment ends, which may unload
// the code behind them.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

std::int32_t finish(ProcFrame& f, Choice c, std::uint32_t taken) {
    pop_string_args(f, taken);
    std::int32_t n = push_choice(f, c);
    if (c.items != nullptr) c.items->Release();
    if (c.item != nullptr) c.item->Release();
    return n;
}

}  // namespace

std::int32_t pick_open_file(ProcFrame& f, HWND owner, std::uint32_t flags) {
    ComApartment com;
    expect_string_args(f, 2, "pick_open_file");
    Wide filters(view_string(string_arg(f, 1)));
    Wide folder(view_string(string_arg(f, 0)));
    Choice c;
    if (filters.text() != nullptr && folder.text() != nullptr)
        c = show_picker(owner, Picker::kOpen, &filters, nullptr, folder, (flags & kPickMany) != 0);
    else
        c.result = E_OUTOFMEMORY;
    return finish(f, c, 2);
}

std::int32_t pick_save_file(ProcFrame& f, HWND owner) {
    ComApartment com;
    expect_string_args(f, 3, "pick_save_file");
    Wide filters(view_string(string_arg(f, 2)));
    Wide extension(view_string(string_arg(f, 1)));
    Wide proposed(view_string(string_arg(f, 0)));
    Choice c;
    if (filters.text() != nullptr && extension.text() != nullptr && proposed.text() != nullptr)
        c = show_picker(owner, Picker::kSave, &filters, &extension, proposed, false);
    else
        c.result = E_OUTOFMEMORY;
    return finish(f, c, 3);
}

std::int32_t pick_folder(ProcFrame& f, HWND owner) {
    ComApartment com;
    expect_string_args(f, 1, "pick_folder");
    Wide folder(view_string(string_arg(f, 0)));
    Choice c;
    if (folder.text() != nullptr)
        c = show_picker(owner, Picker::kFolder, nullptr, nullptr, folder, false);
    else
        c.result = E_OUTOFMEMORY;
    return finish(f, c, 1);
}
