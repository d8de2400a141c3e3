// What the probe library reads inside the game's process: the fonts and icons
// of the game window, which handles do not carry across processes.
#pragma once

#include <windows.h>

namespace e2e {

// The driver creates the shared block and sends the probe message; the
// probe, running in the game's thread, fills the block before the send returns.
const char kProbeBlockName[] = "QuorvantE2EProbeBlock";
const char kProbeMessageName[] = "QuorvantE2EProbeMessage";
const char kProbeHookName[] = "ProbeHook";
const int kProbeMaxControls = 128;

struct ProbeFont {
    ULONGLONG control;     // the control's window handle; user handles are shared
    ULONGLONG font;        // its WM_GETFONT answer, a handle of the game's process
    LONG hasLogFont;       // GetObject described the font
    LOGFONTA logFont;
};

struct ProbeBlock {
    LONG filled;
    ULONGLONG windowFont;
    ULONGLONG smallIcon;
    ULONGLONG bigIcon;
    LONG count;
    ProbeFont controls[kProbeMaxControls];
};

}  // namespace e2e
