// The seam between the rules and the platform: every window, sound, pump and
// clock operation that game/ and numerics/ may use. The exe links the Win32
// implementation; native tests link a scripted fake that records each call.
#pragma once

enum Sound {
    SOUND_REVEAL = 0,
    SOUND_BAD = 1,
    SOUND_AMBIENT = 2,
    SOUND_RING = 3,
    SOUND_GOOD_MILD = 4,
    SOUND_GOOD = 5,
    SOUND_BAD_MILD = 6,
    SOUND_TITLE = 7,
    SOUND_PROMPT = 8,
    SOUND_RING_END = 9,
};
const int kSoundCount = 10;

// The platform's UTC clock reading, fields in the platform's order.
struct UtcTime {
    unsigned short year, month, dayOfWeek, day, hour, minute, second, millisecond;
};

// Moves a control to a client-pixel place without resizing it and raises it
// above its siblings, a box picture only as far as directly below its own
// button; (16384, 16384) takes it out of sight.
void MoveControl(int controlId, int x, int y);
// Invalidates the whole control, with erasing; not right after a move that
// found the control already in place, which left nothing to repaint.
void RepaintControl(int controlId);
void SetControlText(int controlId, const char* text);
void EnableControl(int controlId, bool enabled);
void AppendListLine(int listId, const char* text);
void EmptyList(int listId);
// Shows bitmap resource bitmapId in a picture control.
void SetPicture(int controlId, int bitmapId);
void FocusControl(int controlId);
void SetStatus(const char* text);

// Message boxes without an owner window. AskYesNo answers false when the
// game window has gone while the question was open.
bool AskYesNo(const char* text, const char* caption);
void Inform(const char* text, const char* caption);

void PlaySoundSync(int sound);
void PlaySoundAsync(int sound);

// Handles the waiting messages (a key press ends the pass early), then idles
// 1 ms. Returns 1 once the quit message has been taken, by this call or any
// earlier one: a quit seen by a nested pump is never lost to the main loop.
int PumpMessages();

void ReadUtcClock(UtcTime* now);
