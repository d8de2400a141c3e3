// Outside the window: the desktop shortcut written at start, and the maker's page opened by MORE GAMES and HELP.
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <set>

#include "tests/e2e/check.h"
#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

static std::set<DWORD> Browsers()
{
    std::set<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {sizeof entry};
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, "iexplore.exe") == 0)
            found.insert(entry.th32ProcessID);
    CloseHandle(snapshot);
    return found;
}

// The command line a process was started with, from its process parameters:
// the PEB holds them at 4 pointers in, and they hold the line at 16 + 12 pointers.
static std::string CommandLineOf(DWORD pid)
{
    using Query = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    struct { LONG_PTR exitStatus; BYTE* peb; ULONG_PTR rest[4]; } basic = {};
    struct { USHORT length, maximum; WCHAR* text; } line = {};
    BYTE* parameters = nullptr;
    std::wstring wide(1024, L'\0');
    bool ok = process && query(process, 0, &basic, sizeof basic, nullptr) >= 0 &&
              ReadProcessMemory(process, basic.peb + 4 * sizeof(void*), &parameters, sizeof parameters, nullptr) &&
              ReadProcessMemory(process, parameters + 16 + 12 * sizeof(void*), &line, sizeof line, nullptr) &&
              ReadProcessMemory(process, line.text, &wide[0], std::min<size_t>(line.length, 2046), nullptr);
    if (process)
        CloseHandle(process);
    return ok ? std::string(wide.begin(), wide.begin() + std::min<size_t>(line.length / 2, 1023)) : "<unreadable>";
}

static void CheckShortcutAndPage()
{
    char desktop[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    std::string path = std::string(desktop) + "\\Quorvant.lnk";
    DeleteFileA(path.c_str());
    Game game;
    Require(game.Start(), game.Error());
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    WCHAR widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    char target[MAX_PATH] = "", description[MAX_PATH] = "";
    if (Check(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&link))), "no shell link object") &&
        Check(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                  SUCCEEDED(file->Load(widePath, STGM_READ)), "cannot load " + path)) {
        link->GetPath(target, MAX_PATH, nullptr, 0);
        link->GetDescription(description, MAX_PATH);
        Check(lstrcmpiA(target, Config().gameExe.c_str()) == 0, Format("the shortcut leads to %s, not to %s", target, Config().gameExe.c_str()));
        CheckText(description, "Quorvant: open the boxes, beat the banker, win up to \xA3" "250,000", "shortcut description");
    }
    file ? file->Release() : 0, link ? link->Release() : 0;

    std::vector<std::string> board = BoardLines(game);
    for (int button : {IDC_MORE_GAMES, IDC_HELP}) {
        std::set<DWORD> before = Browsers();
        Require(game.Click(button), game.Error());
        DWORD browser = 0;
        WaitFor([&] { for (DWORD pid : Browsers()) browser = before.count(pid) ? browser : pid; return browser != 0; }, 15000);
        if (Check(browser != 0, Format("button %d started no iexplore.exe", button))) {
            std::string line;
            WaitFor([&] { return (line = CommandLineOf(browser)).find("https://www.quorvant.example/") != std::string::npos; }, kStepTimeout);
            Check(line.find("https://www.quorvant.example/") != std::string::npos, Format("button %d: the browser's command line is \"%s\"", button, line.c_str()));
        }
        for (DWORD pid : Browsers())
            if (HANDLE process = before.count(pid) ? nullptr : OpenProcess(PROCESS_TERMINATE, FALSE, pid))
                TerminateProcess(process, 0), CloseHandle(process);
    }
    Check(BoardLines(game) == board && !AnyMessageBox(game), "the web page changed the game");
    game.PostClose();
}

std::vector<TestCase> ShellTests()
{
    return {{"the desktop shortcut, and MORE GAMES and HELP open the maker's page", CheckShortcutAndPage}};
}

}  // namespace e2e
