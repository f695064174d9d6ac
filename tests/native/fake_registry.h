// A registry in memory that answers as Windows does for the states a test sets up: keys that
// refuse reading or changing, a failure Windows could give, and changes that another writer (a
// policy agent) undoes at once, which Wine's registry cannot show on demand.
#pragma once

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <portable/registry_api.h>
#include <portable/utf16.h>

namespace testing_support {

class FakeRegistry : public portable::RegistryApi {
  public:
    using Bytes = std::vector<std::uint8_t>;
    static constexpr const char* kExplorer =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
    static constexpr const char* kPolicies = "Software\\Policies\\Microsoft\\Windows\\Explorer";
    enum How { kRead = 1, kChange = 2, kUndone = 4 };  // refused, refused, undone

    std::map<std::string, std::map<std::string, std::pair<std::uint32_t, Bytes>>> keys;  // HKLM
    std::set<std::string> refuseReading, refuseChanging;
    std::int32_t changesFailWith = 0;  // every set and delete answers this instead
    bool changesUndone = false;        // sets and deletes answer success and change nothing
    // The call (counted from 0) that answers `failWith` and touches nothing, as any call of a real
    // registry may; a failed close still closes. `failed` names it once it has come.
    int failCall = -1;
    std::int32_t openAnswers = 0;  // what an open that gives a handle answers: Windows may say 5
    std::int32_t failWith = 0;
    std::string failed;

    // Puts a value under `key`: "" nothing, "key" the key alone, "dword N", "text T", "short N"
    // (a REG_DWORD of two bytes); `how` as How says.
    void Hold(const std::string& key, const std::string& name, const std::string& what, int how) {
        const std::string arg = what.substr(what.find(' ') + 1);
        if (!what.empty()) keys[key];
        if (what.starts_with("dword") || what.starts_with("short")) {
            const std::uint32_t n = std::stoul(arg);
            Bytes data(what.starts_with("dword") ? 4 : 2);
            std::memcpy(data.data(), &n, data.size());
            keys[key][name] = {portable::kRegDword, data};
        } else if (what.starts_with("text")) {
            // As the wide registry functions give text: UTF-16LE with its NUL.
            keys[key][name] = {portable::kRegSz,
                               portable::ToLittleEndian(portable::FromUtf8(arg) + u'\0')};
        }
        if (how & kRead) refuseReading.insert(key);
        if (how & kChange) refuseChanging.insert(key);
        changesUndone = changesUndone || (how & kUndone);
    }

    std::int32_t OpenKey(portable::RegHandle, const std::string& path,
                         portable::RegHandle* key) override {
        return Fails("Open") ? failWith : Open(path, key);
    }
    std::int32_t CreateKey(portable::RegHandle, const std::string& path,
                           portable::RegHandle* key) override {
        if (Fails("Create")) return failWith;
        if (keys.contains(path)) return Open(path, key);
        *key = 0;
        if (refuseChanging.contains(path)) return portable::kErrorAccessDenied;
        keys[path];
        return Handle(path, key);
    }
    std::int32_t QueryValue(portable::RegHandle key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override {
        if (Fails("Query")) return failWith;
        if (!open_.contains(key)) return portable::kErrorInvalidHandle;
        if (refuseReading.contains(open_[key])) return portable::kErrorAccessDenied;
        const auto& values = keys[open_[key]];
        if (!values.contains(name)) return portable::kErrorFileNotFound;
        const auto& [t, bytes] = values.at(name);
        *type = t;
        const auto wanted = static_cast<std::uint32_t>(bytes.size());
        if (data && *size < wanted) return *size = wanted, portable::kErrorMoreData;
        if (data) std::memcpy(data, bytes.data(), bytes.size());
        *size = wanted;
        return portable::kErrorSuccess;
    }
    std::int32_t SetValue(portable::RegHandle key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override {
        return Change(key, [&](auto& values) { values[name] = {type, Bytes(data, data + size)}; });
    }
    std::int32_t DeleteValue(portable::RegHandle key, const std::string& name) override {
        const bool there = open_.contains(key) && keys[open_[key]].contains(name);
        const std::int32_t rc = Change(key, [&](auto& values) { values.erase(name); });
        return rc == portable::kErrorSuccess && !there ? portable::kErrorFileNotFound : rc;
    }
    std::int32_t DeleteKey(portable::RegHandle, const std::string&) override {
        return portable::kErrorAccessDenied;  // nothing here deletes keys
    }
    std::int32_t CloseKey(portable::RegHandle key) override {
        const bool closed = open_.erase(key);
        if (Fails("Close")) return failWith;
        return closed ? portable::kErrorSuccess : portable::kErrorInvalidHandle;
    }

    bool AllClosed() const { return open_.empty(); }

  private:
    std::int32_t Open(const std::string& path, portable::RegHandle* key) {
        *key = 0;
        if (!keys.contains(path)) return portable::kErrorFileNotFound;
        // Windows gives as much access as the key grants; a key that grants none is refused.
        if (refuseReading.contains(path) && refuseChanging.contains(path)) {
            return portable::kErrorAccessDenied;
        }
        Handle(path, key);
        return openAnswers;
    }
    bool Fails(const char* call) {
        if (calls_++ != failCall) return false;
        failed = call;
        return true;
    }
    std::int32_t Handle(const std::string& path, portable::RegHandle* key) {
        open_[*key = next_++] = path;
        return portable::kErrorSuccess;
    }
    template <typename F>
    std::int32_t Change(portable::RegHandle key, F change) {
        if (Fails("Change")) return failWith;
        if (!open_.contains(key)) return portable::kErrorInvalidHandle;
        if (refuseChanging.contains(open_[key])) return portable::kErrorAccessDenied;
        if (changesFailWith != 0) return changesFailWith;
        if (!changesUndone) change(keys[open_[key]]);
        return portable::kErrorSuccess;
    }

    std::map<portable::RegHandle, std::string> open_;
    portable::RegHandle next_ = 0x100;
    int calls_ = 0;
};

}  // namespace testing_support
