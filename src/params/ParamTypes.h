#pragma once
// Small value types shared by the parameter list's rules, its bus procedures and its files: the
// (key, section) of a language text a face shows, the date a file or printout carries, and the
// axis a procedure works for. Plain data; any thread.
#include <cstdint>
#include <string>

#include "config/CLanguageTexts.h"

namespace kvl::params {

// A language text by (key, section); the face looks it up and shows it in the message dialog.
struct ParamMessage {
    std::string key;
    std::string section;
    // Lines shown under the text, UTF-8 (lines of a file converted from its code page); usually
    // empty.
    std::string detail = {};

    bool Empty() const { return key.empty(); }
    friend bool operator==(const ParamMessage &a, const ParamMessage &b)
    {
        return a.key == b.key && a.section == b.section && a.detail == b.detail;
    }
};

// Sections the parameter list's texts live in.
inline constexpr const char *kSectionList = "IDD_KVL_VER2_PMTLIST_DIALOG";
inline constexpr const char *kSectionCommon = CLanguageTexts::kCommonSection;
inline constexpr const char *kSectionCommonUpper = "COMMON";

// Local date of a saved file or a printout.
struct ParamDate {
    int year = 0;
    int month = 0;
    int day = 0;

    static ParamDate Today();
};

// Who a procedure or a file works for.
struct ParamTarget {
    std::uint8_t address = 0;   // axis address 0..15 on the bus
    std::string model;          // model text as the bus reports it ("MDB", "MDC-X"), or offline model
    std::string version;        // the controller's 4-character version; empty offline
    int decimalsSetting = 0;    // the axis' decimals setting 0..2
    int accessLevel = 0;        // 0 normal, 1 "Custom", 2 "Custom SP"
};

} // namespace kvl::params
