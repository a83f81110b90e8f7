#pragma once
// CConfirmModel: the rules of the version and access-level dialog, without a window. What the
// user types decides: an empty entry is refused, the version word of the language file shows the
// controller's and the tool's version, the two service passwords raise the axis' parameter access
// level to "Custom" (1) or "Custom SP" (2), and every other entry is refused. Entries are compared
// exactly (case and blanks count). In service mode (debug level 10) the "Custom" password is
// refused like a wrong one. The texts are read once, when the model is made. What needs the
// screen arrives as Hooks. Qt-free; user-interface thread only.
#include <functional>
#include <string>

namespace kvl {

class CLanguageTexts;
struct CAppValues;

class CConfirmModel {
public:
    static constexpr char kSection[] = "IDD_KVL_VER2_CONFIRM";
    // The language file keeps the two messages under this spelling of the section.
    static constexpr char kMessageSection[] = "IDD_KVL_VER2_CONFORM";
    static constexpr char kEmptyKey[] = "STR_NULLINFO";
    static constexpr char kWrongKey[] = "STR_WRONGINFO";
    static constexpr char kVersionWordKey[] = "STR_PASSWD";
    static constexpr char kCustomPassword[] = "5190463";
    static constexpr char kCustomSpPassword[] = "70624815";
    static constexpr int kLevelCustom = 1;
    static constexpr int kLevelCustomSp = 2;
    static constexpr char kToolVersionLine[] = "V-FLOW Ver 1.305";
    // The program's own line under it; kvl::kVersion fills "%s".
    static std::string ProgramVersionLine();

    // Whom the dialog works for.
    struct Request {
        int axis = 0;            // 0..15: the axis whose access level may change
        bool offline = false;    // no controller: the version shows the tool's line only
        std::string model;       // the controller's model name ("MDC")
        std::string version;     // its firmware version as read ("1305")
    };

    // Every hook may be empty.
    struct Hooks {
        std::function<void(const std::string &text)> message;  // the message dialog, UTF-8
        std::function<void(int level)> levelChanged;           // the parameter list follows
    };

    enum class Outcome { kEmpty, kVersion, kLevelRaised, kWrong };
    struct Result {
        Outcome outcome = Outcome::kWrong;
        bool close = false;        // the dialog has done its work
        bool clearEntry = false;   // a refused entry is wiped
    };

    CConfirmModel(CAppValues &values, const CLanguageTexts &texts, int debugLevel, Request request,
                  Hooks hooks = {});

    // OK with `entry` typed: what happened and what the dialog does next.
    Result Check(const std::string &entry);

    // What the version word shows: "<model> Ver <d.ddd>\n" online, then the tool's line, then the
    // version of this program ("kvl_motor 0.1.0", the one --version prints).
    std::string VersionText() const;
    // A firmware version as the dialog writes it: the first digit, ".", the next three.
    static std::string DottedFirmware(const std::string &version);

    const Request &Target() const { return m_request; }

private:
    void Tell(const std::string &text) const;
    void RaiseLevel(int level);

    CAppValues &m_values;
    int m_debugLevel;
    Request m_request;
    Hooks m_hooks;
    std::string m_emptyText;
    std::string m_wrongText;
    std::string m_versionWord;
};

} // namespace kvl
