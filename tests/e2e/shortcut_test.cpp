// Outside the window: the desktop shortcut written at every start, and the browser of MORE GAMES and HELP.
#include "tests/e2e/board.h"
#include "tests/e2e/system.h"
#include "tests/e2e/tests.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

static const char kDescription[] = "Quorvant: open the boxes, beat the banker, win up to \xA3" "250,000";
static const char kMakersPage[] = "https://www.quorvant.example/";
static const char kBrowser[] = "iexplore.exe";
const int kBrowserTimeout = 15000;

static std::string ShortcutFile()
{
    return DesktopFolder() + "\\Quorvant.lnk";
}

static void RemoveShortcut()
{
    DeleteFileA(ShortcutFile().c_str());
    Require(!FileExists(ShortcutFile()), "cannot delete " + ShortcutFile());
}

// The names on the desktop that a shortcut of the game could bear.
static std::vector<std::string> GameShortcuts()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((DesktopFolder() + "\\Quorvant*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The shortcut leads to `exe` and carries the description, nothing else.
static void CheckShortcutLeadsTo(const std::string& exe, const std::string& when)
{
    if (!Check(FileExists(ShortcutFile()), when + ": no " + ShortcutFile()))
        return;
    Shortcut shortcut;
    std::string error;
    bool read = ReadShortcut(ShortcutFile(), &shortcut, &error);
    if (!Check(read, when + ": " + error))
        return;
    Check(SamePath(shortcut.target, exe),
          Format("%s: the shortcut leads to \"%s\", not to \"%s\"", when.c_str(), shortcut.target.c_str(), exe.c_str()));
    CheckText(shortcut.description, kDescription, when + ": description");
    CheckText(shortcut.arguments, "", when + ": arguments");
    CheckText(shortcut.workingDirectory, "", when + ": working directory");
}

static void StartAndClose(const std::string& exe, const std::string& when)
{
    Game game(exe);
    bool started = game.Start();
    Require(started, when + ": the game did not start: " + game.Error());
    CloseAndCheckExit(game);
}

static void CheckWrittenAtStart()
{
    RemoveShortcut();
    Game game;
    StartOrAbort(game);
    CheckShortcutLeadsTo(Config().gameExe, "first start");
    CloseAndCheckExit(game);
}

static void CheckRewrittenAtNextStart()
{
    StartAndClose(Config().gameExe, "first start");
    Require(FileExists(ShortcutFile()), "the first start wrote no shortcut");
    // An old date and a spoilt content: only a fresh write undoes both.
    HANDLE file = CreateFileA(ShortcutFile().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    Require(file != INVALID_HANDLE_VALUE, "cannot spoil the shortcut");
    DWORD written = 0;
    WriteFile(file, "not a link", 10, &written, nullptr);
    CloseHandle(file);
    SYSTEMTIME old = {2001, 1, 0, 1, 12, 0, 0, 0};
    FILETIME oldTime;
    SystemTimeToFileTime(&old, &oldTime);
    Require(SetLastWriteTime(ShortcutFile(), oldTime), "cannot date the shortcut back");

    StartAndClose(Config().gameExe, "second start");
    FILETIME now = {};
    Check(LastWriteTime(ShortcutFile(), &now) && CompareFileTime(&now, &oldTime) > 0,
          "the second start did not write the shortcut again");
    CheckShortcutLeadsTo(Config().gameExe, "second start");
    std::vector<std::string> names = GameShortcuts();
    std::string listed;
    for (const std::string& name : names)
        listed += " \"" + name + "\"";
    Check(names.size() == 1 && names[0] == "Quorvant.lnk",
          "the desktop should hold exactly \"Quorvant.lnk\" of the game; it holds" + listed);
}

// The program file copied to a folder of its own and started there, then
// moved on and started again: the shortcut follows it each time.
static void CheckFollowsTheProgram()
{
    std::string root = TempFolder() + "\\quorvant-e2e";
    std::string copied = root + "\\copied\\Quorvant.exe";
    std::string moved = root + "\\moved\\Quorvant.exe";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\copied").c_str(), nullptr);
    CreateDirectoryA((root + "\\moved").c_str(), nullptr);
    DeleteFileA(moved.c_str());
    bool done = CopyFileA(Config().gameExe.c_str(), copied.c_str(), FALSE) != 0;
    Require(done, Format("cannot copy the game to %s (error %lu)", copied.c_str(), GetLastError()));

    StartAndClose(copied, "started as a copy");
    CheckShortcutLeadsTo(copied, "started as a copy");
    done = MoveFileA(copied.c_str(), moved.c_str()) != 0;
    Require(done, Format("cannot move the copy to %s (error %lu)", moved.c_str(), GetLastError()));
    StartAndClose(moved, "started after a move");
    CheckShortcutLeadsTo(moved, "started after a move");

    // The original place again, for the cases after this one.
    StartAndClose(Config().gameExe, "started from the build again");
    DeleteFileA(moved.c_str());
    RemoveDirectoryA((root + "\\copied").c_str());
    RemoveDirectoryA((root + "\\moved").c_str());
    RemoveDirectoryA(root.c_str());
}

static void CheckComesBackAfterDeletion()
{
    StartAndClose(Config().gameExe, "first start");
    RemoveShortcut();
    StartAndClose(Config().gameExe, "start after the deletion");
    CheckShortcutLeadsTo(Config().gameExe, "start after the deletion");
}

static void CheckWithoutLinkObject()
{
    RemoveShortcut();
    {
        ShellLinkClassHidden hidden;
        Require(hidden.Hidden() && hidden.Error().empty(),
                "cannot take the shell link class away: " + hidden.Error());
        Game game;
        StartOrAbort(game);
        CheckFreshDisplays(game, "without the link object");
        CheckBoardAtHome(game, "without the link object");
        ChooseBox(game, 7);
        OpenOtherBox(game, 1);
        Check(!FileExists(ShortcutFile()), "a shortcut file was written without the link object");
        CloseAndCheckExit(game);
    }
    Check(CanCreateShellLink(), "the shell link class did not come back");
    StartAndClose(Config().gameExe, "start with the link object back");
    CheckShortcutLeadsTo(Config().gameExe, "start with the link object back");
}

// ---- the maker's page ----------------------------------------------------

struct BrowserRow {
    const char* name;
    int button;
};

static std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

static void CheckBrowser(const BrowserRow& row)
{
    Game game;
    StartOrAbort(game);
    ChooseBoxSeven(game);
    BoardState before = ReadBoard(game);
    std::set<DWORD> running = ProcessesNamed(kBrowser);

    ClickOrAbort(game, row.button);
    DWORD browser = 0;
    WaitFor(
        [&] {
            for (DWORD pid : ProcessesNamed(kBrowser))
                if (!running.count(pid))
                    browser = pid;
            return browser != 0;
        },
        kBrowserTimeout);
    if (Check(browser != 0, Format("no new %s within %d ms", kBrowser, kBrowserTimeout))) {
        ProcessStart start;
        std::string error;
        // A process seen at its birth may not have its start-up record in place yet.
        bool read = WaitFor([&] { return ReadProcessStart(browser, &start, &error); }, kStepTimeout, 100);
        if (Check(read, error)) {
            Check(start.commandLine.find(kMakersPage) != std::string::npos,
                  Format("the browser's command line \"%s\" lacks %s", start.commandLine.c_str(),
                         kMakersPage));
            Check(SamePath(WithoutTrailingSlash(start.currentDirectory), WindowsFolder()),
                  Format("the browser runs in \"%s\", not in the Windows folder \"%s\"",
                         start.currentDirectory.c_str(), WindowsFolder().c_str()));
            Check((start.startFlags & STARTF_USESHOWWINDOW) && start.showWindow == SW_SHOWMAXIMIZED,
                  Format("the browser is not started maximised (flags 0x%lX, show %lu)", start.startFlags, start.showWindow));
        }
        Check(EndProcess(browser), Format("the browser (process %lu) does not end", browser));
    }
    // A browser that started a second copy of itself leaves nothing behind either.
    for (DWORD pid : ProcessesNamed(kBrowser))
        if (!running.count(pid))
            EndProcess(pid);
    Check(game.Running(), "the game ended");
    HWND box = AnyMessageBox(game);
    Check(box == nullptr, Format("the game shows a message box \"%s\"",
                                 box ? Printable(WindowText(box)).c_str() : ""));
    for (const std::string& difference : CompareBoards(before, ReadBoard(game)))
        Check(false, difference);
    CloseAndCheckExit(game);
}

std::vector<TestCase> ShortcutTests()
{
    std::vector<TestCase> cases = {
        {"written at start, leading to the game", CheckWrittenAtStart},
        {"a second start leaves one shortcut, written afresh", CheckRewrittenAtNextStart},
        {"follows the program file when it is copied and moved", CheckFollowsTheProgram},
        {"a deleted shortcut comes back at the next start", CheckComesBackAfterDeletion},
        {"without the shell link object: plays, writes nothing", CheckWithoutLinkObject},
    };
    const BrowserRow kRows[] = {
        {"MORE GAMES", IDC_MORE_GAMES},
        {"HELP", IDC_HELP},
    };
    for (const BrowserRow& row : kRows)
        cases.push_back({std::string(row.name) + " starts the browser on the maker's page, game unchanged",
                         [row] { CheckBrowser(row); }});
    return cases;
}

}  // namespace e2e
