// The desktop shortcut written at every start, the maker's web page, and
// their calls into the shell and component-model libraries.
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
// loaded when one of those first needs it; ole32's procedures are looked up
// the same way, in the copy that start-up loaded from the system folder.
static bool componentModelTried = false;
static bool componentModelEntered = false;

// Once per run, on this thread, before the first shell link object. S_FALSE,
// the model already entered on this thread, is a success too, and like S_OK
// is owed its CoUninitialize.
static void EnterComponentModel()
{
    if (componentModelTried)
        return;
    componentModelTried = true;
    auto coInitialize = SystemProc<decltype(&CoInitialize)>(L"ole32.dll", "CoInitialize");
    componentModelEntered = coInitialize && SUCCEEDED(coInitialize(nullptr));
}

void LeaveComponentModel()
{
    if (!componentModelEntered)
        return;
    if (auto coUninitialize = SystemProc<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize"))
        coUninitialize();
}

// Fills `path` with the desktop folder's path, a backslash, the name and
// ".lnk". False when the desktop cannot be had or the result would not fit:
// a shortcut saved under a cut-off name would be garbage on the desktop.
static bool ShortcutPath(HWND owner, const char* name, WCHAR (&path)[MAX_PATH])
{
    auto folderLocation = SystemProc<decltype(&SHGetSpecialFolderLocation)>(
        L"shell32.dll", "SHGetSpecialFolderLocation");
    auto pathFromList =
        SystemProc<decltype(&SHGetPathFromIDListW)>(L"shell32.dll", "SHGetPathFromIDListW");
    auto taskMemFree = SystemProc<decltype(&CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
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
    // A UTF-8 code page keeps every path. Asked there, the conversion would
    // refuse the question (UTF-8 takes neither the flag nor a used-default
    // answer) and leave `lost` false: the right answer, reached by failing.
    if (GetACP() == CP_UTF8)
        return path;
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
        SystemProc<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
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
    // The shell may hand the address to a component, which needs the
    // component model entered on this thread; the shortcut, written at the
    // first idle pump, has normally entered it already.
    EnterComponentModel();
    auto shellExecute = SystemProc<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (!shellExecute)
        return;
    WCHAR windowsFolder[MAX_PATH];
    GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    shellExecute(owner, L"open", L"iexplore.exe", WideText(kMakersPage).c_str(), windowsFolder,
                 SW_SHOWMAXIMIZED);
}
