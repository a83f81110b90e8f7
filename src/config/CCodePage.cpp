#include "config/CCodePage.h"

#include <algorithm>
#include <cerrno>

#include <iconv.h>

#include "config/CAppSettings.h"

namespace kvl {

namespace {

constexpr std::size_t kChunk = 4096;
constexpr char kUtf8[] = "UTF-8";
constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD"; // U+FFFD
constexpr char kReplacementNarrow[] = "?";

// Code page and font character set of each user language; the first row (Japanese) also serves
// any other language number.
struct LanguageCoding {
    int language;
    int codePage;
    int charSet;
};
constexpr LanguageCoding kLanguageCodings[] = {
    {CAppSettings::kLanguageJapanese, CCodePage::kJapanese, CCodePage::kCharSetShiftJis},
    {CAppSettings::kLanguageEnglish, CCodePage::kWestern, CCodePage::kCharSetAnsi},
    {CAppSettings::kLanguageChinese, CCodePage::kChinese, CCodePage::kCharSetGb2312},
};

const LanguageCoding &CodingOf(int language)
{
    for (const LanguageCoding &row : kLanguageCodings) {
        if (row.language == language)
            return row;
    }
    return kLanguageCodings[0];
}

std::size_t SkipOneByte(std::string_view)
{
    return 1;
}

// Length of the UTF-8 character at the start of `rest`; 1 for a byte that cannot start one.
std::size_t SkipUtf8Char(std::string_view rest)
{
    const auto lead = static_cast<unsigned char>(rest.front());
    std::size_t length = 1;
    if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC2 && lead < 0xE0)
        length = 2;
    if (lead >= 0xF5)
        length = 1;
    // Stop early at a byte that does not continue the character.
    std::size_t n = 1;
    while (n < length && n < rest.size() &&
           (static_cast<unsigned char>(rest[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

struct Direction {
    const char *to;
    const char *from;
    std::string_view replacement;
    std::size_t (*skip)(std::string_view);
};

bool Convert(const Direction &dir, std::string_view in, std::string &out, bool replace,
             std::size_t *badOffset)
{
    out.clear();
    iconv_t cd = ::iconv_open(dir.to, dir.from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;

    bool ok = true;
    char *inPtr = const_cast<char *>(in.data());
    std::size_t inLeft = in.size();
    char buffer[kChunk];
    while (inLeft > 0) {
        char *outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ (cannot convert) or EINVAL (sequence cut off at the end).
        if (ok && badOffset)
            *badOffset = static_cast<std::size_t>(inPtr - in.data());
        ok = false;
        if (!replace)
            break;
        out.append(dir.replacement);
        const std::size_t skipped = std::min(dir.skip(std::string_view(inPtr, inLeft)), inLeft);
        inPtr += skipped;
        inLeft -= skipped;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char *outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    ::iconv_close(cd);
    return ok;
}

} // namespace

int CCodePage::ForLanguage(int language)
{
    return CodingOf(language).codePage;
}

int CCodePage::CharSetForLanguage(int language)
{
    return CodingOf(language).charSet;
}

const char *CCodePage::IconvName(int codePage)
{
    // glibc's SHIFT_JIS is the strict variant that rejects common characters; CP932 is what the
    // files really hold.
    switch (codePage) {
    case kJapanese:
        return "CP932";
    case kChinese:
        return "CP936";
    case kWestern:
        return "CP1252";
    default:
        return nullptr;
    }
}

bool CCodePage::ToUtf8(std::string_view bytes, int codePage, std::string &out)
{
    const char *name = IconvName(codePage);
    if (!name) {
        out.clear();
        return false;
    }
    const Direction dir{kUtf8, name, kReplacementUtf8, SkipOneByte};
    return Convert(dir, bytes, out, true, nullptr);
}

bool CCodePage::FromUtf8(std::string_view utf8, int codePage, std::string &out, bool replace,
                         std::size_t *badOffset)
{
    const char *name = IconvName(codePage);
    if (!name) {
        out.clear();
        if (badOffset)
            *badOffset = 0;
        return false;
    }
    const Direction dir{name, kUtf8, kReplacementNarrow, SkipUtf8Char};
    return Convert(dir, utf8, out, replace, badOffset);
}

} // namespace kvl
