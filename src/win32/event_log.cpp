#include <win32/event_log.h>

#include <sddl.h>

#include <iterator>
#include <string>

#include <events.h>
#include <win32/scoped_handles.h>
#include <win32/text.h>

namespace win32 {

namespace {

// The messages of the table, found by the event ID Event Viewer shows (the low 16 bits); the
// Wine test loads each one the policy layer reports.
constexpr DWORD kMessages[] = {MSG_CHANGE_CONFIRMED,     MSG_CHANGE_ALREADY_SO,
                               MSG_CHANGE_NOT_CONFIRMED, MSG_CHANGE_OVERRULED,
                               MSG_CHANGE_REFUSED,       MSG_CHANGE_FAILED};

// The level comes from the message's severity bits, so the table alone decides it.
WORD Level(DWORD message) {
    switch (message >> 30) {
        case 3:
            return EVENTLOG_ERROR_TYPE;
        case 2:
            return EVENTLOG_WARNING_TYPE;
        default:
            return EVENTLOG_INFORMATION_TYPE;
    }
}

// "DOMAIN\name" of a SID, empty when it has no name.
std::string AccountName(PSID sid) {
    wchar_t name[256], domain[256];
    DWORD nameLength = 256, domainLength = 256;
    SID_NAME_USE use;
    if (!LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) {
        return {};
    }
    return domainLength ? Utf8(domain) + "\\" + Utf8(name) : Utf8(name);
}

}  // namespace

void EventLog::Open() {
    opened_ = true;
    source_.Reset(RegisterEventSourceW(nullptr, L"Tessaro"));
    ScopedHandle token;
    DWORD size = 0;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) {
        GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
        user_.resize(size);
        if (!size || !GetTokenInformation(token.Get(), TokenUser, user_.data(), size, &size)) {
            user_.clear();
        }
    }
    if (const PSID sid = Sid()) {
        actor_.user = AccountName(sid);
        ScopedLocalMemory text;
        if (ConvertSidToStringSidW(sid, reinterpret_cast<wchar_t**>(text.Receive()))) {
            actor_.sid = Utf8(static_cast<const wchar_t*>(text.Get()));
        }
    }
    std::wstring path(MAX_PATH, L'\0');
    while (GetModuleFileNameW(nullptr, path.data(), path.size()) >= path.size()) {
        path.resize(path.size() * 2);  // a long path, cut to fit: try a larger buffer
    }
    actor_.process = Utf8(path.c_str());
    actor_.processId = GetCurrentProcessId();
}

PSID EventLog::Sid() const {
    return user_.empty() ? nullptr : reinterpret_cast<const TOKEN_USER*>(user_.data())->User.Sid;
}

const portable::Actor& EventLog::Who() {
    if (!opened_) Open();
    return actor_;
}

void EventLog::Report(std::uint16_t eventId, const std::vector<std::string>& texts) {
    if (!opened_) Open();
    DWORD message = 0;
    for (const DWORD m : kMessages) {
        if ((m & 0xFFFF) == eventId) message = m;
    }
    if (!source_ || !message) return;

    std::vector<std::wstring> strings;
    for (const std::string& text : texts) strings.push_back(Wide(text));
    std::vector<const wchar_t*> pointers;
    for (const std::wstring& text : strings) pointers.push_back(text.c_str());
    // Whether it was written or not, the run goes on as it would have.
    ReportEventW(source_.Get(), Level(message), 0, message, Sid(),
                 static_cast<WORD>(pointers.size()), 0, pointers.data(), nullptr);
}

}  // namespace win32
