#pragma once
// CEventLog: the small daily log of what a user wants to know after a problem: when a program
// started and ended, the links (port, speed, what answered), the messages and errors it showed,
// the transfers, writes and saves with their results. One line each,
//   "2026-12-11 08:43:14 kvl_motor[1234] link: /dev/ttyUSB0 at 115200 bit/s: axes 0, 1; network unit"
// appended to <folder>/log/YYYYMMDD_events.log (the folder is made when missing); files older than
// kKeepDays days are removed when a program opens the log. kvl_motor and kvlctl write it by default
// into the user's log folder (~/.local/share/kvl_motor/log when installed). It is apart from the
// trace of every exchange (CTraceLog), which the service level switches on.
// One log per process: the face opens it at start-up; any layer writes through Write(), which does
// nothing while the log is closed (the tests, the tools) or when a line cannot be written.
// Thread-safe.
#include <functional>
#include <string>
#include <string_view>

namespace kvl {

class CEventLog {
public:
    static constexpr int kKeepDays = 30;
    static constexpr char kFileSuffix[] = "_events.log";

    struct LocalTime {
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    };
    using Clock = std::function<LocalTime()>;

    // Starts the log in <folder>/log for `program` ("kvl_motor"); an empty clock uses the local
    // time. False (and the log stays closed) when the log folder cannot be made.
    static bool Open(const std::string &folder, const std::string &program, Clock clock = {});
    static void Close();
    static bool IsOpen();

    // Appends "DATE TIME PROGRAM[PID] KIND: TEXT" to today's file; line breaks of `text` become
    // " / ". Nothing happens while the log is closed.
    static void Write(std::string_view kind, std::string_view text);

    // The file of the day of `when` in `logFolder` ("<logFolder>/20261211_events.log").
    static std::string FileName(const std::string &logFolder, const LocalTime &when);
    // Today's file; empty while the log is closed.
    static std::string FilePath();
};

} // namespace kvl
