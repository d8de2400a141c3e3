// The end-to-end driver: starts the real game, plays it through its window, and reports.
//   quorvant_e2e --game PATH --shots DIR [--timeout SECONDS] [--only TEXT] [GROUP...]
// GROUP is window, newgame, shortcut, game, artwork, sound, storm, closing or session;
// all run when none is named.
// --only runs just the cases whose names contain TEXT.
// --recording PATH names the recording of the sound card that the sound group reads.
// --soak-minutes N runs the long forms of storm, closing and session (the storm
// for N minutes); --seed N replays their random choices.
#include <windows.h>
#include <objbase.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/reliability.h"
#include "tests/e2e/system.h"
#include "tests/e2e/tests.h"

namespace {

const e2e::TestGroup kGroups[] = {
    {"window", e2e::WindowTests},
    {"newgame", e2e::NewGameTests},
    {"shortcut", e2e::ShortcutTests},
    {"game", e2e::GameTests},
    {"artwork", e2e::ArtworkTests},
    // Runs only with --recording, from scripts/audio-e2e.sh.
    {"sound", e2e::SoundTests},
    {"storm", e2e::StormTests},
    {"closing", e2e::ClosingTests},
    {"session", e2e::SessionTests},
};

DWORD watchdogSeconds = 900;

// Nothing may hang the run: past its time the driver ends the games it
// started and exits, counting the case that was running as failed.
DWORD WINAPI Watchdog(LPVOID)
{
    Sleep(watchdogSeconds * 1000);
    printf("watchdog: the run took over %lu s; ending it\n", watchdogSeconds);
    e2e::AbortRun("ended by the watchdog");
    return 0;
}

int Usage()
{
    fprintf(stderr, "usage: quorvant_e2e --game PATH --shots DIR [--timeout SECONDS] [--only TEXT] [--recording PATH] [--soak-minutes N] [--seed N] [window|newgame|shortcut|game|artwork|sound|storm|closing|session]...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    // Plain \n line ends, unbuffered: the script reads the summary line as it is.
    _setmode(_fileno(stdout), _O_BINARY);
    setvbuf(stdout, nullptr, _IONBF, 0);
    std::vector<std::string> groups;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--game" && i + 1 < argc)
            e2e::Config().gameExe = argv[++i];
        else if (argument == "--shots" && i + 1 < argc)
            e2e::Config().shotDir = argv[++i];
        else if (argument == "--only" && i + 1 < argc)
            only = argv[++i];
        else if (argument == "--recording" && i + 1 < argc)
            e2e::SetSoundRecording(argv[++i]);
        else if (argument == "--soak-minutes" && i + 1 < argc)
            e2e::Reliability().soakMinutes = atoi(argv[++i]);
        else if (argument == "--seed" && i + 1 < argc)
            e2e::Reliability().seed = static_cast<unsigned>(strtoul(argv[++i], nullptr, 10));
        else if (argument == "--timeout" && i + 1 < argc)
            watchdogSeconds = static_cast<DWORD>(strtoul(argv[++i], nullptr, 10));
        else if (argument.rfind("--", 0) == 0)
            return Usage();
        else
            groups.push_back(argument);
    }
    if (e2e::Config().gameExe.empty() || e2e::Config().shotDir.empty())
        return Usage();
    for (const std::string& group : groups) {
        bool known = false;
        for (const e2e::TestGroup& candidate : kGroups)
            known = known || candidate.name == group;
        if (!known) {
            fprintf(stderr, "unknown group \"%s\"\n", group.c_str());
            return Usage();
        }
    }

    CoInitialize(nullptr);
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    std::string report;
    if (!e2e::RepairShellLinkClass(&report))
        printf("%s\n", report.c_str());
    printf("game %s, desktop %s, screen %dx%d, code page %u\n", e2e::Config().gameExe.c_str(),
           e2e::DesktopFolder().c_str(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
           GetACP());

    for (const e2e::TestGroup& group : kGroups) {
        bool chosen = groups.empty();
        for (const std::string& name : groups)
            chosen = chosen || name == group.name;
        if (!chosen)
            continue;
        std::vector<e2e::TestCase> cases;
        for (const e2e::TestCase& testCase : group.cases())
            if (testCase.name.find(only) != std::string::npos)
                cases.push_back(testCase);
        e2e::RunCases(group.name, cases);
    }
    e2e::EndStartedProcesses();
    e2e::PrintSummary();
    CoUninitialize();
    return e2e::FailedCount() ? 1 : 0;
}
