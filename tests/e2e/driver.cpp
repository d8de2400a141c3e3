// The end-to-end driver: plays the real game through its window under Wine, and reports.
//   quorvant_e2e --game PATH --shots DIR [--references DIR [--renew]] [--timeout S] [--recording PATH] [--soak-minutes N] [--seed N] [--code-page N] [GROUP...]
#include <objbase.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "tests/e2e/harness.h"

// Every group of the driver, in the order they run; sound only with --recording, from scripts/audio-e2e.sh, which
// also plants libraries beside the game: shell, after sound, finds what both games loaded.
static const struct { std::string name; std::vector<e2e::TestCase> (*cases)(); } kGroups[] = {
    {"window", e2e::WindowTests}, {"game", e2e::GameTests}, {"newgame", e2e::NewGameTests}, {"sound", e2e::SoundTests},
    {"shell", e2e::ShellTests}, {"storm", e2e::StormTests}, {"closing", e2e::ClosingTests}, {"session", e2e::SessionTests}};

static int watchdogSeconds = 900;

// Nothing may hang the run: past its time the driver ends its games and exits.
static DWORD WINAPI Watchdog(LPVOID)
{
    Sleep(watchdogSeconds * 1000);
    e2e::AbortRun(e2e::Format("the run took over %d s", watchdogSeconds));
}

int main()
{
    _setmode(_fileno(stdout), _O_BINARY);   // plain \n, unbuffered: the scripts read the summary as it comes
    setvbuf(stdout, nullptr, _IONBF, 0);
    e2e::Settings& config = e2e::Config();
    int argc = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &argc);   // the 8-bit command line loses a folder's letters
    std::vector<std::string> chosen, argv(argc, std::string(4 * MAX_PATH, '\0'));   // as UTF-8
    for (int i = 0; i < argc; ++i) argv[i].resize(std::max(1, WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &argv[i][0], 4 * MAX_PATH, nullptr, nullptr)) - 1);
    std::map<std::string, std::string*> texts = {{"--game", &config.gameExe}, {"--shots", &config.shotDir}, {"--recording", &config.recording},
                                                 {"--references", &config.references}};
    std::map<std::string, int*> numbers = {{"--soak-minutes", &config.soakMinutes}, {"--timeout", &watchdogSeconds}, {"--seed", &config.seed},
                                           {"--code-page", &config.codePage}};
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i], value = option.rfind("--", 0) == 0 && option != "--renew" && i + 1 < argc ? argv[++i] : "";
        if (option.rfind("--", 0) != 0) chosen.push_back(option);
        else if (option == "--renew") config.renew = true;
        else if (texts.count(option)) *texts[option] = value;
        else if (numbers.count(option)) *numbers[option] = static_cast<int>(strtoul(value.c_str(), nullptr, 10));   // a seed takes all 32 bits
        else return fprintf(stderr, "unknown option %s\n", option.c_str()), 2;
    }
    size_t known = 0;
    for (const auto& group : kGroups) known += std::count(chosen.begin(), chosen.end(), group.name);
    if (config.gameExe.empty() || config.shotDir.empty() || known != chosen.size())
        return fprintf(stderr, "usage: quorvant_e2e --game PATH --shots DIR [options] [GROUP...]\n"), 2;
    CoInitialize(nullptr);
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    if (config.codePage)   // a run meant for another code page proves nothing on 1252
        e2e::RunCases("codepage", {{e2e::Format("the system code page is %d", config.codePage),
                                    [&] { e2e::Check(GetACP() == UINT(config.codePage), e2e::Format("GetACP() answers %u", GetACP())); }}});
    for (const auto& group : kGroups)
        if (chosen.empty() || std::count(chosen.begin(), chosen.end(), group.name))
            e2e::RunCases(group.name, group.cases());
    e2e::EndStartedProcesses();
    return e2e::PrintSummary();
}
