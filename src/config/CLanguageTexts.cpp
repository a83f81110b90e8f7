#include "config/CLanguageTexts.h"

#include "config/CCodePage.h"

namespace kvl {

bool CLanguageTexts::Load(const std::string &systemFolder, const std::string &fileName, int language)
{
    m_store.Clear();
    m_language = language;
    m_store.SetCodePage(CCodePage::ForLanguage(language));
    // The system never changes a language file, so it is never written back.
    return m_store.OpenInSystemFolder(systemFolder, fileName, "", true, false, true);
}

void CLanguageTexts::Unload()
{
    m_store.Clear();
}

CCodePageText CLanguageTexts::RawText(std::string_view key, std::string_view section) const
{
    return CCodePageText(m_store.GetString(section, key, ""), m_store.CodePage());
}

std::string CLanguageTexts::Text(std::string_view key, std::string_view section) const
{
    return RawText(key, section).ToUtf8();
}

std::string CLanguageTexts::Tooltip(int number) const
{
    return Text(std::string(kTooltipSection) + std::to_string(number), kTooltipSection);
}

CCodePageText CLanguageTexts::DeviceText(std::string bytes) const
{
    return CCodePageText(std::move(bytes), CCodePage::ForLanguage(m_language));
}

} // namespace kvl
