#include <policy/change_event.h>

#include <cstdio>

namespace policy {

namespace {

const char* OutcomeWords(Logged outcome) {
    switch (outcome) {
        case Logged::kConfirmed:
            return "confirmed";
        case Logged::kAlreadySo:
            return "already so";
        case Logged::kNotConfirmed:
            return "not confirmed";
        case Logged::kOverruled:
            return "overruled by Group Policy";
        case Logged::kRefused:
            return "refused";
        case Logged::kFailed:
            break;
    }
    return "failed";
}

const char* ViaWords(Via via) {
    switch (via) {
        case Via::kWindow:
            return "window";
        case Via::kRaisedFromWindow:
            return "raised from the window";
        case Via::kCommandLine:
            return "command line";
        case Via::kConsole:
            break;
    }
    return "console";
}

}  // namespace

std::string Exactly(const Setting& setting) {
    const bool stored = setting.kind == SettingKind::kOff || setting.kind == SettingKind::kOther;
    // A REG_DWORD of four bytes shows as its number already, and the others need no bytes.
    if (!stored || (setting.type == portable::kRegDword && setting.stored.size() == 4)) {
        return Holds(setting);
    }
    std::string text = Holds({SettingKind::kOther, setting.type, ""});  // the type's name alone
    for (const std::uint8_t byte : setting.stored) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        text += hex;
    }
    return text;
}

std::vector<std::string> EventStrings(const ChangeRecord& record, const Actor& actor) {
    return {"HKLM\\" + std::string(record.value->keyPath),
            record.value->name,
            Holds(record.before),
            Holds(record.after),
            OutcomeWords(record.outcome),
            ViaWords(record.via),
            actor.user,
            actor.sid,
            actor.process,
            std::to_string(actor.processId),
            record.detail,
            Exactly(record.before)};
}

}  // namespace policy
