// What the snapshot hook reads inside the game's thread: the whole board at
// one moment, taken between two of the game's own steps, never half-way
// through a reveal or a new deal as reads from outside can be.
#pragma once

#include <windows.h>

namespace e2e {

// The driver creates the shared block and sends the snapshot message; the
// hook, running in the game's thread, fills the block before the send returns.
const char kSnapshotBlockName[] = "QuorvantE2ESnapshotBlock";
const char kSnapshotMessageName[] = "QuorvantE2ESnapshotMessage";
const char kSnapshotHookName[] = "SnapshotHook";

const int kSnapshotBoxes = 22;
const int kSnapshotTextBytes = 256;
const int kSnapshotLineBytes = 24;
const int kSnapshotOfferLines = 16;
// Enough for a soak's win history; a longer one is reported cut short.
const int kSnapshotHistoryLines = 4096;

struct SnapshotBlock {
    LONG filled;
    // Client rectangles of box i's button and picture, and of board plate v.
    RECT button[kSnapshotBoxes];
    RECT picture[kSnapshotBoxes];
    RECT plate[kSnapshotBoxes];
    LONG buttonEnabled[kSnapshotBoxes];
    // BitmapLook of each picture's image: which artwork it shows.
    ULONGLONG pictureLook[kSnapshotBoxes];
    LONG dealEnabled;
    LONG noDealEnabled;
    char status[kSnapshotTextBytes];
    char offer[kSnapshotTextBytes];
    char bank[kSnapshotTextBytes];
    LONG offerLines;
    char offerList[kSnapshotOfferLines][kSnapshotLineBytes];
    LONG historyLines;
    char history[kSnapshotHistoryLines][kSnapshotLineBytes];
};

// A fingerprint of a bitmap's pixels (FNV-1a over its 24-bit rows), the same
// in the game's process and in the driver's for the same artwork. 0 when the
// bitmap cannot be read.
inline ULONGLONG BitmapLook(HBITMAP bitmap)
{
    BITMAP shape = {};
    if (!bitmap || GetObjectA(bitmap, sizeof shape, &shape) != sizeof shape)
        return 0;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shape.bmWidth;
    info.bmiHeader.biHeight = shape.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    size_t stride = (static_cast<size_t>(shape.bmWidth) * 3 + 3) & ~static_cast<size_t>(3);
    size_t size = stride * static_cast<size_t>(shape.bmHeight);
    BYTE* bits = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!bits)
        return 0;
    HDC screen = GetDC(nullptr);
    int lines = GetDIBits(screen, bitmap, 0, static_cast<UINT>(shape.bmHeight), bits, &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    ULONGLONG look = 0;
    if (lines == shape.bmHeight) {
        look = 14695981039346656037ULL;
        for (size_t i = 0; i < size; ++i)
            look = (look ^ bits[i]) * 1099511628211ULL;
    }
    HeapFree(GetProcessHeap(), 0, bits);
    return look;
}

}  // namespace e2e
