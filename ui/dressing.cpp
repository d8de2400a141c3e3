// The window's dressing: brushes, fonts and the colours the controls ask for.
#include "ui/dressing.h"

#include <map>

#include "resources/resource.h"
#include "ui/window.h"

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

// The template names its font in points, which the dialog manager turns into
// pixels at the system's dots per inch, while the layout brings every control
// back to its pixels at 96: at 144 the captions would outgrow their buttons
// ("IEW GAMI"). Windows shows a program that declares no awareness of scaling
// at 96 anyway; Wine, and a player who overrides that, show it the real figure.
const int kTemplateFontPoints = 8;   // FONT in quorvant.rc

void ApplyTemplateFontAt96Dpi(HWND dialog)
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTW face;
    HFONT templateFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (dpi == 96 || !templateFont || !GetObjectW(templateFont, sizeof face, &face))
        return;
    face.lfHeight = -MulDiv(kTemplateFontPoints, 96, 72);
    HFONT font = CreateFontIndirectW(&face);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
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
    case WM_CTLCOLORSTATIC:
        SetBkColor(dc, kStaticBack);
        SetTextColor(dc, kWhite);
        return staticBrush;
    }
    return nullptr;
}

// The wood is painted straight from the program file's bitmap resource,
// whose pages Wine maps from the file and shares: a pattern brush would keep
// a private copy of its 1.7 MiB for the whole run, and cost start-up a
// conversion to the screen's format. Only the part to be painted is
// converted, which is all a move's uncovered strip needs.
bool PaintBackground(HDC dc)
{
    static const BITMAPINFO* board = nullptr;
    if (!board) {
        HRSRC found = FindResourceA(appInstance, MAKEINTRESOURCEA(IDB_BACKGROUND), RT_BITMAP);
        board = found ? static_cast<const BITMAPINFO*>(LockResource(LoadResource(appInstance, found))) : nullptr;
        if (!board)
            return false;
    }
    const BITMAPINFOHEADER& header = board->bmiHeader;   // 24 bits a pixel, no colour table, rows from the bottom
    const BYTE* bits = reinterpret_cast<const BYTE*>(board) + header.biSize;
    RECT box;
    if (GetClipBox(dc, &box) == ERROR)
        return false;
    SetDIBitsToDevice(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, box.left,
                      header.biHeight - box.bottom, 0, header.biHeight, bits, board, DIB_RGB_COLORS);
    return true;
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
