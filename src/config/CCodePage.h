#pragma once
// CCodePage: conversion between the code page of a user language's files (CP932 Japanese,
// CP936 Chinese, CP1252 English) and UTF-8, through the C library's iconv. The INI engine keeps
// texts in their file's code page; the faces and tools convert here at their boundary.
// Stateless; any thread.
#include <cstddef>
#include <string>
#include <string_view>

#include "base/TextNumber.h"

namespace kvl {

class CCodePage {
public:
    static constexpr int kJapanese = kCodePageShiftJis;
    static constexpr int kChinese = kCodePageGbk;
    static constexpr int kWestern = kCodePageWestern;

    // Font character sets of the languages, as the windows use them.
    static constexpr int kCharSetShiftJis = 128;
    static constexpr int kCharSetAnsi = 0;
    static constexpr int kCharSetGb2312 = 134;

    // Language number 1 Japanese, 2 English, 3 Chinese; any other number is treated as Japanese.
    static int ForLanguage(int language);
    static int CharSetForLanguage(int language);
    // Name of a code page for iconv ("CP932"); nullptr for a code page this module does not know.
    static const char *IconvName(int codePage);

    // Converts `bytes` in `codePage` to UTF-8 in `out`. An undecodable byte becomes U+FFFD and
    // the result is false; so is an unknown code page (then `out` is empty).
    static bool ToUtf8(std::string_view bytes, int codePage, std::string &out);
    // Converts UTF-8 to `codePage`. With `replace` a character that the code page lacks (or
    // invalid UTF-8) becomes "?" and conversion goes on; without it conversion stops there.
    // Either way the result is false and `badOffset` (when given) receives the byte offset in
    // `utf8` of the first such character.
    static bool FromUtf8(std::string_view utf8, int codePage, std::string &out, bool replace,
                         std::size_t *badOffset = nullptr);
};

} // namespace kvl
