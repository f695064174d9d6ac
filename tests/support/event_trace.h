// The events a program reports, as Wine shows them: its ReportEventW writes no log, but with
// WINEDEBUG=+eventlog it prints a line with the level and the ID, then each insertion string, on
// standard error. Wine's own standard error is not a Windows handle, so the program is started by
// a shell that sends it to a file.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

struct TracedEvent {
    unsigned level = 0;  // EVENTLOG_INFORMATION_TYPE, _WARNING_TYPE or _ERROR_TYPE
    unsigned id = 0;     // with the severity bits: 0x400003e8
    std::vector<std::string> strings;
};

// Runs a Windows program with the arguments (and NAME=VALUE words for its environment) and gives
// back the events it reported; none when it did not end within 20 s.
inline std::vector<TracedEvent> TraceEvents(const std::string& program,
                                            const std::string& arguments,
                                            const std::string& environment = "") {
    static int counter = 0;
    const std::string out = std::getenv("WINEPREFIX") + ("/events" + std::to_string(++counter));
    std::string sh = "/bin/sh -c \"WINEDEBUG=+eventlog " + environment + " wine '" + program +
                     "' " + arguments + " >/dev/null 2>" + out + ".part; mv " + out + ".part " +
                     out + "\"";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION info{};
    std::vector<TracedEvent> events;
    if (!CreateProcessA(0, sh.data(), 0, 0, FALSE, 0, 0, 0, &startup, &info)) return events;
    for (int i = 0; i < 2000 && !std::ifstream(out); ++i) Sleep(10);  // no handle to wait on
    std::ifstream file(out);
    for (std::string line; std::getline(file, line);) {
        if (const auto at = line.find(":ReportEventW ("); at != std::string::npos) {
            unsigned level = 0, id = 0;  // "(handle,0x0004,0x0000,0x400003e8,..."
            std::sscanf(line.c_str() + line.find(',', at) + 1, "%x,%*x,%x", &level, &id);
            events.push_back({level, id});
        } else if (const auto quote = line.find(":eventlog:ReportEventW L\"");
                   quote != std::string::npos && !events.empty()) {
            std::string text;  // debugstr's escapes undone
            for (size_t i = line.find('"', quote) + 1; i + 1 < line.size(); ++i) {
                text += line[i] == '\\' ? line[++i] : line[i];
            }
            events.back().strings.push_back(text);
        }
    }
    return events;
}
