// The desktop shortcut written at every start, the maker's web page, and the
// shell and component-model libraries that only these two need.
#include "app/app.h"

#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>

#include <cstring>

// One place for the address that MORE GAMES and HELP open.
static const char kMakersPage[] = "https://www.quorvant.example/";
static const char kShortcutDescription[] =
    "Quorvant: open the boxes, beat the banker, win up to \xA3" "250,000";

// ole32 and shell32 bring combase, rpcrt4, shcore and shlwapi with them:
// linked normally, Wine maps and initialises all six before the first line
// of WinMain, and the board would wait for libraries that only the shortcut
// and the web page use. They are loaded when one of those first needs them.
typedef HRESULT(WINAPI* CoInitializeProc)(LPVOID);
typedef void(WINAPI* CoUninitializeProc)();
typedef HRESULT(WINAPI* CoCreateInstanceProc)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
typedef void(WINAPI* CoTaskMemFreeProc)(LPVOID);
typedef HRESULT(WINAPI* SHGetSpecialFolderLocationProc)(HWND, int, LPITEMIDLIST*);
typedef BOOL(WINAPI* SHGetPathFromIDListAProc)(LPCITEMIDLIST, LPSTR);
typedef HINSTANCE(WINAPI* ShellExecuteAProc)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

static HMODULE ole32 = nullptr;
static HMODULE shell32 = nullptr;
static bool componentModelEntered = false;

template <typename Proc>
static Proc LibraryProc(HMODULE* library, const char* libraryName, const char* procName)
{
    if (!*library)
        *library = LoadLibraryA(libraryName);
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
    if (auto coInitialize = LibraryProc<CoInitializeProc>(&ole32, "ole32.dll", "CoInitialize"))
        coInitialize(nullptr);
}

void LeaveComponentModel()
{
    if (!componentModelEntered || !ole32)
        return;
    if (auto coUninitialize = LibraryProc<CoUninitializeProc>(&ole32, "ole32.dll", "CoUninitialize"))
        coUninitialize();
}

// Fills `path` with the desktop folder's path, a backslash, the name and
// ".lnk". False when the desktop cannot be had or the result would not fit:
// a shortcut saved under a cut-off name would be garbage on the desktop.
static bool ShortcutPath(HWND owner, const char* name, char* path, size_t pathSize)
{
    auto folderLocation = LibraryProc<SHGetSpecialFolderLocationProc>(
        &shell32, "shell32.dll", "SHGetSpecialFolderLocation");
    auto pathFromList =
        LibraryProc<SHGetPathFromIDListAProc>(&shell32, "shell32.dll", "SHGetPathFromIDListA");
    auto taskMemFree = LibraryProc<CoTaskMemFreeProc>(&ole32, "ole32.dll", "CoTaskMemFree");
    if (!folderLocation || !pathFromList || !taskMemFree)
        return false;
    LPITEMIDLIST desktop = nullptr;
    if (FAILED(folderLocation(owner, CSIDL_DESKTOP, &desktop)) || !desktop)
        return false;
    char folder[MAX_PATH];
    BOOL found = pathFromList(desktop, folder);
    taskMemFree(desktop);
    if (!found || folder[0] == '\0')
        return false;
    size_t needed = strlen(folder) + 1 + strlen(name) + strlen(".lnk") + 1;
    if (needed > pathSize)
        return false;
    strcpy(path, folder);
    strcat(path, "\\");
    strcat(path, name);
    strcat(path, ".lnk");
    return true;
}

void CreateDesktopShortcut(HWND owner, const char* name, const char* target)
{
    EnterComponentModel();
    char path[1024];
    if (!ShortcutPath(owner, name, path, sizeof path))
        return;
    // The whole path, terminator included, must fit the wide buffer; the
    // conversion fails rather than truncate, and then nothing is saved.
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) == 0)
        return;

    auto createInstance =
        LibraryProc<CoCreateInstanceProc>(&ole32, "ole32.dll", "CoCreateInstance");
    IShellLinkA* link = nullptr;
    if (!createInstance ||
        FAILED(createInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
        return;
    link->SetPath(target);
    link->SetDescription(kShortcutDescription);
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        file->Save(widePath, TRUE);
        file->Release();
    }
    link->Release();
}

void OpenMakersPage(HWND owner)
{
    // The browser is started in the component model the shortcut entered,
    // as it was when the model was entered at start-up.
    EnterComponentModel();
    auto shellExecute = LibraryProc<ShellExecuteAProc>(&shell32, "shell32.dll", "ShellExecuteA");
    if (!shellExecute)
        return;
    char windowsFolder[MAX_PATH];
    GetWindowsDirectoryA(windowsFolder, sizeof windowsFolder);
    shellExecute(owner, "open", "iexplore.exe", kMakersPage, windowsFolder, SW_SHOWMAXIMIZED);
}
