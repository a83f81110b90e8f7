#include "params/CParamListPair.h"

#include "params/CParamListRules.h"
#include "params/CParamRules.h"

namespace kvl::params {

CParamListPair::CParamListPair(CParamList &driver) : m_driver(driver), m_file(driver), m_kept(driver) {}

void CParamListPair::CopyDriverToFile()
{
    m_file = m_driver;
    KeepEdits();
}

void CParamListPair::KeepEdits()
{
    m_kept = m_file;
}

bool CParamListPair::HasUnkeptEdits() const
{
    for (int number = 1; number <= CParamRules::kSlotCount; ++number) {
        const CParamData &now = m_file.At(number);
        const CParamData &kept = m_kept.At(number);
        if (now.GetType() != kept.GetType() || now.IntValue() != kept.IntValue() ||
            now.RealValue() != kept.RealValue() || now.SelectedIndex() != kept.SelectedIndex() ||
            !(now.TextValue() == kept.TextValue()))
            return true;
    }
    return false;
}

std::vector<int> CParamListPair::AssignRows(int tab, int level, int count)
{
    std::vector<int> shown;
    for (int number = 1; number <= CParamRules::kSlotCount; ++number) {
        m_driver.At(number).SetRow(-1);
        m_file.At(number).SetRow(-1);
    }
    for (const int number : CParamRules::Numbers(count)) {
        if (!CParamListRules::IsShown(m_file.At(number), tab, level))
            continue;
        shown.push_back(number);
        const int row = static_cast<int>(shown.size());
        m_driver.At(number).SetRow(row);
        m_file.At(number).SetRow(row);
    }
    return shown;
}

void CParamListPair::ReloadTexts(const CIniEx &store, int count)
{
    for (const int number : CParamRules::Numbers(count)) {
        CParamList::ReloadTexts(store, number, m_driver.At(number));
        CParamList::ReloadTexts(store, number, m_file.At(number));
    }
}

bool CParamListPair::Marked(int number) const
{
    return CParamListRules::MarkDiffers(m_driver.At(number), m_file.At(number));
}

void CParamListPair::CopyValue(const CParamData &from, CParamData &to)
{
    if (from.GetType() != to.GetType())
        return;
    switch (from.GetType()) {
    case CParamData::kTypeInteger:
        to.SetIntValue(from.IntValue());
        break;
    case CParamData::kTypeReal:
        to.SetRealValue(from.RealValue());
        break;
    case CParamData::kTypeSelection:
        to.SetIndex(from.SelectedIndex());
        break;
    case CParamData::kTypeText:
        to.SetTextValue(from.TextValue());
        break;
    default:
        break;
    }
}

} // namespace kvl::params
