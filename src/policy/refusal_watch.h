// Passes every registry call through unchanged and remembers whether any of them was refused,
// so that a caller whose change could not be confirmed can tell "not allowed" (the user needs
// administrator rights) from any other failure.
#pragma once

#include "portable/registry_api.h"

namespace policy {

class RefusalWatch final : public portable::RegistryApi {
  public:
    explicit RefusalWatch(portable::RegistryApi& inner) : inner_(inner) {}

    // True once any call has answered ERROR_ACCESS_DENIED.
    bool Refused() const { return refused_; }

    std::int32_t OpenKey(portable::RegHandle root, const std::string& path,
                         portable::RegHandle* key) override {
        return Note(inner_.OpenKey(root, path, key));
    }
    std::int32_t CreateKey(portable::RegHandle root, const std::string& path,
                           portable::RegHandle* key) override {
        return Note(inner_.CreateKey(root, path, key));
    }
    std::int32_t QueryValue(portable::RegHandle key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override {
        return Note(inner_.QueryValue(key, name, type, data, size));
    }
    std::int32_t SetValue(portable::RegHandle key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override {
        return Note(inner_.SetValue(key, name, type, data, size));
    }
    std::int32_t DeleteValue(portable::RegHandle key, const std::string& name) override {
        return Note(inner_.DeleteValue(key, name));
    }
    std::int32_t DeleteKey(portable::RegHandle key, const std::string& subkey) override {
        return Note(inner_.DeleteKey(key, subkey));
    }
    std::int32_t CloseKey(portable::RegHandle key) override { return Note(inner_.CloseKey(key)); }

  private:
    std::int32_t Note(std::int32_t code) {
        if (code == portable::kErrorAccessDenied) refused_ = true;
        return code;
    }

    portable::RegistryApi& inner_;  // borrowed
    bool refused_ = false;
};

}  // namespace policy
