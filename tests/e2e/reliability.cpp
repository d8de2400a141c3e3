// Reliability runs: their settings, the game's resource figures, and the board read whole.
#include "tests/e2e/reliability.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cctype>

#include "tests/e2e/check.h"
// After <windows.h>, whose IDC_HELP names a cursor.
#include "resources/resource.h"

namespace e2e {

ReliabilitySettings& Reliability()
{
    static ReliabilitySettings settings;
    return settings;
}

bool Soaking()
{
    return Reliability().soakMinutes > 0;
}

std::mt19937 SeededRandom(const char* what)
{
    unsigned seed = Reliability().seed ? Reliability().seed : GetTickCount() ^ (GetCurrentProcessId() << 16);
    Note(Format("%s: seed %u (replay with --seed %u)", what, seed, seed));
    return std::mt19937(seed);
}

int Pick(std::mt19937& random, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(random);
}

bool Chance(std::mt19937& random, double probability)
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(random) < probability;
}

// ---- figures --------------------------------------------------------------

// Wine answers PrivateUsage with 0; the committed private regions are the
// same quantity, summed from outside.
static double CommittedPrivate(HANDLE process)
{
    double total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* at = nullptr;
    while (VirtualQueryEx(process, at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += static_cast<double>(region.RegionSize);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return total;
}

// The system's handle table, for systems whose GetProcessHandleCount answers 0.
struct HandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT type;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};
const int kSystemExtendedHandleInformation = 64;
const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
using QuerySystem = LONG(WINAPI*)(int, PVOID, ULONG, PULONG);

static bool CountHandles(DWORD pid, double* count)
{
    auto query = reinterpret_cast<QuerySystem>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return false;
    std::vector<BYTE> buffer(1 << 20);
    LONG status;
    ULONG needed = 0;
    while ((status = query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           &needed)) == kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return false;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    *count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i)
        if (table->entries[i].processId == pid)
            ++*count;
    return true;
}

// The GDI handle table that the process's PEB points to: one entry per
// handle slot, a non-zero type for a live object. Wine keeps one table per
// process and answers GetGuiResources with 0.
struct GdiEntry {
    ULONGLONG object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR extType;
    ULONGLONG userData;
};
const size_t kGdiSlots = 0x10000;
const size_t kPebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
using QueryProcess = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);

static bool CountGdiObjects(HANDLE process, double* count)
{
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query || query(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, nullptr) < 0)
        return false;
    ULONG_PTR table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + kPebGdiTableOffset,
                           &table, sizeof table, &read) ||
        !table)
        return false;
    std::vector<GdiEntry> entries(kGdiSlots);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                           entries.size() * sizeof(GdiEntry), &read))
        return false;
    *count = 0;
    for (const GdiEntry& entry : entries)
        if (entry.type)
            ++*count;
    return true;
}

bool ReadFigures(DWORD pid, Figures* figures, std::string* source, std::string* error)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        *error = Format("cannot open process %lu (error %lu)", pid, GetLastError());
        return false;
    }
    std::vector<std::string> sources;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory) &&
        memory.PrivateUsage) {
        figures->privateBytes = static_cast<double>(memory.PrivateUsage);
        sources.push_back("memory: PrivateUsage");
    } else {
        figures->privateBytes = CommittedPrivate(process);
        sources.push_back("memory: committed private regions (PrivateUsage reads 0)");
    }
    DWORD handles = 0;
    bool ok = true;
    if (GetProcessHandleCount(process, &handles) && handles) {
        figures->handles = handles;
        sources.push_back("handles: GetProcessHandleCount");
    } else {
        ok = CountHandles(pid, &figures->handles);
        sources.push_back("handles: the system handle table (GetProcessHandleCount reads 0)");
    }
    DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    if (gdi) {
        figures->gdiObjects = gdi;
        sources.push_back("GDI: GetGuiResources");
    } else {
        ok = CountGdiObjects(process, &figures->gdiObjects) && ok;
        sources.push_back("GDI: the process's GDI handle table (GetGuiResources reads 0)");
    }
    CloseHandle(process);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread = {};
    thread.dwSize = sizeof thread;
    figures->threads = 0;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        figures->threads += thread.th32OwnerProcessID == pid;
    if (snapshot != INVALID_HANDLE_VALUE)
        CloseHandle(snapshot);
    if (!ok) {
        *error = Format("cannot count the handles or GDI objects of process %lu", pid);
        return false;
    }
    source->clear();
    for (const std::string& part : sources)
        *source += (source->empty() ? "" : "; ") + part;
    return true;
}

double Slope(const std::vector<double>& xs, const std::vector<double>& ys)
{
    double n = static_cast<double>(ys.size());
    if (n < 2)
        return 0;
    double meanX = 0, meanY = 0;
    for (size_t i = 0; i < ys.size(); ++i) {
        meanX += xs[i] / n;
        meanY += ys[i] / n;
    }
    double covariance = 0, variance = 0;
    for (size_t i = 0; i < ys.size(); ++i) {
        covariance += (xs[i] - meanX) * (ys[i] - meanY);
        variance += (xs[i] - meanX) * (xs[i] - meanX);
    }
    return variance > 0 ? covariance / variance : 0;
}

// ---- the board -------------------------------------------------------------

int Artwork::ValueShown(ULONGLONG look) const
{
    if (look == closed)
        return kClosedLook;
    for (int v = 0; v < kSnapshotBoxes; ++v)
        if (look == opened[v])
            return v;
    return kUnknownLook;
}

bool LoadArtwork(const std::string& exePath, Artwork* artwork, std::string* error)
{
    HMODULE module = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        *error = Format("cannot read the resources of %s (error %lu)", exePath.c_str(), GetLastError());
        return false;
    }
    auto look = [&](int id) {
        HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
        ULONGLONG value = BitmapLook(bitmap);
        if (bitmap)
            DeleteObject(bitmap);
        return value;
    };
    artwork->closed = look(IDB_CLOSED_BOX);
    bool ok = artwork->closed != 0;
    for (int v = 0; v < kSnapshotBoxes; ++v) {
        artwork->opened[v] = look(IDB_OPEN_BOX_BASE + v);
        ok = ok && artwork->opened[v] != 0;
    }
    FreeLibrary(module);
    if (!ok)
        *error = "cannot load the box bitmaps from " + exePath;
    return ok;
}

BoardWatch::BoardWatch(const Game& watched)
    : hooked(watched, kSnapshotHookName, kSnapshotBlockName, kSnapshotMessageName, sizeof(SnapshotBlock))
{
}

bool BoardWatch::Take(SnapshotBlock* board, int timeoutMs)
{
    auto* shared = static_cast<SnapshotBlock*>(hooked.Shared());
    if (!shared)
        return false;
    shared->filled = 0;
    if (!hooked.Ask(SMTO_NORMAL, timeoutMs)) {
        error = Format("the game did not answer the snapshot within %d ms", timeoutMs);
        return false;
    }
    if (!shared->filled) {
        error = "the snapshot hook did not report";
        return false;
    }
    *board = *shared;
    return true;
}

bool InSight(const RECT& rect)
{
    return rect.left < kOutOfSight && rect.top < kOutOfSight;
}

std::vector<HWND> OpenMessageBoxes(const Game& game)
{
    std::vector<HWND> boxes;
    for (HWND dialog : DialogsOfProcess(game.Pid()))
        if (dialog != game.Window() && IsWindowVisible(dialog))
            boxes.push_back(dialog);
    return boxes;
}

bool Answers(const Game& game, int timeoutMs)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(game.Window(), WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeoutMs),
                               &ignored) != 0;
}

bool IsMoneyText(const std::string& text)
{
    // "£" and whole pounds, or pence with two decimals.
    if (text.size() < 2 || text[0] != '\xA3')
        return false;
    size_t point = text.find('.');
    std::string whole = text.substr(1, point == std::string::npos ? std::string::npos : point - 1);
    auto digits = [](const std::string& part) {
        for (char c : part)
            if (!isdigit(static_cast<unsigned char>(c)))
                return false;
        return !part.empty();
    };
    if (point == std::string::npos)
        return digits(whole);
    std::string pence = text.substr(point + 1);
    return whole == "0" && pence.size() == 2 && digits(pence);
}

}  // namespace e2e
