#pragma once
// CParamListRules: the parameter list's rules that are not drawing. Which parameters a tab shows
// at an access level, which may be edited, written, saved and printed, how the range and value
// cells read, when a row is marked as differing, the title suffix of the access levels and what
// the two hidden areas do. Shared by the parameter list window, the command-line tool and the
// parameter files. Stateless; any thread.
#include <optional>
#include <string>
#include <string_view>

#include "params/CParamData.h"
#include "params/CParamList.h"

namespace kvl::params {

class CParamListRules {
public:
    // Tab 0 shows every parameter; tabs 1 to 4 show the parameters of their "Mode".
    static constexpr int kTabAll = 0;
    static constexpr int kLastTab = 4;
    // Access levels of an axis.
    static constexpr int kLevelNormal = 0;
    static constexpr int kLevelCustom = 1;
    static constexpr int kLevelCustomSp = 2;
    // A text parameter holds the controller's device name: at most this many bytes.
    static constexpr std::size_t kMaxTextLength = 16;
    // Two real values closer than this are not marked as differing.
    static constexpr double kRealMarkTolerance = 1e-9;
    // Language number whose title suffixes are the short ones.
    static constexpr int kLanguageEnglish = 2;
    static constexpr int kLanguageChinese = 3;

    // Model key of the files and language sections: "XMDC", "YMDA", "ZMDA" for the three
    // variants, the model text otherwise.
    static std::string ModelKey(std::string_view model);
    // The model text a file's model key stands for ("XMDC" gives "MDC-X"), letters compared
    // without case; empty when the text is no model key.
    static std::optional<std::string> ModelOfKey(std::string_view key);
    // The numbers the list holds among 1..49, 100..count, as runs: "1-49 and 100-182".
    static std::string NumberRangesText(const CParamList &list, int count);
    // Axes of the long-record family, which have parameters 102/12 and the push limit.
    static bool IsLongRecordModel(std::string_view model);

    // Hide classes outside 0 to 3 come only from a damaged file: they are treated as class 1
    // (never shown, written, saved or printed) rather than exposing the parameter.
    static bool IsShown(const CParamData &record, int tab, int level);
    // Class 3 at level 1: shown grey and not editable.
    static bool IsGreyed(const CParamData &record, int level);
    // Writable flag set, shown on tab 0 at the level, and not greyed.
    static bool IsEditable(const CParamData &record, int level);
    // Class 0 always; class 2 at level 1 or 2; class 3 at level 2 only; class 1 never.
    static bool MayWrite(const CParamData &record, int level);
    // Saved to a user file and printed: class 0, or 2 or 3 at level 1 or 2.
    static bool IsSaved(const CParamData &record, int level);

    // The row mark: integers by value, reals by more than kRealMarkTolerance, selections by the
    // chosen text, texts as texts. Records of different types always differ.
    static bool MarkDiffers(const CParamData &driver, const CParamData &file);
    // The write comparison: integers and reals exactly, selections by chosen text, texts as texts.
    static bool WriteDiffers(const CParamData &driver, const CParamData &file);

    // Range cell: "[%d, %d]", "[lower, upper]" with the shown decimals, "-" when lower equals
    // upper, the "Range" text of a selection, empty for a text. UTF-8, as shown.
    static std::string RangeText(const CParamData &record, int number, int decimalsSetting);
    // Value cell: the value limited to the range and formatted as shown. UTF-8.
    static std::string GridValueText(const CParamData &record, int number, int decimalsSetting);
    // Value as files and printouts carry it: "%d", the real with DisplayPrecision decimals, the
    // chosen index, the text cut to its first 16 bytes (the controller's limit, in bytes of the
    // code page).
    static CCodePageText FileValueText(const CParamData &record);

    // Text appended to the window title at an access level (empty at level 0).
    static std::string TitleSuffix(int level, int language);

    // What a double click on a hidden area at the window's top edge does.
    enum class AreaAction { None, OpenAccessDialog, SetLevel };
    struct AreaResult {
        AreaAction action = AreaAction::None;
        int level = kLevelNormal; // the new level for SetLevel
    };
    static AreaResult FirstHiddenArea(int level, bool serviceMode);
    // Acts only on axes of the long-record family.
    static AreaResult SecondHiddenArea(int level, bool serviceMode, std::string_view model);
};

} // namespace kvl::params
