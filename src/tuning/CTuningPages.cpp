#include "tuning/CTuningPages.h"

#include <filesystem>

namespace kvl::tuning {

namespace {
constexpr int kLanguageJapanese = 1;
constexpr int kLanguageChinese = 3;
constexpr std::string_view kJapaneseFolder = "JP";
constexpr std::string_view kChineseFolder = "CH";
constexpr std::string_view kEnglishFolder = "EN";
} // namespace

std::string_view CTuningPages::LanguageFolder(int language)
{
    switch (language) {
    case kLanguageJapanese:
        return kJapaneseFolder;
    case kLanguageChinese:
        return kChineseFolder;
    default:
        return kEnglishFolder;
    }
}

std::string CTuningPages::PagePath(const std::string &systemFolder, int language, std::string_view page)
{
    std::filesystem::path path(systemFolder);
    path /= std::string(LanguageFolder(language));
    path /= std::string(page);
    return path.string();
}

} // namespace kvl::tuning
