// A hook library that the driver puts into the game's thread to read the
// window's fonts and icons from inside; it changes nothing in the game.
#include "tests/e2e/probe.h"

using namespace e2e;

static void Describe(HWND control, ProbeFont* entry)
{
    entry->control = reinterpret_cast<ULONG_PTR>(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    entry->font = reinterpret_cast<ULONG_PTR>(font);
    entry->hasLogFont = font && GetObjectA(font, sizeof entry->logFont, &entry->logFont) == sizeof entry->logFont;
}

static void Fill(HWND window)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kProbeBlockName);
    if (!mapping)
        return;
    auto* block = static_cast<ProbeBlock*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProbeBlock)));
    if (block) {
        block->windowFont = static_cast<ULONG_PTR>(SendMessageA(window, WM_GETFONT, 0, 0));
        block->smallIcon = static_cast<ULONG_PTR>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
        block->bigIcon = static_cast<ULONG_PTR>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
        block->count = 0;
        for (HWND child = GetWindow(window, GW_CHILD); child && block->count < kProbeMaxControls;
             child = GetWindow(child, GW_HWNDNEXT))
            Describe(child, &block->controls[block->count++]);
        block->filled = 1;
        UnmapViewOfFile(block);
    }
    CloseHandle(mapping);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    static UINT probeMessage = RegisterWindowMessageA(kProbeMessageName);
    if (code == HC_ACTION) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (sent->message == probeMessage)
            Fill(sent->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
