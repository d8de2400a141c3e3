// The end-to-end driver: plays the real game through its window under Wine, and reports.
//   quorvant_e2e --game PATH --shots DIR [--timeout S] [--only TEXT] [--recording PATH]
//                [--soak-minutes N] [--seed N] [GROUP...]     (no GROUP: all of them)
#include <objbase.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/e2e/check.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/reliability.h"

namespace e2e {
std::vector<TestCase> WindowTests(), GameTests(), NewGameTests(), ShellTests();
}

// Every group of the driver, in the order they run.
static const e2e::TestGroup kGroups[] = {
    {"window", e2e::WindowTests},
    {"game", e2e::GameTests},
    {"newgame", e2e::NewGameTests},
    {"shell", e2e::ShellTests},
    {"storm", e2e::StormTests},
    {"closing", e2e::ClosingTests},
    {"session", e2e::SessionTests},
    {"sound", e2e::SoundTests},   // only with --recording, from scripts/audio-e2e.sh
};

static DWORD watchdogSeconds = 900;

// Nothing may hang the run: past its time the driver ends its games and exits.
static DWORD WINAPI Watchdog(LPVOID)
{
    Sleep(watchdogSeconds * 1000);
    e2e::AbortRun(e2e::Format("the run took over %lu s", watchdogSeconds));
}

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);   // plain \n, unbuffered: the scripts read the summary as it comes
    setvbuf(stdout, nullptr, _IONBF, 0);
    e2e::Settings& config = e2e::Config();
    std::vector<std::string> chosen;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i], value = i + 1 < argc ? argv[i + 1] : "";
        std::string* text = option == "--game" ? &config.gameExe : option == "--shots" ? &config.shotDir
                          : option == "--only" ? &only : option == "--recording" ? &config.recording : nullptr;
        if (option.rfind("--", 0) != 0) chosen.push_back(option);
        else if (value.empty()) return fprintf(stderr, "%s needs a value\n", option.c_str()), 2;
        else if (text) *text = value, ++i;
        else if (option == "--soak-minutes") config.soakMinutes = atoi(value.c_str()), ++i;
        else if (option == "--seed") config.seed = static_cast<unsigned>(strtoul(value.c_str(), nullptr, 10)), ++i;
        else if (option == "--timeout") watchdogSeconds = static_cast<DWORD>(atoi(value.c_str())), ++i;
        else return fprintf(stderr, "unknown option %s\n", option.c_str()), 2;
    }
    auto unknown = [&](const std::string& name) {
        return std::none_of(std::begin(kGroups), std::end(kGroups), [&](const e2e::TestGroup& g) { return g.name == name; });
    };
    if (config.gameExe.empty() || config.shotDir.empty() || std::any_of(chosen.begin(), chosen.end(), unknown))
        return fprintf(stderr, "usage: quorvant_e2e --game PATH --shots DIR [options] [GROUP...]\n"), 2;
    CoInitialize(nullptr);
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    for (const e2e::TestGroup& group : kGroups) {
        std::vector<e2e::TestCase> cases;
        if (chosen.empty() || std::find(chosen.begin(), chosen.end(), group.name) != chosen.end())
            for (const e2e::TestCase& testCase : group.cases())
                if (testCase.name.find(only) != std::string::npos) cases.push_back(testCase);
        e2e::RunCases(group.name, cases);
    }
    e2e::EndStartedProcesses();
    e2e::PrintSummary();
    return e2e::FailedCount() ? 1 : 0;
}
