// The real audio path: a sound played to its end holds the game's thread for the
// sound's length, and what reaches the sound card is that sound. Runs only where
// a recording of the sound card's output is at hand (scripts/audio-e2e.sh).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tests/e2e/tests.h"
#include "tests/e2e/transcript.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

static std::string recordingPath;

void SetSoundRecording(const std::string& path)
{
    recordingPath = path;
}

// The recording and the sounds: 8-bit unsigned mono at 11025 samples a
// second, silence at 128. Loudness is compared in windows of 50 ms.
const int kRate = 11025;
const size_t kWindow = kRate / 20;
const int kWindowMs = 50;
// Below this root-mean-square level, as a share of full scale, a window is silent.
const double kSilence = 0.02;
// Sound 7, the title sound: 64148 samples, about 5.82 s.
const int kTitleSound = 7;

// Loudness of the windows that start at sample `from`.
static std::vector<double> Envelope(const std::string& samples, size_t from)
{
    std::vector<double> levels;
    for (size_t at = from; at + kWindow <= samples.size(); at += kWindow) {
        double power = 0.0;
        for (size_t n = at; n < at + kWindow; ++n) {
            double deviation = (static_cast<unsigned char>(samples[n]) - 128) / 128.0;
            power += deviation * deviation;
        }
        levels.push_back(std::sqrt(power / kWindow));
    }
    return levels;
}

// The first sample louder than `level`, as a share of full scale, or npos.
static size_t Onset(const std::string& samples, double level)
{
    for (size_t n = 0; n < samples.size(); ++n)
        if (std::fabs((static_cast<unsigned char>(samples[n]) - 128) / 128.0) > level)
            return n;
    return std::string::npos;
}

// Pearson's correlation of two loudness curves over the length of the second.
static double Correlation(const std::vector<double>& recorded, const std::vector<double>& sound)
{
    size_t count = sound.size();
    if (recorded.size() < count || count == 0)
        return -1.0;
    double meanA = 0.0, meanB = 0.0;
    for (size_t n = 0; n < count; ++n) {
        meanA += recorded[n] / count;
        meanB += sound[n] / count;
    }
    double product = 0.0, squareA = 0.0, squareB = 0.0;
    for (size_t n = 0; n < count; ++n) {
        double a = recorded[n] - meanA, b = sound[n] - meanB;
        product += a * b;
        squareA += a * a;
        squareB += b * b;
    }
    return squareA > 0.0 && squareB > 0.0 ? product / std::sqrt(squareA * squareB) : -1.0;
}

static LONGLONG RecordedBytes()
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(recordingPath.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<LONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// The recording from byte `offset` on; the recorder goes on writing meanwhile.
static std::string ReadRecording(LONGLONG offset)
{
    HANDLE file = CreateFileA(recordingPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    Require(file != INVALID_HANDLE_VALUE, "cannot open the recording " + recordingPath);
    LARGE_INTEGER at;
    at.QuadPart = offset;
    SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// The samples of sound n as the program file holds them.
static std::string SoundSamples(int n)
{
    HMODULE program = LoadLibraryExA(Config().gameExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    Require(program != nullptr, "cannot open the program file for its sounds");
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(IDR_SOUND_BASE + n), "WAVE");
    HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    std::string wave = data ? std::string(data, SizeofResource(program, found)) : std::string();
    FreeLibrary(program);
    for (size_t at = 12; at + 8 <= wave.size();) {
        DWORD size = 0;
        memcpy(&size, wave.data() + at + 4, 4);
        if (wave.compare(at, 4, "data") == 0)
            return wave.substr(at + 8, size);
        at += 8 + size + (size & 1);
    }
    throw CaseAbort{Format("sound %d has no samples in the program file", n)};
}

// Sends WM_NULL to the game over and over from a thread of its own and keeps
// the longest time the game took to answer, counted from its previous answer.
class Responsiveness {
public:
    explicit Responsiveness(HWND window) : window(window)
    {
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~Responsiveness()
    {
        stop = 1;
        WaitForSingleObject(thread, 25000);
        CloseHandle(thread);
    }
    Responsiveness(const Responsiveness&) = delete;
    Responsiveness& operator=(const Responsiveness&) = delete;

    LONG LongestMs() const { return longest; }

private:
    static DWORD WINAPI Run(LPVOID self)
    {
        auto* watch = static_cast<Responsiveness*>(self);
        LARGE_INTEGER frequency, last, now;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&last);
        while (!watch->stop) {
            DWORD_PTR ignored = 0;
            // Far longer than any sound: a time-out would hide the block's end.
            SendMessageTimeoutA(watch->window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
            QueryPerformanceCounter(&now);
            LONG gap = static_cast<LONG>((now.QuadPart - last.QuadPart) * 1000 / frequency.QuadPart);
            if (gap > watch->longest)
                InterlockedExchange(&watch->longest, gap);
            last = now;
            Sleep(5);
        }
        return 0;
    }

    HWND window;
    HANDLE thread = nullptr;
    volatile LONG stop = 0;
    volatile LONG longest = 0;
};

// True once every WM_NULL for `quietMs` on end has been answered within a
// blink; false after 20 s.
static bool AnswersPromptlyFor(const Game& game, DWORD quietMs)
{
    DWORD start = GetTickCount(), quietSince = start;
    while (GetTickCount() - start < 20000) {
        DWORD sent = GetTickCount();
        if (!GameAnswers(game, 20000))
            return false;
        DWORD answered = GetTickCount();
        if (answered - sent > 100)
            quietSince = answered;
        else if (answered - quietSince >= quietMs)
            return true;
        Sleep(10);
    }
    return false;
}

static void CheckTitleSound()
{
    Game game;
    StartOrAbort(game);
    // The start plays the title sound too, right after the status that Start
    // waits for: it is over once the game has answered promptly for a while.
    Require(AnswersPromptlyFor(game, 2000), "the game does not settle after its start");
    LONGLONG offset = RecordedBytes();
    Require(offset >= 0, "cannot read the recording " + recordingPath);

    LONG blockedMs = 0;
    {
        Responsiveness watch(game.Window());
        AnswerStartAgain(game, IDYES);
        // Hiding the question may hold the thread too (Wine waits for a window
        // manager that Xvfb lacks): only the longest block is the sound's.
        Require(AnswersPromptlyFor(game, 2000), "the game does not settle after NEW GAME");
        blockedMs = watch.LongestMs();
    }
    Note(Format("the window gave no answer for %ld ms while the title sound played", blockedMs));
    Check(blockedMs >= 5000 && blockedMs <= 7500,
          Format("the window was blocked for %ld ms; the title sound lasts 5.82 s", blockedMs));

    std::string recording = ReadRecording(offset);
    std::string title = SoundSamples(kTitleSound);
    std::vector<double> recorded = Envelope(recording, 0);
    long first = -1, last = -1;
    for (size_t n = 0; n < recorded.size(); ++n)
        if (recorded[n] > kSilence) {
            if (first < 0)
                first = static_cast<long>(n);
            last = static_cast<long>(n);
        }
    Require(first >= 0, Format("the recording after NEW GAME is silent (%u windows): no sound reached the sound card",
                               static_cast<unsigned>(recorded.size())));
    long soundingMs = (last - first + 1) * kWindowMs;
    Note(Format("the recording sounds for %ld ms", soundingMs));
    Check(soundingMs >= 5500 && soundingMs <= 6200,
          Format("the recording sounds for %ld ms; the title sound lasts 5.82 s", soundingMs));

    // Both curves start at their sound's first loud sample; the sound server's
    // resampling may move that by a few samples, so nearby starts are tried too.
    size_t recordedOnset = Onset(recording, 0.1), titleOnset = Onset(title, 0.1);
    Require(recordedOnset != std::string::npos && titleOnset != std::string::npos, "no loud sample to align on");
    std::vector<double> sound = Envelope(title, titleOnset);
    double best = -1.0;
    for (long shift = -100; shift <= 100; shift += 10)
        if (static_cast<long>(recordedOnset) + shift >= 0)
            best = std::max(best, Correlation(Envelope(recording, recordedOnset + shift), sound));
    Note(Format("correlation of the recorded loudness with the title sound's: %.3f", best));
    Check(best > 0.8, Format("the recording's loudness does not follow the title sound's: correlation %.3f", best));
}

std::vector<TestCase> SoundTests()
{
    if (recordingPath.empty())
        return {};
    return {{"title sound after NEW GAME: holds the window for its length, reaches the sound card", CheckTitleSound}};
}

}  // namespace e2e
