// The window as the player gets it and as the program file holds it.
#include <algorithm>

#include "tests/e2e/harness.h"
#include "resources/resource.h"   // after <windows.h>, whose IDC_HELP names a cursor

namespace e2e {

// Client pixels at 6 x 13 base units.
struct ControlRow { int id; const char* className; int x, y, width, height; DWORD style, exStyle; };

// Pictures and buttons of boxes 1 to 22: picture x, y, button x, y.
static const int kBoxPlaces[22][4] = {
    {14, 489, 32, 509}, {14, 423, 32, 442}, {14, 356, 33, 375}, {14, 289, 33, 309}, {14, 223, 33, 242},
    {14, 156, 33, 176}, {14, 89, 33, 109}, {20, 13, 39, 34}, {116, 13, 135, 33}, {204, 13, 222, 33},
    {293, 13, 312, 33}, {383, 13, 402, 33}, {473, 13, 492, 33}, {561, 13, 579, 34}, {657, 13, 675, 34},
    {666, 88, 687, 109}, {666, 154, 686, 176}, {666, 221, 686, 242}, {666, 288, 686, 309},
    {666, 354, 687, 375}, {666, 421, 686, 442}, {666, 488, 687, 509}};

// Every control, in template order: plates, pictures, buttons, then the rest.
static std::vector<ControlRow> Layout()
{
    std::vector<ControlRow> rows;
    for (int k = 0; k < 22; ++k)
        rows.push_back({IDC_BOARD_VALUE + k, "Static", k < 11 ? 114 : 522, 96 + 26 * (k % 11), 128, 23, 0x5000000E, 0});
    for (int i = 0; i < 22; ++i)
        rows.push_back({IDC_BOX_PICTURE + i, "Static", kBoxPlaces[i][0], kBoxPlaces[i][1], 85, 67, 0x5000000E, 0});
    for (int box : {1, 2, 3, 4, 5, 10, 11, 12, 13, 18, 19, 20, 21, 6, 7, 8, 9, 14, 15, 16, 17, 22})
        rows.push_back({IDC_BOX_BUTTON + box - 1, "Button", kBoxPlaces[box - 1][2], kBoxPlaces[box - 1][3], 41, 29, 0x50018000, 0});
    const ControlRow rest[] = {{-1, "Static", 308, 111, 147, 93, 0x5000000E, 0}, {-1, "Static", 308, 93, 147, 18, 0x50021201, 0},
        {IDC_OFFER, "Static", 308, 203, 147, 26, 0x50021201, 0}, {IDC_DEAL, "Button", 308, 232, 72, 23, 0x58010000, 0},
        {IDC_NO_DEAL, "Button", 383, 232, 72, 23, 0x58010000, 0}, {IDC_NEW_GAME, "Button", 276, 328, 72, 21, 0x50010000, 0},
        {IDC_MORE_GAMES, "Button", 351, 328, 84, 21, 0x50010000, 0}, {IDC_OFFER_LIST, "ListBox", 497, 418, 162, 91, 0x50A10101, 0x1000},
        {IDC_OFFER_LIST_LABEL, "Static", 498, 403, 162, 16, 0x50020001, 0}, {IDC_BANK_LABEL, "Static", 273, 354, 81, 28, 0x50020201, 0},
        {IDC_BANK, "Static", 354, 354, 137, 28, 0x50021201, 0}, {IDC_WIN_HISTORY, "ListBox", 101, 419, 162, 91, 0x50A10101, 0},
        {IDC_WIN_HISTORY_LABEL, "Static", 101, 403, 162, 16, 0x50020001, 0}, {IDC_STATUS, "Edit", 276, 260, 212, 62, 0x50810085, 0},
        {-1, "Static", 275, 405, 212, 13, 0x50020001, 0}, {-1, "Button", 275, 419, 212, 89, 0x50000007, 0x201},
        {IDC_HELP, "Button", 438, 328, 51, 21, 0x50010000, 0}};
    rows.insert(rows.end(), std::begin(rest), std::end(rest));
    return rows;
}

static std::string RowText(const ControlRow& row, int width, int height, DWORD styleMask = ~0u)
{
    return Format("control %d %s at %d,%d %dx%d style 0x%08lX ex 0x%lX", static_cast<short>(row.id), row.className, row.x, row.y,
                  width, height, row.style & styleMask, row.exStyle);
}

// The live window: the controls the player sees, where the artwork expects them.
static void CheckLiveWindow()
{
    Game game;
    Require(game.Start(), game.Error());
    RECT client = {};
    GetClientRect(game.Window(), &client);
    LONG style = GetWindowLongA(game.Window(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION | WS_MAXIMIZEBOX | WS_THICKFRAME);
    CheckText(Format("%ldx%ld 0x%08lX", client.right, client.bottom, style),
              Format("765x574 0x%08lX", WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION), "client size, frame");
    // Lists and edits drop WS_BORDER and WS_VSCROLL from their live styles; the template check sees them.
    const DWORD kLiveBits = 0xFFFF | WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | WS_GROUP;
    std::vector<std::string> live;
    for (HWND c = GetWindow(game.Window(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char name[32] = "";
        RECT r = RectIn(game.Window(), c);
        GetClassNameA(c, name, sizeof name);
        ControlRow row = {GetDlgCtrlID(c), name, r.left, r.top, 0, 0, static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE)), 0};
        live.push_back(RowText(row, r.right - r.left, r.bottom - r.top, kLiveBits));
    }
    for (ControlRow row : Layout()) {
        row.exStyle = 0;   // the live window keeps no template extended styles apart
        Check(std::count(live.begin(), live.end(), RowText(row, row.width, row.height, kLiveBits)) == 1,
              "the window should have one " + RowText(row, row.width, row.height, kLiveBits));
    }
    game.PostClose();
}

// The DIALOGEX header, then each item in creation order, its dialog units turned into pixels at 6 x 13.
static void CheckDialogTemplate()
{
    HMODULE file = LoadLibraryExA(Config().gameExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = file ? FindResourceA(file, MAKEINTRESOURCEA(IDD_GAME), MAKEINTRESOURCEA(5) /* RT_DIALOG */) : nullptr;
    Require(found != nullptr, Format("no dialog %d in the game (error %lu)", IDD_GAME, GetLastError()));
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(file, found)));
    const WORD *at = reinterpret_cast<const WORD*>(data), *end = at + SizeofResource(file, found) / 2;
    auto dword = [&] { DWORD v = at[0] | (at[1] << 16); at += 2; return v; };
    auto text = [&] { std::string s; while (at < end && *at) s += static_cast<char>(*at++); ++at; return s; };
    auto nameOrAtom = [&] {
        static const char* const kAtoms[] = {"Button", "Edit", "Static", "ListBox", "?"};
        return *at != 0xFFFF ? text() : (at += 2, std::string(kAtoms[std::min(at[-1] - 0x80u, 4u)]));
    };
    DWORD signature = dword(), help = dword(), exStyle = dword(), style = dword();
    WORD count = *at++;
    short x = *at++, y = *at++, cx = *at++, cy = *at++;
    std::string menu = nameOrAtom(), windowClass = nameOrAtom(), title = text();
    WORD points = *at++, weight = *at++, italicCharset = *at++;
    CheckText(Format("0x%08lX help %lu ex 0x%lX style 0x%08lX at %d,%d %dx%d menu '%s' class '%s' title '%s' font %u %u 0x%04X %s %u",
                     signature, help, exStyle, style, x, y, cx, cy, menu.c_str(), windowClass.c_str(), title.c_str(), points, weight,
                     italicCharset, text().c_str(), count),
              Format("0xFFFF0001 help 0 ex 0x0 style 0x80CA08C0 at 0,0 510x353 menu '' class '' title '' font 8 0 0x0100 MS Sans Serif %zu",
                     Layout().size()), "template header and control count");
    for (const ControlRow& row : Layout()) {
        if (at >= end) break;
        at = reinterpret_cast<const WORD*>(data + ((reinterpret_cast<const BYTE*>(at) - data + 3) & ~3));
        DWORD itemHelp = dword(), itemEx = dword(), itemStyle = dword();
        short ix = *at++, iy = *at++, icx = *at++, icy = *at++;
        int id = static_cast<int>(dword());
        std::string itemClass = nameOrAtom();
        itemClass = lstrcmpiA(itemClass.c_str(), row.className) ? itemClass : row.className;
        nameOrAtom();
        at += 1 + (*at + 1) / 2;   // creation data: its size in bytes, then the bytes
        bool bitmap = row.style == 0x5000000E;   // a bitmap control takes its bitmap's size
        ControlRow item = {id, itemClass.c_str(), MulDiv(ix, 6, 4), MulDiv(iy, 13, 8), 0, 0, itemStyle, itemEx + itemHelp};
        CheckText(RowText(item, bitmap ? row.width : MulDiv(icx, 6, 4), bitmap ? row.height : MulDiv(icy, 13, 8)),
                  RowText(row, row.width, row.height), "template item");
    }
    FreeLibrary(file);
    // What Explorer's Details tab shows: the strings in UK English, code page 1252, as the program's other resources.
    DWORD size = GetFileVersionInfoSizeA(Config().gameExe.c_str(), nullptr);
    std::vector<char> info(size), shown;
    UINT length = 0;
    Require(size && GetFileVersionInfoA(Config().gameExe.c_str(), 0, size, info.data()), "no version resource");
    for (const char* name : {"ProductName", "FileDescription", "FileVersion", "ProductVersion", "OriginalFilename", "LegalCopyright"}) {
        char* value = nullptr;
        VerQueryValueA(info.data(), (std::string("\\StringFileInfo\\080904E4\\") + name).c_str(), (void**)&value, &length);
        shown.insert(shown.end(), value, value + (value ? strlen(value) : 0)), shown.push_back('|');
    }
    WORD* language = nullptr;
    VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", (void**)&language, &length);
    CheckText(std::string(shown.begin(), shown.end()) + (language ? Format("%04X %u", language[0], language[1]) : "none"),
              "Quorvant|Quorvant money game|" QUORVANT_VERSION "|" QUORVANT_VERSION "|Quorvant.exe|"
              "Copyright \xA9 2026 The Quorvant developers|0809 1252", "version strings and translation");
}

std::vector<TestCase> WindowTests()
{
    return {{"every control where the artwork expects it, and the window fixed in size", CheckLiveWindow},
            {"the dialog template and the version details as the program file holds them", CheckDialogTemplate}};
}

}  // namespace e2e
