// The yardstick for `tessaro.exe /status`: the least a console program can do to answer the same
// question, open the policy key, read the value and print it.
#include <windows.h>

#include <cstdio>

int wmain() {
    HKEY key = nullptr;
    DWORD type = 0, data = 0, size = sizeof data;
    LONG rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                            L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", 0,
                            KEY_QUERY_VALUE, &key);
    if (rc == ERROR_SUCCESS) {
        rc = RegQueryValueExW(key, L"NoDriveTypeAutoRun", nullptr, &type,
                              reinterpret_cast<BYTE*>(&data), &size);
        RegCloseKey(key);
    }
    const bool off = rc == ERROR_SUCCESS && type == REG_DWORD && data == 255;
    std::printf("%s\n", off ? "off" : rc == ERROR_FILE_NOT_FOUND ? "default" : "other");
    return off ? 0 : rc == ERROR_FILE_NOT_FOUND ? 1 : 2;
}
