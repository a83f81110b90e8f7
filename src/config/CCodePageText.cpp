#include "config/CCodePageText.h"

#include "config/CCodePage.h"

namespace kvl {

CCodePageText CCodePageText::FromUtf8(std::string_view utf8, int codePage)
{
    std::string bytes;
    CCodePage::FromUtf8(utf8, codePage, bytes, true);
    return CCodePageText(std::move(bytes), codePage);
}

std::string CCodePageText::ToUtf8() const
{
    std::string utf8;
    CCodePage::ToUtf8(m_bytes, m_codePage, utf8);
    return utf8;
}

} // namespace kvl
