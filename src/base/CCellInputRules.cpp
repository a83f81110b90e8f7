#include "base/CCellInputRules.h"

namespace kvl {

namespace {
constexpr char32_t kSpace = U' ';

bool IsAsciiAlnum(char32_t c)
{
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z');
}

char32_t Upper(char32_t c)
{
    return c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c;
}
} // namespace

bool CCellInputRules::TakesChar(char32_t c, const std::string &accepted, bool freeText)
{
    if (c == kSpace || c < kSpace)
        return false;
    if (freeText)
        return true;
    if (!accepted.empty())
        return c < 0x80 && accepted.find(static_cast<char>(c)) != std::string::npos;
    return IsAsciiAlnum(c) || (c < 0x80 && std::string(kDefaultExtraChars).find(static_cast<char>(c)) != std::string::npos);
}

int CCellInputRules::WrappedChoice(int index, int count, bool up)
{
    if (count <= 0)
        return -1;
    if (index < 0 || index >= count)
        return up ? count - 1 : 0;
    if (up)
        return index == 0 ? count - 1 : index - 1;
    return index == count - 1 ? 0 : index + 1;
}

int CCellInputRules::ChoiceStartingWith(const std::vector<std::string> &choices, char32_t c)
{
    const char32_t wanted = Upper(c);
    if (wanted >= 0x80)
        return -1;
    for (size_t i = 0; i < choices.size(); ++i) {
        if (!choices[i].empty() && static_cast<unsigned char>(choices[i].front()) == wanted)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace kvl
