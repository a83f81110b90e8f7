#include "link/CPortResolver.h"

namespace kvl {

CPortResolver &CPortResolver::Instance()
{
    static CPortResolver resolver;
    return resolver;
}

bool CPortResolver::SetPath(int number, const std::string &path)
{
    if (number < 1)
        return false;
    if (path.empty())
        entries_.erase(number);
    else
        entries_[number] = path;
    return true;
}

std::string CPortResolver::GetPath(int number) const
{
    const auto it = entries_.find(number);
    return it == entries_.end() ? std::string() : it->second;
}

std::string CPortResolver::DevicePath(int number) const
{
    if (number < 1)
        return {};
    const auto it = entries_.find(number);
    if (it != entries_.end())
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
    for (const auto &[number, entry] : entries_) {
        if (entry == path)
            return number;
    }
    int number = 1;
    while (entries_.count(number) != 0)
        ++number;
    entries_[number] = path;
    return number;
}

} // namespace kvl
