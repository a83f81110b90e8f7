#include "gateway/CGatewayColourStore.h"

#include <algorithm>

#include "base/TextNumber.h"

#include <cstdlib>

namespace kvl {

bool CGatewayColourStore::Open(const std::string &systemFolder)
{
    return m_file.OpenInSystemFolder(systemFolder, kFileName, std::string(), false, true, true);
}

CGatewayColourStore::Colours CGatewayColourStore::Read(const char *section) const
{
    Colours colours{};
    const std::string white = ColourText(CGatewayConfig::kWhite);
    for (size_t i = 0; i < kKeys.size(); ++i)
        colours[i] = ColourOfText(m_file.GetString(section, kKeys[i], white));
    return colours;
}

bool CGatewayColourStore::WriteCurrent(const Colours &colours)
{
    if (!m_file.IsOpen())
        return false;
    for (int index : kWriteOrder)
        m_file.SetString(kCurrent, kKeys[static_cast<size_t>(index)], ColourText(colours[static_cast<size_t>(index)]));
    return m_file.Save();
}

std::string CGatewayColourStore::ColourText(uint32_t value)
{
    return "RGB(" + std::to_string(value / 65536) + "," + std::to_string((value / 256) % 256) + "," +
           std::to_string(value % 256) + ")";
}

uint32_t CGatewayColourStore::ColourOfText(const std::string &text)
{
    const size_t open = text.find('(');
    const size_t close = open == std::string::npos ? open : text.find(')', open);
    if (close == std::string::npos)
        return 0;
    const std::string inside = text.substr(open + 1, close - open - 1);
    uint32_t parts[3] = {0, 0, 0};
    const char *at = inside.c_str();
    for (uint32_t &part : parts) {
        char *end = nullptr;
        part = static_cast<uint32_t>(std::strtol(at, &end, 10));
        if (*end != ',')
            break;
        at = end + 1;
    }
    return parts[0] * 65536u + parts[1] * 256u + parts[2];
}

std::optional<uint32_t> CGatewayColourStore::StrictColourOfText(std::string_view text)
{
    constexpr std::string_view kOpen = "RGB(";
    constexpr int kPartMax = 255;
    constexpr uint32_t kPartBase = 256;
    text = StripBlanks(text);
    if (!StartsWithNoCase(text, kOpen) || text.empty() || text.back() != ')')
        return std::nullopt;
    std::string_view inside = text.substr(kOpen.size(), text.size() - kOpen.size() - 1);
    uint32_t value = 0;
    for (int part = 0; part < 3; ++part) {
        const size_t comma = part < 2 ? inside.find(',') : inside.size();
        if (comma == std::string_view::npos)
            return std::nullopt;
        const std::optional<long long> number = StrictInteger(inside.substr(0, comma), 0, kPartMax);
        if (!number)
            return std::nullopt;
        value = value * kPartBase + static_cast<uint32_t>(*number);
        inside.remove_prefix(std::min(inside.size(), comma + 1));
    }
    return value;
}

} // namespace kvl
