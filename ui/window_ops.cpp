// The Win32 side of the seam: controls, message boxes, sounds and the clock.
#include "ui/platform.h"

#include "ui/window.h"

#include <mmsystem.h>

#include "resources/resource.h"
#include "ui/dressing.h"

// The control that a skipped move has just found in place, until the next
// operation on any control.
static HWND confirmedInPlace = nullptr;

static HWND Control(int controlId)
{
    confirmedInPlace = nullptr;
    return DialogControl(dialogWindow, controlId);
}

// Under Wine every change to a control is a round trip to the window server
// and often a repaint, and a new game puts back 66 controls of which most
// never left their places. A change that would leave the control as it is
// is skipped; what the player sees, and what the next step finds, is the same.

// A control already in place needs no move for its stacking either: the
// layout stacks the moved controls above all others from the start, and
// every move keeps them there; among themselves only a picture and its own
// button overlap, and the picture always lies below the button.
void MoveControl(int controlId, int x, int y)
{
    HWND control = Control(controlId);
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, dialogWindow, reinterpret_cast<POINT*>(&place), 2);
    if (place.left == x && place.top == y) {
        confirmedInPlace = control;
        return;
    }
    // The uncovered background is erased with the next paint, not at once by
    // each move: a new game after a whole game moves 45 controls back (every
    // button and plate, and the own box's picture) before its pump.
    UINT flags = SWP_NOSIZE | SWP_DEFERERASE;
    // Nothing of a control out of sight is seen, so its pixels are not worth
    // copying; and Wine's copy hands every pixel painted so far to the
    // screen, so a reveal would show the clicked button redrawn for its lost
    // focus a few milliseconds before the opened box.
    RECT client;
    GetClientRect(dialogWindow, &client);
    if (x >= client.right || y >= client.bottom)
        flags |= SWP_NOCOPYBITS;
    SetWindowPos(control, StackedBelow(dialogWindow, controlId), x, y, 0, 0, flags);
}

// The repaint that follows a move is for the move; after a move that did not
// happen, it would redraw a control exactly as it stands.
void RepaintControl(int controlId)
{
    HWND skippedMove = confirmedInPlace;
    HWND control = Control(controlId);
    if (control == skippedMove)
        return;
    InvalidateRect(control, nullptr, TRUE);
}

void SetControlText(int controlId, const char* text)
{
    HWND control = Control(controlId);
    std::wstring wide = WideText(text);
    // A text that fills the buffer may have been cut short, and is set anyway.
    WCHAR shown[64] = L"";
    const int capacity = sizeof shown / sizeof shown[0];
    int length = GetWindowTextW(control, shown, capacity);
    if (length < capacity - 1 && wide == shown)
        return;
    SetWindowTextW(control, wide.c_str());
}

void EnableControl(int controlId, bool enabled)
{
    HWND control = Control(controlId);
    if ((IsWindowEnabled(control) != FALSE) == enabled)
        return;
    EnableWindow(control, enabled ? TRUE : FALSE);
}

void AppendListLine(int listId, const char* text)
{
    SendMessageW(Control(listId), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

void EmptyList(int listId)
{
    HWND list = Control(listId);
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) == 0)
        return;
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

// The new picture is painted at once by the static control; under Wine it
// reaches the screen only when the window's pixels are next handed over,
// which would be in the middle of the repaints of the next pump. A look for
// a message that no one sends finds the queue empty, and Wine hands them
// over then: the player sees the picture as soon as it is painted.
void SetPicture(int controlId, int bitmapId)
{
    if (!ShowSharedBitmap(Control(controlId), bitmapId))
        return;
    MSG none;
    PeekMessageW(&none, nullptr, WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
}

void FocusControl(int controlId)
{
    SetFocus(Control(controlId));
}

// A question left open while the window closes is ended by the quit message
// (the modal loop posts it again for the main loop); its answer is then No.
bool AskYesNo(const char* text, const char* caption)
{
    int answer = MessageBoxW(nullptr, WideText(text).c_str(), WideText(caption).c_str(), MB_YESNO);
    return answer == IDYES && IsWindow(dialogWindow);
}

void Inform(const char* text, const char* caption)
{
    MessageBoxW(nullptr, WideText(text).c_str(), WideText(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

// winmm brings msacm32 with it (and ole32, which start-up loads anyway), and
// linked normally the two would load before the first line of WinMain; the
// first sound comes only after the first board is painted, so they load with
// it.
static void PlayGameSound(int sound, DWORD flags)
{
    static const auto playSound = SystemProc<decltype(&PlaySoundA)>(L"winmm.dll", "PlaySoundA");
    if (!playSound)
        return;
    WORD resourceId = static_cast<WORD>(IDR_SOUND_BASE + sound);
    playSound(MAKEINTRESOURCEA(resourceId), appInstance, flags);
}

void PlaySoundSync(int sound)
{
    PlayGameSound(sound, SND_RESOURCE);
}

void PlaySoundAsync(int sound)
{
    PlayGameSound(sound, SND_RESOURCE | SND_ASYNC);
}

void ReadUtcClock(UtcTime* now)
{
    SYSTEMTIME time;
    GetSystemTime(&time);
    *now = UtcTime{time.wYear, time.wMonth, time.wDayOfWeek, time.wDay,
                   time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}
