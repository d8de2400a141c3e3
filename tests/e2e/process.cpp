// Process figures for the session group and the bench. Wine answers PrivateUsage, GetProcessHandleCount and
// GetGuiResources with 0, so each is read where Wine keeps it.
#include "tests/e2e/process.h"

#include <winternl.h>

#include <algorithm>

namespace e2e {

Figures ReadFigures(DWORD pid)
{
    Figures figures;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        return figures;
    MEMORY_BASIC_INFORMATION region;   // committed private regions
    figures.privateBytes = 0;
    for (const char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof region) && region.RegionSize;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
        figures.privateBytes += region.State == MEM_COMMIT && region.Type == MEM_PRIVATE ? region.RegionSize : 0;
    // The system's handle table (SystemExtendedHandleInformation, 64): a count, a reserved word, then one entry a handle.
    struct HandleEntry { PVOID object; ULONG_PTR pid, handle; ULONG access; USHORT trace, type; ULONG attributes, reserved; };
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto querySystem = reinterpret_cast<LONG(WINAPI*)(int, PVOID, ULONG, PULONG)>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
    std::vector<ULONG_PTR> table(1 << 17);
    LONG status;
    while ((status = querySystem(64, table.data(), static_cast<ULONG>(table.size() * sizeof(ULONG_PTR)), nullptr)) ==
           static_cast<LONG>(0xC0000004))   // the buffer is too small
        table.resize(table.size() * 2);
    const auto* handles = reinterpret_cast<const HandleEntry*>(&table[2]);
    figures.handles = status < 0 ? -1 : std::count_if(handles, handles + table[0], [&](const HandleEntry& e) { return e.pid == pid; });
    // The GDI handle table that the process's PEB points to: a live object has a non-zero type.
    struct GdiEntry { ULONGLONG object; ULONG owner; USHORT unique; UCHAR type, extType; ULONGLONG userData; };
    auto queryProcess = reinterpret_cast<LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG)>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG_PTR gdiTable = 0;
    std::vector<GdiEntry> gdi(0x10000);
    if (queryProcess(process, 0, &basic, sizeof basic, nullptr) >= 0 &&
        ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + (sizeof(void*) == 8 ? 0xF8 : 0x94),
                          &gdiTable, sizeof gdiTable, nullptr) &&
        ReadProcessMemory(process, reinterpret_cast<void*>(gdiTable), gdi.data(), gdi.size() * sizeof(GdiEntry), nullptr))
        figures.gdiObjects = std::count_if(gdi.begin(), gdi.end(), [](const GdiEntry& entry) { return entry.type != 0; });
    CloseHandle(process);
    return figures;
}

// Theil-Sen: the median of the slopes between every two samples, which a few outliers (a sound thread's stack
// and handle, alive for a while after each sound) cannot move as they move a least-squares fit.
double Slope(const std::vector<double>& ys)
{
    std::vector<double> slopes;
    for (size_t i = 0; i < ys.size(); ++i)
        for (size_t j = i + 1; j < ys.size(); ++j)
            slopes.push_back((ys[j] - ys[i]) / static_cast<double>(j - i));
    std::nth_element(slopes.begin(), slopes.begin() + slopes.size() / 2, slopes.end());
    return slopes.empty() ? 0 : slopes[slopes.size() / 2];
}

}  // namespace e2e
