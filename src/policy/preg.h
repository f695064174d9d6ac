// Group Policy's registry files (Registry.pol, the "PReg" format): the values a policy object
// sets or deletes under HKEY_LOCAL_MACHINE, in the order it applies them. Bytes in, records
// out; a file that is not whole and well formed is not guessed at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace policy {

struct PolRecord {
    std::u16string key;    // relative to HKEY_LOCAL_MACHINE
    std::u16string value;  // a value name, or a directive ("**del.Name", "**delvals.", ...)
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

// Larger files are refused unread: real ones hold a few hundred records.
inline constexpr std::size_t kMaxPolicyFileSize = 4u << 20;

// Every record in order; nothing when the file is damaged anywhere (wrong header, a record cut
// short, a size beyond the end, too large). Each field is read by its length or its NUL, never
// by looking for the next ';' or ']': those bytes occur inside sizes and data.
std::optional<std::vector<PolRecord>> ParsePolicyFile(const std::uint8_t* bytes, std::size_t size);

// What one file does to one value, the last record that touches it deciding.
struct PolicyDecision {
    enum Kind { kNothing, kSets, kDeletes } kind = kNothing;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

// keyPath and name compare without regard to case. Understands "**del.<name>", "**delvals.",
// "**DeleteValues" and "**DeleteKeys"; other directives ("**SecureKey", ...) set nothing.
PolicyDecision DecisionFor(const std::vector<PolRecord>& records, const std::string& keyPath,
                           const std::string& name);

}  // namespace policy
