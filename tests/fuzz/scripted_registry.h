// A registry that answers from a script, one answer per call, so the fuzzer can hand the routines
// any sizes, types and bytes a registry might report.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "portable/registry_api.h"

namespace testing_support {

// What one call answers. Values not set keep the caller's output untouched.
struct RegAnswer {
    std::int32_t code = 0;
    portable::RegHandle handle = 0;  // Open/Create: handle written back
    std::uint32_t type = 0;          // Query: type written back (0 = leave as is)
    std::vector<std::uint8_t> data;  // Query with buffer: bytes copied (up to the size)
    std::uint32_t size = 0;          // Query: size written back
};

class ScriptedRegistry final : public portable::RegistryApi {
  public:
    // Taken in order; a call beyond the script answers 0, or 6 for closing handle 0 as Windows
    // does.
    std::deque<RegAnswer> script;

    std::int32_t OpenKey(portable::RegHandle, const std::string&,
                         portable::RegHandle* key) override {
        const RegAnswer a = Next();
        *key = a.handle;
        return a.code;
    }
    std::int32_t CreateKey(portable::RegHandle root, const std::string& path,
                           portable::RegHandle* key) override {
        return OpenKey(root, path, key);
    }
    std::int32_t QueryValue(portable::RegHandle, const std::string&, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override {
        const RegAnswer a = Next();
        if (a.type != 0) *type = a.type;
        if (data != nullptr) {
            for (std::size_t i = 0; i < a.data.size() && i < *size; ++i) data[i] = a.data[i];
        }
        if (a.size != 0 || a.type != 0) *size = a.size;
        return a.code;
    }
    std::int32_t SetValue(portable::RegHandle, const std::string&, std::uint32_t,
                          const std::uint8_t*, std::uint32_t) override {
        return Next().code;
    }
    std::int32_t DeleteValue(portable::RegHandle, const std::string&) override {
        return Next().code;
    }
    std::int32_t DeleteKey(portable::RegHandle, const std::string&) override { return Next().code; }
    std::int32_t CloseKey(portable::RegHandle key) override {
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
