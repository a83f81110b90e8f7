#pragma once
// Code-page texts for tests: a literal in a given code page, and how a failing check prints one.
#include <ostream>
#include <string>

#include "config/CCodePage.h"
#include "config/CCodePageText.h"

namespace kvl {

// gtest prints a code-page text by its UTF-8 form and its code page.
inline void PrintTo(const CCodePageText &text, std::ostream *out)
{
    *out << '"' << text.ToUtf8() << "\" (code page " << text.CodePage() << ')';
}

namespace test {

// ASCII or Western text as an English parameter or language file holds it.
inline CCodePageText Western(std::string bytes)
{
    return CCodePageText(std::move(bytes), kCodePageWestern);
}

} // namespace test
} // namespace kvl
