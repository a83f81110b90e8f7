#include "link/CPortResolver.h"

namespace kvl {

bool CPortResolver::SetPath(int number, const std::string &path)
{
    if (number < 1)
        return false;
    if (path.empty())
        m_entries.erase(number);
    else
        m_entries[number] = path;
    return true;
}

std::string CPortResolver::GetPath(int number) const
{
    const auto it = m_entries.find(number);
    return it == m_entries.end() ? std::string() : it->second;
}

std::string CPortResolver::DevicePath(int number) const
{
    if (number < 1)
        return {};
    const auto it = m_entries.find(number);
    if (it != m_entries.end())
        return it->second;
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(number);
#else
    return "/dev/ttyS" + std::to_string(number - 1);
#endif
}

int CPortResolver::AssignNumber(const std::string &path)
{
    if (path.empty())
        return 0;
    for (const auto &[number, entry] : m_entries) {
        if (entry == path)
            return number;
    }
    int number = 1;
    while (m_entries.count(number) != 0)
        ++number;
    m_entries[number] = path;
    return number;
}

} // namespace kvl
