#include "link/CTraceLog.h"

#include <array>
#include <cstdio>
#include <ctime>

namespace kvl {
namespace {

constexpr std::array<uint8_t, 9> kPolledCommands = {0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x34, 0x5B};

CTraceLog::LocalTime SystemLocalTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &now);
#else
    localtime_r(&now, &parts);
#endif
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

} // namespace

CTraceLog::CTraceLog() : m_clock(SystemLocalTime) {}

void CTraceLog::SetClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(SystemLocalTime);
}

bool CTraceLog::IsPolledCommand(uint8_t command)
{
    for (const uint8_t polled : kPolledCommands) {
        if (polled == command)
            return true;
    }
    return false;
}

std::string CTraceLog::FileName(const std::string &folder, const LocalTime &when, uint8_t command)
{
    char name[64];
    std::snprintf(name, sizeof name, "%d%02d%02d%s.log", when.year, when.month, when.day,
                  IsPolledCommand(command) ? "_OnTimer" : "");
    return folder + "/log/" + name;
}

void CTraceLog::LogRequest(const std::string &folder, uint8_t command, const uint8_t *bytes, int count)
{
    m_file = FileName(folder, m_clock(), command);
    AppendLine("TX:", bytes, count, "\n");
}

void CTraceLog::LogDiscarded(const std::string &folder, uint8_t command, int count)
{
    m_file = FileName(folder, m_clock(), command);
    std::FILE *out = std::fopen(m_file.c_str(), "ab");
    if (out == nullptr)
        return;
    const LocalTime now = m_clock();
    std::fprintf(out, "%02d:%02d:%02d PURGE: %d bytes\n", now.hour, now.minute, now.second, count);
    std::fclose(out);
}

void CTraceLog::LogReply(const uint8_t *bytes, int count)
{
    AppendLine("RX:", bytes, count, "\n\n");
}

void CTraceLog::LogRefused(const std::string &folder, uint8_t command, const uint8_t *bytes, int count,
                           const std::string &reason)
{
    const std::string ending = "(" + reason + ")\n";
    AppendTo(FileName(folder, m_clock(), command), "REFUSED:", bytes, count, ending.c_str());
}

void CTraceLog::AppendLine(const char *direction, const uint8_t *bytes, int count, const char *ending)
{
    AppendTo(m_file, direction, bytes, count, ending);
}

void CTraceLog::AppendTo(const std::string &file, const char *direction, const uint8_t *bytes, int count,
                         const char *ending)
{
    if (file.empty())
        return;
    // Binary mode: the line ends exactly as given on every platform.
    std::FILE *out = std::fopen(file.c_str(), "ab");
    if (out == nullptr)
        return;
    const LocalTime now = m_clock();
    std::fprintf(out, "%02d:%02d:%02d %s", now.hour, now.minute, now.second, direction);
    for (int i = 0; bytes != nullptr && i < count; ++i)
        std::fprintf(out, "%02X ", bytes[i]);
    std::fputs(ending, out);
    std::fclose(out);
}

} // namespace kvl
