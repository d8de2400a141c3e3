// Times what the player sees: from a process start or a real click to the
// window's pixels on the screen, and to the texts of its controls.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace bench {

// Milliseconds on the performance counter, which every process of the
// machine reads alike.
double NowMs();

// Times from the process start (the CreateProcess call), in ms; -1 when not seen.
struct StartTimes {
    double visible = -1;   // a new top-level window with a caption is visible
    double painted = -1;   // most of its client area no longer shows what was there before
    double ready = -1;     // the ready text is shown, when one is asked for
    HWND window = nullptr;
};

// Runs `launch` (which must begin with CreateProcess) while a thread of its
// own watches the screen for the window it brings up. `readyControl` and
// `readyText` name the control whose text ends start-up; 0 for none.
StartTimes TimeStart(const std::function<bool()>& launch, int readyControl,
                     const std::string& readyText);

// What one click changes, and how to tell that the change is over.
struct Watch {
    HWND window = nullptr;            // whose client pixels are watched
    RECT area = {};                   // in its client coordinates
    HWND textControl = nullptr;       // whose text is watched, or null
    std::string textPrefix;           // the text that the click brings
    std::function<bool()> settled;    // true once nothing more will change in `area`
};

// Times from the release of the mouse button, in ms; -1 when not seen.
struct ClickTimes {
    double text = -1;      // the control first answers with the text
    double painted = -1;   // the area first shows what it shows once settled
    bool settled = false;  // the program said in time that the click was over
    bool stable = false;   // and its picture stood still afterwards
};

// A real click at a screen point: the button is pressed, held until the
// press has been drawn, and released; the clock starts at the release.
ClickTimes TimeClick(POINT screen, const Watch& watch);

// A real click that is not timed.
void Click(POINT screen);

// The centre of a window, in screen coordinates.
POINT CentreOf(HWND window);

}  // namespace bench
