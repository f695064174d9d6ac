// A stand-in for a DLL an attacker plants beside the program: once loaded it leaves a marker
// file next to itself, named after the name it was loaded under. It exports the sound functions
// so that a program fooled into using it keeps running and the test can look at the marker.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI PlaySoundW(LPCWSTR, HMODULE, DWORD) { return FALSE; }
extern "C" __declspec(dllexport) BOOL WINAPI sndPlaySoundW(LPCWSTR, UINT) { return FALSE; }

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(self, path, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2 - 16) return TRUE;
    lstrcatW(path, L".loaded");
    HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    return TRUE;
}
