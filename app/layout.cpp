// The window's pixel layout at the standard dialog units, and the layout capture.
#include "app/app.h"

#include <algorithm>
#include <initializer_list>

#include "game/state.h"
#include "resources/resource.h"
#include "ui/dressing.h"

// The board is drawn for dialog base units of 6 x 13 pixels: the background
// bitmap, the bitmap controls and the MY BOX places all assume them. Other
// systems (another template font, another DPI) scale the template; these
// bring every control back to the pixels the artwork was made for.
const int kStandardBaseX = 6;
const int kStandardBaseY = 13;
const int kClientWidth = 765;
const int kClientHeight = 574;

// The dialog manager placed each control at MulDiv(units, base, 4) (across)
// or MulDiv(units, base, 8) (down); each pixel step is over one pixel wide at
// any real base unit, so rounding back recovers the template's dialog units.
static int ToStandardX(int pixels, int baseX)
{
    return MulDiv(MulDiv(pixels, 4, baseX), kStandardBaseX, 4);
}

static int ToStandardY(int pixels, int baseY)
{
    return MulDiv(MulDiv(pixels, 8, baseY), kStandardBaseY, 8);
}

static bool HasClass(HWND control, const char* name)
{
    char className[16];
    GetClassNameA(control, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

static bool IsPictureControl(HWND control)
{
    LONG style = GetWindowLongA(control, GWL_STYLE);
    return HasClass(control, "Static") && (style & SS_TYPEMASK) == SS_BITMAP;
}

static void SizeClientArea(HWND dialog)
{
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, GetWindowLongA(dialog, GWL_STYLE), FALSE,
                       GetWindowLongA(dialog, GWL_EXSTYLE));
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Trust the client area the window really got over the frame arithmetic.
    RECT client;
    GetClientRect(dialog, &client);
    width += kClientWidth - client.right;
    height += kClientHeight - client.bottom;

    // Centred on the work area of the monitor the dialog opened on, clear of
    // a taskbar at any edge; a window larger than the area keeps its caption
    // in sight at the area's top left.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    int left = work.left + (std::max)(0L, (work.right - work.left - width) / 2);
    int top = work.top + (std::max)(0L, (work.bottom - work.top - height) / 2);
    SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

static bool IsBoxControl(int controlId)
{
    for (int first : {IDC_BOARD_VALUE, IDC_BOX_BUTTON, IDC_BOX_PICTURE})
        if (controlId >= first && controlId < first + kBoxCount)
            return true;
    return false;
}

// Where a placed control goes among its siblings: a box's controls where
// every move puts them (StackedBelow), the others in the template's order.
enum Stacking { STACK_AS_TEMPLATE, STACK_AS_MOVED };

// HWND_TOP is a null handle, so it cannot mean "leave it": the template's
// order is kept by SWP_NOZORDER.
static void PlaceControl(HWND control, Stacking stacking, int baseX, int baseY)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    int x = ToStandardX(place.left, baseX);
    int y = ToStandardY(place.top, baseY);
    int width = ToStandardX(place.right - place.left, baseX);
    int height = ToStandardY(place.bottom - place.top, baseY);
    bool restack = stacking == STACK_AS_MOVED;
    // A bitmap control already has its bitmap's size.
    UINT flags = SWP_NOACTIVATE | (IsPictureControl(control) ? SWP_NOSIZE : 0) |
                 (restack ? 0 : SWP_NOZORDER);
    HWND insertAfter = restack ? StackedBelow(GetParent(control), GetDlgCtrlID(control)) : nullptr;
    SetWindowPos(control, insertAfter, x, y, width, height, flags);
}

// Each control is placed by one call, while the window is still hidden. The
// boxes' controls get there the stacking that every new game gives them
// (plate, button and picture of each box in turn above all the rest, each
// picture directly below its button), so that the first new game finds them
// in place and has nothing to move.
void ApplyStandardLayout(HWND dialog)
{
    RECT unit = {0, 0, 4, 8};
    MapDialogRect(dialog, &unit);
    int baseX = unit.right > 0 ? unit.right : kStandardBaseX;
    int baseY = unit.bottom > 0 ? unit.bottom : kStandardBaseY;

    for (HWND control = GetWindow(dialog, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT))
        if (!IsBoxControl(GetDlgCtrlID(control)))
            PlaceControl(control, STACK_AS_TEMPLATE, baseX, baseY);
    for (int i = 0; i < kBoxCount; ++i) {
        for (int controlId : {IDC_BOARD_VALUE + i, IDC_BOX_BUTTON + i, IDC_BOX_PICTURE + i})
            PlaceControl(DialogControl(dialog, controlId), STACK_AS_MOVED, baseX, baseY);
        // The same closed box the first new game would set, set while the
        // window is hidden and a picture change costs no paint.
        ShowSharedBitmap(DialogControl(dialog, IDC_BOX_PICTURE + i), IDB_CLOSED_BOX);
    }
    SizeClientArea(dialog);
}

// Measured from the true client origin: the frame and title bar differ from
// one system to the next (3 x 30 on some, 3 x 22 under Wine), and a guessed
// origin would put every control back a few pixels off at each new game.
void CaptureLayout(HWND dialog)
{
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    for (int i = 0; i < kBoxCount; ++i) {
        struct { int controlId; int32_t* x; int32_t* y; } places[] = {
            {IDC_BOX_PICTURE + i, &boxRecords[i].pictureX, &boxRecords[i].pictureY},
            {IDC_BOX_BUTTON + i, &boxRecords[i].buttonX, &boxRecords[i].buttonY},
            {IDC_BOARD_VALUE + i, &boxRecords[i].boardX, &boxRecords[i].boardY},
        };
        for (auto& place : places) {
            RECT rect;
            GetWindowRect(DialogControl(dialog, place.controlId), &rect);
            *place.x = rect.left - origin.x;
            *place.y = rect.top - origin.y;
        }
    }
}
