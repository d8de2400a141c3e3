// Times what the player sees, from outside the program, through the screen and window messages.
#include "bench/timing.h"

#include <cstdint>
#include <set>
#include <vector>

#include "tests/e2e/harness.h"

namespace bench {

const int kStartTimeoutMs = 30000;
const int kClickTimeoutMs = 5000;
// A press is held this long before the release, so that the release, not
// the press, is what the program answers.
const int kPressHoldMs = 40;
// After the watched change has settled, the final picture is taken this
// much later, so that a late repaint cannot pass for the final one.
const int kSettleMs = 100;

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

POINT CentreOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// ---- start-up --------------------------------------------------------------

static BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    reinterpret_cast<std::set<HWND>*>(param)->insert(window);
    return TRUE;
}

static std::set<HWND> TopLevelWindows()
{
    std::set<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

struct StartWatch {
    std::set<HWND> before;
    e2e::Pixels screen;         // the whole screen before the launch
    int readyControl = 0;
    std::string readyText;
    double origin = 0;          // the launch's start on NowMs
    volatile LONG stop = 0;
    StartTimes times;
};

static HWND NewCaptionedWindow(const StartWatch& watch)
{
    for (HWND window : TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != GetCurrentProcessId() && !watch.before.count(window) && IsWindowVisible(window) &&
            (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
            return window;
    }
    return nullptr;
}

// A tenth of the client area differs from the screen before the launch: the
// program has drawn into it, not only asked for a window. (Minesweeper's own
// field leaves more than half of its client area black.)
static bool ClientPainted(const StartWatch& watch, HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    e2e::Pixels now;
    std::string error;
    if (IsRectEmpty(&client) || !e2e::CapturePixels(window, client, &now, &error))
        return false;
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    int compared = 0, changed = 0;
    for (int y = 0; y < now.height; y += 4) {
        for (int x = 0; x < now.width; x += 4) {
            int sx = origin.x + x, sy = origin.y + y;
            if (sx < 0 || sy < 0 || sx >= watch.screen.width || sy >= watch.screen.height)
                continue;
            ++compared;
            changed += now.At(x, y) != watch.screen.At(sx, sy);
        }
    }
    return compared > 0 && changed * 10 >= compared;
}

static DWORD WINAPI WatchStart(LPVOID param)
{
    auto* watch = static_cast<StartWatch*>(param);
    StartTimes& times = watch->times;
    while (!watch->stop && NowMs() - watch->origin < kStartTimeoutMs) {
        if (!times.window) {
            times.window = NewCaptionedWindow(*watch);
            if (times.window)
                times.visible = NowMs() - watch->origin;
        }
        if (times.window && times.painted < 0 && ClientPainted(*watch, times.window))
            times.painted = NowMs() - watch->origin;
        if (times.painted >= 0 && times.ready < 0 && watch->readyControl &&
            e2e::WindowText(GetDlgItem(times.window, watch->readyControl)) == watch->readyText)
            times.ready = NowMs() - watch->origin;
        if (times.painted >= 0 && (!watch->readyControl || times.ready >= 0))
            break;
        Sleep(1);
    }
    return 0;
}

StartTimes TimeStart(const std::function<bool()>& launch, int readyControl, const std::string& readyText)
{
    StartWatch watch;
    watch.before = TopLevelWindows();
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::string error;
    e2e::CapturePixels(GetDesktopWindow(), screen, &watch.screen, &error);
    watch.readyControl = readyControl;
    watch.readyText = readyText;
    watch.origin = NowMs();
    HANDLE thread = CreateThread(nullptr, 0, WatchStart, &watch, 0, nullptr);
    if (!launch())
        InterlockedExchange(&watch.stop, 1);
    WaitForSingleObject(thread, kStartTimeoutMs + 5000);
    CloseHandle(thread);
    return watch.times;
}

// ---- clicks -----------------------------------------------------------------

// The harness's own click sleeps after the release; here the release itself
// is the instant being timed, so the input is sent directly.
static void MovePointer(POINT screen)
{
    e2e::MoveMouse(screen);
    e2e::WaitFor([&] {
        POINT cursor;
        return GetCursorPos(&cursor) && abs(cursor.x - screen.x) <= 1 && abs(cursor.y - screen.y) <= 1;
    }, 1000, 5);
}

void Click(POINT screen)
{
    MovePointer(screen);
    Sleep(30);
    e2e::PressMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(kPressHoldMs);
    e2e::PressMouse(MOUSEEVENTF_LEFTUP);
    Sleep(30);
}

// The text thread keeps one WM_GETTEXT waiting on the program at all times:
// a program answers sent messages whenever it looks at its queue, so a text
// that stands only from one pump to the next is still caught.
struct TextWatch {
    HWND control;
    std::string prefix;
    volatile LONG stop = 0;
    double seenAt = -1;
};

static DWORD WINAPI WatchText(LPVOID param)
{
    auto* watch = static_cast<TextWatch*>(param);
    while (!watch->stop) {
        if (e2e::WindowText(watch->control).compare(0, watch->prefix.size(), watch->prefix) == 0) {
            watch->seenAt = NowMs();
            break;
        }
    }
    return 0;
}

// The end of the click is asked of the program in a thread of its own: the
// questions wait while the program is busy, and the pixels must not.
struct SettleWatch {
    const std::function<bool()>* settled;
    volatile LONG stop = 0;
    volatile LONG done = 0;
};

static DWORD WINAPI WatchSettle(LPVOID param)
{
    auto* watch = static_cast<SettleWatch*>(param);
    while (!watch->stop) {
        if ((*watch->settled)()) {
            InterlockedExchange(&watch->done, 1);
            break;
        }
        Sleep(5);
    }
    return 0;
}

static void EndThread(HANDLE thread, volatile LONG* stop)
{
    if (!thread)
        return;
    InterlockedExchange(stop, 1);
    WaitForSingleObject(thread, kClickTimeoutMs);
    CloseHandle(thread);
}

static uint64_t PixelHash(const e2e::Pixels& pixels)
{
    uint64_t hash = 1469598103934665603ULL;   // FNV-1a
    for (COLORREF colour : pixels.colours) {
        hash ^= colour;
        hash *= 1099511628211ULL;
    }
    return hash;
}

static uint64_t AreaHash(const Watch& watch)
{
    e2e::Pixels pixels;
    std::string error;
    if (!e2e::CapturePixels(watch.window, watch.area, &pixels, &error))
        return 0;
    return PixelHash(pixels);
}

ClickTimes TimeClick(POINT screen, const Watch& watch)
{
    ClickTimes times;
    MovePointer(screen);
    Sleep(30);
    e2e::PressMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(kPressHoldMs);

    TextWatch text;
    text.control = watch.textControl;
    text.prefix = watch.textPrefix;
    HANDLE textThread = watch.textControl ? CreateThread(nullptr, 0, WatchText, &text, 0, nullptr) : nullptr;
    SettleWatch settle;
    settle.settled = &watch.settled;

    struct Sample { double at; uint64_t hash; };
    std::vector<Sample> samples;
    samples.reserve(4096);
    double origin = NowMs();
    e2e::PressMouse(MOUSEEVENTF_LEFTUP);
    HANDLE settleThread = CreateThread(nullptr, 0, WatchSettle, &settle, 0, nullptr);
    // Sampling goes on for a while after the program says it is done, since
    // its last change may be painted at its next pump.
    double settledAt = -1;
    for (;;) {
        uint64_t hash = AreaHash(watch);
        double now = NowMs();
        samples.push_back({now - origin, hash});
        if (settledAt < 0 && settle.done)
            settledAt = now;
        if ((settledAt >= 0 && now - settledAt >= kSettleMs) || now - origin > kClickTimeoutMs)
            break;
        Sleep(1);
    }
    times.settled = settledAt >= 0;
    EndThread(settleThread, &settle.stop);
    // The final picture must still stand a while later.
    Sleep(kSettleMs);
    uint64_t final = AreaHash(watch);
    times.stable = final == samples.back().hash;
    EndThread(textThread, &text.stop);
    if (text.seenAt >= 0)
        times.text = text.seenAt - origin;
    // The first sample from which on every sample shows the final picture.
    size_t first = samples.size();
    while (first > 0 && samples[first - 1].hash == final)
        --first;
    if (times.settled && times.stable && first < samples.size())
        times.painted = samples[first].at;
    return times;
}

}  // namespace bench
