// The game window's handles, its control table and stacking rule, the
// conversion of the game's texts for the wide functions, and the loading of
// system libraries.
#include "ui/window.h"

#include <map>

#include "resources/resource.h"

HINSTANCE appInstance = nullptr;
HWND dialogWindow = nullptr;

// Under Wine each GetDlgItem asks the window server for the list of the
// dialog's 83 children and then reads their identifiers; start-up addresses
// controls over three hundred times and every new game about 150. The
// controls live as long as the window, so their handles are listed once.
static HWND listedDialog = nullptr;
static std::map<int, HWND> controlHandles;

static BOOL CALLBACK ListControl(HWND control, LPARAM)
{
    controlHandles[GetDlgCtrlID(control)] = control;
    return TRUE;
}

HWND DialogControl(HWND dialog, int controlId)
{
    if (!dialog)
        return nullptr;
    if (dialog != listedDialog) {
        listedDialog = dialog;
        controlHandles.clear();
        EnumChildWindows(dialog, ListControl, 0);
    }
    auto found = controlHandles.find(controlId);
    return found != controlHandles.end() ? found->second : nullptr;
}

// The number on a box is its button, lying over the picture's label. Without
// sibling clipping the two paint in whatever order their repaints come, and
// under some systems the picture, painted last, hides the number. So every
// static and button clips its siblings (the template says so), and each
// button stays above its picture: the picture then leaves the button's
// rectangle alone whatever the order.
HWND StackedBelow(HWND dialog, int controlId)
{
    if (controlId >= IDC_BOX_PICTURE && controlId < IDC_BOX_PICTURE + BOX_COUNT)
        return DialogControl(dialog, controlId - IDC_BOX_PICTURE + IDC_BOX_BUTTON);
    return HWND_TOP;
}

// Code page 1252 is a fixed table on every system, whatever its own code page.
std::wstring WideText(const char* text)
{
    int length = MultiByteToWideChar(1252, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(1252, 0, text, -1, &wide[0], length);
    wide.resize(wide.size() - 1);   // the terminator, which std::wstring keeps itself
    return wide;
}

// The search flag keeps the game's folder out of the library's search and
// out of its dependencies' too. Systems without it (before Windows 8 lacking
// its update) do not all refuse it: Windows XP ignores the flag and searches
// the game's folder first. AddDllDirectory came with the flag, and its
// presence in kernel32 is the documented test. Elsewhere the full path to
// the system folder, with the altered search, which looks for the library's
// dependencies in that folder first, where the game's would come first.
static HMODULE LoadFromSystemFolder(const WCHAR* name)
{
    static const bool flagKnown =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    if (flagKnown)
        return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    WCHAR folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::wstring path = std::wstring(folder) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A library that is not there is not looked for again: the system folder
// does not change during a run.
HMODULE LoadSystemLibrary(const WCHAR* name)
{
    static std::map<std::wstring, HMODULE> loaded;
    auto found = loaded.find(name);
    if (found == loaded.end())
        found = loaded.emplace(name, LoadFromSystemFolder(name)).first;
    return found->second;
}
