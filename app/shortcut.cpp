// The desktop shortcut written at every start, and the maker's web page.
#include "app/app.h"

#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>

#include <cstring>

// One place for the address that MORE GAMES and HELP open.
static const char kMakersPage[] = "https://www.quorvant.example/";
static const char kShortcutDescription[] =
    "Quorvant: open the boxes, beat the banker, win up to \xA3" "250,000";

// Fills `path` with the desktop folder's path, a backslash, the name and
// ".lnk". False when the desktop cannot be had or the result would not fit:
// a shortcut saved under a cut-off name would be garbage on the desktop.
static bool ShortcutPath(HWND owner, const char* name, char* path, size_t pathSize)
{
    LPITEMIDLIST desktop = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_DESKTOP, &desktop)) || !desktop)
        return false;
    char folder[MAX_PATH];
    BOOL found = SHGetPathFromIDListA(desktop, folder);
    CoTaskMemFree(desktop);
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
    char path[1024];
    if (!ShortcutPath(owner, name, path, sizeof path))
        return;
    // The whole path, terminator included, must fit the wide buffer; the
    // conversion fails rather than truncate, and then nothing is saved.
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) == 0)
        return;

    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
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
    char windowsFolder[MAX_PATH];
    GetWindowsDirectoryA(windowsFolder, sizeof windowsFolder);
    ShellExecuteA(owner, "open", "iexplore.exe", kMakersPage, windowsFolder, SW_SHOWMAXIMIZED);
}
