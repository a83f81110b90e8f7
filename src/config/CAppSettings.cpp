#include "config/CAppSettings.h"

#include <cstdlib>
#include <filesystem>

#include "base/CModelTraits.h"
#include "config/CCodePage.h"

namespace kvl {

namespace {

constexpr char kSectionLanguage[] = "Language";
constexpr char kSectionDebug[] = "Debug";
constexpr char kSectionRs485[] = "RS485";
constexpr char kSectionRog[] = "Rog";
constexpr char kSectionRogging[] = "Rogging";
constexpr char kKeyDefault[] = "Default";
constexpr char kKeyLevel[] = "Level";
constexpr char kKeyPort[] = "Port";
constexpr char kKeySpeed[] = "Speed";
constexpr char kKeyRogPath[] = "RogPath";
constexpr char kKeyMaxList[] = "MaxList";
constexpr char kKeyDevicePrefix[] = "Device";

// Every model but MDA has a parameter file of its own, "Param" and its key form; the base model
// and any other text use the "Full" file.
constexpr char kParamFileKeyPrefix[] = "Param";
constexpr char kParamFileKeyOther[] = "Full";

std::string LanguageItemKey(int language)
{
    return "LanguageItem" + std::to_string(language);
}

} // namespace

CAppSettings::CAppSettings(CAppValues &values, const std::string &systemFolder)
    : m_values(values), m_systemFolder(systemFolder.empty() ? CIniEx::DefaultSystemFolder() : systemFolder)
{
}

bool CAppSettings::OpenStore(CIniEx &store, const std::string &fileName) const
{
    return store.OpenInSystemFolder(m_systemFolder, fileName, "", true, false, true);
}

CAppSettings::~CAppSettings()
{
    Close();
}

bool CAppSettings::Start(int systemLanguageId)
{
    m_settings.SetCodePage(CIniEx::kCodePageWestern);
    if (!OpenStore(m_settings, kSettingsFile))
        return false;

    const int level = DebugLevel();
    m_traceOn = level != 0;
    m_values.serviceMode = level == kServiceLevel;

    // The language stored under ("Default", "Language") is read by the axis windows only; the
    // start always follows the system's language.
    const int first = FirstLanguage(systemLanguageId);

    if (!m_waveform.Open(m_systemFolder, m_settings.GetString(kSectionRog, kKeyRogPath, "")))
        return false;

    SwitchLanguage(first);
    return true;
}

void CAppSettings::Close()
{
    m_waveform.Close();
    m_settings.Save();
    m_settings.Clear();
    m_texts.Unload();
}

int CAppSettings::FirstLanguage(int systemLanguageId)
{
    switch (systemLanguageId) {
    case kSystemLangChinese:
        return kLanguageChinese;
    case kSystemLangJapanese:
        return kLanguageJapanese;
    default:
        return kLanguageEnglish;
    }
}

bool CAppSettings::LanguageOffered(int language, int systemLanguageId)
{
    switch (language) {
    case kLanguageJapanese:
        return systemLanguageId == kSystemLangJapanese;
    case kLanguageChinese:
        return systemLanguageId == kSystemLangChinese;
    case kLanguageEnglish:
        return true;
    default:
        return false;
    }
}

int CAppSettings::SystemLanguageIdOf(std::string_view localeName)
{
    const std::string_view code = localeName.substr(0, 2);
    if (code == "ja")
        return kSystemLangJapanese;
    if (code == "zh")
        return kSystemLangChinese;
    return kSystemLangEnglish;
}

int CAppSettings::SystemLanguageId()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(name);
        if (value && *value)
            return SystemLanguageIdOf(value);
    }
    return kSystemLangEnglish;
}

void CAppSettings::SwitchLanguage(int language)
{
    m_settings.SetString(kSectionLanguage, kKeyDefault, std::to_string(language));
    m_language = language;
    m_values.language = language;

    m_texts.Load(m_systemFolder, m_settings.GetString(kSectionLanguage, LanguageItemKey(language), ""), language);
    if (languageChanged)
        languageChanged(language);
    ReopenAxisStores();
}

bool CAppSettings::PressLanguageButton(int language, int systemLanguageId)
{
    if (!LanguageOffered(language, systemLanguageId) || !LanguageFileExists(language))
        return false;
    if (language == m_language && m_texts.IsLoaded())
        return false;
    SwitchLanguage(language);
    return true;
}

bool CAppSettings::LanguageFileExists(int language) const
{
    const std::string name = m_settings.GetString(kSectionLanguage, LanguageItemKey(language), "");
    std::error_code error;
    return !name.empty() && std::filesystem::is_regular_file(
                                std::filesystem::path(m_systemFolder) / name, error);
}

void CAppSettings::ReopenAxisStores()
{
    for (AxisSlot &slot : m_axes) {
        if (!slot.store)
            continue;
        slot.store->SetCodePage(CCodePage::ForLanguage(m_language));
        const bool opened = OpenStore(*slot.store, ParamFileName(m_language, slot.modelKey));
        if (!opened && showMessage)
            showMessage(m_texts.Text(CLanguageTexts::kMsgFileOperationFailed, CLanguageTexts::kCommonSection));
        if (slot.reopened)
            slot.reopened(opened);
    }
}

std::string CAppSettings::ParamFileKey(int language, std::string_view modelKey)
{
    const CModelTraits traits = CModelTraits::Of(modelKey);
    // Only the model text of the bus, compared exactly, names a file of its own.
    const bool ownFile = modelKey == traits.Text() && !traits.Is(CModelTraits::Model::MDA);
    return LanguageItemKey(language) + (ownFile ? kParamFileKeyPrefix + std::string(traits.KeyForm()) : kParamFileKeyOther);
}

std::string CAppSettings::ParamFileName(int language, std::string_view modelKey) const
{
    return m_settings.GetString(kSectionLanguage, ParamFileKey(language, modelKey), "");
}

bool CAppSettings::OpenAxisParamStore(CIniEx &store, std::string_view modelKey) const
{
    const int language = m_settings.GetInt(kSectionLanguage, kKeyDefault, 0);
    store.SetCodePage(CCodePage::ForLanguage(language));
    return OpenStore(store, ParamFileName(language, modelKey));
}

bool CAppSettings::RegisterAxis(int axis, const std::string &modelKey, CIniEx *store,
                                std::function<void(bool)> reopened)
{
    if (axis < 0 || axis >= kAxisSlots || !store)
        return false;
    m_axes[static_cast<std::size_t>(axis)] = AxisSlot{modelKey, store, std::move(reopened)};
    return true;
}

void CAppSettings::UnregisterAxis(int axis)
{
    if (axis >= 0 && axis < kAxisSlots)
        m_axes[static_cast<std::size_t>(axis)] = AxisSlot{};
}

int CAppSettings::DebugLevel() const
{
    return m_settings.GetInt(kSectionDebug, kKeyLevel, 0);
}

int CAppSettings::Port() const
{
    return m_settings.GetInt(kSectionRs485, kKeyPort, 0);
}

int CAppSettings::Speed() const
{
    return m_settings.GetInt(kSectionRs485, kKeySpeed, 0);
}

int CAppSettings::SpeedOrDefault(int speed)
{
    return speed > 0 ? speed : kDefaultSpeed;
}

int CAppSettings::MaxList() const
{
    return m_settings.GetInt(kSectionRogging, kKeyMaxList, kDefaultMaxList);
}

bool CAppSettings::SetPortAndSpeed(int port, int speed)
{
    if (!m_settings.IsOpen())
        return false;
    m_settings.SetString(kSectionRs485, kKeyPort, std::to_string(port));
    return SetSpeed(speed);
}

bool CAppSettings::SetSpeed(int speed)
{
    if (!m_settings.IsOpen())
        return false;
    m_settings.SetString(kSectionRs485, kKeySpeed, std::to_string(speed));
    return m_settings.Save();
}

std::string CAppSettings::DevicePath(int port) const
{
    return m_settings.GetString(kSectionRs485, kKeyDevicePrefix + std::to_string(port), "");
}

bool CAppSettings::SetDevicePath(int port, const std::string &path)
{
    // A ";" would be read back as the start of a note and cut the path.
    if (!m_settings.IsOpen() || path.find(';') != std::string::npos)
        return false;
    m_settings.SetString(kSectionRs485, kKeyDevicePrefix + std::to_string(port), path);
    return m_settings.Save() && DevicePath(port) == path;
}

} // namespace kvl
