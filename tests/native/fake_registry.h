// A registry in memory that answers as Windows does for the states a test sets up: keys that
// refuse reading or changing, a failure Windows could give, and a writer that puts the old value
// back (as a policy agent would), which Wine's registry cannot show on demand.
#pragma once

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "portable/registry_api.h"

namespace testing_support {

class FakeRegistry : public portable::RegistryApi {
  public:
    struct Value {
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    std::map<std::string, std::map<std::string, Value>> keys;  // under HKEY_LOCAL_MACHINE
    std::set<std::string> refuseReading, refuseChanging;       // key paths
    std::int32_t changesFailWith = 0;  // every set and delete answers this instead
    bool changesUndone = false;        // sets and deletes answer success and change nothing

    static Value Dword(std::uint32_t n) {
        Value v{portable::kRegDword, std::vector<std::uint8_t>(4)};
        std::memcpy(v.data.data(), &n, 4);
        return v;
    }
    static Value Text(const std::string& s) {
        return {portable::kRegSz, std::vector<std::uint8_t>(s.c_str(), s.c_str() + s.size() + 1)};
    }

    std::int32_t OpenKey(portable::RegHandle, const std::string& path,
                         portable::RegHandle* key) override {
        *key = 0;
        if (!keys.contains(path)) return portable::kErrorFileNotFound;
        // Windows asks for as much access as the key grants; a key that grants none is refused.
        if (refuseReading.contains(path) && refuseChanging.contains(path)) {
            return portable::kErrorAccessDenied;
        }
        return Handle(path, key);
    }
    std::int32_t CreateKey(portable::RegHandle root, const std::string& path,
                           portable::RegHandle* key) override {
        if (keys.contains(path)) return OpenKey(root, path, key);
        *key = 0;
        if (refuseChanging.contains(path)) return portable::kErrorAccessDenied;
        keys[path];
        return Handle(path, key);
    }
    std::int32_t QueryValue(portable::RegHandle key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override {
        if (!open_.contains(key)) return portable::kErrorInvalidHandle;
        const std::string& path = open_[key];
        if (refuseReading.contains(path)) return portable::kErrorAccessDenied;
        const auto found = keys[path].find(name);
        if (found == keys[path].end()) return portable::kErrorFileNotFound;
        const Value& v = found->second;
        *type = v.type;
        const auto wanted = static_cast<std::uint32_t>(v.data.size());
        if (data && *size < wanted) return *size = wanted, portable::kErrorMoreData;
        if (data) std::memcpy(data, v.data.data(), v.data.size());
        *size = wanted;
        return portable::kErrorSuccess;
    }
    std::int32_t SetValue(portable::RegHandle key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override {
        return Change(key, [&](auto& values) { values[name] = {type, {data, data + size}}; });
    }
    std::int32_t DeleteValue(portable::RegHandle key, const std::string& name) override {
        if (open_.contains(key) && !keys[open_[key]].contains(name) &&
            !refuseChanging.contains(open_[key])) {
            return portable::kErrorFileNotFound;
        }
        return Change(key, [&](auto& values) { values.erase(name); });
    }
    std::int32_t DeleteKey(portable::RegHandle, const std::string&) override {
        return portable::kErrorAccessDenied;  // nothing here deletes keys
    }
    std::int32_t CloseKey(portable::RegHandle key) override {
        return open_.erase(key) ? portable::kErrorSuccess : portable::kErrorInvalidHandle;
    }

    bool AllClosed() const { return open_.empty(); }

  private:
    std::int32_t Handle(const std::string& path, portable::RegHandle* key) {
        *key = next_++;
        open_[*key] = path;
        return portable::kErrorSuccess;
    }
    template <typename F>
    std::int32_t Change(portable::RegHandle key, F change) {
        if (!open_.contains(key)) return portable::kErrorInvalidHandle;
        if (refuseChanging.contains(open_[key])) return portable::kErrorAccessDenied;
        if (changesFailWith != 0) return changesFailWith;
        if (!changesUndone) change(keys[open_[key]]);
        return portable::kErrorSuccess;
    }

    std::map<portable::RegHandle, std::string> open_;
    portable::RegHandle next_ = 0x100;
};

}  // namespace testing_support
