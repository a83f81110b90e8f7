#pragma once
// CParamList: an axis' parameter list, 256 CParamData slots with parameter k in slot k - 1,
// filled from the axis' parameter file and, online, from the controller. The axis window owns
// one and shares it with its parameter list window (which copies it for its file column).
// The store and the reader are borrowed for the call. UI thread (or any single thread).
#include <array>
#include <string>

#include "params/CParamData.h"
#include "params/CParamRules.h"

namespace kvl {
class CIniEx;
} // namespace kvl

namespace kvl::params {

class IParamReader;

class CParamList {
public:
    // Keys of a parameter section.
    static constexpr const char *kKeyDisplayName = "DisplayName";
    static constexpr const char *kKeyType = "Type";
    static constexpr const char *kKeyUnitName = "UnitName";
    static constexpr const char *kKeyMin = "Min";
    static constexpr const char *kKeyMax = "Max";
    static constexpr const char *kKeyPrecision = "DisplayPrecision";
    static constexpr const char *kKeySelItemCount = "SelItemCount";
    static constexpr const char *kKeySelItem = "SelItem";
    static constexpr const char *kKeyRange = "Range";
    static constexpr const char *kKeyMode = "Mode";
    static constexpr const char *kKeyValue = "Value";
    static constexpr const char *kKeyWrite = "WRITE";
    static constexpr const char *kKeyHide = "HIDE";
    static constexpr const char *kKeyServoW = "ServoW";
    // A file asking for more choices than this is malformed; the rest is not read.
    static constexpr int kMaxChoices = 1024;

    // Who the list is for. Online, Load replaces all three with what the controller reports.
    struct Axis {
        std::string model;         // model text ("MDB") or offline model
        std::string version;       // 4-character version as read; empty offline
        std::string name;          // device name
        int decimalsSetting = 0;   // the axis' decimals setting 0 to 2
    };

    // Empty slots for numbers outside 1 to 256.
    CParamData &At(int number);
    const CParamData &At(int number) const;
    void Clear();
    // The code page of the list's texts: that of the parameter file it was read from (Western
    // while the list is empty).
    int CodePage() const;

    // N for the axis: model and version text (offline: empty version, never old).
    static int CountFor(const Axis &axis);

    // Reads the parameter file (and, with a reader, the controller) into the list: every slot
    // empty first, then numbers 1..49 and 100..N in order; online each value is read once
    // without retries and a failed read keeps the file's "Value". Online, parameter 12's upper
    // limit then follows parameter 102 as this controller holds it (models where it does).
    // Saves the store at the end. Returns how many online reads failed (0 offline).
    int Load(CIniEx &store, Axis &axis, IParamReader *reader);

    // One parameter's definition and "Value" from its section; an empty record when the section
    // has no display name or no valid type.
    static CParamData ReadRecord(const CIniEx &store, int number);
    // Names, choices and range text again from the store (after a language change); values stay.
    static void ReloadTexts(const CIniEx &store, int number, CParamData &record);

    // Reads one parameter from the controller into `record` and, on success, stores its text as
    // "Value" in the store. Returns the result code of the exchange (-205 when the value was not
    // taken, for example a selection index the record does not have).
    static int ReadFromController(CParamData &record, int number, const Axis &axis,
                                  IParamReader &reader, CIniEx &store);

private:
    std::array<CParamData, CParamRules::kSlotCount> m_slots;
    CParamData m_outside; // returned for numbers without a slot; reset on each access
};

} // namespace kvl::params
