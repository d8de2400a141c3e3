// The real audio path: NEW GAME's Yes holds the window for the title sound, and the sound card plays that sound.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

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
    HMODULE program = LoadLibraryExA(Config().gameExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
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
