#include "params/CParamListPair.h"

#include "params/CParamListRules.h"
#include "params/CParamRules.h"

namespace kvl::params {

CParamListPair::CParamListPair(CParamList &driver) : m_driver(driver), m_file(driver) {}

void CParamListPair::CopyDriverToFile()
{
    m_file = m_driver;
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
