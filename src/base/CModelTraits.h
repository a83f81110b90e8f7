#pragma once
// CModelTraits: what the tool knows of each controller model, answered from the model text the
// controller reports ("MDC-X") or the key form the files and language sections use ("XMDC").
// Every rule that depends on the model asks here instead of comparing model texts; the device
// type codes of the bus and of the gateway's station list live here too, once. Plain values;
// any thread.
#include <cstdint>
#include <optional>
#include <string_view>

namespace kvl {

// Device type codes: the controller's answer to ReadDeviceType and the gateway's station list.
constexpr int kModelCodeMDA = 1;
constexpr int kModelCodeMDB = 2;
constexpr int kModelCodeMDC = 3;
constexpr int kModelCodeGWX = 5;
constexpr int kModelCodeMDCX = 6;
constexpr int kModelCodeMDAY = 7;
constexpr int kModelCodeMDAZ = 8;
constexpr int kDeviceListNone = 0;                // gateway station list: no controller
constexpr int kDeviceListAny = 255;               // gateway station list: any model

// Model text of a device type code: 1 "MDA", 2 "MDB", 3 "MDC", 5 "GWX", 6 "MDC-X", 7 "MDA-Y",
// 8 "MDA-Z"; any other code "MDA".
const char *ModelTextFromCode(int code);
// Device type code of a model text; unknown texts give the code of "MDA".
int ModelCodeFromText(std::string_view model);
// A gateway station-list code the reader knows (0, 1, 2, 3, 6, 7, 8, 255); any other reads as none.
int NormalizeDeviceListCode(int code);

// One entry of the gateway's station list: its code, the key of its language text and the text
// shown when the language file has none (the model text, "None" or "Any").
struct StationCode {
    std::uint8_t code;
    const char *key;
    const char *builtIn;
};
// The entry of a station-list code; any code the list does not know is the "none" entry.
const StationCode &FindStationCode(std::uint8_t code);

class CModelTraits {
public:
    enum class Model { MDA, MDB, MDC, MDCX, MDAY, MDAZ };
    static constexpr Model kModels[] = {Model::MDA,  Model::MDB,  Model::MDC,
                                        Model::MDCX, Model::MDAY, Model::MDAZ};
    // Operation types 0 to 5; every other value acts as type 0.
    static constexpr int kOperationTypeCount = 6;

    constexpr explicit CModelTraits(Model model) : m_model(model) {}
    // The model of a model text or key form, compared exactly; any other text is the base model
    // "MDA", as the bus reads an unknown device code.
    static CModelTraits Of(std::string_view text);
    // The model whose key form this is ("xmdc" or "XMDC" gives MDC-X, "MDB" gives MDB), ASCII
    // letters compared without case; empty when the text is no key form.
    static std::optional<CModelTraits> FindByKey(std::string_view key);

    Model Id() const { return m_model; }
    bool Is(Model model) const { return m_model == model; }
    // "MDA", "MDB", "MDC", "MDC-X", "MDA-Y", "MDA-Z".
    const char *Text() const;
    // The key form of files and language sections: "XMDC", "YMDA", "ZMDA" for the three
    // variants, the model text for the others.
    const char *KeyForm() const;
    int DeviceCode() const;

    // MDB, MDC and MDC-X: the 44-byte step record, the 9-byte load-factor reply, the wider step
    // limits, parameter 12 bounded by parameter 102, and the push limit (parameter 151).
    bool UsesLongRecord() const;
    bool HasPushLimit() const { return UsesLongRecord(); }
    // MDB reads its push limit from the stored parameter offline too; MDC and MDC-X use a fixed one.
    bool PushLimitStoredOffline() const { return m_model == Model::MDB; }
    // MDB and MDC, without the MDC-X variant: 3 position decimals, the old-firmware parameter
    // count, parameter 102 written bounds parameter 12 at once.
    bool IsMdbOrMdc() const { return m_model == Model::MDB || m_model == Model::MDC; }
    // The auto-tuning procedure acts on the controller only on MDB and MDC.
    bool HasTuning() const { return IsMdbOrMdc(); }
    // MDA-Z: degrees instead of millimetres, its own grid captions and chart labels, and its own
    // coding of the operation type (parameter 36).
    bool IsRotary() const { return m_model == Model::MDAZ; }

    // Decimals of a position in the axis window and the point table: 3 on MDB and MDC, 4 on
    // MDC-X, `settingDecimals` (the decimals setting + 2) on the others.
    int PositionDecimals(int settingDecimals) const;
    // The motor monitor keeps 3 on MDB and MDC and follows the decimals setting on every other
    // model (an MDC-X axis window sets that setting to 2, so it shows 4 there unless changed).
    int MonitorPositionDecimals(int settingDecimals) const;

    // Language section of the alarm texts: "AlarmMDB", "AlarmMDC", "AlarmXMDC", else "AlarmMDA".
    const char *AlarmSection() const;
    // Suffix of the motor monitor's text section: "_MDB", "_MDC", "_MDC-X", else "".
    const char *MonitorSectionSuffix() const;

    // The operation type (0 to 5) of parameter 36's value in the axis' parameter list. MDA-Z
    // lists its types 0, 2, 4, 5 as the choices 0 to 3: 1 gives 2, 2 gives 4, 3 gives 5. Any
    // value outside the model's choices gives type 0, as the windows treat an unknown type.
    int OperationTypeOfChoice(int choice) const;
    // Parameter 36 on the wire: MDA-Z sends the type itself (0, 2, 4, 5), which is choice 0 to 3
    // (any other raw value choice 0); the other models send the choice.
    int OperationTypeChoiceOfRaw(std::int32_t raw) const;
    // The raw value a write of choice `choice` sends: MDA-Z 0, 2, 4, 5 for choices 0 to 3 and 0
    // for any other; the other models send the choice.
    std::int32_t OperationTypeRawOfChoice(int choice) const;
    // The operation type of parameter 36 as the controller sends it.
    int OperationTypeOfRaw(std::int32_t raw) const { return OperationTypeOfChoice(OperationTypeChoiceOfRaw(raw)); }

    // Steps of the point table of an operation type: 2 → 256, 3 → 512, 4 → 7, 5 → 3, 0, 1 and
    // any other value → 64.
    static int StepCount(int operationType);

private:
    Model m_model;
};

} // namespace kvl
