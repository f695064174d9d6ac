// The main window's six registry routines and their status field. Every registry call stores
// its code in lngRegResult at once and the routine carries on; failures become the routine's
// result (false or the empty text), never an error.
#pragma once

#include <cstdint>
#include <string>

#include <portable/registry_api.h>
#include <portable/variant.h>

namespace policy {

class RegistryRoutines {
  public:
    explicit RegistryRoutines(portable::RegistryApi& api) : api_(api) {}

    // Deletes the value strRegSubKey (a value name, despite the word) when the key opens.
    void regDelete_Sub_Key(std::int32_t lngRootKey, std::string strRegKeyPath,
                           std::string strRegSubKey);
    // True when the key opens. The handle decides, not the return code.
    bool regDoes_Key_Exist(std::int32_t lngRootKey, std::string strRegKeyPath);
    // Text for REG_SZ, a 32-bit integer for a REG_DWORD of four bytes, "" for anything else or
    // any failure.
    portable::Variant regQuery_A_Key(std::int32_t lngRootKey, std::string strRegKeyPath,
                                     std::string strRegSubKey);
    // Writes a REG_DWORD when the data is numeric, a trimmed REG_SZ otherwise; creates the key.
    // A number outside the 32-bit range raises an overflow before anything is touched.
    void regCreate_Key_Value(std::int32_t lngRootKey, std::string strRegKeyPath,
                             std::string strRegSubKey, portable::Variant varRegData);
    void regCreate_A_Key(std::int32_t lngRootKey, std::string strRegKeyPath);
    // True only when the subkey was deleted.
    bool regDelete_A_Key(std::int32_t lngRootKey, std::string strRegKeyPath,
                         std::string strRegKeyName);

    std::int32_t lngRegResult = 0;

  private:
    portable::RegistryApi& api_;
};

}  // namespace policy
