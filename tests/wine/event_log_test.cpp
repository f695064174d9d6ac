// The Application log's events on Windows' own calls: the message table as Event Viewer reads it
// from both programs, and win32::EventLog's events as ReportEventW receives them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <policy/change_event.h>
#include <support/event_trace.h>
#include <win32/event_log.h>

namespace {

using policy::Logged;
using policy::Setting;
using policy::SettingKind;

// The IDs and levels collectors filter on, in the order of policy::Logged.
constexpr DWORD kIds[] = {0x400003e8, 0x400003e9, 0x800003ea, 0x800003eb, 0xc00003ec, 0xc00003ed};
constexpr unsigned kLevels[] = {EVENTLOG_INFORMATION_TYPE, EVENTLOG_INFORMATION_TYPE,
                                EVENTLOG_WARNING_TYPE,     EVENTLOG_WARNING_TYPE,
                                EVENTLOG_ERROR_TYPE,       EVENTLOG_ERROR_TYPE};

std::string Self() {  // this test program, in the build folder beside the programs'
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

TEST(EventMessages, BothProgramsCarryOneMessagePerOutcomeWithEveryInsertionString) {
    DWORD_PTR strings[12];
    const wchar_t* const kStrings[] = {L"k", L"n", L"b", L"a",  L"o", L"h",
                                       L"u", L"s", L"p", L"42", L"d", L"x"};
    for (int i = 0; i < 12; ++i) strings[i] = reinterpret_cast<DWORD_PTR>(kStrings[i]);
    for (const char* program : {"src\\tessaro.exe", "src\\tessaro.com"}) {
        const HMODULE module = LoadLibraryExA((Self() + "\\..\\..\\" + program).c_str(), nullptr,
                                              LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module) << program;
        for (const DWORD id : kIds) {
            wchar_t text[1024] = {};
            EXPECT_NE(
                0u, FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                   module, id, 0, text, 1024, reinterpret_cast<va_list*>(strings)))
                << program << std::hex << id;
            EXPECT_TRUE(std::wstring(text).ends_with(
                L".\r\nKey: k\r\nValue: n\r\nBefore: b\r\nAfter: a\r\nOutcome: o\r\nHow: h\r\n"
                L"User: u (s)\r\nProcess: p (process ID 42)\r\nDetail: d\r\n"
                L"Value before, to put it back: x\r\n"))
                << program << testing::PrintToString(std::wstring(text));
        }
        FreeLibrary(module);
    }
}

policy::ChangeRecord Change(Logged outcome) {
    const Setting before{SettingKind::kOther, REG_SZ, "\"1\"", 0, {'1', 0, 0, 0}};
    return {&policy::kNoDriveTypeAutoRun,
            before,
            {SettingKind::kOff, REG_DWORD, "0xff"},
            outcome,
            policy::Via::kConsole,
            outcome == Logged::kFailed ? "not enough resources (1450)" : ""};
}

// This program started again with TESSARO_EVENT_CHILD set records one change of each outcome
// and ends before any test runs.
[[maybe_unused]] const bool g_child = [] {
    if (!std::getenv("TESSARO_EVENT_CHILD")) return false;
    win32::EventLog events;
    policy::EventChangeLog log(events);
    for (int i = 0; i < 6; ++i) log.Record(Change(static_cast<Logged>(i)));
    std::exit(0);
}();

TEST(EventLog, ReportsEachChangeWithItsLevelIdUserAndProcess) {
    const auto events = TraceEvents(Self(), "", "TESSARO_EVENT_CHILD=1");
    ASSERT_EQ(6u, events.size()) << "TESSARO_EVENT_CHILD=1 was not passed on";
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(kLevels[i], events[i].level) << i;
        EXPECT_EQ(kIds[i], events[i].id) << i;
        ASSERT_EQ(12u, events[i].strings.size()) << i;
        const auto& s = events[i].strings;
        EXPECT_EQ(policy::EventStrings(Change(static_cast<Logged>(i)),
                                       {s[6], s[7], s[8], std::stoul(s[9])}),
                  s);
        EXPECT_TRUE(s[6].find('\\') != std::string::npos && s[7].starts_with("S-1-5-")) << s[6];
        EXPECT_EQ(Self(), s[8]);
        EXPECT_NE(GetCurrentProcessId(), std::stoul(s[9]));
    }
}

}  // namespace
