// The real audio path: NEW GAME's Yes holds the window for the title sound, and the sound card plays that sound.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tests/e2e/harness.h"
#include "tests/e2e/reliability.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

static std::string recording;
void SetSoundRecording(const std::string& path) { recording = path; }

// Loudness of 8-bit unsigned samples (silence 128) in windows of 50 ms at 11025 a second, from the first loud sample.
static std::vector<double> Envelope(const std::string& samples)
{
    size_t at = 0;
    while (at < samples.size() && std::abs(static_cast<unsigned char>(samples[at]) - 128) < 13)
        ++at;
    std::vector<double> levels;
    for (; at + 551 <= samples.size(); at += 551) {
        double power = 0;
        for (size_t n = at; n < at + 551; ++n)
            power += std::pow((static_cast<unsigned char>(samples[n]) - 128) / 128.0, 2) / 551;
        levels.push_back(std::sqrt(power));
    }
    return levels;
}

// Pearson's correlation of the recorded loudness with the sound's, over the sound's length.
static double Correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    size_t n = b.size();
    if (a.size() < n || !n)
        return -1;
    double meanA = 0, meanB = 0, ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i)
        meanA += a[i] / n, meanB += b[i] / n;
    for (size_t i = 0; i < n; ++i)
        ab += (a[i] - meanA) * (b[i] - meanB), aa += (a[i] - meanA) * (a[i] - meanA), bb += (b[i] - meanB) * (b[i] - meanB);
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : -1;
}

static void TitleSound()
{
    HMODULE program = LoadLibraryExA(Config().gameExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(IDR_SOUND_BASE + 7), "WAVE");
    const char* wave = found ? static_cast<const char*>(LockResource(LoadResource(program, found))) : nullptr;
    Require(wave != nullptr, "the game holds no title sound");
    std::string title;
    for (size_t at = 12, size = 0; at + 8 <= SizeofResource(program, found); at += 8 + size) {
        memcpy(&size, wave + at + 4, 4);
        if (memcmp(wave + at, "data", 4) == 0)
            title.assign(wave + at + 8, size);
    }
    Game game;
    Require(game.Start(), game.Error());
    std::string error;
    Sleep(7000);   // the first deal's own title sound
    Require(game.Click(IDC_NEW_GAME), game.Error());
    HWND box = WaitForMessageBox(game, "NEW GAME");
    std::ifstream sink(recording, std::ios::binary | std::ios::ate);
    std::streamoff before = sink.tellg();
    Require(box && AnswerMessageBox(box, IDYES, &error), "START AGAIN?: " + error);
    // The longest the window takes to answer once is how long the sound held it.
    DWORD held = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 9000; Sleep(10)) {
        DWORD asked = GetTickCount();
        DWORD_PTR ignored;
        SendMessageTimeoutA(game.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 15000, &ignored);
        held = std::max(held, GetTickCount() - asked);
    }
    double soundMs = title.size() * 1000.0 / 11025;
    Check(std::fabs(held - soundMs) < 700, Format("the window was held %lu ms by a sound of %.0f ms", held, soundMs));
    std::ifstream again(recording, std::ios::binary);
    again.seekg(before);
    std::string recorded((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>());
    double match = Correlation(Envelope(recorded), Envelope(title));
    Note(Format("held %lu ms by a %.0f ms sound; recorded loudness follows the sound's by %.2f", held, soundMs, match));
    Check(match > 0.8, Format("the recording's loudness matches the title sound's by only %.2f", match));
}

std::vector<TestCase> SoundTests()
{
    if (recording.empty())
        return {};
    return {{"NEW GAME plays the title sound to its end", TitleSound}};
}

}  // namespace e2e
