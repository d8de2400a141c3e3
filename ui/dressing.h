// The window's dressing: brushes, fonts and the colours the controls ask for.
#pragma once
#include <windows.h>

extern HBRUSH editBrush;
extern HBRUSH buttonBrush;
extern HBRUSH staticBrush;
extern HFONT largeFont;
extern HFONT smallFont;

void CreateBrushes();
void CreateFonts();
// Gives every control the template's font at its size at 96 dots per inch.
void ApplyTemplateFontAt96Dpi(HWND dialog);
void ApplyFonts(HWND dialog);
// Sets the colours on the control's device context; the brush to paint with.
HBRUSH OnCtlColor(UINT message, HDC dc);
// The board's wood under the controls, wherever the device context clips.
// False, with nothing painted, without the bitmap or the clip box.
bool PaintBackground(HDC dc);
// Every bitmap is loaded once and shared by all the pictures that show it.
HBITMAP SharedBitmap(int bitmapId);
// Shows a shared bitmap in a picture control, unless it shows it already,
// and frees the template's own copy that it replaces. True if it changed it.
bool ShowSharedBitmap(HWND picture, int bitmapId);
