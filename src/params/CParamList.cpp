#include "params/CParamList.h"

#include <algorithm>

#include "base/TextNumber.h"
#include "config/CIniEx.h"
#include "link/ResultCode.h"
#include "params/IParamReader.h"

namespace kvl::params {

namespace {

const CParamData kEmptyRecord;

std::string SectionName(int number)
{
    return FormatInt(number);
}

// A text of the parameter file, in the file's code page.
CCodePageText FileText(const CIniEx &store, const std::string &section, const char *key)
{
    return CCodePageText(store.GetString(section, key, ""), store.CodePage());
}

void ReadChoices(const CIniEx &store, const std::string &section, CParamData &record)
{
    record.ClearChoices();
    const int count = std::min(store.GetInt(section, CParamList::kKeySelItemCount, 0),
                               CParamList::kMaxChoices);
    for (int i = 1; i <= count; ++i) {
        const std::string key = CParamList::kKeySelItem + FormatInt(i);
        record.AddChoice(CCodePageText(store.GetString(section, key, ""), store.CodePage()));
    }
}

} // namespace

CParamData &CParamList::At(int number)
{
    if (number < 1 || number > CParamRules::kSlotCount) {
        m_outside = CParamData();
        return m_outside;
    }
    return m_slots[static_cast<std::size_t>(number - 1)];
}

const CParamData &CParamList::At(int number) const
{
    if (number < 1 || number > CParamRules::kSlotCount)
        return kEmptyRecord;
    return m_slots[static_cast<std::size_t>(number - 1)];
}

void CParamList::Clear()
{
    m_slots.fill(CParamData());
}

int CParamList::CodePage() const
{
    for (const CParamData &record : m_slots) {
        if (!record.IsEmpty())
            return record.DisplayName().CodePage();
    }
    return kCodePageWestern;
}

int CParamList::CountFor(const Axis &axis)
{
    return CParamRules::ParameterCount(axis.model, CParamRules::VersionText(axis.version));
}

CParamData CParamList::ReadRecord(const CIniEx &store, int number)
{
    const std::string section = SectionName(number);
    CParamData record;
    const std::string name = store.GetString(section, kKeyDisplayName, "");
    if (name.empty())
        return record;
    const int type = store.GetInt(section, kKeyType, 0);
    if (type == CParamData::kTypeEmpty || !record.SetType(type))
        return CParamData();

    record.SetNumberText(section);
    record.SetDisplayName(CCodePageText(name, store.CodePage()));
    record.SetUnitName(FileText(store, section, kKeyUnitName));
    if (type == CParamData::kTypeInteger) {
        record.SetIntRange(store.GetInt(section, kKeyMin, 0), store.GetInt(section, kKeyMax, 0));
    } else if (type == CParamData::kTypeReal) {
        record.SetRealRange(store.GetDouble(section, kKeyMin, 0.0),
                            store.GetDouble(section, kKeyMax, 0.0));
        record.SetPrecision(store.GetInt(section, kKeyPrecision, 0));
    }
    if (type == CParamData::kTypeInteger || type == CParamData::kTypeReal)
        record.SetRangeTexts(store.GetString(section, kKeyMin, ""),
                             store.GetString(section, kKeyMax, ""));
    if (type == CParamData::kTypeSelection) {
        ReadChoices(store, section, record);
        record.SetRangeText(FileText(store, section, kKeyRange));
    }
    record.SetTab(store.GetInt(section, kKeyMode, 0));
    record.SetWritable(store.GetInt(section, kKeyWrite, 0) != 0);
    record.SetHideClass(store.GetInt(section, kKeyHide, 0));
    record.SetWriteCaution(store.GetInt(section, kKeyServoW, 0));
    record.SetByText(FileText(store, section, kKeyValue));
    return record;
}

void CParamList::ReloadTexts(const CIniEx &store, int number, CParamData &record)
{
    if (record.IsEmpty())
        return;
    const std::string section = SectionName(number);
    record.SetDisplayName(FileText(store, section, kKeyDisplayName));
    if (record.GetType() != CParamData::kTypeSelection)
        return;
    // Choices are the same list in another wording: keep the chosen index.
    const int index = record.SelectedIndex();
    ReadChoices(store, section, record);
    record.SetIndex(index);
    record.SetRangeText(FileText(store, section, kKeyRange));
}

int CParamList::ReadFromController(CParamData &record, int number, const Axis &axis,
                                   IParamReader &reader, CIniEx &store)
{
    const std::string section = SectionName(number);
    if (record.GetType() == CParamData::kTypeText) {
        std::string model, version, name;
        const int result = reader.ReadDeviceType(model, version, name);
        if (result != kResultOk)
            return result;
        // The controller keeps its name in the bytes it was given, the language's code page.
        record.SetTextValue(CCodePageText(name, store.CodePage()));
        store.SetString(section, kKeyValue, name);
        return result;
    }
    if (record.IsEmpty())
        return kResultBadReply;
    std::int32_t raw = 0;
    const int result = reader.ReadParameter(raw, number);
    if (result != kResultOk)
        return result;
    if (!CParamRules::ApplyRaw(record, number, axis.model, raw))
        return kResultBadReply;
    // The value as read, not limited to the range: the file keeps what the controller holds.
    store.SetString(section, kKeyValue,
                    CParamRules::ValueText(record, number, axis.decimalsSetting, false).Bytes());
    return result;
}

int CParamList::Load(CIniEx &store, Axis &axis, IParamReader *reader)
{
    Clear();
    if (reader) {
        std::string model, version, name;
        if (reader->ReadDeviceType(model, version, name) == kResultOk) {
            axis.model = model;
            axis.version = version;
            axis.name = name;
        }
    }
    int failures = 0;
    bool currentLimitMaxRead = false;
    for (const int number : CParamRules::Numbers(CountFor(axis))) {
        CParamData record = ReadRecord(store, number);
        if (record.IsEmpty())
            continue;
        if (reader) {
            const bool read = ReadFromController(record, number, axis, *reader, store) == kResultOk;
            failures += read ? 0 : 1;
            currentLimitMaxRead |= read && number == kParamCurrentLimitMax;
        }
        At(number) = std::move(record);
    }
    // The shared file's "Max" of parameter 12 is the model's; this controller's is its own 102.
    const CParamData &currentLimitMax = At(kParamCurrentLimitMax);
    if (currentLimitMaxRead && CParamRules::CurrentLimitFollowsMax(axis.model) &&
        currentLimitMax.GetType() == CParamData::kTypeInteger)
        CParamRules::SetUpperLimit(At(kParamCurrentLimit), currentLimitMax.IntValue());
    store.Save();
    return failures;
}

} // namespace kvl::params
