#pragma once
// CGatewaySettingsFile: the numbered unit settings file of the gateway. Line 1 is the date of
// saving, line 2 "GWX   " and the unit's version text, line 3 empty, then one line per setting
// ("019.  Poll interval [ms] = 200 [ms]"), lines 101 to 112 the list colours; CR LF ends every
// line. Labels and list entries are the language texts (the caller's lookup), so a file loads
// where the same texts exist. Text and Parse work in UTF-8; the file itself is in the code page of
// the language (Save encodes, Load decodes). Saving replaces the file safely; loading reads the value after "=",
// cut at its first blank (the comment is taken whole), and selects the list entry that begins
// with it; a value its setting does not take changes nothing and is reported. Stateless.
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
    // Writes Text() in `codePage` through a temporary file and a rename; false when the file
    // cannot be written.
    static bool Save(const std::string &path, const CGatewayConfig &config, const std::string &version,
                     const std::string &date, const TextLookup &texts, int codePage);
    static constexpr char kExtension[] = ".dat";
    // The save dialog's rule: a name without an extension gets ".dat"; any other stays.
    static std::string WithExtension(const std::string &path);
    // Today's date as line 1 wants it.
    static std::string Today();
    // What a loaded file held that is no setting: the lines whose value the field does not take
    // (as the file has them, trimmed; their settings stay as they were) and the numbers of the
    // setting lines (1 to 50, 101 to 112) it does not hold at all.
    struct Problems {
        std::vector<std::string> invalid;
        std::vector<int> missing;
        bool Empty() const { return invalid.empty() && missing.empty(); }
    };
    // Applies the lines of `text` to `config`; false (nothing changed) when line 2 does not begin
    // with GWX. A value must be one its field takes (CGatewayFieldRange): a whole number in range,
    // an entry of its list, four octets 0 to 255, a comment of at most 16 bytes, a pair of the
    // occupation table for lines 041 and 042; any other leaves its setting and is named in `problems`.
    static bool Parse(const std::string &text, CGatewayConfig &config, const TextLookup &texts,
                      Problems *problems = nullptr);
    // Reads a file in `codePage` and parses it.
    static LoadResult Load(const std::string &path, CGatewayConfig &config, const TextLookup &texts, int codePage,
                           Problems *problems = nullptr);
};

} // namespace kvl
