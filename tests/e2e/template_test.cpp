// The game window's dialog template as the program file carries it: header, order, units, styles.
// The live window cannot show everything: list and edit controls drop WS_BORDER
// and WS_VSCROLL from their styles, and creation order leaves no trace.
#include <cstring>

#include "tests/e2e/board.h"
#include "tests/e2e/check.h"
#include "tests/e2e/tests.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

// A name or a number, as templates give classes, captions and menus.
struct NameOrNumber {
    bool isNumber = false;
    WORD number = 0;
    std::string name;
};

struct TemplateItem {
    DWORD exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    NameOrNumber windowClass, title;
};

struct DialogTemplate {
    WORD version = 0, signature = 0;
    DWORD exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrNumber menu, windowClass;
    std::string title;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charSet = 0;
    std::string face;
    std::vector<TemplateItem> items;
};

// Reads the extended template (DIALOGEX) field by field; false when it runs out.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data(data), size(size) {}

    template <typename T>
    bool Read(T* value)
    {
        if (at + sizeof(T) > size)
            return false;
        memcpy(value, data + at, sizeof(T));
        at += sizeof(T);
        return true;
    }

    bool ReadText(std::string* text)
    {
        text->clear();
        for (WORD c = 0; Read(&c);) {
            if (c == 0)
                return true;
            text->push_back(c < 0x100 ? static_cast<char>(c) : '?');
        }
        return false;
    }

    bool ReadNameOrNumber(NameOrNumber* value)
    {
        WORD first = 0;
        if (!Read(&first))
            return false;
        if (first == 0xFFFF) {
            value->isNumber = true;
            return Read(&value->number);
        }
        if (first == 0)
            return true;
        at -= sizeof first;
        return ReadText(&value->name);
    }

    void AlignToDword() { at = (at + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t bytes) { at += bytes; }

private:
    const BYTE* data;
    size_t size;
    size_t at = 0;
};

static bool ParseTemplate(const BYTE* data, size_t size, DialogTemplate* dialog)
{
    TemplateReader reader(data, size);
    DWORD helpId = 0;
    WORD count = 0;
    bool ok = reader.Read(&dialog->version) && reader.Read(&dialog->signature) && reader.Read(&helpId) &&
              reader.Read(&dialog->exStyle) && reader.Read(&dialog->style) && reader.Read(&count) &&
              reader.Read(&dialog->x) && reader.Read(&dialog->y) && reader.Read(&dialog->cx) &&
              reader.Read(&dialog->cy) && reader.ReadNameOrNumber(&dialog->menu) &&
              reader.ReadNameOrNumber(&dialog->windowClass) && reader.ReadText(&dialog->title);
    if (ok && (dialog->style & DS_SETFONT))
        ok = reader.Read(&dialog->pointSize) && reader.Read(&dialog->weight) && reader.Read(&dialog->italic) &&
             reader.Read(&dialog->charSet) && reader.ReadText(&dialog->face);
    for (WORD n = 0; ok && n < count; ++n) {
        reader.AlignToDword();
        TemplateItem item;
        DWORD id = 0;
        WORD extra = 0;
        ok = reader.Read(&helpId) && reader.Read(&item.exStyle) && reader.Read(&item.style) &&
             reader.Read(&item.x) && reader.Read(&item.y) && reader.Read(&item.cx) && reader.Read(&item.cy) &&
             reader.Read(&id) && reader.ReadNameOrNumber(&item.windowClass) &&
             reader.ReadNameOrNumber(&item.title) && reader.Read(&extra);
        reader.Skip(extra);
        item.id = static_cast<int>(id);
        dialog->items.push_back(item);
    }
    return ok;
}

static std::string ClassName(const NameOrNumber& windowClass)
{
    if (!windowClass.isNumber)
        return windowClass.name;
    // The predefined classes' numbers in a template.
    switch (windowClass.number) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    }
    return Format("#%u", windowClass.number);
}

static bool LoadGameTemplate(DialogTemplate* dialog, std::string* error)
{
    HMODULE game = LoadLibraryExA(Config().gameExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!game) {
        *error = Format("cannot open %s for its resources (error %lu)", Config().gameExe.c_str(), GetLastError());
        return false;
    }
    HRSRC found = FindResourceA(game, MAKEINTRESOURCEA(IDD_GAME), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL loaded = found ? LoadResource(game, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    bool ok = data && ParseTemplate(static_cast<const BYTE*>(data), SizeofResource(game, found), dialog);
    if (!ok)
        *error = found ? "the dialog template does not parse" : "the program file has no dialog 101";
    FreeLibrary(game);
    return ok;
}

// One control of the template, in dialog units.
struct TemplateRow {
    int id;
    const char* className;
    NameOrNumber title;
    short x, y, cx, cy;
    DWORD style, exStyle;
};

static NameOrNumber Text(const char* text)
{
    NameOrNumber value;
    value.name = text;
    return value;
}

static NameOrNumber Number(WORD number)
{
    NameOrNumber value;
    value.isNumber = true;
    value.number = number;
    return value;
}

// Every control in template order: the plates, the pictures, the box buttons
// in their own order, then the rest.
static std::vector<TemplateRow> ExpectedTemplate()
{
    // The plate bitmaps of value indices 0 to 21: each column's largest amount is out of run.
    const WORD kPlateBitmaps[kBoxes] = {185, 186, 187, 188, 189, 190, 191, 192, 193, 194, 184,
                                        196, 197, 198, 199, 200, 201, 202, 203, 204, 205, 195};
    const struct {
        short pictureX, pictureY, buttonX, buttonY;
    } kBoxUnits[kBoxes] = {
        {9, 301, 21, 313},   {9, 260, 21, 272},   {9, 219, 22, 231},   {9, 178, 22, 190},
        {9, 137, 22, 149},   {9, 96, 22, 108},    {9, 55, 22, 67},     {13, 8, 26, 21},
        {77, 8, 90, 20},     {136, 8, 148, 20},   {195, 8, 208, 20},   {255, 8, 268, 20},
        {315, 8, 328, 20},   {374, 8, 386, 21},   {438, 8, 450, 21},   {444, 54, 458, 67},
        {444, 95, 457, 108}, {444, 136, 457, 149}, {444, 177, 457, 190}, {444, 218, 458, 231},
        {444, 259, 457, 272}, {444, 300, 458, 313},
    };
    const int kButtonOrder[kBoxes] = {1, 2, 3, 4, 5, 10, 11, 12, 13, 18, 19, 20, 21, 6, 7, 8, 9, 14, 15, 16, 17, 22};

    std::vector<TemplateRow> rows;
    for (int k = 0; k < kBoxes; ++k)
        rows.push_back({IDC_BOARD_VALUE + k, "Static", Number(kPlateBitmaps[k]), static_cast<short>(k < 11 ? 76 : 348),
                        static_cast<short>(59 + 16 * (k % 11)), 85, 14, kPicture, 0});
    for (int i = 0; i < kBoxes; ++i)
        rows.push_back({IDC_BOX_PICTURE + i, "Static", Number(IDB_CLOSED_BOX), kBoxUnits[i].pictureX,
                        kBoxUnits[i].pictureY, 57, 41, kPicture, 0});
    static char numbers[kBoxes][4];
    for (int number : kButtonOrder) {
        int i = number - 1;
        snprintf(numbers[i], sizeof numbers[i], "%d", number);
        rows.push_back({IDC_BOX_BUTTON + i, "Button", Text(numbers[i]), kBoxUnits[i].buttonX, kBoxUnits[i].buttonY,
                        27, 18, kChild | WS_TABSTOP | BS_FLAT, 0});
    }
    const TemplateRow kOthers[] = {
        {-1, "Static", Number(IDB_BANKER_PHONE), 205, 68, 98, 57, kPicture, 0},
        {-1, "Static", Text("BANKERS OFFER"), 205, 57, 98, 11, kSunkenText, 0},
        {IDC_OFFER, "Static", Text(""), 205, 125, 98, 16, kSunkenText, 0},
        {IDC_DEAL, "Button", Text("DEAL"), 205, 143, 48, 14, kPushButton | WS_DISABLED, 0},
        {IDC_NO_DEAL, "Button", Text("NO DEAL"), 255, 143, 48, 14, kPushButton | WS_DISABLED, 0},
        {IDC_NEW_GAME, "Button", Text("NEW GAME"), 184, 202, 48, 13, kPushButton, 0},
        {IDC_MORE_GAMES, "Button", Text("MORE GAMES"), 234, 202, 56, 13, kPushButton, 0},
        {IDC_OFFER_LIST, "ListBox", Text(""), 331, 257, 108, 56, kList, WS_EX_RIGHT},
        {IDC_OFFER_LIST_LABEL, "Static", Text("BANKERS OFFERS"), 332, 248, 108, 10, kLabel, 0},
        {IDC_BANK_LABEL, "Static", Text("BANK"), 182, 218, 54, 17, kLabel | SS_CENTERIMAGE, 0},
        {IDC_BANK, "Static", Text(""), 236, 218, 91, 17, kSunkenText, 0},
        {IDC_WIN_HISTORY, "ListBox", Text(""), 67, 258, 108, 56, kList, 0},
        {IDC_WIN_HISTORY_LABEL, "Static", Text("WIN HISTORY"), 67, 248, 108, 10, kLabel, 0},
        {IDC_STATUS, "Edit", Text(""), 184, 160, 141, 38,
         kChild | WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_CENTER | ES_AUTOHSCROLL, 0},
        {-1, "Static", Text("------------------------- MY BOX -------------------------"), 183, 249, 141, 8, kLabel, 0},
        {-1, "Button", Text(""), 183, 258, 141, 55, kChild | BS_GROUPBOX, WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE},
        {IDC_HELP, "Button", Text("HELP"), 292, 202, 34, 13, kPushButton, 0},
    };
    rows.insert(rows.end(), std::begin(kOthers), std::end(kOthers));
    return rows;
}

static std::string Show(const NameOrNumber& value)
{
    return value.isNumber ? Format("#%u", value.number) : "\"" + Printable(value.name) + "\"";
}

static void CheckTemplateItem(size_t n, const TemplateItem& item, const TemplateRow& row)
{
    std::string name = Format("template item %u (control %d)", static_cast<unsigned>(n), row.id);
    // -1 is stored as 0xFFFF or 0xFFFFFFFF.
    bool sameId = item.id == row.id || (row.id == -1 && (item.id & 0xFFFF) == 0xFFFF);
    Check(sameId, Format("%s: identifier %d", name.c_str(), item.id));
    Check(lstrcmpiA(ClassName(item.windowClass).c_str(), row.className) == 0,
          Format("%s: class %s, expected %s", name.c_str(), ClassName(item.windowClass).c_str(), row.className));
    Check(item.title.isNumber == row.title.isNumber && item.title.number == row.title.number &&
              item.title.name == row.title.name,
          Format("%s: caption or image %s, expected %s", name.c_str(), Show(item.title).c_str(), Show(row.title).c_str()));
    Check(item.x == row.x && item.y == row.y && item.cx == row.cx && item.cy == row.cy,
          Format("%s: units %d,%d %dx%d, expected %d,%d %dx%d", name.c_str(), item.x, item.y, item.cx, item.cy, row.x,
                 row.y, row.cx, row.cy));
    Check(item.style == row.style, Format("%s: style 0x%08lX, expected 0x%08lX", name.c_str(), item.style, row.style));
    Check(item.exStyle == row.exStyle,
          Format("%s: extended style 0x%08lX, expected 0x%08lX", name.c_str(), item.exStyle, row.exStyle));
}

static void CheckTemplate()
{
    DialogTemplate dialog;
    std::string error;
    bool loaded = LoadGameTemplate(&dialog, &error);
    Require(loaded, error);
    Check(dialog.version == 1 && dialog.signature == 0xFFFF, "the dialog template is not an extended one");
    Check(dialog.style == (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER | DS_MODALFRAME | DS_SETFONT),
          Format("dialog style 0x%08lX", dialog.style));
    CheckInt(dialog.exStyle, 0, "dialog extended style");
    Check(dialog.x == 0 && dialog.y == 0 && dialog.cx == 510 && dialog.cy == 353,
          Format("dialog at %d,%d %dx%d units, expected 0,0 510x353", dialog.x, dialog.y, dialog.cx, dialog.cy));
    Check(!dialog.menu.isNumber && dialog.menu.name.empty(), "the dialog has a menu");
    Check(!dialog.windowClass.isNumber && dialog.windowClass.name.empty(), "the dialog has a class of its own");
    CheckText(dialog.title, "", "dialog caption in the template");
    CheckText(dialog.face, "MS Sans Serif", "template font");
    Check(dialog.pointSize == 8 && dialog.weight == 0 && dialog.italic == 0 && dialog.charSet == DEFAULT_CHARSET,
          Format("template font %u points, weight %u, italic %u, character set %u", dialog.pointSize, dialog.weight,
                 dialog.italic, dialog.charSet));

    std::vector<TemplateRow> rows = ExpectedTemplate();
    CheckInt(static_cast<long long>(dialog.items.size()), static_cast<long long>(rows.size()), "controls in the template");
    for (size_t n = 0; n < rows.size() && n < dialog.items.size(); ++n)
        CheckTemplateItem(n, dialog.items[n], rows[n]);
}

std::vector<TestCase> TemplateTests()
{
    return {{"template in the program file: header, order, units, captions, styles", CheckTemplate}};
}

}  // namespace e2e
