#include "base/CEventLog.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>

namespace kvl {

namespace {

namespace fs = std::filesystem;

constexpr char kLogFolderName[] = "log";
constexpr int kDateDigits = 8;   // YYYYMMDD

struct State {
    std::mutex mutex;
    bool open = false;
    std::string logFolder;
    std::string program;
    CEventLog::Clock clock;
};

State &TheState()
{
    static State state;
    return state;
}

CEventLog::LocalTime SystemTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long DayNumber(int year, int month, int day)
{
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153L * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Removes the daily files older than kKeepDays days (by the date in their names).
void RemoveOldFiles(const std::string &logFolder, const CEventLog::LocalTime &today)
{
    const long oldest = DayNumber(today.year, today.month, today.day) - CEventLog::kKeepDays;
    const std::string suffix = CEventLog::kFileSuffix;
    std::error_code error;
    for (fs::directory_iterator it(logFolder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() != kDateDigits + suffix.size() || name.compare(kDateDigits, suffix.size(), suffix) != 0)
            continue;
        int year = 0, month = 0, day = 0;
        if (std::sscanf(name.c_str(), "%4d%2d%2d", &year, &month, &day) != 3)
            continue;
        if (DayNumber(year, month, day) < oldest) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

} // namespace

bool CEventLog::Open(const std::string &folder, const std::string &program, Clock clock)
{
    State &state = TheState();
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.open = false;
    const fs::path logFolder = fs::path(folder.empty() ? "." : folder) / kLogFolderName;
    std::error_code error;
    fs::create_directories(logFolder, error);
    if (!fs::is_directory(logFolder, error))
        return false;
    state.logFolder = logFolder.string();
    state.program = program;
    state.clock = clock ? std::move(clock) : Clock(&SystemTime);
    state.open = true;
    RemoveOldFiles(state.logFolder, state.clock());
    return true;
}

void CEventLog::Close()
{
    State &state = TheState();
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.open = false;
}

bool CEventLog::IsOpen()
{
    State &state = TheState();
    const std::lock_guard<std::mutex> lock(state.mutex);
    return state.open;
}

std::string CEventLog::FileName(const std::string &logFolder, const LocalTime &when)
{
    char name[32];
    std::snprintf(name, sizeof name, "%04d%02d%02d%s", when.year, when.month, when.day, kFileSuffix);
    return (fs::path(logFolder) / name).string();
}

std::string CEventLog::FilePath()
{
    State &state = TheState();
    const std::lock_guard<std::mutex> lock(state.mutex);
    return state.open ? FileName(state.logFolder, state.clock()) : std::string();
}

void CEventLog::Write(std::string_view kind, std::string_view text)
{
    State &state = TheState();
    const std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.open)
        return;
    const LocalTime now = state.clock();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", now.year, now.month, now.day, now.hour,
                  now.minute, now.second);
    std::string line = stamp + state.program + "[" + std::to_string(::getpid()) + "] ";
    line.append(kind);
    line += ": ";
    for (const char c : text) {
        if (c == '\n')
            line += " / ";
        else if (c != '\r')
            line += c;
    }
    line += '\n';
    // Opened for each line and closed at once: lines of two programs on the same day do not mix.
    if (std::FILE *file = std::fopen(FileName(state.logFolder, now).c_str(), "ab")) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fclose(file);
    }
}

} // namespace kvl
