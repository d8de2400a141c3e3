// The window as the player gets it: every control of the program file's dialog template where the artwork
// expects it, the window fixed in size, and the version details that Explorer shows.
#include <algorithm>

#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

static const char* const kClasses[] = {"Button", "Edit", "Static", "ListBox"};   // the template's atoms 0x80 to 0x83

// Lists and edits drop WS_BORDER and WS_VSCROLL from their live styles under Wine; the rest stays as created.
static std::string ControlLine(int id, std::string className, const RECT& r, DWORD style)
{
    const DWORD kLiveBits = 0xFFFF | WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | WS_GROUP;
    for (const char* known : kClasses) className = lstrcmpiA(known, className.c_str()) ? className : known;
    return Format("control %d %s at %ld,%ld %ldx%ld style 0x%08lX", static_cast<short>(id), className.c_str(), r.left,
                  r.top, r.right - r.left, r.bottom - r.top, style & kLiveBits);
}

// Each item of the DIALOGEX template, its dialog units in client pixels at 6 x 13; a bitmap control takes its
// bitmap's size. Items are DWORD-aligned; a class is an atom or a name, a title an ordinal or a text.
static std::vector<std::string> TemplateLines(HMODULE file)
{
    HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(IDD_GAME), RT_DIALOG);
    Require(found != nullptr, Format("no dialog %d in the program file", IDD_GAME));
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(file, found)));
    const WORD *at = reinterpret_cast<const WORD*>(data) + 8, *end = at + SizeofResource(file, found) / 2;
    auto text = [&] { std::string s; while (at < end && *at) s += static_cast<char>(*at++); return ++at, s; };
    auto nameOrNumber = [&] { return *at == 0xFFFF ? (at += 2, "#" + std::to_string(at[-1])) : text(); };
    WORD count = *at;
    at += 5, nameOrNumber(), nameOrNumber(), text(), at += 3, text();   // place, menu, class, caption, font, face
    std::vector<std::string> lines;
    for (int item = 0; item < count && at < end; ++item) {
        at = reinterpret_cast<const WORD*>(data + ((reinterpret_cast<const BYTE*>(at) - data + 3) & ~3));
        DWORD style = at[4] | at[5] << 16;
        const short* units = reinterpret_cast<const short*>(at + 6);
        RECT r = {MulDiv(units[0], 6, 4), MulDiv(units[1], 13, 8)};
        r.right = r.left + MulDiv(units[2], 6, 4), r.bottom = r.top + MulDiv(units[3], 13, 8);
        int id = static_cast<int>(at[10] | at[11] << 16);
        at += 12;
        std::string className = nameOrNumber(), title = nameOrNumber();
        className = className[0] == '#' ? kClasses[(std::stoi(className.substr(1)) - 0x80) & 3] : className;
        HRSRC bitmap = (style & SS_TYPEMASK) == SS_BITMAP && title[0] == '#'
                           ? FindResourceA(file, MAKEINTRESOURCEA(std::stoi(title.substr(1))), RT_BITMAP) : nullptr;
        if (const auto* header = bitmap ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(file, bitmap))) : nullptr)
            r.right = r.left + header->biWidth, r.bottom = r.top + header->biHeight;
        at += 1 + (*at + 1) / 2;   // creation data: its size in bytes, then the bytes
        lines.push_back(ControlLine(id, className, r, style));
    }
    return lines;
}

static void CheckWindowAndProgramFile()
{
    Game game;
    Require(game.Start(), game.Error());
    RECT client = {};
    GetClientRect(game.Window(), &client);
    LONG style = GetWindowLongA(game.Window(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION | WS_MAXIMIZEBOX | WS_THICKFRAME);
    CheckText(Format("%ldx%ld 0x%08lX", client.right, client.bottom, style),
              Format("765x574 0x%08lX", WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION), "client size, frame");
    std::vector<std::string> live;
    for (HWND c = GetWindow(game.Window(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char name[32] = "";
        GetClassNameA(c, name, sizeof name);
        live.push_back(ControlLine(GetDlgCtrlID(c), name, RectIn(game.Window(), c), GetWindowLongA(c, GWL_STYLE)));
    }
    std::wstring exe = Wide(Config().gameExe);
    HMODULE file = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::vector<std::string> expected = TemplateLines(file);
    FreeLibrary(file);
    Check(live.size() == expected.size(), Format("%zu controls in the window, %zu in the template", live.size(), expected.size()));
    for (const std::string& line : expected)
        Check(std::count(live.begin(), live.end(), line) == 1, "the window should have one " + line);
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
    game.PostClose();
}

// Every shard's display has a panel, on the top or on the left (scripts/e2e.sh sets the root window's _NET_WORKAREA, which
// Wine takes when it starts): the window opens wholly inside the work area, centred in it. At 120 and 144 dots per inch
// the client area reads as the references made at 96 show it.
static void CheckWorkAreaAndScaling()
{
    RECT w = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &w, 0);
    Check(w.left > 0 || w.top > 0, Format("the work area is the whole screen, (%ld,%ld)-(%ld,%ld): no panel to keep clear of", w.left, w.top, w.right, w.bottom));
    for (DWORD dpi : {120, 144}) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
        Game game;
        bool started = game.Start();
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
        Require(started, game.Error());
        RECT r = RectIn(nullptr, game.Window());
        Check(r.left >= w.left && r.top >= w.top && r.right <= w.right && r.bottom <= w.bottom && abs(r.left - w.left - (w.right - r.right)) <= 1 &&
              abs(r.top - w.top - (w.bottom - r.bottom)) <= 1, Format("%lu dpi: the window at (%ld,%ld)-(%ld,%ld) is not centred in the work area (%ld,%ld)-(%ld,%ld)",
                                                                 dpi, r.left, r.top, r.right, r.bottom, w.left, w.top, w.right, w.bottom));
        CheckLook(game, "start", Format("%lu-dpi", dpi));
        game.PostClose();
    }
}

std::vector<TestCase> WindowTests()
{
    return {{"every control of the template where the artwork expects it, the window fixed in size; version details",
             CheckWindowAndProgramFile},
            {"centred in the work area, and at 120 and 144 dpi the board of 96", CheckWorkAreaAndScaling}};
}

}  // namespace e2e
