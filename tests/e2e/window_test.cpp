// The window as the player gets it: fixed in size, clear of a panel at any edge, the same board at any display scaling
// (every control's place and look is judged by the reference pictures), and the version details that Explorer shows.
#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

// Every shard's display has a panel, on the top or on the left (scripts/e2e.sh sets the root window's _NET_WORKAREA, which
// Wine takes when it starts): the window opens wholly inside the work area, centred in it. At 120 and 144 dots per inch
// the client area reads as the references made at 96 show it.
static void CheckWindow()
{
    RECT w = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &w, 0);
    Check(w.left > 0 || w.top > 0, Format("the work area is the whole screen, (%ld,%ld)-(%ld,%ld): no panel to keep clear of", w.left, w.top, w.right, w.bottom));
    for (DWORD dpi : {96, 120, 144}) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
        Game game;
        bool started = game.Start();
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
        Require(started, game.Error());
        RECT r = RectIn(nullptr, game.Window()), client = {};
        GetClientRect(game.Window(), &client);
        LONG style = GetWindowLongA(game.Window(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION | WS_MAXIMIZEBOX | WS_THICKFRAME);
        CheckText(Format("%ldx%ld 0x%08lX", client.right, client.bottom, style),
                  Format("765x574 0x%08lX", WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION), Format("%lu dpi: client size, frame", dpi));
        Check(r.left >= w.left && r.top >= w.top && r.right <= w.right && r.bottom <= w.bottom && abs(r.left - w.left - (w.right - r.right)) <= 1 &&
              abs(r.top - w.top - (w.bottom - r.bottom)) <= 1, Format("%lu dpi: the window at (%ld,%ld)-(%ld,%ld) is not centred in the work area (%ld,%ld)-(%ld,%ld)",
                                                                 dpi, r.left, r.top, r.right, r.bottom, w.left, w.top, w.right, w.bottom));
        if (dpi != 96) CheckLook(game, "start", Format("%lu-dpi", dpi));
        game.PostClose();
    }
    std::wstring exe = Wide(Config().gameExe);
    // What Explorer's Details tab shows: the strings in UK English, code page 1252, as the program's other resources.
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
    std::vector<char> info(size);
    std::string shown;
    UINT length = 0;
    Require(size && GetFileVersionInfoW(exe.c_str(), 0, size, info.data()), "no version resource");
    for (const wchar_t* name : {L"ProductName", L"FileDescription", L"FileVersion", L"ProductVersion", L"OriginalFilename", L"LegalCopyright"}) {
        wchar_t* value = nullptr;
        VerQueryValueW(info.data(), (std::wstring(L"\\StringFileInfo\\080904E4\\") + name).c_str(), (void**)&value, &length);
        shown += Narrow(value ? value : L"") + "|";
    }
    WORD* language = nullptr;
    VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", (void**)&language, &length);
    CheckText(shown + (language ? Format("%04X %u", language[0], language[1]) : "none"),
              "Quorvant|Quorvant money game|" QUORVANT_VERSION "|" QUORVANT_VERSION "|Quorvant.exe|"
              "Copyright \xA9 2026 The Quorvant developers|0809 1252", "version strings and translation");
}

std::vector<TestCase> WindowTests()
{
    return {{"fixed in size and centred in the work area; at 120 and 144 dpi the board of 96; version details", CheckWindow}};
}

}  // namespace e2e
