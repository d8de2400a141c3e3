// What the Linux kernel knows of the Wine processes: their ids, processor time
// and memory, read from /proc through Wine's drive Z:.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

// The Linux process whose name (comm, at most 15 bytes) is `name` and whose
// environment names the Wine prefix `prefix`; the newest if there are several.
// 0 when there is none.
int LinuxPidOf(const std::string& name, const std::string& prefix);
// Wine's server of that prefix.
int WineServerPid(const std::string& prefix);

// User plus system time of the whole process, in seconds; negative when it is gone.
double CpuSeconds(int pid);
// Busy and total seconds of all processors since boot, for the load of the machine.
void MachineSeconds(double* busy, double* total);

struct Memory {
    double residentMiB = -1;   // VmRSS
    double privateMiB = -1;    // Private_Dirty
};
Memory MemoryOf(int pid);

// The whole of a small file, or empty.
std::string ReadUnixFile(const std::string& unixPath);

}  // namespace bench
