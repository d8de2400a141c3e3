// A hook that the driver puts into the game's thread to read the whole board
// between two of the game's steps; it changes nothing in the game.
#include <map>

#include "tests/e2e/snapshot.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

using namespace e2e;

static RECT ClientRectOf(HWND window, int id)
{
    RECT rect = {};
    HWND control = GetDlgItem(window, id);
    if (control) {
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

// The game keeps one bitmap per artwork for its whole run, so a handle's
// look is worked out once.
static ULONGLONG PictureLook(HWND picture)
{
    static std::map<HBITMAP, ULONGLONG> known;
    auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!bitmap)
        return 0;
    auto found = known.find(bitmap);
    if (found != known.end())
        return found->second;
    return known[bitmap] = BitmapLook(bitmap);
}

static void CopyText(HWND window, int id, char* into)
{
    into[0] = '\0';
    GetWindowTextA(GetDlgItem(window, id), into, kSnapshotTextBytes);
}

static LONG CopyLines(HWND list, char (*into)[kSnapshotLineBytes], int capacity)
{
    LONG count = static_cast<LONG>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (LONG i = 0; i < count && i < capacity; ++i) {
        into[i][0] = '\0';
        if (SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < kSnapshotLineBytes)
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(into[i]));
    }
    return count;
}

static void Fill(HWND window, SnapshotBlock* block)
{
    for (int i = 0; i < kSnapshotBoxes; ++i) {
        block->button[i] = ClientRectOf(window, IDC_BOX_BUTTON + i);
        block->picture[i] = ClientRectOf(window, IDC_BOX_PICTURE + i);
        block->plate[i] = ClientRectOf(window, IDC_BOARD_VALUE + i);
        block->buttonEnabled[i] = IsWindowEnabled(GetDlgItem(window, IDC_BOX_BUTTON + i));
        block->pictureLook[i] = PictureLook(GetDlgItem(window, IDC_BOX_PICTURE + i));
    }
    block->dealEnabled = IsWindowEnabled(GetDlgItem(window, IDC_DEAL));
    block->noDealEnabled = IsWindowEnabled(GetDlgItem(window, IDC_NO_DEAL));
    CopyText(window, IDC_STATUS, block->status);
    CopyText(window, IDC_OFFER, block->offer);
    CopyText(window, IDC_BANK, block->bank);
    block->offerLines = CopyLines(GetDlgItem(window, IDC_OFFER_LIST), block->offerList, kSnapshotOfferLines);
    block->historyLines = CopyLines(GetDlgItem(window, IDC_WIN_HISTORY), block->history, kSnapshotHistoryLines);
    block->filled = 1;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK SnapshotHook(int code, WPARAM wParam, LPARAM lParam)
{
    static UINT snapshotMessage = RegisterWindowMessageA(kSnapshotMessageName);
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == snapshotMessage) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kSnapshotBlockName);
        auto* block = mapping ? static_cast<SnapshotBlock*>(
                                    MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(SnapshotBlock)))
                              : nullptr;
        if (block) {
            Fill(sent->hwnd, block);
            UnmapViewOfFile(block);
        }
        if (mapping)
            CloseHandle(mapping);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
