// The seam between the registry routines and the Windows registry: one call per registry
// function the routines use, each returning the Win32 code unchanged so callers and tests can
// pin exact codes. Key and value names are UTF-8; data is as the registry stores it, text in
// UTF-16LE (the wide functions), so nothing is lost to a code page on the way.
#pragma once

#include <cstdint>
#include <string>

namespace portable {

// A registry key handle as an integer; 0 is "no handle" and is passed on like any other.
using RegHandle = std::uintptr_t;

// Predefined root keys are 32-bit values sign-extended to the pointer size.
inline RegHandle RootKeyHandle(std::int32_t lngRootKey) {
    return static_cast<RegHandle>(static_cast<std::intptr_t>(lngRootKey));
}

constexpr std::int32_t kHKeyLocalMachine = static_cast<std::int32_t>(0x80000002u);
constexpr std::int32_t kHKeyCurrentUser = static_cast<std::int32_t>(0x80000001u);

constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

constexpr std::int32_t kErrorSuccess = 0;
constexpr std::int32_t kErrorFileNotFound = 2;
constexpr std::int32_t kErrorAccessDenied = 5;
constexpr std::int32_t kErrorInvalidHandle = 6;
constexpr std::int32_t kErrorMoreData = 234;

class RegistryApi {
  public:
    virtual ~RegistryApi() = default;

    // Opens an existing key; creates every missing level of the path for CreateKey.
    virtual std::int32_t OpenKey(RegHandle root, const std::string& path, RegHandle* key) = 0;
    virtual std::int32_t CreateKey(RegHandle root, const std::string& path, RegHandle* key) = 0;
    // data may be null to ask for the type and size only.
    virtual std::int32_t QueryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* size) = 0;
    virtual std::int32_t SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) = 0;
    virtual std::int32_t DeleteValue(RegHandle key, const std::string& name) = 0;
    virtual std::int32_t DeleteKey(RegHandle key, const std::string& subkey) = 0;
    virtual std::int32_t CloseKey(RegHandle key) = 0;
};

}  // namespace portable
