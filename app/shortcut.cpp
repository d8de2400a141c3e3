// The desktop shortcut written at every start, the maker's web page, and the
// shell and component-model libraries that only these two need.
#include "app/app.h"

#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>

#include <string>

// One place for the address that MORE GAMES and HELP open.
static const char kMakersPage[] = "https://www.quorvant.example/";
static const char kShortcutDescription[] =
    "QUORVANT: OPEN THE BOXES, BEAT THE BANKER, WIN UP TO \xA3" "250,000";

// shell32 brings shcore and shlwapi with it: linked normally, Wine maps and
// initialises them before the first line of WinMain, and the board would
// wait for libraries that only the shortcut and the web page use. It is
// looked up when one of those first needs it, and so is ole32, which start-up
// has already taken from the system folder before the first window.
typedef HRESULT(WINAPI* CoInitializeProc)(LPVOID);
typedef void(WINAPI* CoUninitializeProc)();
typedef HRESULT(WINAPI* CoCreateInstanceProc)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
typedef void(WINAPI* CoTaskMemFreeProc)(LPVOID);
typedef HRESULT(WINAPI* SHGetSpecialFolderLocationProc)(HWND, int, LPITEMIDLIST*);
typedef BOOL(WINAPI* SHGetPathFromIDListWProc)(LPCITEMIDLIST, LPWSTR);
typedef HINSTANCE(WINAPI* ShellExecuteWProc)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

static HMODULE ole32 = nullptr;
static HMODULE shell32 = nullptr;
static bool componentModelEntered = false;

template <typename Proc>
static Proc LibraryProc(HMODULE* library, const WCHAR* libraryName, const char* procName)
{
    if (!*library)
        *library = LoadSystemLibrary(libraryName);
    if (!*library)
        return nullptr;
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(*library, procName)));
}

// Once per run, on this thread, before the first shell link object.
static void EnterComponentModel()
{
    if (componentModelEntered)
        return;
    componentModelEntered = true;
    if (auto coInitialize = LibraryProc<CoInitializeProc>(&ole32, L"ole32.dll", "CoInitialize"))
        coInitialize(nullptr);
}

void LeaveComponentModel()
{
    if (!componentModelEntered || !ole32)
        return;
    if (auto coUninitialize = LibraryProc<CoUninitializeProc>(&ole32, L"ole32.dll", "CoUninitialize"))
        coUninitialize();
}

// Fills `path` with the desktop folder's path, a backslash, the name and
// ".lnk". False when the desktop cannot be had or the result would not fit:
// a shortcut saved under a cut-off name would be garbage on the desktop.
static bool ShortcutPath(HWND owner, const char* name, WCHAR (&path)[MAX_PATH])
{
    auto folderLocation = LibraryProc<SHGetSpecialFolderLocationProc>(
        &shell32, L"shell32.dll", "SHGetSpecialFolderLocation");
    auto pathFromList =
        LibraryProc<SHGetPathFromIDListWProc>(&shell32, L"shell32.dll", "SHGetPathFromIDListW");
    auto taskMemFree = LibraryProc<CoTaskMemFreeProc>(&ole32, L"ole32.dll", "CoTaskMemFree");
    if (!folderLocation || !pathFromList || !taskMemFree)
        return false;
    LPITEMIDLIST desktop = nullptr;
    if (FAILED(folderLocation(owner, CSIDL_DESKTOP, &desktop)) || !desktop)
        return false;
    WCHAR folder[MAX_PATH];
    BOOL found = pathFromList(desktop, folder);
    taskMemFree(desktop);
    if (!found || folder[0] == L'\0')
        return false;
    std::wstring whole = std::wstring(folder) + L"\\" + WideText(name) + L".lnk";
    if (whole.size() >= MAX_PATH)
        return false;
    whole.copy(path, whole.size());
    path[whole.size()] = L'\0';
    return true;
}

// A shortcut keeps its target twice: as the shell's item list, in UTF-16,
// which Windows follows, and as an 8-bit copy in the system's code page,
// which other readers follow (Wine's own shell among them). Where the path
// does not survive that code page, the copy would lead to a folder of
// question marks; its short form, all ASCII where the volume keeps short
// names, leads to the same file on both.
static std::wstring ShellSafePath(const WCHAR* path)
{
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path, -1, nullptr, 0, nullptr, &lost);
    WCHAR shortPath[MAX_PATH];
    DWORD length = lost ? GetShortPathNameW(path, shortPath, MAX_PATH) : 0;
    return length > 0 && length < MAX_PATH ? shortPath : path;
}

void CreateDesktopShortcut(HWND owner, const char* name, const WCHAR* target)
{
    EnterComponentModel();
    WCHAR path[MAX_PATH];
    if (target[0] == L'\0' || !ShortcutPath(owner, name, path))
        return;
    auto createInstance =
        LibraryProc<CoCreateInstanceProc>(&ole32, L"ole32.dll", "CoCreateInstance");
    IShellLinkW* link = nullptr;
    if (!createInstance ||
        FAILED(createInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
        return;
    link->SetPath(ShellSafePath(target).c_str());
    link->SetDescription(WideText(kShortcutDescription).c_str());
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        file->Save(path, TRUE);
        file->Release();
    }
    link->Release();
}

void OpenMakersPage(HWND owner)
{
    // The browser is started in the component model the shortcut entered,
    // as it was when the model was entered at start-up.
    EnterComponentModel();
    auto shellExecute = LibraryProc<ShellExecuteWProc>(&shell32, L"shell32.dll", "ShellExecuteW");
    if (!shellExecute)
        return;
    WCHAR windowsFolder[MAX_PATH];
    GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    shellExecute(owner, L"open", L"iexplore.exe", WideText(kMakersPage).c_str(), windowsFolder,
                 SW_SHOWMAXIMIZED);
}
