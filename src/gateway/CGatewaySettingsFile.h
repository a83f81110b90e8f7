#pragma once
// CGatewaySettingsFile: the numbered unit settings file of the gateway. Line 1 is the date of
// saving, line 2 "GWX   " and the unit's version text, line 3 empty, then one line per setting
// ("019.  Poll interval [ms] = 200 [ms]"), lines 101 to 112 the list colours; CR LF ends every
// line. Labels and list entries are the language texts (the caller's lookup), so a file loads
// where the same texts exist. Saving replaces the file safely; loading reads the value after "=",
// cut at its first blank (the comment is taken whole), and selects the list entry that begins
// with it. Stateless.
#include <functional>
#include <string>
#include <vector>

#include "gateway/CGatewayConfig.h"
#include "gateway/CGatewayField.h"

namespace kvl {

class CGatewaySettingsFile {
public:
    // (key, section) -> language text; empty when there is none (the built-in caption is used).
    using TextLookup = CGatewayField::TextLookup;
    enum class LoadResult { kLoaded, kNotFound, kOpenFailed, kNotGateway };

    // The whole file text; `date` is line 1 ("2026/12/10").
    static std::string Text(const CGatewayConfig &config, const std::string &version, const std::string &date,
                            const TextLookup &texts);
    // Writes Text() through a temporary file and a rename; false when the file cannot be written.
    static bool Save(const std::string &path, const CGatewayConfig &config, const std::string &version,
                     const std::string &date, const TextLookup &texts);
    static constexpr char kExtension[] = ".dat";
    // The save dialog's rule: a name without an extension gets ".dat"; any other stays.
    static std::string WithExtension(const std::string &path);
    // Today's date as line 1 wants it.
    static std::string Today();
    // Applies the lines of `text` to `config`; false (nothing changed) when line 2 does not begin with GWX.
    static bool Parse(const std::string &text, CGatewayConfig &config, const TextLookup &texts);
    static LoadResult Load(const std::string &path, CGatewayConfig &config, const TextLookup &texts);
};

} // namespace kvl
