#pragma once
// Daily trace of every request and reply: <folder>/log/YYYYMMDD.log, or YYYYMMDD_OnTimer.log for
// the polled status reads so that the periodic traffic does not bury the rest. Each line is
// appended with the file opened and closed at once; the log folder is never created, and a line
// that cannot be written is skipped. Owned by the serial transport; one thread.
#include <cstdint>
#include <functional>
#include <string>

namespace kvl {

class CTraceLog {
public:
    struct LocalTime {
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    };
    using Clock = std::function<LocalTime()>;

    CTraceLog();

    // Replaces the local-time source (tests fix the time); an empty clock restores the system's.
    void SetClock(Clock clock);

    // True for the command bytes of the polled status reads that go to the _OnTimer file.
    static bool IsPolledCommand(uint8_t command);
    // The file a request with `command` made at `when` is logged to.
    static std::string FileName(const std::string &folder, const LocalTime &when, uint8_t command);

    // Logs "hh:mm:ss TX:" and the request bytes, and fixes the file the reply goes to.
    void LogRequest(const std::string &folder, uint8_t command, const uint8_t *bytes, int count);
    // Logs "hh:mm:ss PURGE: n bytes" for input that was waiting before the request went out (the
    // tail of an earlier answer, or line noise), to the file the request then goes to.
    void LogDiscarded(const std::string &folder, uint8_t command, int count);
    // Logs "hh:mm:ss RX:" and the received bytes (none after a timeout) to the request's file.
    void LogReply(const uint8_t *bytes, int count);
    // Logs "hh:mm:ss REFUSED:", the request bytes and (`reason`) for a request the facade did not
    // send. The file of an exchange in progress stays the one its reply goes to.
    void LogRefused(const std::string &folder, uint8_t command, const uint8_t *bytes, int count,
                    const std::string &reason);

private:
    void AppendLine(const char *direction, const uint8_t *bytes, int count, const char *ending);
    void AppendTo(const std::string &file, const char *direction, const uint8_t *bytes, int count,
                  const char *ending);

    Clock m_clock;
    std::string m_file;   // fixed by the request, used for its reply
};

} // namespace kvl
