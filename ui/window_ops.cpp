// The Win32 side of the seam: controls, message boxes, sounds and the clock.
#include "ui/platform.h"

#include "app/app.h"

#include <mmsystem.h>

#include "resources/resource.h"
#include "ui/dressing.h"

static HWND Control(int controlId)
{
    return GetDlgItem(dialogWindow, controlId);
}

void MoveControl(int controlId, int x, int y)
{
    SetWindowPos(Control(controlId), StackedBelow(dialogWindow, controlId), x, y, 0, 0, SWP_NOSIZE);
}

void RepaintControl(int controlId)
{
    InvalidateRect(Control(controlId), nullptr, TRUE);
}

void SetControlText(int controlId, const char* text)
{
    SetWindowTextA(Control(controlId), text);
}

void EnableControl(int controlId, bool enabled)
{
    EnableWindow(Control(controlId), enabled ? TRUE : FALSE);
}

void AppendListLine(int listId, const char* text)
{
    SendMessageA(Control(listId), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void EmptyList(int listId)
{
    SendMessageA(Control(listId), LB_RESETCONTENT, 0, 0);
}

void SetPicture(int controlId, int bitmapId)
{
    SendMessageA(Control(controlId), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(SharedBitmap(bitmapId)));
}

void FocusControl(int controlId)
{
    SetFocus(Control(controlId));
}

// A question left open while the window closes is ended by the quit message
// (the modal loop posts it again for the main loop); its answer is then No.
bool AskYesNo(const char* text, const char* caption)
{
    int answer = MessageBoxA(nullptr, text, caption, MB_YESNO);
    return answer == IDYES && IsWindow(dialogWindow);
}

void Inform(const char* text, const char* caption)
{
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}

static void PlayGameSound(int sound, DWORD flags)
{
    WORD resourceId = static_cast<WORD>(IDR_SOUND_BASE + sound);
    PlaySoundA(MAKEINTRESOURCEA(resourceId), appInstance, flags);
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
