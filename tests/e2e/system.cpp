// What the game leaves outside its window: processes it starts, files, and the shell link class.
#include "tests/e2e/system.h"

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <vector>

#include "tests/e2e/check.h"

namespace e2e {

std::set<DWORD> ProcessesNamed(const char* exeName)
{
    std::set<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        // Some systems give the bare name, others a path.
        const char* name = entry.szExeFile;
        for (const char* c = entry.szExeFile; *c; ++c)
            if (*c == '\\' || *c == '/')
                name = c + 1;
        if (lstrcmpiA(name, exeName) == 0)
            ids.insert(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

// The native layouts of the start-up records, written with the platform's
// own pointer and handle types so that one source fits 32 and 64 bits.
struct NativeText {
    USHORT length;
    USHORT maximumLength;
    PWSTR buffer;
};

struct NativeBasicInformation {
    LONG exitStatus;
    PVOID peb;
    ULONG_PTR affinityMask;
    LONG basePriority;
    ULONG_PTR processId;
    ULONG_PTR parentProcessId;
};

struct NativePebStart {
    BYTE inheritedAddressSpace;
    BYTE readImageFileExecOptions;
    BYTE beingDebugged;
    BYTE bitFields;
    PVOID mutant;
    PVOID imageBase;
    PVOID loaderData;
    PVOID processParameters;
};

struct NativeProcessParameters {
    ULONG maximumLength;
    ULONG length;
    ULONG flags;
    ULONG debugFlags;
    HANDLE consoleHandle;
    ULONG consoleFlags;
    HANDLE standardInput;
    HANDLE standardOutput;
    HANDLE standardError;
    NativeText currentDirectory;
    HANDLE currentDirectoryHandle;
    NativeText dllPath;
    NativeText imagePath;
    NativeText commandLine;
    PVOID environment;
    ULONG x, y, width, height, columns, rows, fillAttribute;
    ULONG startFlags;
    ULONG showWindow;
};

using QueryProcess = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);

static bool ReadRemote(HANDLE process, const void* address, void* into, size_t size)
{
    SIZE_T read = 0;
    return ReadProcessMemory(process, address, into, size, &read) && read == size;
}

static bool ReadRemoteText(HANDLE process, const NativeText& text, std::string* out)
{
    std::wstring wide(text.length / sizeof(WCHAR), L'\0');
    if (!wide.empty() && !ReadRemote(process, text.buffer, &wide[0], text.length))
        return false;
    int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                   0, nullptr, nullptr);
    out->assign(static_cast<size_t>(size), '\0');
    if (size)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &(*out)[0],
                            size, nullptr, nullptr);
    return true;
}

bool ReadProcessStart(DWORD pid, ProcessStart* start, std::string* error)
{
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!query || !process) {
        *error = Format("cannot open process %lu (error %lu)", pid, GetLastError());
        if (process)
            CloseHandle(process);
        return false;
    }
    NativeBasicInformation basic = {};
    NativePebStart peb = {};
    NativeProcessParameters parameters = {};
    bool ok = query(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, nullptr) >= 0 &&
              ReadRemote(process, basic.peb, &peb, sizeof peb) &&
              ReadRemote(process, peb.processParameters, &parameters, sizeof parameters) &&
              ReadRemoteText(process, parameters.commandLine, &start->commandLine) &&
              ReadRemoteText(process, parameters.currentDirectory, &start->currentDirectory);
    start->startFlags = parameters.startFlags;
    start->showWindow = parameters.showWindow;
    CloseHandle(process);
    if (!ok)
        *error = Format("cannot read the start-up record of process %lu", pid);
    return ok;
}

bool EndProcess(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process)
        return false;
    TerminateProcess(process, 0);
    bool ended = WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

std::string DesktopFolder()
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE);
    return path;
}

std::string WindowsFolder()
{
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string TempFolder()
{
    char path[MAX_PATH] = "";
    DWORD length = GetTempPathA(MAX_PATH, path);
    if (length && (path[length - 1] == '\\' || path[length - 1] == '/'))
        path[length - 1] = '\0';
    return path;
}

bool ReadShortcut(const std::string& path, Shortcut* shortcut, std::string* error)
{
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (FAILED(result)) {
        *error = Format("the shell link object cannot be made here (0x%08lX)",
                        static_cast<unsigned long>(result));
        return false;
    }
    IPersistFile* file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    bool ok = false;
    if (SUCCEEDED(result)) {
        WCHAR widePath[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        result = file->Load(widePath, STGM_READ);
        if (SUCCEEDED(result)) {
            char text[1024] = "";
            link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
            shortcut->target = text;
            text[0] = '\0';
            link->GetDescription(text, sizeof text);
            shortcut->description = text;
            text[0] = '\0';
            link->GetArguments(text, sizeof text);
            shortcut->arguments = text;
            text[0] = '\0';
            link->GetWorkingDirectory(text, sizeof text);
            shortcut->workingDirectory = text;
            ok = true;
        } else {
            *error = Format("%s does not load as a shell link (0x%08lX)", path.c_str(),
                            static_cast<unsigned long>(result));
        }
        file->Release();
    } else {
        *error = "the shell link object has no IPersistFile";
    }
    link->Release();
    return ok;
}

bool CanCreateShellLink()
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    link->Release();
    return true;
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool LastWriteTime(const std::string& path, FILETIME* time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    *time = data.ftLastWriteTime;
    return true;
}

bool SetLastWriteTime(const std::string& path, const FILETIME& time)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL ok = SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return ok != 0;
}

std::string CanonicalPath(const std::string& path)
{
    char full[MAX_PATH] = "";
    if (!GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr))
        return path;
    char longer[MAX_PATH] = "";
    if (GetLongPathNameA(full, longer, MAX_PATH))
        return longer;
    return full;
}

bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(CanonicalPath(a).c_str(), CanonicalPath(b).c_str()) == 0;
}

// ---- the shell link class ------------------------------------------------

static const char kShellLinkClassKey[] =
    "Software\\Classes\\CLSID\\{00021401-0000-0000-C000-000000000046}";
static const char kBackupKey[] = "Software\\QuorvantE2E\\ShellLinkClass";

static bool KeyExists(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Copies the whole tree at fromRoot\fromPath to toRoot\toPath, made afresh.
static LONG CopyKeyTree(HKEY fromRoot, const char* fromPath, HKEY toRoot, const char* toPath)
{
    HKEY from = nullptr;
    HKEY to = nullptr;
    LONG status = RegOpenKeyExA(fromRoot, fromPath, 0, KEY_READ, &from);
    if (status != ERROR_SUCCESS)
        return status;
    RegDeleteTreeA(toRoot, toPath);
    status = RegCreateKeyExA(toRoot, toPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to, nullptr);
    if (status == ERROR_SUCCESS)
        status = RegCopyTreeA(from, nullptr, to);
    if (to)
        RegCloseKey(to);
    RegCloseKey(from);
    return status;
}

ShellLinkClassHidden::ShellLinkClassHidden()
{
    if (!KeyExists(HKEY_LOCAL_MACHINE, kShellLinkClassKey)) {
        error = "the shell link class is not registered in the first place";
        return;
    }
    LONG status = CopyKeyTree(HKEY_LOCAL_MACHINE, kShellLinkClassKey, HKEY_CURRENT_USER, kBackupKey);
    if (status != ERROR_SUCCESS) {
        error = Format("cannot copy the class registration aside (error %ld)", status);
        return;
    }
    status = RegDeleteTreeA(HKEY_LOCAL_MACHINE, kShellLinkClassKey);
    if (status != ERROR_SUCCESS) {
        error = Format("cannot delete the class registration (error %ld)", status);
        return;
    }
    hidden = true;
    if (CanCreateShellLink())
        error = "the shell link object can still be made without its registration";
}

ShellLinkClassHidden::~ShellLinkClassHidden()
{
    if (!hidden)
        return;
    std::string report;
    if (!RepairShellLinkClass(&report))
        printf("%s\n", report.c_str());
}

bool RepairShellLinkClass(std::string* report)
{
    if (!KeyExists(HKEY_CURRENT_USER, kBackupKey))
        return true;
    if (!KeyExists(HKEY_LOCAL_MACHINE, kShellLinkClassKey)) {
        LONG status = CopyKeyTree(HKEY_CURRENT_USER, kBackupKey, HKEY_LOCAL_MACHINE, kShellLinkClassKey);
        if (status != ERROR_SUCCESS) {
            *report = Format("cannot restore the shell link class registration (error %ld); "
                             "its copy stays at HKCU\\%s",
                             status, kBackupKey);
            return false;
        }
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuorvantE2E");
    if (!CanCreateShellLink()) {
        *report = "the shell link class registration is back, but the object still cannot be made";
        return false;
    }
    return true;
}

}  // namespace e2e
