#pragma once
// CParamRules: the fixed rules of the parameter model. Which parameter numbers exist for a model
// and firmware version, the factor between a real parameter's raw 32-bit integer and its shown
// value with the decimals shown, the selection mappings that are not plain indices (parameter 45,
// parameter 36 of the rotary model), and the text of a value as shown or stored.
// Models are the model texts of the bus or their key forms, as CModelTraits reads them.
// Stateless; any thread.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/CModelTraits.h"
#include "config/CCodePageText.h"
#include "params/ParamNumbers.h"

namespace kvl::params {

class CParamData;

class CParamRules {
public:
    using Model = CModelTraits::Model;

    // Slots of a parameter list: parameter k lives in slot k - 1.
    static constexpr int kSlotCount = 256;
    // Numbers 1 to kLastLowNumber, then kFirstHighNumber to N; 50 to 99 never exist.
    static constexpr int kLastLowNumber = 49;
    static constexpr int kFirstHighNumber = 100;
    // N by model.
    static constexpr int kCountMdbMdcOld = 151;
    static constexpr int kCountMdbMdc = 182;
    static constexpr int kCountMdcX = 168;
    static constexpr int kCountMdaY = 113;
    static constexpr int kCountMdaZ = 115;
    static constexpr int kCountMda = 111;


    // Unknown texts are the base model, as on the bus (CModelTraits::Of).
    static Model ModelFromText(std::string_view model) { return CModelTraits::Of(model).Id(); }

    // Version text from the controller's 4-character version: first character, ".", second and
    // third characters ("1305" gives "1.30"). Shorter input gives what is there ("" stays "").
    static std::string VersionText(std::string_view version);
    // Old firmware: "A." to "G.", or "0."/"1." with a decimal value from 0 to 1.07 inclusive.
    // The empty text (offline) is never old.
    static bool IsOldVersion(std::string_view versionText);
    // N: the last parameter number of the model at that version text.
    static int ParameterCount(std::string_view model, std::string_view versionText);
    // 1..49, then 100..count: the order every part of the system walks parameters in.
    static std::vector<int> Numbers(int count);
    static bool NumberExists(int number, int count);

    // Whether parameter 12's upper limit follows parameter 102 on this model (the long-record
    // family: MDB, MDC, MDC-X). The limit is the controller's own: it lives in that axis' lists
    // and never in the model's shared parameter file.
    static bool CurrentLimitFollowsMax(std::string_view model);
    // Makes `limit` the upper limit of an integer record, its range and its range text ("Max");
    // a limit under the minimum gives the range [min, min], the minimum never moves. False
    // (nothing changed) for a record of another type.
    static bool SetUpperLimit(CParamData &record, int limit);

    // Factor between raw and shown value of a real parameter (at least 1). Numbers without a
    // factor of their own (9 on the MDA family, 49 on MDC and MDC-X) use 10^precision like every
    // other number instead of losing their value.
    static std::int64_t Factor(int number, std::string_view model, int precision);
    // Decimals shown for a real parameter; decimalsSetting is the axis' setting 0 to 2.
    static int ShownDecimals(int number, int precision, int decimalsSetting);
    static double RawToValue(std::int32_t raw, std::int64_t factor);
    // value x factor truncated toward zero, the value taken as the decimal it was typed as
    // (0.29 at factor 100 sends 29); saturates at the int32 range, NaN sends 0.
    static std::int32_t ValueToRaw(double value, std::int64_t factor);

    // Selection raw <-> index. Parameter 45 uses its list of 17 raw values; parameter 36 of the
    // rotary model maps 0, 2, 4, 5; every other selection is its index.
    static int RawToIndex(int number, std::string_view model, std::int32_t raw);
    // False when the index has no raw value (parameter 45 outside its list).
    static bool IndexToRaw(int number, std::string_view model, int index, std::int32_t &raw);
    static const std::vector<std::int32_t> &PulseResolutionValues();

    // Sets a value read from the controller into an integer, real or selection record (the
    // number is the record's parameter number). False for other types and refused indices.
    static bool ApplyRaw(CParamData &record, int number, std::string_view model,
                         std::int32_t raw);
    // The raw value a write sends for an integer, real or selection record.
    static bool RawFromRecord(const CParamData &record, int number, std::string_view model,
                              std::int32_t &raw);
    // Value as the parameter file holds it: "%d", the real with its shown decimals, the chosen
    // text, or the text, in the record's code page. With clampToRange, integer and real values
    // outside the range show the nearer limit (the record itself keeps the value as read).
    static CCodePageText ValueText(const CParamData &record, int number, int decimalsSetting,
                                   bool clampToRange);
    // Bytes in the code page of the record's own texts: a number written as text (digits are
    // alike in every code page) or a device name as the controller keeps it.
    static CCodePageText RecordText(const CParamData &record, std::string bytes);
};

} // namespace kvl::params
