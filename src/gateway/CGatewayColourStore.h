#pragma once
// CGatewayColourStore: the colours in which the station list draws each device type and input
// mode, kept in the colour settings file gwx_color.ini of the system folder. Section "CURRENT"
// holds the colours in use, "DEFAULT" the factory colours (shipped, never written here). A colour
// is a 24-bit value with red in the low byte, written as "RGB(b,g,r)": blue first. A key or file
// that is missing counts as white. Writes go through the INI engine's safe write-back.
// Owned by whoever reads or writes the colours, for as long as it needs them; one thread.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <string>

#include "config/CIniEx.h"
#include "gateway/CGatewayConfig.h"

namespace kvl {

class CGatewayColourStore {
public:
    using Colours = std::array<uint32_t, CGatewayConfig::kColours>;
    static constexpr char kFileName[] = "gwx_color.ini";
    static constexpr char kCurrent[] = "CURRENT";
    static constexpr char kDefault[] = "DEFAULT";
    // Keys in the order of the configuration's colours (the unit settings file's lines 101 to 112).
    static constexpr std::array<const char *, CGatewayConfig::kColours> kKeys{
        "ColorNull", "ColorMDA", "ColorMDB",    "ColorMDC",  "ColorANY",  "ColorIO",
        "ColorSimple", "ColorHalf", "ColorFull", "ColorXMDC", "ColorYMDA", "ColorZMDA"};
    // Indices into kKeys in the order "CURRENT" is written: the devices, then the input modes.
    static constexpr std::array<int, CGatewayConfig::kColours> kWriteOrder{0, 1, 2, 3, 9, 10, 11, 4, 5, 6, 7, 8};

    // Opens gwx_color.ini in `systemFolder` (created when missing, so the first write has a file);
    // false when it can be neither read nor created, and every colour then reads as white.
    bool Open(const std::string &systemFolder);
    bool IsOpen() const { return m_file.IsOpen(); }
    // The colour file (gwx_color.ini of the system folder).
    const std::string &Path() const { return m_file.Path(); }

    // The twelve colours of `section`.
    Colours Read(const char *section) const;
    // Writes the twelve colours to "CURRENT" and saves the file; false when it cannot be written.
    bool WriteCurrent(const Colours &colours);

    static std::string ColourText(uint32_t value);
    // "RGB(a,b,c)" -> a*65536 + b*256 + c; a text without "(" or a following ")" is black.
    static uint32_t ColourOfText(const std::string &text);
    // The same for a colour that comes from a unit settings file: exactly "RGB(a,b,c)" with three
    // whole numbers 0 to 255; empty for any other text.
    static std::optional<uint32_t> StrictColourOfText(std::string_view text);

private:
    CIniEx m_file;
};

} // namespace kvl
