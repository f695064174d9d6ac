#include <win32/win32_registry.h>

#include <windows.h>

#include <string>

#include <win32/text.h>

namespace win32 {

namespace {

HKEY ToHkey(portable::RegHandle h) { return reinterpret_cast<HKEY>(h); }

// A 32-bit process on 64-bit Windows would see a redirected HKLM\Software, while Explorer reads
// the native view; so the 32-bit build opens and creates keys in the 64-bit view. The access
// asked for is what RegOpenKeyA and RegCreateKeyA ask for themselves.
#if defined(_WIN64)
constexpr bool kUseNativeView = false;
#else
constexpr bool kUseNativeView = true;
#endif
constexpr REGSAM kNativeViewAccess = MAXIMUM_ALLOWED | KEY_WOW64_64KEY;

}  // namespace

std::int32_t Win32Registry::OpenKey(portable::RegHandle root, const std::string& path,
                                    portable::RegHandle* key) {
    HKEY h = ToHkey(*key);
    LONG rc;
    if constexpr (kUseNativeView) {
        rc = RegOpenKeyExA(ToHkey(root), path.c_str(), 0, kNativeViewAccess, &h);
        if (rc != ERROR_SUCCESS) h = nullptr;  // RegOpenKeyA leaves 0 behind on failure too
    } else {
        rc = RegOpenKeyA(ToHkey(root), path.c_str(), &h);
    }
    *key = reinterpret_cast<portable::RegHandle>(h);
    return rc;
}

std::int32_t Win32Registry::CreateKey(portable::RegHandle root, const std::string& path,
                                      portable::RegHandle* key) {
    HKEY h = ToHkey(*key);
    LONG rc;
    if constexpr (kUseNativeView) {
        rc = RegCreateKeyExA(ToHkey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             kNativeViewAccess, nullptr, &h, nullptr);
        if (rc != ERROR_SUCCESS) h = nullptr;
    } else {
        rc = RegCreateKeyA(ToHkey(root), path.c_str(), &h);
    }
    *key = reinterpret_cast<portable::RegHandle>(h);
    return rc;
}

std::int32_t Win32Registry::QueryValue(portable::RegHandle key, const std::string& name,
                                       std::uint32_t* type, std::uint8_t* data,
                                       std::uint32_t* size) {
    DWORD t = *type;
    DWORD s = *size;
    // The wide function gives text as stored; the ANSI one would pass it through a code page
    // that turns a fullwidth "２５５" into "255".
    const LONG rc = RegQueryValueExW(ToHkey(key), Wide(name).c_str(), nullptr, &t, data, &s);
    *type = t;
    *size = s;
    return rc;
}

std::int32_t Win32Registry::SetValue(portable::RegHandle key, const std::string& name,
                                     std::uint32_t type, const std::uint8_t* data,
                                     std::uint32_t size) {
    return RegSetValueExW(ToHkey(key), Wide(name).c_str(), 0, type, data, size);
}

std::int32_t Win32Registry::DeleteValue(portable::RegHandle key, const std::string& name) {
    return RegDeleteValueW(ToHkey(key), Wide(name).c_str());
}

std::int32_t Win32Registry::DeleteKey(portable::RegHandle key, const std::string& subkey) {
    if constexpr (kUseNativeView) {
        return RegDeleteKeyExA(ToHkey(key), subkey.c_str(), KEY_WOW64_64KEY, 0);
    } else {
        return RegDeleteKeyA(ToHkey(key), subkey.c_str());
    }
}

std::int32_t Win32Registry::CloseKey(portable::RegHandle key) { return RegCloseKey(ToHkey(key)); }

}  // namespace win32
