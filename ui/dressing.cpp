// The window's dressing: brushes, fonts and the colours the controls ask for.
#include "ui/dressing.h"

#include <map>

#include "resources/resource.h"
#include "ui/window.h"

HBRUSH backgroundBrush = nullptr;
HBRUSH editBrush = nullptr;
HBRUSH buttonBrush = nullptr;
HBRUSH staticBrush = nullptr;
HFONT largeFont = nullptr;
HFONT smallFont = nullptr;

const COLORREF kEditBack = RGB(0, 0, 96);
const COLORREF kButtonBack = RGB(255, 255, 200);
const COLORREF kButtonText = RGB(255, 0, 0);
const COLORREF kStaticBack = RGB(0, 64, 0);
const COLORREF kWhite = RGB(255, 255, 255);

void CreateBrushes()
{
    // The brush keeps its own copy of the pixels; holding the bitmap as well
    // would keep the board's 1.7 MB of background twice for the whole run.
    HBITMAP background = LoadBitmapA(appInstance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    backgroundBrush = CreatePatternBrush(background);
    DeleteObject(background);
    editBrush = CreateSolidBrush(kEditBack);
    buttonBrush = CreateSolidBrush(kButtonBack);
    staticBrush = CreateSolidBrush(kStaticBack);
}

// Fixed pitch is asked for although the face is proportional; the font
// mapper picks the nearest bold face at these cell sizes.
static HFONT CreateGameFont(int height, int width)
{
    return CreateFontA(height, width, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_DONTCARE, "arial");
}

void CreateFonts()
{
    largeFont = CreateGameFont(26, 13);
    smallFont = CreateGameFont(16, 8);
}

void ApplyFonts(HWND dialog)
{
    struct FontUse { int controlId; HFONT* font; };
    const FontUse kFontUses[] = {
        {IDC_OFFER, &largeFont},
        {IDC_BANK, &largeFont},
        {IDC_STATUS, &smallFont},
        {IDC_OFFER_LIST, &smallFont},
        {IDC_WIN_HISTORY, &smallFont},
        {IDC_OFFER_LIST_LABEL, &smallFont},
        {IDC_WIN_HISTORY_LABEL, &smallFont},
        {IDC_BANK_LABEL, &largeFont},
    };
    for (const FontUse& use : kFontUses)
        SendMessageA(DialogControl(dialog, use.controlId), WM_SETFONT,
                     reinterpret_cast<WPARAM>(*use.font), TRUE);
}

HBRUSH OnCtlColor(UINT message, HDC dc)
{
    switch (message) {
    case WM_CTLCOLOREDIT:
        SetBkColor(dc, kEditBack);
        SetTextColor(dc, kWhite);
        return editBrush;
    case WM_CTLCOLORBTN:
        SetBkColor(dc, kButtonBack);
        SetTextColor(dc, kButtonText);
        return buttonBrush;
    case WM_CTLCOLORDLG:
        return backgroundBrush;
    case WM_CTLCOLORSTATIC:
        SetBkColor(dc, kStaticBack);
        SetTextColor(dc, kWhite);
        return staticBrush;
    }
    return nullptr;
}

// Loading a fresh copy at every picture change, as a naive game would, leaks
// one GDI object per change until the process passes its limit and every
// picture goes blank; a shared copy keeps the count constant.
static std::map<int, HBITMAP> loaded;

static bool IsSharedBitmap(HBITMAP bitmap)
{
    for (const auto& entry : loaded)
        if (entry.second == bitmap)
            return true;
    return false;
}

HBITMAP SharedBitmap(int bitmapId)
{
    auto found = loaded.find(bitmapId);
    if (found != loaded.end())
        return found->second;
    HBITMAP bitmap = LoadBitmapA(appInstance, MAKEINTRESOURCEA(bitmapId));
    if (bitmap)
        loaded[bitmapId] = bitmap;
    return bitmap;
}

bool ShowSharedBitmap(HWND picture, int bitmapId)
{
    HBITMAP bitmap = SharedBitmap(bitmapId);
    if (reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)) == bitmap)
        return false;
    // Every box bitmap has the picture's own size, yet a static given a new
    // bitmap resizes itself to it by a window move, which under Wine copies
    // pixels and hands the half-painted window to the screen. Told for the
    // change that the bitmap fits the control, it just paints.
    LONG style = GetWindowLongA(picture, GWL_STYLE);
    SetWindowLongA(picture, GWL_STYLE, style | SS_REALSIZECONTROL);
    // The template loads a copy of its image for each picture; replaced by
    // a shared one it would stay loaded, unused, for the whole run.
    HBITMAP replaced = reinterpret_cast<HBITMAP>(
        SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    SetWindowLongA(picture, GWL_STYLE, style);
    if (replaced && replaced != bitmap && !IsSharedBitmap(replaced))
        DeleteObject(replaced);
    return true;
}
