#include "system/tools/SysGen.h"

#include <array>
#include <cstdio>

#include "config/CCodePage.h"

namespace kvl::sysgen {

namespace {

constexpr std::array<std::string_view, 3> kLanguageTags = {"ja", "en", "zh"};
constexpr char kTagMark = '@';
constexpr std::string_view kLineEnd = "\r\n";

bool IsHeader(std::string_view line)
{
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// The language tag at the end of a key ("Name@ja" → "ja"), or empty when it has none.
std::string_view TagOf(std::string_view key)
{
    const std::size_t at = key.rfind(kTagMark);
    if (at == std::string_view::npos)
        return {};
    const std::string_view tag = key.substr(at + 1);
    for (std::string_view known : kLanguageTags) {
        if (tag == known)
            return tag;
    }
    return {};
}

std::string Where(std::string_view sourceName, int lineNumber)
{
    return std::string(sourceName) + ":" + std::to_string(lineNumber) + ": ";
}

// Code point of the UTF-8 character at `offset`, for error messages; 0xFFFD when unreadable.
unsigned CodePointAt(std::string_view text, std::size_t offset)
{
    if (offset >= text.size())
        return 0xFFFD;
    const auto lead = static_cast<unsigned char>(text[offset]);
    int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || offset + static_cast<std::size_t>(length) > text.size())
        return 0xFFFD;
    unsigned cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(text[offset + i]) & 0x3F);
    return cp;
}

} // namespace

Result Generate(std::string_view source, std::string_view sourceName, std::string_view language,
                int codePage)
{
    Result result;
    bool knownLanguage = false;
    for (std::string_view known : kLanguageTags)
        knownLanguage = knownLanguage || known == language;
    if (!knownLanguage || !CCodePage::IconvName(codePage)) {
        result.error = "unknown language or code page";
        return result;
    }

    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < source.size()) {
        const std::size_t lf = source.find('\n', pos);
        const std::size_t end = lf == std::string_view::npos ? source.size() : lf;
        std::string line(source.substr(pos, end - pos));
        pos = lf == std::string_view::npos ? source.size() : lf + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();

        const std::size_t eq = line.find('=');
        if (!IsHeader(line) && eq != std::string::npos) {
            const std::string_view key = std::string_view(line).substr(0, eq);
            const std::string_view tag = TagOf(key);
            if (!tag.empty()) {
                if (tag != language)
                    continue;
                line.erase(eq - tag.size() - 1, tag.size() + 1);
            }
            if (line.find(';', line.find('=')) != std::string::npos) {
                result.error = Where(sourceName, lineNumber) +
                               "\";\" in a value would be cut off as a note";
                return result;
            }
        }

        std::string encoded;
        std::size_t bad = 0;
        if (!CCodePage::FromUtf8(line, codePage, encoded, false, &bad)) {
            char cp[16];
            std::snprintf(cp, sizeof cp, "U+%04X", CodePointAt(line, bad));
            result.error = Where(sourceName, lineNumber) + "character " + cp +
                           " cannot be written in code page " + std::to_string(codePage);
            return result;
        }
        result.output += encoded;
        result.output += kLineEnd;
    }
    result.ok = true;
    return result;
}

} // namespace kvl::sysgen
