// Passes every registry call through unchanged and remembers the first change call that failed,
// so that a caller whose change could not be confirmed can tell one Windows refused (the user
// needs administrator rights) from any other failure, and both from a change that went through
// but reads back otherwise. Reads are not watched: a refused read is no refused change.
#pragma once

#include <portable/registry_api.h>

namespace policy {

class ChangeWatch final : public portable::RegistryApi {
  public:
    explicit ChangeWatch(portable::RegistryApi& inner) : inner_(inner) {}

    // The code of the first open, create, set or delete that failed since the last Reset; 0 when
    // none did. A key or value that is not there is no failure: it is what restoring wants, and
    // the keys a write needs are created after it.
    std::int32_t Failure() const { return failure_; }
    void Reset() { failure_ = portable::kErrorSuccess; }
    // The registry itself, for reading back what a change left without watching the reads.
    portable::RegistryApi& Inner() { return inner_; }

    std::int32_t OpenKey(portable::RegHandle root, const std::string& path,
                         portable::RegHandle* key) override {
        return NoteUnlessNotFound(inner_.OpenKey(root, path, key));
    }
    std::int32_t CreateKey(portable::RegHandle root, const std::string& path,
                           portable::RegHandle* key) override {
        return Note(inner_.CreateKey(root, path, key));
    }
    std::int32_t QueryValue(portable::RegHandle key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override {
        return inner_.QueryValue(key, name, type, data, size);
    }
    std::int32_t SetValue(portable::RegHandle key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override {
        return Note(inner_.SetValue(key, name, type, data, size));
    }
    std::int32_t DeleteValue(portable::RegHandle key, const std::string& name) override {
        return NoteUnlessNotFound(inner_.DeleteValue(key, name));
    }
    std::int32_t DeleteKey(portable::RegHandle key, const std::string& subkey) override {
        return NoteUnlessNotFound(inner_.DeleteKey(key, subkey));
    }
    // Closing handle 0 after a failed open answers 6 by design; it says nothing new.
    std::int32_t CloseKey(portable::RegHandle key) override { return inner_.CloseKey(key); }

  private:
    std::int32_t Note(std::int32_t code) {
        if (failure_ == portable::kErrorSuccess) failure_ = code;
        return code;
    }
    std::int32_t NoteUnlessNotFound(std::int32_t code) {
        return code == portable::kErrorFileNotFound ? code : Note(code);
    }

    portable::RegistryApi& inner_;  // borrowed
    std::int32_t failure_ = portable::kErrorSuccess;
};

}  // namespace policy
