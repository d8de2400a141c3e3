// Outside the window: the desktop shortcut written at start, and the maker's page opened by MORE GAMES and HELP.
#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <set>

#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

static const char kPage[] = "https://www.quorvant.example/";

static std::set<DWORD> Browsers()
{
    std::set<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {sizeof entry};
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, "iexplore.exe") == 0) found.insert(entry.th32ProcessID);
    CloseHandle(snapshot);
    return found;
}

static std::string CommandLineOf(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    PROCESS_BASIC_INFORMATION basic = {};
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    std::wstring wide(1024, L'\0');
    bool ok = process && NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) >= 0 &&
              ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) &&
              ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, nullptr) &&
              ReadProcessMemory(process, parameters.CommandLine.Buffer, &wide[0], std::min<USHORT>(parameters.CommandLine.Length, 2046), nullptr);
    CloseHandle(process);
    return ok ? std::string(wide.begin(), wide.begin() + std::min(parameters.CommandLine.Length / 2, 1023)) : "<unreadable>";
}

static void CheckShortcutAndPage()
{
    char desktop[MAX_PATH] = "", target[MAX_PATH] = "", description[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    std::wstring path(desktop, desktop + strlen(desktop));
    DeleteFileW((path += L"\\Quorvant.lnk").c_str());
    Game game;
    Require(game.Start(), game.Error());
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    Require(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link))) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))), "no shell link object");
    // The shortcut is written once the first board is painted, just after the status shows.
    if (Check(WaitFor([&] { return SUCCEEDED(file->Load(path.c_str(), STGM_READ)); }, kStepTimeout), "no shortcut on the desktop"))
        link->GetPath(target, MAX_PATH, nullptr, 0), link->GetDescription(description, MAX_PATH);
    file->Release(), link->Release();
    Check(lstrcmpiA(target, Config().gameExe.c_str()) == 0, Format("the shortcut leads to \"%s\", not to the game", target));
    CheckText(description, "Quorvant: open the boxes, beat the banker, win up to \xA3" "250,000", "shortcut description");

    std::vector<std::string> board = BoardLines(game);
    for (int button : {IDC_MORE_GAMES, IDC_HELP}) {
        std::set<DWORD> before = Browsers();
        std::string line;
        DWORD browser = 0;
        Require(game.Click(button), game.Error());
        WaitFor([&] {
            for (DWORD pid : Browsers()) browser = before.count(pid) ? browser : pid;
            return browser && (line = CommandLineOf(browser)).find(kPage) != std::string::npos;
        }, 15000);
        Check(line.find(kPage) != std::string::npos, Format("button %d: no iexplore.exe with %s; command line \"%s\"", button, kPage, line.c_str()));
        for (DWORD pid : Browsers())
            if (HANDLE process = before.count(pid) ? nullptr : OpenProcess(PROCESS_TERMINATE, FALSE, pid))
                TerminateProcess(process, 0), CloseHandle(process);
    }
    Check(BoardLines(game) == board && !AnyMessageBox(game), "the web page changed the game");
    game.PostClose();
}

std::vector<TestCase> ShellTests() { return {{"the desktop shortcut, and MORE GAMES and HELP open the maker's page", CheckShortcutAndPage}}; }

}  // namespace e2e
