// A hook library that the driver puts into the game's thread to write down, in
// order, what the game does to its controls; it changes nothing in the game.
#include <cstdio>

#include "tests/e2e/recorder.h"

using namespace e2e;

static RecordBlock* OpenBlock()
{
    // Mapped once for the life of the game: the hook runs for every message.
    static RecordBlock* block = [] {
        char name[64];
        snprintf(name, sizeof name, "%s%lu", kRecordBlockPrefix, GetCurrentProcessId());
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
        return mapping ? static_cast<RecordBlock*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(RecordBlock)))
                       : nullptr;
    }();
    return block;
}

static void Write(RecordBlock* block, RecordKind kind, HWND control, LONG value, const WCHAR* text)
{
    LONG n = block->count;
    if (n >= kRecordCapacity) {
        InterlockedIncrement(&block->dropped);
        return;
    }
    RecordEntry& entry = block->entries[n];
    entry.kind = kind;
    entry.control = reinterpret_cast<ULONG_PTR>(control) == block->window ? 0 : GetDlgCtrlID(control);
    entry.value = value;
    lstrcpynW(entry.text, text ? text : L"", kRecordTextSize);
    // The driver reads up to count: the entry must be whole before it is counted.
    InterlockedExchange(&block->count, n + 1);
}

static void Record(RecordBlock* block, const CWPRETSTRUCT& handled)
{
    HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(block->window));
    if (handled.hwnd != window && GetParent(handled.hwnd) != window)
        return;
    WCHAR text[kRecordTextSize] = L"";
    switch (handled.message) {
    case WM_SETTEXT:
        // The text as the control holds it, whichever character set it was sent in.
        GetWindowTextW(handled.hwnd, text, kRecordTextSize);
        Write(block, kRecordText, handled.hwnd, 0, text);
        break;
    case LB_ADDSTRING:
        if (handled.lResult >= 0 &&
            SendMessageW(handled.hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(handled.lResult), 0) < kRecordTextSize)
            SendMessageW(handled.hwnd, LB_GETTEXT, static_cast<WPARAM>(handled.lResult), reinterpret_cast<LPARAM>(text));
        Write(block, kRecordLineAdded, handled.hwnd, static_cast<LONG>(handled.lResult), text);
        break;
    case LB_RESETCONTENT:
        Write(block, kRecordListEmptied, handled.hwnd, 0, nullptr);
        break;
    case WM_ENABLE:
        Write(block, kRecordEnabled, handled.hwnd, handled.wParam ? 1 : 0, nullptr);
        break;
    case WM_SETFOCUS:
        Write(block, kRecordFocus, handled.hwnd, 1, nullptr);
        break;
    }
}

extern "C" __declspec(dllexport) LRESULT CALLBACK RecordHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        RecordBlock* block = OpenBlock();
        if (block) {
            block->hooked = 1;
            Record(block, *reinterpret_cast<const CWPRETSTRUCT*>(lParam));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
