// An in-memory registry with the behaviour the switch depends on, and switches for what a real
// registry only shows without administrator rights: writes and deletions refused.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "portable/registry_api.h"

namespace testing_support {

struct StoredValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const StoredValue&) const = default;
};

class MemoryRegistry final : public portable::RegistryApi {
  public:
    using Key = std::map<std::string, StoredValue>;
    std::map<std::string, Key> keys;  // full path below the root -> values
    bool refuseWrites = false;        // SetValue and DeleteValue answer access denied
    bool refuseCreate = false;        // CreateKey of a missing key answers access denied
    int openHandles = 0;
    // Fault injection: the call with this number (counting from 0) fails with failCode instead.
    int calls = 0;
    int failAt = -1;
    std::int32_t failCode = 0;
    std::string failedFunction;  // which call the injected failure hit

    void Put(const std::string& path, const std::string& name, std::uint32_t type,
             std::vector<std::uint8_t> data) {
        keys[path][name] = {type, std::move(data)};
    }
    void PutDword(const std::string& path, const std::string& name, std::uint32_t number) {
        std::vector<std::uint8_t> bytes(4);
        std::memcpy(bytes.data(), &number, 4);
        Put(path, name, portable::kRegDword, bytes);
    }

    std::int32_t OpenKey(portable::RegHandle, const std::string& path,
                         portable::RegHandle* key) override {
        if (Injected("OpenKey")) return failCode;
        if (!keys.count(path)) return portable::kErrorFileNotFound;
        *key = Handle(path);
        return 0;
    }
    std::int32_t CreateKey(portable::RegHandle, const std::string& path,
                           portable::RegHandle* key) override {
        if (Injected("CreateKey")) return failCode;
        if (!keys.count(path)) {
            if (refuseCreate) return portable::kErrorAccessDenied;
            keys[path];
        }
        *key = Handle(path);
        return 0;
    }
    std::int32_t QueryValue(portable::RegHandle key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override {
        if (Injected("QueryValue")) return failCode;
        const auto* k = Find(key);
        if (!k) return portable::kErrorInvalidHandle;
        const auto it = k->find(name);
        if (it == k->end()) return portable::kErrorFileNotFound;
        *type = it->second.type;
        const auto stored = static_cast<std::uint32_t>(it->second.data.size());
        if (data && *size < stored) {
            *size = stored;
            return portable::kErrorMoreData;
        }
        if (data) std::memcpy(data, it->second.data.data(), stored);
        *size = stored;
        return 0;
    }
    std::int32_t SetValue(portable::RegHandle key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override {
        if (Injected("SetValue")) return failCode;
        auto* k = Find(key);
        if (!k) return portable::kErrorInvalidHandle;
        if (refuseWrites) return portable::kErrorAccessDenied;
        (*k)[name] = {type, {data, data + size}};
        return 0;
    }
    std::int32_t DeleteValue(portable::RegHandle key, const std::string& name) override {
        if (Injected("DeleteValue")) return failCode;
        auto* k = Find(key);
        if (!k) return portable::kErrorInvalidHandle;
        if (refuseWrites) return portable::kErrorAccessDenied;
        return k->erase(name) ? 0 : portable::kErrorFileNotFound;
    }
    std::int32_t DeleteKey(portable::RegHandle key, const std::string& subkey) override {
        if (Injected("DeleteKey")) return failCode;
        const auto* k = Find(key);
        if (!k) return portable::kErrorInvalidHandle;
        if (refuseWrites) return portable::kErrorAccessDenied;
        return keys.erase(handles_[key] + "\\" + subkey) ? 0 : portable::kErrorFileNotFound;
    }
    std::int32_t CloseKey(portable::RegHandle key) override {
        if (Injected("CloseKey")) return failCode;
        if (!handles_.erase(key)) return portable::kErrorInvalidHandle;
        --openHandles;
        return 0;
    }

  private:
    bool Injected(const char* function) {
        if (calls++ != failAt) return false;
        failedFunction = function;
        return true;
    }
    portable::RegHandle Handle(const std::string& path) {
        const portable::RegHandle h = nextHandle_++;
        handles_[h] = path;
        ++openHandles;
        return h;
    }
    Key* Find(portable::RegHandle h) {
        const auto it = handles_.find(h);
        return it == handles_.end() ? nullptr : &keys[it->second];
    }

    std::map<portable::RegHandle, std::string> handles_;
    portable::RegHandle nextHandle_ = 0x100;
};

}  // namespace testing_support
