// What the Linux kernel knows of the Wine processes, read from /proc through drive Z:.
#include "bench/linux_side.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

// Linux reports process times in clock ticks of USER_HZ, 100 on x86.
const double kTicksPerSecond = 100.0;

static std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string ReadUnixFile(const std::string& unixPath)
{
    std::string text;
    HANDLE file = CreateFileA(WindowsPath(unixPath).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    // /proc files report no size: read until the end.
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        text.append(chunk, got);
    CloseHandle(file);
    return text;
}

// Field `index` (1-based, as in proc(5)) of /proc/<pid>/stat; the name in
// parentheses may hold spaces, so counting starts after its closing one.
static std::string StatField(const std::string& stat, int index)
{
    size_t at = stat.rfind(')');
    if (at == std::string::npos)
        return std::string();
    int field = 2;
    const char* c = stat.c_str() + at + 1;
    while (*c) {
        while (*c == ' ')
            ++c;
        const char* end = c;
        while (*end && *end != ' ')
            ++end;
        ++field;
        if (field == index)
            return std::string(c, end);
        c = end;
    }
    return std::string();
}

static bool HasPrefix(int pid, const std::string& prefix)
{
    std::string environment = ReadUnixFile("/proc/" + std::to_string(pid) + "/environ");
    std::string wanted = "WINEPREFIX=" + prefix;
    for (size_t at = 0; at < environment.size(); at += strlen(environment.c_str() + at) + 1)
        if (strcmp(environment.c_str() + at, wanted.c_str()) == 0)
            return true;
    return false;
}

template <typename Match>
static int NewestProcess(Match match)
{
    int found = 0;
    unsigned long long newest = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        int pid = atoi(entry.cFileName);
        if (pid <= 0)
            continue;
        std::string comm = ReadUnixFile("/proc/" + std::to_string(pid) + "/comm");
        while (!comm.empty() && comm.back() == '\n')
            comm.pop_back();
        if (!match(pid, comm))
            continue;
        unsigned long long started =
            strtoull(StatField(ReadUnixFile("/proc/" + std::to_string(pid) + "/stat"), 22).c_str(),
                     nullptr, 10);
        if (!found || started >= newest) {
            found = pid;
            newest = started;
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

int LinuxPidOf(const std::string& name, const std::string& prefix)
{
    std::string comm = name.substr(0, 15);
    return NewestProcess([&](int pid, const std::string& candidate) {
        return candidate == comm && HasPrefix(pid, prefix);
    });
}

int WineServerPid(const std::string& prefix)
{
    return NewestProcess([&](int pid, const std::string& candidate) {
        return candidate.rfind("wineserver", 0) == 0 && HasPrefix(pid, prefix);
    });
}

double CpuSeconds(int pid)
{
    std::string stat = ReadUnixFile("/proc/" + std::to_string(pid) + "/stat");
    if (stat.empty())
        return -1;
    double ticks = strtod(StatField(stat, 14).c_str(), nullptr) + strtod(StatField(stat, 15).c_str(), nullptr);
    return ticks / kTicksPerSecond;
}

void MachineSeconds(double* busy, double* total)
{
    // "cpu  user nice system idle iowait irq softirq steal ..."
    std::string stat = ReadUnixFile("/proc/stat");
    double values[8] = {};
    sscanf(stat.c_str(), "cpu %lf %lf %lf %lf %lf %lf %lf %lf", &values[0], &values[1], &values[2],
           &values[3], &values[4], &values[5], &values[6], &values[7]);
    double sum = 0;
    for (double value : values)
        sum += value;
    *total = sum / kTicksPerSecond;
    *busy = (sum - values[3] - values[4]) / kTicksPerSecond;
}

// The number of kB on the line that starts with `key` ("VmRSS:").
static double KiB(const std::string& text, const char* key)
{
    size_t at = text.find(key);
    return at == std::string::npos ? -1 : strtod(text.c_str() + at + strlen(key), nullptr);
}

Memory MemoryOf(int pid)
{
    Memory memory;
    std::string base = "/proc/" + std::to_string(pid);
    double resident = KiB(ReadUnixFile(base + "/status"), "VmRSS:");
    // Private means written pages that only this process holds, the
    // counterpart of Windows' private bytes. Clean file pages (DLL code, the
    // program's own resources) count as private only while no other process
    // maps the same file, so they would move with whatever else is running.
    double dirty = KiB(ReadUnixFile(base + "/smaps_rollup"), "Private_Dirty:");
    if (resident >= 0)
        memory.residentMiB = resident / 1024;
    if (dirty >= 0)
        memory.privateMiB = dirty / 1024;
    return memory;
}

}  // namespace bench
