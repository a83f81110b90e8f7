#include "base/TextNumber.h"
#include "gateway/CGatewayWindowModel.h"

#include <algorithm>

#include "gateway/CGatewayRules.h"
#include "gateway/CGatewaySettingsFile.h"
#include "gateway/CGatewayUnit.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"

namespace kvl {

namespace {

constexpr char kCommon[] = "Common";
constexpr char kFileFailKey[] = "IDS_ERRMSG_FILEOPRATIONFAIL";
constexpr char kFileFailBuiltIn[] = "The file operation failed.";
constexpr char kNotTakenKey[] = "IDS_GWX_NOT_TAKEN";
constexpr char kNotTakenBuiltIn[] = "The unit did not take these settings:";
constexpr char kBadLinesKey[] = "IDS_GWX_FILE_BAD_LINES";
constexpr char kBadLinesBuiltIn[] = "These lines of the file hold no value their setting takes (the settings keep their values):";
constexpr char kMissingLinesKey[] = "IDS_GWX_FILE_MISSING_LINES";
constexpr char kMissingLinesBuiltIn[] = "These lines are missing from the file (the settings keep their values):";
constexpr char kNotFoundKey[] = "IDS_ERRMSG_FILENOTFOUND";
constexpr char kNotFoundBuiltIn[] = "The file was not found.";
constexpr char kOtherMachineKey[] = "IDS_WARNMSG_READPARAM_MACHINE_ERR";
constexpr char kOtherMachineSection[] = "IDD_KVL_VER2_PMTLIST_DIALOG";
constexpr char kOtherMachineBuiltIn[] = "The file is for another model.";
constexpr char kNetworkSection[] = "IDD_KVL_GWX_EXTERNAL_NETWORK_PARAM";
constexpr char kBadAddressKey[] = "IDC_MSG_NETWORK_PARAM_ERROR";
constexpr char kVersionQuestionKey[] = "IDC_MSG_NETWORK_PARAM_ERROR_1";
constexpr char kBadAddressBuiltIn[] =
    "The network parameter is invalid. The following settings.\uFF08IP Address, Subnet Mask, Default Gateway\uFF09";

} // namespace

int CGatewayWindowModel::s_versionClicks = 0;

CGatewayWindowModel::CGatewayWindowModel(CServoCommands &commands, CGatewayField::TextLookup texts, bool offline,
                                         std::string version, Hooks hooks)
    : m_commands(commands), m_texts(std::move(texts)), m_offline(offline),
      m_version(offline ? std::string() : std::move(version)), m_hooks(std::move(hooks))
{
}

int CGatewayWindowModel::FileCodePage() const
{
    return m_hooks.fileCodePage ? m_hooks.fileCodePage() : kCodePageWestern;
}

void CGatewayWindowModel::Open()
{
    if (!m_offline)
        Read();
    Changed();
}

bool CGatewayWindowModel::Read()
{
    if (m_offline)
        return false;
    const std::vector<CGatewayField::Id> failed = CGatewayUnit(m_commands).Read(m_config);
    m_unitPcSpeed = m_config.speedToPc;
    KeepEdits();
    Changed();
    return failed.size() < static_cast<size_t>(CGatewayField::kCount);
}

void CGatewayWindowModel::KeepEdits()
{
    m_kept = m_config;
}

bool CGatewayWindowModel::HasUnkeptEdits() const
{
    // The colours live in the colour settings file, saved as they change.
    CGatewayConfig kept = m_kept;
    kept.colours = m_config.colours;
    return !(kept == m_config);
}

CGatewayWindowModel::WriteResult CGatewayWindowModel::Write()
{
    m_refused.clear();
    if (m_offline)
        return WriteResult::kOffline;
    // An address still being typed is no address: what is written is what the window shows.
    if (m_config.fieldbusType == CGatewayRules::kEtherNetIpCode && m_hooks.addressesShown && !m_hooks.addressesShown()) {
        Message(std::string(), Text(kBadAddressKey, kNetworkSection, kBadAddressBuiltIn));
        return WriteResult::kBadAddress;
    }
    const CGatewayUnit::PortFollower follow = [this](int speed) {
        const bool open = m_hooks.followPort && m_hooks.followPort(speed);
        if (!open)
            Message(std::string(), kPortFailText);
        return open;
    };
    const CGatewayUnit::WriteReport report = CGatewayUnit(m_commands).WriteAll(m_config, m_unitPcSpeed, follow);
    switch (report.outcome) {
    case CGatewayUnit::Outcome::kBadAddress:
        Message(std::string(), Text(kBadAddressKey, kNetworkSection, kBadAddressBuiltIn));
        return WriteResult::kBadAddress;
    case CGatewayUnit::Outcome::kOverCapacity:
        Message(std::string(), Text("IDS_GWX_INPUT_ERR1", kSection, kCapacityBuiltIn));
        return WriteResult::kOverCapacity;
    case CGatewayUnit::Outcome::kWritten:
        break;
    }
    if (report.pcSpeedChanged)
        m_unitPcSpeed = m_config.speedToPc;
    for (const CGatewayField::Id field : report.Refused())
        m_refused.push_back(CGatewayField::Text(field, m_texts));
    const std::string warning = Text("IDS_GWX_INPUT_WARNING", kSection, "");
    if (!m_refused.empty()) {
        // The unit kept its old value of these: saying "finished" would hide it.
        std::string text = Text(kNotTakenKey, kSection, kNotTakenBuiltIn);
        for (const std::string &label : m_refused)
            text += "\n" + label;
        Message(warning, text);
        Changed();
        return WriteResult::kRefusedSettings;
    }
    KeepEdits();
    Message(warning, warning + "\n" + Text("IDS_GWX_INPUT_FINISH", kSection, kFinishBuiltIn));
    Changed();
    return WriteResult::kWritten;
}

std::string CGatewayWindowModel::FileText(const std::string &date) const
{
    return CGatewaySettingsFile::Text(m_config, m_version, date, m_texts);
}

CGatewayWindowModel::FileResult CGatewayWindowModel::Save(const std::string &path, const std::string &date)
{
    if (CGatewaySettingsFile::Save(path, m_config, m_version, date, m_texts, FileCodePage())) {
        KeepEdits();
        return FileResult::kDone;
    }
    SaveFailed(CSaveFailure::Last(path));
    return FileResult::kFailed;
}

CGatewayWindowModel::FileResult CGatewayWindowModel::Load(const std::string &path)
{
    CGatewayConfig loaded = m_config;
    CGatewaySettingsFile::Problems problems;
    switch (CGatewaySettingsFile::Load(path, loaded, m_texts, FileCodePage(), &problems)) {
    case CGatewaySettingsFile::LoadResult::kLoaded: {
        // A version the file brings follows the rule of a chosen one.
        if (CGatewayRules::NeedsVersionQuestion(loaded, m_config)) {
            const bool ok = m_hooks.ask && m_hooks.ask(Text(kVersionQuestionKey, kNetworkSection,
                                                            CGatewayRules::kVersionQuestionBuiltIn));
            CGatewayRules::AnswerVersionQuestion(ok, loaded, m_config);
        }
        const bool newColours = loaded.colours != m_config.colours;
        m_config = loaded;
        KeepEdits();
        // Colours loaded from a file become the ones in use at once.
        if (newColours && m_colourStore.IsOpen() && !m_colourStore.WriteCurrent(m_config.colours))
            SaveFailed(CSaveFailure::Last(m_colourStore.Path()));
        Changed();
        if (!problems.Empty())
            Message(std::string(), ProblemsText(problems));
        return FileResult::kDone;
    }
    case CGatewaySettingsFile::LoadResult::kNotGateway:
        Message(std::string(), Text(kOtherMachineKey, kOtherMachineSection, kOtherMachineBuiltIn));
        return FileResult::kNotGateway;
    case CGatewaySettingsFile::LoadResult::kNotFound:
        Message(std::string(), Text(kNotFoundKey, kCommon, kNotFoundBuiltIn));
        return FileResult::kFailed;
    case CGatewaySettingsFile::LoadResult::kOpenFailed:
        break;
    }
    FileFailed();
    return FileResult::kFailed;
}

void CGatewayWindowModel::UseColourFile(const std::string &systemFolder)
{
    m_colourStore.Open(systemFolder);
    ReloadColours();
}

void CGatewayWindowModel::ReloadColours()
{
    m_config.colours = m_colourStore.Read(CGatewayColourStore::kCurrent);
    Changed();
}

bool CGatewayWindowModel::ClickVersion()
{
    if (++s_versionClicks < kVersionClicks)
        return false;
    s_versionClicks = 0;
    return true;
}

std::string CGatewayWindowModel::VersionText() const
{
    return m_offline ? kOfflineVersion : m_version;
}

int CGatewayWindowModel::Saturation() const
{
    return CGatewayRules::Saturation(m_config);
}

std::string CGatewayWindowModel::SaturationText() const
{
    return std::to_string(std::min(Saturation(), CGatewayRules::kFullPercent)) + "%";
}

std::string CGatewayWindowModel::Text(const char *key, const char *section, const char *builtIn) const
{
    const std::string text = m_texts ? m_texts(key, section) : std::string();
    return text.empty() ? builtIn : text;
}

std::string CGatewayWindowModel::ProblemsText(const CGatewaySettingsFile::Problems &problems) const
{
    constexpr int kLineDigits = 3;
    std::string text;
    if (!problems.invalid.empty()) {
        text = Text(kBadLinesKey, kSection, kBadLinesBuiltIn);
        for (const std::string &line : problems.invalid)
            text += "\n" + line;
    }
    if (!problems.missing.empty()) {
        text += (text.empty() ? "" : "\n\n") + Text(kMissingLinesKey, kSection, kMissingLinesBuiltIn) + "\n";
        for (size_t i = 0; i < problems.missing.size(); ++i) {
            const std::string number = std::to_string(problems.missing[i]);
            text += (i ? ", " : "") + std::string(kLineDigits - std::min<size_t>(kLineDigits, number.size()), '0') + number;
        }
    }
    return text;
}

void CGatewayWindowModel::FileFailed()
{
    Message(std::string(), Text(kFileFailKey, kCommon, kFileFailBuiltIn));
}

void CGatewayWindowModel::SaveFailed(const CSaveFailure &failure)
{
    const std::string text =
        failure.Message([this](const std::string &key) { return m_texts ? m_texts(key, kCommon) : std::string(); });
    if (m_hooks.warning)
        m_hooks.warning(text);
    else
        Message(std::string(), text);
}

void CGatewayWindowModel::Message(const std::string &title, const std::string &text)
{
    if (m_hooks.message)
        m_hooks.message(title, text);
}

void CGatewayWindowModel::Changed()
{
    if (m_hooks.changed)
        m_hooks.changed();
}

} // namespace kvl
