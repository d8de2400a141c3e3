// The game window: frame, controls and their places, fonts, the dead keyboard, and closing.
#include <functional>

#include "tests/e2e/board.h"
#include "tests/e2e/check.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/tests.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

static void CheckFrame()
{
    Game game;
    StartOrAbort(game);
    HWND window = game.Window();
    CheckText(game.Caption(), kGameCaption, "caption");

    RECT client = {};
    GetClientRect(window, &client);
    CheckInt(client.right, 765, "client width");
    CheckInt(client.bottom, 574, "client height");

    DWORD style = GetWindowLongA(window, GWL_STYLE);
    const struct {
        DWORD bit;
        bool wanted;
        const char* name;
    } kStyleBits[] = {
        {WS_POPUP, true, "WS_POPUP"},
        {WS_CAPTION, true, "WS_CAPTION"},
        {WS_SYSMENU, true, "WS_SYSMENU"},
        {WS_MINIMIZEBOX, true, "WS_MINIMIZEBOX"},
        {WS_MAXIMIZEBOX, false, "WS_MAXIMIZEBOX"},
        {WS_THICKFRAME, false, "WS_THICKFRAME"},
    };
    for (const auto& row : kStyleBits)
        Check(((style & row.bit) == row.bit) == row.wanted,
              Format("window style 0x%08lX: %s should be %s", static_cast<unsigned long>(style),
                     row.name, row.wanted ? "set" : "clear"));

    // Centred by its template on a screen without task bar.
    RECT frame = {};
    GetWindowRect(window, &frame);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    long offsetX = (frame.left + frame.right) - (work.left + work.right);
    long offsetY = (frame.top + frame.bottom) - (work.top + work.bottom);
    Check(labs(offsetX) <= 2 && labs(offsetY) <= 2,
          Format("window %s is not centred in the work area %s", RectText(frame).c_str(),
                 RectText(work).c_str()));

    ProbeBlock inside;
    std::string error;
    bool read = ReadProbe(game, &inside, &error);
    if (Check(read, error)) {
        Check(inside.smallIcon != 0, "the window has no small icon");
        Check(inside.bigIcon == 0, "the window has a large icon; only the small one is set");
    }
}

// One control of the window as the template lays it out. A null caption is
// not checked: the game fills those controls itself.
struct ControlRow {
    int id;                 // -1: a control without an identifier of its own
    const char* className;
    const char* caption;
    RECT rect;
    DWORD style;
    DWORD exStyle;          // bits that must be set
};

static std::vector<ControlRow> TemplateRows()
{
    std::vector<ControlRow> rows = {
        {-1, "Static", nullptr, MakeRect(308, 111, 147, 93), kPicture, 0},
        {-1, "Static", "BANKERS OFFER", MakeRect(308, 93, 147, 18), kSunkenText, 0},
        {IDC_OFFER, "Static", nullptr, MakeRect(308, 203, 147, 26), kSunkenText, 0},
        {IDC_DEAL, "Button", "DEAL", MakeRect(308, 232, 72, 23), kPushButton | WS_DISABLED, 0},
        {IDC_NO_DEAL, "Button", "NO DEAL", MakeRect(383, 232, 72, 23), kPushButton | WS_DISABLED, 0},
        {IDC_NEW_GAME, "Button", "NEW GAME", MakeRect(276, 328, 72, 21), kPushButton, 0},
        {IDC_MORE_GAMES, "Button", "MORE GAMES", MakeRect(351, 328, 84, 21), kPushButton, 0},
        {IDC_OFFER_LIST, "ListBox", nullptr, MakeRect(497, 418, 162, 91), kList, WS_EX_RIGHT},
        {IDC_OFFER_LIST_LABEL, "Static", "BANKERS OFFERS", MakeRect(498, 403, 162, 16), kLabel, 0},
        {IDC_BANK_LABEL, "Static", "BANK", MakeRect(273, 354, 81, 28), kLabel | SS_CENTERIMAGE, 0},
        {IDC_BANK, "Static", nullptr, MakeRect(354, 354, 137, 28), kSunkenText, 0},
        {IDC_WIN_HISTORY, "ListBox", nullptr, MakeRect(101, 419, 162, 91), kList, 0},
        {IDC_WIN_HISTORY_LABEL, "Static", "WIN HISTORY", MakeRect(101, 403, 162, 16), kLabel, 0},
        {IDC_STATUS, "Edit", nullptr, MakeRect(276, 260, 212, 62),
         kChild | WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_CENTER | ES_AUTOHSCROLL, 0},
        {-1, "Static", "------------------------- MY BOX -------------------------",
         MakeRect(275, 405, 212, 13), kLabel, 0},
        {-1, "Button", "", MakeRect(275, 419, 212, 89), kChild | BS_GROUPBOX,
         WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE},
        {IDC_HELP, "Button", "HELP", MakeRect(438, 328, 51, 21), kPushButton, 0},
    };
    static char numbers[kBoxes][4];
    for (int i = 0; i < kBoxes; ++i) {
        snprintf(numbers[i], sizeof numbers[i], "%d", i + 1);
        rows.push_back({IDC_BOX_PICTURE + i, "Static", nullptr, PictureHome(i), kPicture, 0});
        rows.push_back({IDC_BOX_BUTTON + i, "Button", numbers[i], ButtonHome(i), kChild | WS_TABSTOP | BS_FLAT, 0});
        rows.push_back({IDC_BOARD_VALUE + i, "Static", nullptr, PlateHome(i), kPicture, 0});
    }
    return rows;
}

static std::vector<HWND> Children(HWND window)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// The template gives such controls the identifier -1, which reads back as
// 0xFFFF or 0xFFFFFFFF by the system.
static bool Unnamed(HWND control)
{
    return (GetDlgCtrlID(control) & 0xFFFF) == 0xFFFF;
}

// A control without an identifier is known by its class, kind and caption.
static HWND FindUnnamed(const Game& game, const ControlRow& row)
{
    for (HWND child : Children(game.Window())) {
        if (!Unnamed(child) || lstrcmpiA(ClassOf(child).c_str(), row.className) != 0)
            continue;
        // The low bits tell the kind: SS_BITMAP, SS_CENTER, BS_GROUPBOX.
        DWORD kind = GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK;
        if (kind != (row.style & SS_TYPEMASK))
            continue;
        if (row.caption) {
            char caption[128] = "";
            GetWindowTextA(child, caption, sizeof caption);
            if (row.caption != std::string(caption))
                continue;
        }
        return child;
    }
    return nullptr;
}

static void CheckControlRow(const Game& game, const ControlRow& row)
{
    std::string name = row.id == -1 ? Format("unnamed %s \"%s\"", row.className, row.caption ? row.caption : "")
                                    : Format("control %d", row.id);
    HWND control = row.id == -1 ? FindUnnamed(game, row) : game.Control(row.id);
    if (!Check(control != nullptr, name + ": missing"))
        return;
    Check(lstrcmpiA(ClassOf(control).c_str(), row.className) == 0,
          Format("%s: class \"%s\", expected \"%s\"", name.c_str(), ClassOf(control).c_str(), row.className));
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, game.Window(), reinterpret_cast<POINT*>(&rect), 2);
    Check(EqualRect(&rect, &row.rect) != 0, Format("%s: at %s, expected %s", name.c_str(),
                                                  RectText(rect).c_str(), RectText(row.rect).c_str()));
    if (row.caption)
        CheckText(WindowText(control), row.caption, name + ": caption");
    // Edit and list controls draw their own border and show their scroll bar
    // only when it is needed, taking those bits out of their live style.
    DWORD mask = ~static_cast<DWORD>(0);
    if (lstrcmpiA(row.className, "Edit") == 0 || lstrcmpiA(row.className, "ListBox") == 0)
        mask &= ~static_cast<DWORD>(WS_BORDER | WS_VSCROLL | WS_HSCROLL);
    DWORD style = GetWindowLongA(control, GWL_STYLE);
    Check((style & mask) == (row.style & mask),
          Format("%s: style 0x%08lX, expected 0x%08lX", name.c_str(), static_cast<unsigned long>(style),
                 static_cast<unsigned long>(row.style)));
    DWORD exStyle = GetWindowLongA(control, GWL_EXSTYLE);
    Check((exStyle & row.exStyle) == row.exStyle,
          Format("%s: extended style 0x%08lX lacks 0x%08lX", name.c_str(),
                 static_cast<unsigned long>(exStyle), static_cast<unsigned long>(row.exStyle)));
    bool enabled = (row.style & WS_DISABLED) == 0;
    Check((IsWindowEnabled(control) != 0) == enabled,
          Format("%s: %s, expected %s", name.c_str(), IsWindowEnabled(control) ? "enabled" : "disabled",
                 enabled ? "enabled" : "disabled"));
}

static void CheckControls()
{
    Game game;
    StartOrAbort(game);
    std::vector<ControlRow> rows = TemplateRows();
    for (const ControlRow& row : rows)
        CheckControlRow(game, row);
    // Nothing is created beyond the template.
    CheckInt(static_cast<long long>(Children(game.Window()).size()), static_cast<long long>(rows.size()),
             "number of controls in the window");
}

// What the probe saw of one control's font.
static const ProbeFont* FontEntry(const ProbeBlock& inside, HWND control)
{
    for (int i = 0; i < inside.count; ++i)
        if (inside.controls[i].control == reinterpret_cast<ULONG_PTR>(control))
            return &inside.controls[i];
    return nullptr;
}

static ULONGLONG FontOf(const ProbeBlock& inside, HWND control)
{
    const ProbeFont* entry = FontEntry(inside, control);
    return entry ? entry->font : 0;
}

// The font request of both game fonts but for the cell size.
static void CheckFontRequest(const ProbeFont* entry, LONG height, LONG width, const char* name)
{
    if (!Check(entry && entry->hasLogFont, Format("the %s font cannot be described", name)))
        return;
    const LOGFONTA& font = entry->logFont;
    const struct {
        const char* field;
        long long actual, expected;
    } kFields[] = {
        {"height", font.lfHeight, height},
        {"width", font.lfWidth, width},
        {"escapement", font.lfEscapement, 0},
        {"orientation", font.lfOrientation, 0},
        {"weight", font.lfWeight, FW_BOLD},
        {"italic", font.lfItalic, 0},
        {"underline", font.lfUnderline, 0},
        {"strike-out", font.lfStrikeOut, 0},
        {"character set", font.lfCharSet, DEFAULT_CHARSET},
        {"output precision", font.lfOutPrecision, OUT_DEFAULT_PRECIS},
        {"clipping precision", font.lfClipPrecision, CLIP_DEFAULT_PRECIS},
        {"quality", font.lfQuality, DEFAULT_QUALITY},
        {"pitch and family", font.lfPitchAndFamily, FIXED_PITCH | FF_DONTCARE},
    };
    for (const auto& row : kFields)
        CheckInt(row.actual, row.expected, Format("%s font, %s", name, row.field));
    CheckText(font.lfFaceName, "arial", Format("%s font, face", name));
}

// Font handles mean nothing outside the game, so they are read inside it and
// told apart by handle: one for the large displays, one for the small texts,
// and the template's own for the rest.
static void CheckFonts()
{
    Game game;
    StartOrAbort(game);
    ProbeBlock inside;
    std::string error;
    bool read = ReadProbe(game, &inside, &error);
    Require(read, error);
    ULONGLONG templateFont = inside.windowFont;
    const ProbeFont* largeEntry = FontEntry(inside, game.Control(IDC_OFFER));
    const ProbeFont* smallEntry = FontEntry(inside, game.Control(IDC_STATUS));
    ULONGLONG large = largeEntry ? largeEntry->font : 0;
    ULONGLONG small = smallEntry ? smallEntry->font : 0;
    Check(templateFont != 0, "the window has no template font");
    Check(large != 0 && small != 0, "the offer display or the status box has no font set");
    Check(large != small, "the large and the small font are one font");
    Check(large != templateFont && small != templateFont, "a game font is the template font");
    CheckFontRequest(largeEntry, 26, 13, "large");
    CheckFontRequest(smallEntry, 16, 8, "small");

    const struct {
        int id;
        ULONGLONG expected;
        const char* font;
    } kRows[] = {
        {IDC_BANK, large, "large"},
        {IDC_BANK_LABEL, large, "large"},
        {IDC_OFFER_LIST, small, "small"},
        {IDC_WIN_HISTORY, small, "small"},
        {IDC_OFFER_LIST_LABEL, small, "small"},
        {IDC_WIN_HISTORY_LABEL, small, "small"},
        {IDC_DEAL, templateFont, "template"},
        {IDC_NO_DEAL, templateFont, "template"},
        {IDC_NEW_GAME, templateFont, "template"},
        {IDC_MORE_GAMES, templateFont, "template"},
        {IDC_HELP, templateFont, "template"},
    };
    for (const auto& row : kRows)
        Check(FontOf(inside, game.Control(row.id)) == row.expected,
              Format("control %d does not use the %s font", row.id, row.font));
    for (int i = 0; i < kBoxes; ++i)
        Check(FontOf(inside, game.Control(IDC_BOX_BUTTON + i)) == templateFont,
              Format("box button %d does not use the template font", i + 1));
    // "BANKERS OFFER" and the MY BOX line.
    for (const ControlRow& row : TemplateRows()) {
        if (row.id != -1 || !row.caption || !*row.caption)
            continue;
        HWND control = FindUnnamed(game, row);
        Check(control && FontOf(inside, control) == templateFont,
              Format("unnamed %s \"%s\" does not use the template font", row.className, row.caption));
    }
}

// ---- the keyboard does nothing ------------------------------------------

struct KeyRow {
    const char* name;
    std::function<void(Game&)> prepare;   // puts the focus somewhere a key could act
    int focus;                            // the control that must hold the focus then; 0: any
};

static void CheckKeysDoNothing(const KeyRow& row)
{
    Game game;
    StartOrAbort(game);
    row.prepare(game);
    // Input is handled in its own time: wait for the click to move the focus.
    HWND focus = nullptr;
    WaitFor([&] { return (focus = FocusOf(game)) == game.Control(row.focus) || !row.focus; }, kStepTimeout);
    Require(!row.focus || focus == game.Control(row.focus),
            Format("the focus is on control %d, not on %d", focus ? GetDlgCtrlID(focus) : 0,
                   row.focus));
    Require(AnyMessageBox(game) == nullptr, "a message box is open before any key");
    BoardState before = ReadBoard(game);
    Require(game.Raise(), "the game window does not come to the foreground");
    const struct {
        WORD key;
        const char* name;
    } kKeys[] = {
        {VK_RETURN, "Enter"}, {VK_SPACE, "Space"}, {VK_TAB, "Tab"}, {VK_LEFT, "Left"},
        {VK_RIGHT, "Right"},  {VK_UP, "Up"},       {VK_DOWN, "Down"}, {'A', "A"},
        {'Q', "Q"},           {'7', "7"},          {VK_BACK, "Backspace"}, {VK_DELETE, "Delete"},
        {VK_ESCAPE, "Escape"},
    };
    // Each key alone: a question opened by one key could be answered by the next.
    for (const auto& key : kKeys) {
        PressKeys({key.key});
        HWND box = nullptr;
        WaitFor([&] { return (box = AnyMessageBox(game)) != nullptr; }, 300);
        if (!Check(box == nullptr, Format("%s opened a message box \"%s\"", key.name,
                                          Printable(WindowText(box)).c_str())))
            Require(PostMessageA(box, WM_CLOSE, 0, 0) && WaitFor([&] { return !IsWindow(box); }, kStepTimeout),
                    "the message box does not close");
    }
    Sleep(500);
    Check(game.Running(), "the game ended");
    for (const std::string& difference : CompareBoards(before, ReadBoard(game)))
        Check(false, difference);
}

static std::vector<KeyRow> KeyRows()
{
    // With the keys reaching the controls, Enter or Space would press a
    // focused NEW GAME and letters would land in a focused status box.
    return {
        {"fresh board", [](Game&) {}, 0},
        {"status box focused", [](Game& game) { ClickOrAbort(game, IDC_STATUS); }, IDC_STATUS},
        {"NEW GAME focused after a choice",
         [](Game& game) {
             ChooseBoxSeven(game);
             bool pressed = game.PressAndSlideOff(IDC_NEW_GAME);
             Require(pressed, game.Error());
         },
         IDC_NEW_GAME},
        {"after NEW GAME declined", AskAndDecline, 0},
        {"own box chosen", ChooseBoxSeven, IDC_OFFER_LIST},
    };
}

// ---- closing -------------------------------------------------------------

struct CloseRow {
    const char* name;
    bool questionOpen;   // "START AGAIN?" waits for an answer meanwhile
    bool altF4;          // else WM_CLOSE
};

static void CheckClose(const CloseRow& row)
{
    Game game;
    StartOrAbort(game);
    if (row.questionOpen) {
        ClickOrAbort(game, IDC_NEW_GAME);
        Require(WaitForMessageBox(game, "NEW GAME") != nullptr, "no \"NEW GAME\" question");
    }
    if (row.altF4)
    {
        bool pressed = game.PressAltF4();
        Require(pressed, game.Error());
    }
    else
        Require(game.PostClose(), "WM_CLOSE could not be posted");
    DWORD code = 0;
    if (Check(game.WaitExit(kExitTimeout, &code),
              Format("the game still runs %d ms after the close", kExitTimeout)))
        CheckInt(code, 0, "exit code");
}

std::vector<TestCase> WindowTests()
{
    std::vector<TestCase> cases = {
        {"frame: caption, client size, style, centring, icon", CheckFrame},
        {"controls: class, place, caption, style, enabled state", CheckControls},
        {"fonts", CheckFonts},
    };
    for (const TestCase& testCase : TemplateTests())
        cases.push_back(testCase);
    for (const KeyRow& row : KeyRows())
        cases.push_back({std::string("keys change nothing: ") + row.name, [row] { CheckKeysDoNothing(row); }});
    const CloseRow kCloseRows[] = {
        {"WM_CLOSE", false, false},
        {"Alt+F4", false, true},
        {"WM_CLOSE with START AGAIN? open", true, false},
        {"Alt+F4 with START AGAIN? open", true, true},
    };
    for (const CloseRow& row : kCloseRows)
        cases.push_back({std::string("close ends with code 0: ") + row.name, [row] { CheckClose(row); }});
    return cases;
}

}  // namespace e2e
