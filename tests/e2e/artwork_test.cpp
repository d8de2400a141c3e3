// The artwork and sounds as the program file carries them, and the starting
// board's pixels on the screen against the artwork's description.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include "tests/e2e/board.h"
#include "tests/e2e/tests.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

// English (United Kingdom).
const WORD kLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);

// Resource types as the enumeration hands them over: a number, or a name.
static std::string TypeText(LPCSTR type)
{
    if (!IS_INTRESOURCE(type))
        return "\"" + std::string(type) + "\"";
    switch (reinterpret_cast<ULONG_PTR>(type)) {
    case 2: return "BITMAP";
    case 3: return "ICON";
    case 5: return "DIALOG";
    case 14: return "GROUP_ICON";
    case 24: return "MANIFEST";
    }
    return Format("type %lu", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(type)));
}

static std::string ResourceText(const std::string& type, LPCSTR name, WORD language)
{
    std::string id = IS_INTRESOURCE(name) ? Format("%lu", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(name)))
                                          : "\"" + std::string(name) + "\"";
    return Format("%s %s language 0x%04X", type.c_str(), id.c_str(), language);
}

struct Enumeration {
    std::set<std::string> found;
    std::string type;
};

static BOOL CALLBACK OnLanguage(HMODULE, LPCSTR, LPCSTR name, WORD language, LONG_PTR param)
{
    auto* all = reinterpret_cast<Enumeration*>(param);
    all->found.insert(ResourceText(all->type, name, language));
    return TRUE;
}

static BOOL CALLBACK OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param)
{
    EnumResourceLanguagesA(module, type, name, OnLanguage, param);
    return TRUE;
}

static BOOL CALLBACK OnType(HMODULE module, LPSTR type, LONG_PTR param)
{
    reinterpret_cast<Enumeration*>(param)->type = TypeText(type);
    EnumResourceNamesA(module, type, OnName, param);
    return TRUE;
}

// The game's program file, opened for its resources only.
class ProgramFile {
public:
    ProgramFile() : module(LoadLibraryExA(Config().gameExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
        Require(module != nullptr,
                Format("cannot open %s for its resources (error %lu)", Config().gameExe.c_str(), GetLastError()));
    }
    ~ProgramFile() { FreeLibrary(module); }
    ProgramFile(const ProgramFile&) = delete;
    ProgramFile& operator=(const ProgramFile&) = delete;

    HMODULE Module() const { return module; }

    // The resource's bytes; empty when it is missing.
    std::string Bytes(LPCSTR type, int id) const
    {
        HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), kLanguage);
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        return data ? std::string(data, SizeofResource(module, found)) : std::string();
    }

private:
    HMODULE module;
};

static void CheckResourceList()
{
    ProgramFile program;
    Enumeration all;
    EnumResourceTypesA(program.Module(), OnType, reinterpret_cast<LONG_PTR>(&all));

    std::set<std::string> expected;
    auto expect = [&](const char* type, int first, int last) {
        for (int id = first; id <= last; ++id)
            expected.insert(ResourceText(type, MAKEINTRESOURCEA(id), kLanguage));
    };
    expect("BITMAP", IDB_BANKER_PHONE, IDB_BANKER_PHONE);
    expect("BITMAP", IDB_CLOSED_BOX, IDB_CLOSED_BOX);
    expect("BITMAP", IDB_PLATE_750, IDB_PLATE_100000);
    expect("BITMAP", IDB_BACKGROUND, IDB_BACKGROUND);
    expect("BITMAP", IDB_OPEN_BOX_BASE, IDB_OPEN_BOX_BASE + kBoxes - 1);
    expect("GROUP_ICON", IDI_GAME, IDI_GAME);
    expect("ICON", 1, 1);
    expect("MANIFEST", 1, 1);
    expect("\"WAVE\"", IDR_SOUND_BASE, IDR_SOUND_BASE + 9);
    expect("DIALOG", IDD_GAME, IDD_GAME);

    for (const std::string& missing : expected)
        if (!all.found.count(missing))
            Check(false, "the program file lacks " + missing);
    for (const std::string& extra : all.found)
        if (!expected.count(extra))
            Check(false, "the program file holds an unexpected " + extra);
}

// A bitmap resource: an uncompressed 24-bit DIB without colour table, of its size.
static void CheckBitmap(const ProgramFile& program, int id, LONG width, LONG height)
{
    std::string bytes = program.Bytes(RT_BITMAP, id);
    if (!Check(bytes.size() >= sizeof(BITMAPINFOHEADER), Format("bitmap %d is missing or short", id)))
        return;
    BITMAPINFOHEADER header;
    memcpy(&header, bytes.data(), sizeof header);
    Check(header.biWidth == width && labs(header.biHeight) == height && header.biBitCount == 24 &&
              header.biCompression == BI_RGB && header.biClrUsed == 0,
          Format("bitmap %d: %ldx%ld, %u bits, compression %lu, %lu colours; expected %ldx%ld, 24 bits, none", id,
                 header.biWidth, header.biHeight, header.biBitCount, header.biCompression, header.biClrUsed, width,
                 height));
}

static void CheckPictures()
{
    ProgramFile program;
    CheckBitmap(program, IDB_BANKER_PHONE, 147, 93);
    CheckBitmap(program, IDB_CLOSED_BOX, 85, 67);
    CheckBitmap(program, IDB_BACKGROUND, 765, 574);
    for (int id = IDB_PLATE_750; id <= IDB_PLATE_100000; ++id)
        CheckBitmap(program, id, 128, 23);
    for (int k = 0; k < kBoxes; ++k)
        CheckBitmap(program, IDB_OPEN_BOX_BASE + k, 85, 67);

    // The icon group: one 32x32 image of 16 colours, icon resource 1.
    std::string group = program.Bytes(RT_GROUP_ICON, IDI_GAME);
    const size_t kHeader = 6, kEntry = 14;
    if (Check(group.size() >= kHeader + kEntry, "the icon group is missing or short")) {
        auto byte = [&](size_t at) { return static_cast<unsigned char>(group[at]); };
        CheckInt(byte(4) | byte(5) << 8, 1, "images in the icon group");
        Check(byte(6) == 32 && byte(7) == 32 && byte(8) == 16 && (byte(12) | byte(13) << 8) == 4 &&
                  (byte(18) | byte(19) << 8) == 1,
              Format("icon entry: %ux%u, %u colours, %u bits, icon %u; expected 32x32, 16 colours, 4 bits, icon 1",
                     byte(6), byte(7), byte(8), byte(12) | byte(13) << 8, byte(18) | byte(19) << 8));
    }
}

// Each sound a whole 8-bit mono PCM WAVE at 11025 samples a second; its
// sample count tells which recording sits under which number.
static void CheckSounds()
{
    ProgramFile program;
    const DWORD kSamples[10] = {16608, 22529, 33217, 28736, 33920, 38144, 11648, 64148, 11936, 4408};
    for (int n = 0; n < 10; ++n) {
        std::string bytes = program.Bytes("WAVE", IDR_SOUND_BASE + n);
        std::string what = Format("sound %d (WAVE %d)", n, IDR_SOUND_BASE + n);
        if (!Check(bytes.size() >= 44 && bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(8, 4, "WAVE") == 0,
                   what + " is missing or no RIFF WAVE"))
            continue;
        PCMWAVEFORMAT format = {};
        DWORD dataSize = 0;
        bool hasFormat = false, hasData = false;
        for (size_t at = 12; at + 8 <= bytes.size();) {
            DWORD size = 0;
            memcpy(&size, bytes.data() + at + 4, 4);
            std::string id = bytes.substr(at, 4);
            if (id == "fmt " && size >= sizeof format) {
                memcpy(&format, bytes.data() + at + 8, sizeof format);
                hasFormat = true;
            } else if (id == "data") {
                dataSize = size;
                hasData = at + 8 + size <= bytes.size();
            }
            at += 8 + size + (size & 1);
        }
        Check(hasFormat && format.wf.wFormatTag == WAVE_FORMAT_PCM && format.wf.nChannels == 1 &&
                  format.wf.nSamplesPerSec == 11025 && format.wBitsPerSample == 8 && format.wf.nBlockAlign == 1,
              Format("%s: format %u, %u channels, %lu per second, %u bits", what.c_str(), format.wf.wFormatTag,
                     format.wf.nChannels, format.wf.nSamplesPerSec, format.wBitsPerSample));
        Check(hasData && dataSize == kSamples[n],
              Format("%s: %lu samples, expected %lu", what.c_str(), dataSize, kSamples[n]));
    }
}

static void CheckManifest()
{
    ProgramFile program;
    std::string text = program.Bytes(MAKEINTRESOURCEA(24), 1);
    Require(!text.empty(), "no manifest");
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    size_t dependency = lower.find("<dependency>");
    Check(dependency != std::string::npos, "the manifest declares no dependency");
    std::string after = dependency == std::string::npos ? std::string() : text.substr(dependency);
    Check(after.find("name=\"Microsoft.Windows.Common-Controls\"") != std::string::npos &&
              after.find("version=\"6.0.0.0\"") != std::string::npos &&
              after.find("publicKeyToken=\"6595b64144ccf1df\"") != std::string::npos,
          "the manifest's dependency is not on version 6.0.0.0 of the common controls");
    for (const char* absent : {"dpiaware", "dpiawareness", "requestedexecutionlevel", "trustinfo"})
        Check(lower.find(absent) == std::string::npos, Format("the manifest mentions %s", absent));
}

// ---- the starting board on the screen ------------------------------------

// The screen may round a colour by a step or two.
const int kTolerance = 6;

static bool Near(COLORREF seen, COLORREF wanted)
{
    return abs(GetRValue(seen) - GetRValue(wanted)) <= kTolerance &&
           abs(GetGValue(seen) - GetGValue(wanted)) <= kTolerance &&
           abs(GetBValue(seen) - GetBValue(wanted)) <= kTolerance;
}

static std::string ColourText(COLORREF colour)
{
    return Format("(%d,%d,%d)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// Light pine, orange grain included.
static bool IsPine(COLORREF c)
{
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return r >= 195 && r <= 240 && g >= 140 && g <= 215 && b >= 80 && b <= 160 && r > g && g > b;
}

static COLORREF PixelAt(const Pixels& client, POINT at)
{
    return client.At(at.x, at.y);
}

static void CheckPixel(const Pixels& client, POINT at, COLORREF wanted, const std::string& what)
{
    COLORREF seen = PixelAt(client, at);
    Check(Near(seen, wanted), Format("%s at (%ld,%ld) is %s, expected %s", what.c_str(), at.x, at.y,
                                     ColourText(seen).c_str(), ColourText(wanted).c_str()));
}

// The banker's telephone: the only bitmap picture without an identifier.
static RECT PhoneRect(const Game& game)
{
    for (HWND child = GetWindow(game.Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        bool noId = (GetDlgCtrlID(child) & 0xFFFF) == 0xFFFF;
        bool picture = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
        if (noId && picture && lstrcmpiA(ClassOf(child).c_str(), "Static") == 0) {
            RECT rect;
            GetWindowRect(child, &rect);
            MapWindowPoints(nullptr, game.Window(), reinterpret_cast<POINT*>(&rect), 2);
            return rect;
        }
    }
    throw CaseAbort{"the window has no picture without an identifier for the telephone"};
}

static void CheckStartingBoard()
{
    Game game;
    StartOrAbort(game);
    game.Raise();
    RECT client = {};
    GetClientRect(game.Window(), &client);
    Pixels pixels;
    // Read once the window has stopped repainting: two readings alike.
    Pixels previous;
    bool settled = WaitFor(
        [&] {
            previous = pixels;
            std::string error;
            Require(CapturePixels(game.Window(), client, &pixels, &error), error);
            return pixels.colours == previous.colours;
        },
        kStepTimeout, 300);
    Require(settled, "the window keeps changing");

    // Plate fills, away from the amounts: the plate stands right of its bar
    // in the left column and left of it in the right column.
    const COLORREF kFills[kBoxes] = {
        RGB(25, 0, 191),    RGB(30, 2, 210),    RGB(36, 6, 226),    RGB(33, 0, 249),    RGB(77, 50, 255),
        RGB(96, 71, 255),   RGB(116, 95, 255),  RGB(129, 110, 255), RGB(142, 125, 255), RGB(154, 139, 255),
        RGB(170, 157, 255), RGB(255, 158, 131), RGB(255, 147, 117), RGB(255, 140, 108), RGB(255, 134, 100),
        RGB(255, 127, 91),  RGB(255, 116, 77),  RGB(255, 104, 62),  RGB(255, 91, 45),   RGB(255, 76, 27),
        RGB(248, 54, 0),    RGB(221, 51, 3),
    };
    for (int v = 0; v < kBoxes; ++v) {
        RECT plate = game.ClientRect(IDC_BOARD_VALUE + v);
        int ends[2] = {v < 11 ? 30 : 7, v < 11 ? 120 : 97};
        for (int x : ends)
            CheckPixel(pixels, POINT{plate.left + x, plate.top + 11}, kFills[v], Format("fill of plate %d", v));
    }

    // Pine around every closed box, at two corners of its picture.
    for (int i = 0; i < kBoxes; ++i) {
        RECT picture = game.ClientRect(IDC_BOX_PICTURE + i);
        for (POINT corner : {POINT{picture.left + 2, picture.top + 2}, POINT{picture.right - 3, picture.bottom - 3}}) {
            COLORREF seen = PixelAt(pixels, corner);
            Check(IsPine(seen), Format("around box %d at (%ld,%ld): %s is not light pine", i + 1, corner.x, corner.y,
                                       ColourText(seen).c_str()));
        }
    }

    // The panel: blue-violet border on every side, black just inside it.
    for (POINT border : {POINT{110, 100}, POINT{110, 370}, POINT{653, 100}, POINT{653, 370}, POINT{380, 86},
                         POINT{380, 386}})
        CheckPixel(pixels, border, RGB(102, 102, 204), "panel border");
    for (POINT inside : {POINT{116, 90}, POINT{647, 90}, POINT{116, 381}, POINT{647, 381}})
        CheckPixel(pixels, inside, RGB(0, 0, 0), "panel inside its border");

    // The band of light on a row that no control covers: brightest near x = 380.
    const int kRow = 90;
    int brightest = 113;
    for (int x = 113; x <= 650; ++x)
        if (GetRValue(pixels.At(x, kRow)) > GetRValue(pixels.At(brightest, kRow)))
            brightest = x;
    COLORREF peak = pixels.At(brightest, kRow);
    Check(brightest >= 360 && brightest <= 400 && GetRValue(peak) >= 240 && GetGValue(peak) >= 240 &&
              GetBValue(peak) >= 240,
          Format("the band of light is brightest at x = %d with %s, expected near white about x = 380", brightest,
                 ColourText(peak).c_str()));
    for (int x : {240, 520})
        Check(GetRValue(pixels.At(x, kRow)) < GetRValue(pixels.At(brightest, kRow)) / 4,
              Format("the band of light is still bright at x = %d: %s", x, ColourText(pixels.At(x, kRow)).c_str()));

    // The telephone's plain tan background at its top corners.
    RECT phone = PhoneRect(game);
    CheckPixel(pixels, POINT{phone.left + 2, phone.top + 2}, RGB(188, 138, 108), "telephone background");
    CheckPixel(pixels, POINT{phone.right - 3, phone.top + 2}, RGB(188, 138, 108), "telephone background");

    std::string error;
    Check(SaveScreenshot(game.Window(), "artwork_start", &error), error);
}

std::vector<TestCase> ArtworkTests()
{
    return {
        {"program file: exactly the listed resources, all English (UK)", CheckResourceList},
        {"program file: bitmap sizes and formats, the icon", CheckPictures},
        {"program file: sounds are 8-bit mono PCM of their lengths", CheckSounds},
        {"program file: manifest asks for common controls 6 and nothing else", CheckManifest},
        {"starting board on the screen: plates, pine, panel, band of light, telephone", CheckStartingBoard},
    };
}

}  // namespace e2e
