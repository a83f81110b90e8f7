#include "params/CCommErrorLog.h"

#include <cstdio>

namespace kvl::params {

CCommErrorLog::CCommErrorLog(std::string folder, Clock clock)
    : m_folder(std::move(folder)), m_clock(std::move(clock))
{
}

std::string CCommErrorLog::LineFor(int code)
{
    char line[80];
    std::snprintf(line, sizeof(line), "The last packet included an error(CODE : %d)!! \n\n", code);
    return line;
}

std::string CCommErrorLog::FilePath() const
{
    const ParamDate date = m_clock ? m_clock() : ParamDate::Today();
    char name[40];
    std::snprintf(name, sizeof(name), "/log/%d%02d%02d.log", date.year, date.month, date.day);
    return m_folder + name;
}

bool CCommErrorLog::Append(int code) const
{
    std::FILE *file = std::fopen(FilePath().c_str(), "ab");
    if (!file)
        return false;
    const std::string line = LineFor(code);
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && written;
}

} // namespace kvl::params
