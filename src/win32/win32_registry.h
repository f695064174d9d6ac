// The registry seam over advapi32: keys opened by their ASCII paths, values read and written
// through the wide functions.
#pragma once

#include <portable/registry_api.h>

namespace win32 {

class Win32Registry final : public portable::RegistryApi {
  public:
    std::int32_t OpenKey(portable::RegHandle root, const std::string& path,
                         portable::RegHandle* key) override;
    std::int32_t CreateKey(portable::RegHandle root, const std::string& path,
                           portable::RegHandle* key) override;
    std::int32_t QueryValue(portable::RegHandle key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override;
    std::int32_t SetValue(portable::RegHandle key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override;
    std::int32_t DeleteValue(portable::RegHandle key, const std::string& name) override;
    std::int32_t DeleteKey(portable::RegHandle key, const std::string& subkey) override;
    std::int32_t CloseKey(portable::RegHandle key) override;
};

}  // namespace win32
