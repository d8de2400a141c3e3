// A library planted beside the game under a system library's name, built as winmm.dll, ole32.dll and shell32.dll:
// loading it leaves a file NAME.mark beside it; it exports what the game asks of the three, each failing.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    WCHAR mark[MAX_PATH + 8];
    DWORD length = reason == DLL_PROCESS_ATTACH ? GetModuleFileNameW(self, mark, MAX_PATH) : 0;
    if (length && length < MAX_PATH)
        lstrcpyW(mark + length, L".mark"), CloseHandle(CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}

// Stdcall pops its arguments, so each takes as many as the real one; E_FAIL is also a non-null failure for the rest.
#define PLANTED(name, ...) extern "C" __declspec(dllexport) LONG_PTR WINAPI name(__VA_ARGS__) { return E_FAIL; }
PLANTED(PlaySoundA, void*, void*, DWORD)
PLANTED(CoInitialize, void*)
PLANTED(CoUninitialize)
PLANTED(CoCreateInstance, void*, void*, DWORD, void*, void**)
PLANTED(CoTaskMemFree, void*)
PLANTED(SHGetSpecialFolderLocation, HWND, int, void**)
PLANTED(SHGetPathFromIDListW, void*, WCHAR*)
PLANTED(ShellExecuteW, HWND, const WCHAR*, const WCHAR*, const WCHAR*, const WCHAR*, int)
