// What the game leaves outside its window: processes it starts, files, and the shell link class.
#pragma once

#include <windows.h>

#include <set>
#include <string>

namespace e2e {

// Ids of the running processes whose program file is named `exeName`.
std::set<DWORD> ProcessesNamed(const char* exeName);

// How a process was started, read from its own memory.
struct ProcessStart {
    std::string commandLine;
    std::string currentDirectory;
    DWORD startFlags = 0;       // STARTUPINFO dwFlags
    DWORD showWindow = 0;       // STARTUPINFO wShowWindow
};
bool ReadProcessStart(DWORD pid, ProcessStart* start, std::string* error);
bool EndProcess(DWORD pid);

// The desktop folder of the user the game runs as.
std::string DesktopFolder();
std::string WindowsFolder();
std::string TempFolder();

struct Shortcut {
    std::string target;
    std::string description;
    std::string arguments;
    std::string workingDirectory;
};
// Reads a shell link file through the shell's own link object.
bool ReadShortcut(const std::string& path, Shortcut* shortcut, std::string* error);
// Whether the shell link object can be made in this process now.
bool CanCreateShellLink();

bool FileExists(const std::string& path);
bool LastWriteTime(const std::string& path, FILETIME* time);
bool SetLastWriteTime(const std::string& path, const FILETIME& time);
// The long, full form of a path, for comparing two spellings of one file.
std::string CanonicalPath(const std::string& path);
bool SamePath(const std::string& a, const std::string& b);

// Takes the shell link class's registration away for as long as it lives,
// so that the link object cannot be created; puts it back on destruction.
// A copy kept in the registry lets a later run repair a run that died.
class ShellLinkClassHidden {
public:
    ShellLinkClassHidden();
    ~ShellLinkClassHidden();
    ShellLinkClassHidden(const ShellLinkClassHidden&) = delete;
    ShellLinkClassHidden& operator=(const ShellLinkClassHidden&) = delete;
    bool Hidden() const { return hidden; }
    const std::string& Error() const { return error; }

private:
    bool hidden = false;
    std::string error;
};
// Puts back a registration that an earlier, interrupted run took away.
// False, with the reason, when one was left away and cannot be restored.
bool RepairShellLinkClass(std::string* report);

}  // namespace e2e
