// A scripted registry for what Wine's real registry cannot show: exact call sequences, handle 0
// passed on, and codes such as access denied chosen per call.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "portable/registry_api.h"

namespace testing_support {

struct RegCall {
    std::string function;  // "Open", "Create", "Query", "Set", "DeleteValue", "DeleteKey", "Close"
    portable::RegHandle handle = 0;  // root for Open/Create, the key otherwise
    std::string name;                // path, value or subkey name
    bool withBuffer = false;         // Query: data buffer given
    std::uint32_t type = 0;          // Set: the type written
    std::vector<std::uint8_t> data;  // Set: the bytes written
    std::uint32_t size = 0;          // Query: size passed in; Set: size given
};

// What one scripted call answers. Values not set keep the caller's output untouched.
struct RegAnswer {
    std::int32_t code = 0;
    portable::RegHandle handle = 0;  // Open/Create: handle written back
    std::uint32_t type = 0;          // Query: type written back (0 = leave as is)
    std::vector<std::uint8_t> data;  // Query with buffer: bytes copied (up to the size)
    std::uint32_t size = 0;          // Query: size written back
};

class ScriptedRegistry final : public portable::RegistryApi {
  public:
    // Answers are taken in order, one per call; a call beyond the script answers code 0 and, for
    // Close of handle 0, the invalid-handle code Windows gives.
    std::deque<RegAnswer> script;
    std::vector<RegCall> calls;

    std::vector<std::string> Sequence() const {
        std::vector<std::string> names;
        for (const auto& c : calls) names.push_back(c.function);
        return names;
    }

    std::int32_t OpenKey(portable::RegHandle root, const std::string& path,
                         portable::RegHandle* key) override {
        calls.push_back({"Open", root, path});
        const RegAnswer a = Next();
        *key = a.handle;
        return a.code;
    }
    std::int32_t CreateKey(portable::RegHandle root, const std::string& path,
                           portable::RegHandle* key) override {
        calls.push_back({"Create", root, path});
        const RegAnswer a = Next();
        *key = a.handle;
        return a.code;
    }
    std::int32_t QueryValue(portable::RegHandle key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override {
        calls.push_back({"Query", key, name, data != nullptr, 0, {}, *size});
        const RegAnswer a = Next();
        if (a.type != 0) *type = a.type;
        if (data != nullptr) {
            for (std::size_t i = 0; i < a.data.size() && i < *size; ++i) data[i] = a.data[i];
        }
        if (a.size != 0 || a.type != 0) *size = a.size;
        return a.code;
    }
    std::int32_t SetValue(portable::RegHandle key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override {
        calls.push_back({"Set", key, name, false, type, {data, data + size}, size});
        return Next().code;
    }
    std::int32_t DeleteValue(portable::RegHandle key, const std::string& name) override {
        calls.push_back({"DeleteValue", key, name});
        return Next().code;
    }
    std::int32_t DeleteKey(portable::RegHandle key, const std::string& subkey) override {
        calls.push_back({"DeleteKey", key, subkey});
        return Next().code;
    }
    std::int32_t CloseKey(portable::RegHandle key) override {
        calls.push_back({"Close", key, ""});
        if (script.empty()) return key == 0 ? portable::kErrorInvalidHandle : 0;
        return Next().code;
    }

  private:
    RegAnswer Next() {
        if (script.empty()) return {};
        RegAnswer a = script.front();
        script.pop_front();
        return a;
    }
};

}  // namespace testing_support
