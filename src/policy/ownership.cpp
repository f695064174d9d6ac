#include <policy/ownership.h>

#include <portable/utf16.h>

namespace policy {

namespace {

using portable::RegHandle;

// A REG_SZ of a history entry, as UTF-16; "" when missing or of another type.
std::u16string ReadText(portable::RegistryApi& registry, RegHandle key, const char* name) {
    std::uint32_t type = 0, size = 0;
    if (registry.QueryValue(key, name, &type, nullptr, &size) != portable::kErrorSuccess ||
        (type != portable::kRegSz && type != portable::kRegExpandSz)) {
        return {};
    }
    std::vector<std::uint8_t> bytes(size + 2, 0);
    if (registry.QueryValue(key, name, &type, bytes.data(), &size) != portable::kErrorSuccess) {
        return {};
    }
    std::u16string text = portable::FromLittleEndian(bytes.data(), size);
    return text.substr(0, text.find(u'\0'));
}

constexpr const char* kLocal = "local Group Policy";
// More entries than any machine applies: the history is read in a bounded loop all the same.
constexpr int kMostObjects = 1000;

}  // namespace

GroupPolicy GroupPolicy::Load(portable::RegistryApi& registry, portable::FileSource& files) {
    GroupPolicy policy;
    const auto add = [&](std::string who, const std::string& folder) {
        const auto file = files.ReadFile(folder + "\\Registry.pol", kMaxPolicyFileSize);
        // An object without a registry file sets nothing.
        if (file.state == portable::FileContents::kMissing) return;
        auto records = file.state == portable::FileContents::kRead
                           ? ParsePolicyFile(file.bytes.data(), file.bytes.size())
                           : std::nullopt;
        Applied object{std::move(who), records.has_value(), {}};
        if (records) object.records = std::move(*records);
        policy.applied_.push_back(std::move(object));
    };

    const RegHandle machine = portable::RootKeyHandle(portable::kHKeyLocalMachine);
    RegHandle history = 0;
    const std::int32_t opened = registry.OpenKey(machine, kGroupPolicyHistory, &history);
    if (history != 0) registry.CloseKey(history);
    if (history == 0 && opened != portable::kErrorFileNotFound) {
        // Whatever it lists cannot be known: say so rather than "nobody".
        policy.applied_.push_back({"Group Policy", false, {}});
        return policy;
    }
    int listed = 0;
    for (; history != 0 && listed < kMostObjects; ++listed) {
        RegHandle entry = 0;
        registry.OpenKey(machine, std::string(kGroupPolicyHistory) + "\\" + std::to_string(listed),
                         &entry);
        if (entry == 0) break;
        const std::u16string name = ReadText(registry, entry, "DisplayName");
        const std::u16string folder = ReadText(registry, entry, "FileSysPath");
        const bool local =
            portable::SameNameIgnoringCase(ReadText(registry, entry, "GPOName"), u"LocalGPO");
        registry.CloseKey(entry);
        add(local ? kLocal : "Group Policy \"" + Printable(name, 64) + "\"",
            portable::ToUtf8(folder));
    }
    // An empty history is no history either.
    if (listed == 0) add(kLocal, files.SystemFolder() + "\\GroupPolicy\\Machine");
    return policy;
}

Owner GroupPolicy::OwnerOf(const PolicyValue& value) const {
    Owner owner;
    for (const Applied& object : applied_) {
        if (!object.readable) {
            owner = {Owner::kMaybe, object.who, Setting()};
            continue;
        }
        auto decision = DecisionFor(object.records, value.keyPath, value.name);
        if (decision.kind == PolicyDecision::kSets) {
            owner = {Owner::kSets, object.who,
                     SettingOf(value, decision.type, std::move(decision.data))};
        } else if (decision.kind == PolicyDecision::kDeletes) {
            owner = {Owner::kDeletes, object.who, Setting()};
        }
    }
    return owner;
}

bool Overrules(const Owner& owner, bool disable) {
    if (owner.kind != Owner::kSets && owner.kind != Owner::kDeletes) return false;
    return owner.sets.kind != (disable ? SettingKind::kOff : SettingKind::kDefault);
}

std::string OwnerDoes(const Owner& owner) {
    return owner.who + (owner.kind == Owner::kSets ? " sets " + Holds(owner.sets) : " deletes it");
}

std::string ManagedLine(const Owner& owner) {
    switch (owner.kind) {
        case Owner::kNone:
            return "";
        case Owner::kMaybe:
            return "may be managed: " + owner.who + " (its settings could not be read)";
        case Owner::kSets:
        case Owner::kDeletes:
            break;
    }
    return "managed: " + OwnerDoes(owner);
}

std::string AuditOwner(const Owner& owner) {
    switch (owner.kind) {
        case Owner::kNone:
            return "";
        case Owner::kMaybe:
            return "(may be managed by " + owner.who + ")";
        case Owner::kSets:
            return "(" + owner.who + " sets " + Briefly(owner.sets) + ")";
        case Owner::kDeletes:
            break;
    }
    return "(" + owner.who + " deletes it)";
}

std::string WindowText(const Setting& now, const Owner& owner) {
    std::string text = WindowText(now);
    if (owner.kind == Owner::kNone) return text;
    text.pop_back();  // the full stop
    const bool same = owner.sets.kind == now.kind &&
                      (now.kind != SettingKind::kOther ||
                       (owner.sets.type == now.type && owner.sets.stored == now.stored));
    if (owner.kind == Owner::kMaybe) {
        text += ", may be managed by " + owner.who;
    } else if (same) {
        text += ", set by " + owner.who;
    } else if (owner.kind == Owner::kSets) {
        text += "; " + owner.who + " sets " + Briefly(owner.sets);
    } else {
        text += "; " + owner.who + " removes it";
    }
    return text + ".";
}

std::string OverruledMessage(const Owner& owner, const PolicyValue& value) {
    const std::string puts =
        owner.kind == Owner::kSets ? " puts " + Briefly(owner.sets) + " back into " : " removes ";
    return std::string("The change was made, but it will not last: ") + owner.who + puts +
           value.name + " at its next refresh (within 90 minutes, or at the next start). " +
           "Change the setting in that policy instead.";
}

}  // namespace policy
