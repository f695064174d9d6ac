// What an auditor finds in the Application log after real runs of the program: one event per
// change, as Wine shows the program's ReportEventW calls.
#include <e2e/driver.h>
#include <support/event_trace.h>
#include <support/policy_dacl.h>

namespace e2e {
namespace {

// The event's ID, level and insertion strings on one line: "400003e8 4|HKLM\...|...|".
std::string Line(const TracedEvent& event) {
    char head[32];
    std::snprintf(head, sizeof head, "%x %u|", event.id, event.level);
    std::string line = head;
    for (const auto& text : event.strings) line += text + "|";
    return line;
}

// A change, the same change again and a refused one: a confirmed change (Information), "already
// so" (Information, so that the trail shows every attempt) and a refusal (Error).
TEST(ApplicationLog, EachRunThatChangesAValueLogsOneEventForIt) {
    const std::string program = fs::absolute(__argv[1]).string();
    const std::string key =
        "|HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer|"
        "NoDriveTypeAutoRun|";
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");
    const auto logged = [&](const std::string& head, const std::string& change,
                            Where at = Where::current()) {
        const auto events = TraceEvents(program, "/disable");
        const std::string line = events.size() == 1 ? Line(events[0]) : "";
        EXPECT_TRUE(line.starts_with(head + key + change) &&
                    line.find("|command line|") != std::string::npos)
            << at.line() << ": " << events.size() << " events: " << line;
    };
    logged("400003e8 4", "absent|REG_DWORD 0xff|confirmed|");
    logged("400003e9 4", "REG_DWORD 0xff|REG_DWORD 0xff|already so|");
    SetPolicy(0x91);
    SetPolicyDacl(L"D:(A;;KR;;;WD)");
    logged("c00003ec 1", "REG_DWORD 0x91|REG_DWORD 0x91|refused|");
    SetPolicyDacl(L"D:(A;;KA;;;WD)");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun");
}

}  // namespace
}  // namespace e2e
