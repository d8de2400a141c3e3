// Process figures for the session group and the bench. Wine answers
// PrivateUsage, GetProcessHandleCount and GetGuiResources with 0, so each is
// read where Wine keeps it.
#include "tests/e2e/process.h"

#include <winternl.h>

namespace e2e {

using QuerySystem = LONG(WINAPI*)(int, PVOID, ULONG, PULONG);
using QueryProcess = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
static FARPROC Ntdll(const char* name) { return GetProcAddress(GetModuleHandleA("ntdll.dll"), name); }

// The system's handle table (SystemExtendedHandleInformation): one entry per handle.
static double CountHandles(DWORD pid)
{
    struct Entry { PVOID object; ULONG_PTR pid, handle; ULONG access; USHORT trace, type; ULONG attributes, reserved; };
    auto query = reinterpret_cast<QuerySystem>(reinterpret_cast<void*>(Ntdll("NtQuerySystemInformation")));
    std::vector<BYTE> buffer(1 << 20);
    LONG status = -1;
    while (query && (status = query(64, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
                        static_cast<LONG>(0xC0000004))   // the buffer is too small
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return -1;
    const ULONG_PTR count = *reinterpret_cast<ULONG_PTR*>(buffer.data());
    const Entry* entries = reinterpret_cast<const Entry*>(buffer.data() + 2 * sizeof(ULONG_PTR));
    double handles = 0;
    for (ULONG_PTR i = 0; i < count; ++i)
        handles += entries[i].pid == pid;
    return handles;
}

// The GDI handle table that the process's PEB points to: a live object has a non-zero type.
static double CountGdiObjects(HANDLE process)
{
    struct Entry { ULONGLONG object; ULONG owner; USHORT unique; UCHAR type, extType; ULONGLONG userData; };
    auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(Ntdll("NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG_PTR table = 0;
    std::vector<Entry> entries(0x10000);
    if (!query || query(process, 0, &basic, sizeof basic, nullptr) < 0 ||
        !ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + (sizeof(void*) == 8 ? 0xF8 : 0x94),
                           &table, sizeof table, nullptr) || !table ||
        !ReadProcessMemory(process, reinterpret_cast<void*>(table), entries.data(), entries.size() * sizeof(Entry), nullptr))
        return -1;
    double objects = 0;
    for (const Entry& entry : entries)
        objects += entry.type != 0;
    return objects;
}

Figures ReadFigures(DWORD pid)
{
    Figures figures;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        return figures;
    figures.privateBytes = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            figures.privateBytes += static_cast<double>(region.RegionSize);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    figures.handles = CountHandles(pid);
    figures.gdiObjects = CountGdiObjects(process);
    CloseHandle(process);
    return figures;
}

double Slope(const std::vector<double>& ys)
{
    double n = static_cast<double>(ys.size()), meanX = (n - 1) / 2, meanY = 0, covariance = 0, variance = 0;
    for (double y : ys)
        meanY += y / n;
    for (size_t x = 0; x < ys.size(); ++x) {
        covariance += (x - meanX) * (ys[x] - meanY);
        variance += (x - meanX) * (x - meanX);
    }
    return variance > 0 ? covariance / variance : 0;
}

}  // namespace e2e
