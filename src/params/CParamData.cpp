#include "params/CParamData.h"

#include <algorithm>

#include "base/TextNumber.h"

namespace kvl::params {

bool CParamData::SetType(int type)
{
    if (type < kTypeEmpty || type > kTypeText)
        return false;
    m_type = type;
    return true;
}

void CParamData::SetIntRange(int a, int b)
{
    m_intMin = std::min(a, b);
    m_intMax = std::max(a, b);
}

void CParamData::SetRealRange(double a, double b)
{
    m_realMin = std::min(a, b);
    m_realMax = std::max(a, b);
}

void CParamData::SetPrecision(int decimals)
{
    m_precision = std::clamp(decimals, 0, kMaxPrecision);
}

namespace {

// Blanks are ASCII in each of the code pages, and no second byte of a double-byte character is
// one, so the ends can be stripped byte-wise.
CCodePageText Stripped(const CCodePageText &text)
{
    return CCodePageText(std::string(StripBlanks(text.Bytes())), text.CodePage());
}

} // namespace

void CParamData::AddChoice(const CCodePageText &text)
{
    CCodePageText stripped = Stripped(text);
    if (!stripped.Empty())
        m_choices.push_back(std::move(stripped));
}

void CParamData::ClearChoices()
{
    m_choices.clear();
    m_selectedIndex = -1;
    m_selectedText = CCodePageText();
}

bool CParamData::SetIndex(int index, bool markChanged)
{
    if (m_type == kTypeInteger) {
        m_intValue = index;
        return true;
    }
    if (m_type != kTypeSelection || index < 0 || index >= ChoiceCount())
        return false;
    if (markChanged && index != m_selectedIndex)
        m_changed = true;
    m_selectedIndex = index;
    m_selectedText = m_choices[static_cast<std::size_t>(index)];
    return true;
}

void CParamData::SetTextValue(const CCodePageText &text)
{
    m_textValue = Stripped(text);
}

bool CParamData::SetByText(const CCodePageText &value, bool markChanged)
{
    const std::string_view text = value.Bytes();
    if (text.empty())
        return false;
    switch (m_type) {
    case kTypeInteger:
        m_intValue = LeadingInt(text);
        return true;
    case kTypeReal: {
        const std::optional<double> value = LeadingFiniteReal(text);
        if (!value)
            return false;
        m_realValue = *value;
        return true;
    }
    case kTypeSelection: {
        const CCodePageText wanted = Stripped(value);
        const auto found = std::find(m_choices.begin(), m_choices.end(), wanted);
        if (found == m_choices.end())
            return false;
        return SetIndex(static_cast<int>(found - m_choices.begin()), markChanged);
    }
    case kTypeText:
        SetTextValue(value);
        return true;
    default:
        return false;
    }
}

void CParamData::SetRangeTexts(std::string minText, std::string maxText)
{
    m_minText = std::move(minText);
    m_maxText = std::move(maxText);
}

} // namespace kvl::params
