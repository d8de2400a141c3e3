// What the recorder library writes down inside the game's thread: every text,
// list line, enabling and focus change of the game window's controls, in order.
// Some texts live for microseconds (a status replaced in the same click), so
// reading the window from outside cannot see them.
#pragma once

#include <windows.h>

namespace e2e {

// The shared block's name is this prefix and the game's process id, so that
// games running side by side keep separate records.
const char kRecordBlockPrefix[] = "QuorvantE2ERecord.";
const char kRecordHookName[] = "RecordHook";

enum RecordKind : LONG {
    kRecordText = 1,      // WM_SETTEXT handled: text is the control's text afterwards
    kRecordLineAdded,     // LB_ADDSTRING handled: text is the new line
    kRecordListEmptied,   // LB_RESETCONTENT handled
    kRecordEnabled,       // WM_ENABLE: value 1 enabled, 0 disabled
    kRecordFocus,         // WM_SETFOCUS: the control took the keyboard focus
};

const int kRecordTextSize = 96;
const LONG kRecordCapacity = 16384;

struct RecordEntry {
    LONG kind;
    LONG control;   // the control's identifier; 0 for the game window itself
    LONG value;
    WCHAR text[kRecordTextSize];
};

struct RecordBlock {
    ULONGLONG window;         // the game window, set by the driver; only its own controls are recorded
    volatile LONG hooked;     // set by the recorder at its first call, in the game's thread
    volatile LONG count;      // entries written; raised only after an entry is complete
    volatile LONG dropped;    // entries lost because the block was full
    RecordEntry entries[kRecordCapacity];
};

}  // namespace e2e
