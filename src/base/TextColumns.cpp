#include "base/TextColumns.h"

#include <cstdint>

namespace kvl {

namespace {

// The East Asian wide and full-width blocks a printout meets.
bool Wide(std::uint32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) ||   // Hangul initial consonants
           (c >= 0x2E80 && c <= 0x303E) ||   // CJK radicals, symbols and punctuation
           (c >= 0x3041 && c <= 0x33FF) ||   // kana, bopomofo, CJK compatibility
           (c >= 0x3400 && c <= 0x4DBF) ||   // CJK extension A
           (c >= 0x4E00 && c <= 0x9FFF) ||   // CJK unified ideographs
           (c >= 0xA000 && c <= 0xA4CF) ||   // Yi
           (c >= 0xAC00 && c <= 0xD7A3) ||   // Hangul syllables
           (c >= 0xF900 && c <= 0xFAFF) ||   // CJK compatibility ideographs
           (c >= 0xFE30 && c <= 0xFE4F) ||   // CJK compatibility forms
           (c >= 0xFF00 && c <= 0xFF60) ||   // full-width forms
           (c >= 0xFFE0 && c <= 0xFFE6) ||   // full-width signs
           (c >= 0x20000 && c <= 0x3FFFD);   // CJK extensions B and later
}

} // namespace

std::size_t TextColumns(std::string_view utf8)
{
    std::size_t columns = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        std::uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = i + k < utf8.size() ? static_cast<unsigned char>(utf8[i + k]) : 0;
            if ((next & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (length == 0) {
            ++columns;   // not UTF-8: one column a byte
            ++i;
            continue;
        }
        columns += Wide(code) ? 2 : 1;
        i += length;
    }
    return columns;
}

} // namespace kvl
