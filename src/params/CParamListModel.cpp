#include "params/CParamListModel.h"

#include <algorithm>
#include <cctype>

#include "base/TextNumber.h"
#include "config/CAppValues.h"
#include "config/CIniEx.h"
#include "link/ResultCode.h"
#include "params/CAxisParamSetup.h"
#include "params/CCommErrorLog.h"
#include "params/CParamListRules.h"
#include "params/CParamReadAll.h"
#include "params/CParamRules.h"
#include "params/CParamWriter.h"
#include "params/CPollingPause.h"
#include "protocol/CServoCommands.h"

namespace kvl::params {

namespace {

constexpr std::uint8_t kRunModeAutomatic = 0;
constexpr std::uint8_t kServoOffDone = 1;
constexpr const char *kIntegerChars = "+-0123456789";
constexpr const char *kRealChars = "+-0123456789.";

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Ends the busy indication on every way out of a transfer that began it.
class BusyScope {
public:
    explicit BusyScope(const std::function<void()> &end) : m_end(end) {}
    ~BusyScope()
    {
        if (m_end)
            m_end();
    }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    const std::function<void()> &m_end;
};

} // namespace

CParamListModel::CParamListModel(CServoCommands &commands, CAppValues &values, CAxisParamSetup &axis,
                                 bool offline, Hooks hooks)
    : m_commands(commands), m_values(values), m_axis(axis), m_offline(offline), m_hooks(std::move(hooks))
{
    // Service mode opens at "Custom" at once.
    if (m_values.serviceMode && Level() == CParamListRules::kLevelNormal)
        m_values.accessLevel.at(static_cast<std::size_t>(AxisSlot())) = CParamListRules::kLevelCustom;
    m_builtLanguage = m_values.language;
    m_builtDecimals = Decimals();
    Refill();
}

CParamListPair &CParamListModel::Lists() { return m_axis.Lists(); }
const CParamListPair &CParamListModel::Lists() const { return m_axis.Lists(); }
int CParamListModel::AxisSlot() const { return m_axis.Target().address; }
int CParamListModel::Count() const { return m_axis.Count(); }
int CParamListModel::Language() const { return m_axis.Language(); }

int CParamListModel::Level() const
{
    return m_values.accessLevel.at(static_cast<std::size_t>(AxisSlot()));
}

int CParamListModel::Decimals() const
{
    return m_values.decimals.at(static_cast<std::size_t>(AxisSlot()));
}

ParamTarget CParamListModel::Target() const
{
    ParamTarget target = m_axis.Target();
    target.decimalsSetting = Decimals();
    target.accessLevel = Level();
    return target;
}

CCodePageText CParamListModel::Typed(const std::string &utf8) const
{
    return CCodePageText::FromUtf8(utf8, Lists().File().CodePage());
}

void CParamListModel::Changed() const
{
    if (m_hooks.changed)
        m_hooks.changed();
}

void CParamListModel::Notify(const ParamNotice &notice) const
{
    if (m_hooks.notify)
        m_hooks.notify(notice);
}

bool CParamListModel::Ask(const Message &message) const
{
    return m_hooks.message && m_hooks.message(message);
}

void CParamListModel::Tell(const ParamMessage &text) const
{
    Ask(Message{text, {}, false, {}});
}

// --- view state

void CParamListModel::SetTab(int tab)
{
    if (tab < CParamListRules::kTabAll || tab > CParamListRules::kLastTab)
        return;
    m_tab = tab;
    Refill();
}

void CParamListModel::SetLevel(int level)
{
    if (level < CParamListRules::kLevelNormal || level > CParamListRules::kLevelCustomSp)
        return;
    m_values.accessLevel.at(static_cast<std::size_t>(AxisSlot())) = level;
    Refill();
}

std::string CParamListModel::TitleSuffix() const
{
    return CParamListRules::TitleSuffix(Level(), m_values.language);
}

void CParamListModel::PressHiddenArea(int area)
{
    const CParamListRules::AreaResult result =
        area == kHiddenAreaFirst ? CParamListRules::FirstHiddenArea(Level(), m_values.serviceMode)
                                 : CParamListRules::SecondHiddenArea(Level(), m_values.serviceMode, m_axis.Target().model);
    switch (result.action) {
    case CParamListRules::AreaAction::OpenAccessDialog:
        if (m_hooks.openAccessDialog)
            m_hooks.openAccessDialog();
        break;
    case CParamListRules::AreaAction::SetLevel:
        SetLevel(result.level);
        break;
    case CParamListRules::AreaAction::None:
        break;
    }
}

void CParamListModel::SetFilter(const std::string &utf8)
{
    m_filter = utf8;
    Refill();
}

void CParamListModel::SetDifferencesOnly(bool on)
{
    m_differencesOnly = on;
    Refill();
}

bool CParamListModel::PassesFilter(int number) const
{
    if (m_differencesOnly && !Marked(number))
        return false;
    if (m_filter.empty())
        return true;
    const std::string needle = Lower(m_filter);
    return FormatInt(number).find(needle) != std::string::npos ||
           Lower(Lists().File().At(number).DisplayName().ToUtf8()).find(needle) != std::string::npos;
}

void CParamListModel::Refill()
{
    m_tabRows = Lists().AssignRows(m_tab, Level(), Count());
    m_rows.clear();
    for (const int number : m_tabRows) {
        if (PassesFilter(number))
            m_rows.push_back(number);
    }
    Changed();
}

// --- cells

std::string CParamListModel::CellText(int number, int column) const
{
    const CParamData &file = Lists().File().At(number);
    switch (column) {
    case kColNumber:
        return FormatInt(number);
    case kColName:
        return file.DisplayName().ToUtf8();
    case kColUnit:
        return file.UnitName().ToUtf8();
    case kColRange:
        return CParamListRules::RangeText(file, number, Decimals());
    case kColDriver:
        return m_offline ? std::string()
                         : CParamListRules::GridValueText(Lists().Driver().At(number), number, Decimals());
    case kColFile:
        return CParamListRules::GridValueText(file, number, Decimals());
    default:
        return {};
    }
}

bool CParamListModel::Marked(int number) const
{
    return Lists().Marked(number);
}

bool CParamListModel::Greyed(int number) const
{
    return CParamListRules::IsGreyed(Lists().File().At(number), Level());
}

bool CParamListModel::Editable(int number) const
{
    const CParamData &record = Lists().File().At(number);
    return !record.IsEmpty() && CParamListRules::IsEditable(record, Level());
}

// --- editing

CParamListModel::Editor CParamListModel::OpenEditor(int number) const
{
    Editor editor;
    if (!Editable(number))
        return editor;
    const CParamData &record = Lists().File().At(number);
    editor.text = CellText(number, kColFile);
    switch (record.GetType()) {
    case CParamData::kTypeInteger:
        editor.kind = Editor::Kind::Integer;
        editor.accepted = kIntegerChars;
        editor.min = record.IntMin();
        editor.max = record.IntMax();
        break;
    case CParamData::kTypeReal:
        // A real shown without decimals is typed as an integer.
        editor.kind = record.Precision() == 0 ? Editor::Kind::Integer : Editor::Kind::Real;
        editor.accepted = record.Precision() == 0 ? kIntegerChars : kRealChars;
        editor.min = record.RealMin();
        editor.max = record.RealMax();
        break;
    case CParamData::kTypeSelection:
        editor.kind = Editor::Kind::Choice;
        for (const CCodePageText &choice : record.Choices())
            editor.choices.push_back(choice.ToUtf8());
        editor.choice = record.SelectedIndex();
        break;
    case CParamData::kTypeText:
        editor.kind = Editor::Kind::Text;
        editor.maxLength = static_cast<int>(CParamListRules::kMaxTextLength);
        break;
    default:
        break;
    }
    return editor;
}

EditResult CParamListModel::Commit(int number, const std::string &utf8)
{
    const auto confirm = [this](const ParamMessage &text, const ParamMessage &title) {
        return Ask(Message{text, title, true, {}});
    };
    const EditResult result =
        CParamEditCheck::Commit(Lists().File(), number, Typed(utf8), Level(), Decimals(), confirm);
    if (result.status == EditStatus::PairOrder)
        Ask(Message{result.message, CParamEditCheck::TitleMessage(), false, {}});
    if (result.status == EditStatus::Applied) {
        m_mismatches.erase(number);
        // A changed value can bring the row in or out of "differences only".
        if (m_differencesOnly)
            Refill();
    }
    Changed();
    return result;
}

// --- the controller

CParamListModel::ReadResult CParamListModel::Read()
{
    ReadResult result;
    if (m_offline)
        return result;
    ParamMessage message;
    {
        CPollingPause pause(&m_values);
        if (m_hooks.busyBegin && !m_hooks.busyBegin())
            return result;
        BusyScope busy(m_hooks.busyEnd);
        result.ran = true;
        const CCommErrorLog log(m_values.startFolder);
        ReadAllOptions options;
        options.store = &m_axis.Store();
        options.log = &log;
        options.progress = m_hooks.progress;
        const ReadAllReport report = CParamReadAll::Run(m_commands, Target(), Lists(), options);
        result.failures = report.failures;
        if (report.failures == 0)
            Lists().KeepEdits();
        message = report.message;
        m_mismatches.clear();
        m_writeFailed.clear();
        for (const ParamNotice &notice : report.notices)
            Notify(notice);
        ParamNotice read{ParamNotice::Kind::ValuesRead, false, {}, {}};
        for (const ParamOutcome &outcome : report.outcomes)
            if (outcome.result == kResultOk)
                read.numbers.push_back(outcome.number);
        Notify(read);
        Notify({ParamNotice::Kind::ValuesChanged, false, {}});
        Refill();
    }
    if (!message.Empty())
        Tell(message);
    return result;
}

CParamListModel::WriteResult CParamListModel::Write()
{
    WriteResult result;
    if (m_offline)
        return result;
    CPollingPause pause(&m_values);
    const ParamTarget target = Target();
    std::uint8_t manual = 1;
    if (m_commands.ReadRunMode(manual, target.address, CServoCommands::kTimeoutMs) == kResultOk &&
        manual == kRunModeAutomatic) {
        result.refusedAutomatic = true;
        Tell({"ID_PMT_WRITE_WARN_AUTO", kSectionList});
        return result;
    }
    // Nothing to send: nothing is asked either.
    if (CParamWriter::PendingNumbers(Lists(), Count(), target.accessLevel).empty())
        return result;
    bool servoOn = false;
    bool programActive = false;
    if (m_hooks.axisFlags)
        m_hooks.axisFlags(servoOn, programActive);
    if (CParamWriter::NeedsCaution(Lists(), Count(), servoOn, programActive)) {
        result.cautionAsked = true;
        std::uint8_t status = 0;
        if (!Ask(Message{{"ID_PMT_WRITE_WARN", kSectionList}, {}, true, {}}) ||
            m_commands.ServoOff(status, target.address, CServoCommands::kTimeoutMs) != kResultOk ||
            status != kServoOffDone) {
            result.cancelled = true;
            return result;
        }
    }
    if (m_hooks.busyBegin && !m_hooks.busyBegin())
        return result;
    std::vector<ParamMessage> messages;
    {
        BusyScope busy(m_hooks.busyEnd);
        result.ran = true;
        WriteOptions options;
        options.store = &m_axis.Store();
        options.pushAbove = m_hooks.pushAbove;
        options.progress = m_hooks.progress;
        // The servo is off now (or was): the caution has been dealt with above.
        const WriteReport report = CParamWriter::Run(m_commands, target, Lists(), options);
        result.failures = report.failures;
        for (const ParamOutcome &outcome : report.outcomes) {
            if (outcome.result == kResultOk)
                result.written.push_back(outcome.number);
        }
        result.mismatches = VerifyWritten(result.written);
        if (report.failures == 0 && result.mismatches.empty())
            Lists().KeepEdits();
        for (const ParamNotice &notice : report.notices)
            Notify(notice);
        Notify({ParamNotice::Kind::ValuesChanged, false, {}});
        messages = report.messages;
        // The write saved the store; values read back different are saved again.
        if (!result.mismatches.empty())
            m_axis.Store().Save();
        Refill();
    }
    for (const ParamMessage &message : messages)
        Tell(message);
    if (!result.mismatches.empty())
        Ask(Message{{"IDS_PMT_VERIFY_MISMATCH", kSectionList}, {}, false, result.mismatches});
    return result;
}

std::vector<int> CParamListModel::VerifyWritten(const std::vector<int> &written)
{
    m_mismatches.clear();
    const ParamTarget target = Target();
    std::vector<int> mismatches;
    std::vector<int> numbers = written;
    // Each parameter once, even when a follow-up wrote it again.
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    for (const int number : numbers) {
        CParamData &driver = Lists().Driver().At(number);
        CParamData read = driver;
        bool same = true;
        if (driver.GetType() == CParamData::kTypeText) {
            std::string model, version, name;
            if (m_commands.ReadDeviceType(model, version, name, target.address, CServoCommands::kTimeoutShortMs) !=
                kResultOk)
                continue;
            read.SetTextValue(CParamRules::RecordText(read, name));
            same = read.TextValue() == driver.TextValue();
        } else {
            std::int32_t raw = 0;
            std::int32_t sent = 0;
            if (m_commands.ReadParameter(static_cast<std::uint16_t>(number), raw, target.address,
                                         CServoCommands::kTimeoutMs) != kResultOk ||
                !CParamRules::RawFromRecord(driver, number, target.model, sent))
                continue;
            same = raw == sent;
            if (!same && !CParamRules::ApplyRaw(read, number, target.model, raw))
                read.SetIntValue(raw);
        }
        if (same)
            continue;
        // The controller's value is what the driver column shows; the file keeps what was sent,
        // so the row stays marked.
        driver = read;
        m_axis.Store().SetString(FormatInt(number), CParamList::kKeyValue,
                                 CParamRules::ValueText(driver, number, target.decimalsSetting, true).Bytes());
        m_mismatches.insert(number);
        mismatches.push_back(number);
    }
    return mismatches;
}

void CParamListModel::FileLoaded()
{
    Lists().KeepEdits();
    Refill();
    Notify({ParamNotice::Kind::ValuesChanged, false, {}});
}

// --- the axis window's jog and feed

bool CParamListModel::Range(int number, double &min, double &max) const
{
    const CParamData &record = Lists().Driver().At(number);
    if (record.GetType() == CParamData::kTypeInteger) {
        min = record.IntMin();
        max = record.IntMax();
        return true;
    }
    if (record.GetType() == CParamData::kTypeReal) {
        min = record.RealMin();
        max = record.RealMax();
        return true;
    }
    return false;
}

bool CParamListModel::Value(int number, double &value) const
{
    const CParamData &record = Lists().Driver().At(number);
    if (record.GetType() == CParamData::kTypeInteger) {
        value = record.IntValue();
        return true;
    }
    if (record.GetType() == CParamData::kTypeReal) {
        value = record.RealValue();
        return true;
    }
    return false;
}

void CParamListModel::ParameterWritten(int number, bool ok, const std::string &text)
{
    if (ok) {
        m_writeFailed.erase(number);
        CParamData &record = Lists().File().At(number);
        record.SetByText(CParamRules::RecordText(record, text));
    } else {
        m_writeFailed.insert(number);
    }
    Changed();
}

// --- texts

bool CParamListModel::NeedsRetext() const
{
    return m_builtLanguage != m_values.language || m_builtDecimals != Decimals();
}

void CParamListModel::Retext()
{
    m_builtLanguage = m_values.language;
    m_builtDecimals = Decimals();
    Lists().ReloadTexts(m_axis.Store(), Count());
    Refill();
}

} // namespace kvl::params
