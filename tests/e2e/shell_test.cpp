// Outside the window: the desktop shortcut written at start, the maker's page opened by MORE GAMES and HELP, the
// libraries loaded for them, and the sound card, which plays NEW GAME's title sound while the window waits for it.
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

static const char kPage[] = "https://www.quorvant.example/";

static void CheckShortcutAndPage()
{
    wchar_t desktop[MAX_PATH] = L"", target[MAX_PATH] = L"", description[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    std::wstring path = desktop + std::wstring(L"\\Quorvant.lnk");
    DeleteFileW(path.c_str());
    Game game;
    Require(game.Start(), game.Error());
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    Require(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link))) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))), "no shell link object");
    // The shortcut is written once the first board is painted, just after the status shows. Its target is read as the
    // shell reads it to start it, from its item list (in UTF-16), not from its 8-bit copy of the path.
    LPITEMIDLIST list = nullptr;
    if (Check(WaitFor([&] { return SUCCEEDED(file->Load(path.c_str(), STGM_READ)); }, kStepTimeout), "no shortcut on the desktop"))
        link->GetIDList(&list), SHGetPathFromIDListW(list, target), CoTaskMemFree(list), link->GetDescription(description, MAX_PATH);
    file->Release(), link->Release();
    Check(lstrcmpiW(target, Wide(Config().gameExe).c_str()) == 0 && GetFileAttributesW(target) != INVALID_FILE_ATTRIBUTES,
          "the shortcut leads to \"" + Printable(Narrow(target)) + "\", not to the game");
    CheckText(Narrow(description), "QUORVANT: OPEN THE BOXES, BEAT THE BANKER, WIN UP TO \xA3" "250,000", "shortcut description");

    DWORD_PTR answered;   // after the first deal's title sound, where a sound card plays it
    Sleep(1000), SendMessageTimeoutW(game.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answered);
    std::vector<std::string> board = BoardLines(game);
    // The shell looks for iexplore.exe first in the folder the game names, Windows': there the stand-in notes how it started.
    std::wstring standIn(MAX_PATH, L'\0'), browser(MAX_PATH, L'\0'), note(MAX_PATH, L'\0');
    standIn.resize(GetModuleFileNameW(nullptr, &standIn[0], MAX_PATH)), standIn = standIn.substr(0, standIn.find_last_of(L'\\')) + L"\\iexplore.exe";
    browser.resize(GetWindowsDirectoryW(&browser[0], MAX_PATH)), browser += L"\\iexplore.exe";
    note.resize(GetTempPathW(MAX_PATH, &note[0])), note += L"browser.txt";
    Require(CopyFileW(standIn.c_str(), browser.c_str(), FALSE), "cannot put the stand-in browser in the Windows folder");
    for (int button : {IDC_MORE_GAMES, IDC_HELP}) {
        char line[1024] = "";
        FILE* file = nullptr;
        DeleteFileW(note.c_str());
        Require(game.Click(button), game.Error());
        if (WaitFor([&] { return (file = _wfopen(note.c_str(), L"r")) != nullptr; }, 15000))
            fgets(line, sizeof line, file), fclose(file);
        Check(strstr(line, kPage) && !strncmp(line, "show 3 ", 7), Format("button %d: the browser should come maximised (show 3) with %s: \"%s\"", button, kPage, line));
    }
    DeleteFileW(browser.c_str());
    Check(BoardLines(game) == board && !AnyMessageBox(game), "the web page changed the game");
    // Where libraries of the system's names lie beside the game (scripts/audio-e2e.sh plants them, with Windows' own
    // load order): after its shortcut, sounds and web page, every library in its process comes from the Windows folder,
    // and none beside it has left its mark, in this game or the sound group's before it.
    std::wstring exe = Wide(Config().gameExe), folder = exe.substr(0, exe.find_last_of(L'\\') + 1), windows(MAX_PATH, L'\0');
    if (GetFileAttributesW((folder + L"winmm.dll").c_str()) != INVALID_FILE_ATTRIBUTES) {
        windows.resize(GetWindowsDirectoryW(&windows[0], MAX_PATH)), windows += L"\\";
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, game.Pid());
        MODULEENTRY32W module = {sizeof module};
        for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module))
            Check(!lstrcmpiW(module.szExePath, exe.c_str()) || !_wcsnicmp(module.szExePath, windows.c_str(), windows.size()),
                  "the game loaded " + Narrow(module.szExePath));
        CloseHandle(snapshot);
        auto marked = [&](const std::wstring& name) { return DeleteFileW((folder + name + L".mark").c_str()) != FALSE; };   // and cleared
        for (const wchar_t* name : {L"winmm.dll", L"ole32.dll", L"shell32.dll"})
            Check(!marked(name), "code of the " + Narrow(name) + " beside the game ran");
        SetDllDirectoryW(folder.c_str()), FreeLibrary(LoadLibraryW(L"winmm.dll")), SetDllDirectoryW(nullptr);
        Check(marked(L"winmm.dll"), "a bare-name load does not take the planted winmm.dll here: the check proves nothing");
    }
    DWORD code = 0, pid = 0;
    Require(game.PostClose() && game.WaitExit(kExitTimeout, &code), "the game did not close");
    // Started as a player starts it, the shell following the shortcut: the game comes up again.
    HWND again = nullptr;
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    Check(WaitFor([&] { return (again = FindWindowW(L"#32770", L"QUORVANT - UK - \u00A3" L"250,000 JACKPOT")) != nullptr; }, kStartTimeout),
          "the shell cannot start the game from its shortcut");
    HANDLE process = GetWindowThreadProcessId(again, &pid) ? OpenProcess(PROCESS_TERMINATE, FALSE, pid) : nullptr;
    process && TerminateProcess(process, 0) && CloseHandle(process);
}

std::vector<TestCase> ShellTests() { return {{"the desktop shortcut, and MORE GAMES and HELP open the maker's page", CheckShortcutAndPage}}; }

// How long 8-bit unsigned samples (silence 128, 11025 a second) stay loud: first to last loud sample, in ms.
static double LoudMs(const std::string& samples)
{
    auto loud = [](char s) { return std::abs(static_cast<unsigned char>(s) - 128) >= 13; };
    auto first = std::find_if(samples.begin(), samples.end(), loud);
    auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
    return first < last ? (last - first) * 1000.0 / 11025 : 0;
}

static void TitleSound()
{
    HMODULE program = LoadLibraryExW(Wide(Config().gameExe).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(IDR_SOUND_BASE + 7), "WAVE");
    const char* wave = found ? static_cast<const char*>(LockResource(LoadResource(program, found))) : "";
    std::string data(wave, found ? SizeofResource(program, found) : 0);   // the samples follow "data" and a size
    std::string title = data.find("data") < data.size() ? data.substr(data.find("data") + 8) : "";
    Game game;
    Require(!title.empty() && game.Start(), "no title sound, or " + game.Error());
    Sleep(7000);   // the first deal plays the title sound too
    std::string error;
    HWND box = game.Click(IDC_NEW_GAME) ? WaitForMessageBox(game, "NEW GAME") : nullptr;
    std::streamoff before = std::ifstream(Config().recording, std::ios::binary | std::ios::ate).tellg();
    Require(box && AnswerMessageBox(box, IDYES, &error), "START AGAIN?: " + error + game.Error());
    DWORD held = 0;   // the longest the window takes to answer once is how long the sound held it
    for (DWORD start = GetTickCount(), asked; GetTickCount() - start < 9000; Sleep(10)) {
        DWORD_PTR ignored;
        asked = GetTickCount();
        SendMessageTimeoutA(game.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 15000, &ignored);
        held = std::max(held, GetTickCount() - asked);
    }
    std::ifstream sink(Config().recording, std::ios::binary);
    sink.seekg(before);
    double soundMs = title.size() / 11.025, heardMs = LoudMs(std::string(std::istreambuf_iterator<char>(sink), {}));
    Note(Format("held %lu ms by a sound of %.0f ms, loud for %.0f ms of it", held, soundMs, heardMs));
    Check(std::fabs(held - soundMs) < 700, "the window was not held for the sound's length");
    // The title sound is far the longest: another sound, or one cut short, stays loud for much less.
    Check(std::fabs(heardMs - LoudMs(title)) < 1000, "the recording is not loud for as long as the title sound");
}

std::vector<TestCase> SoundTests()
{
    return Config().recording.empty() ? std::vector<TestCase>() : std::vector<TestCase>{{"NEW GAME plays the title sound to its end", TitleSound}};
}

}  // namespace e2e
