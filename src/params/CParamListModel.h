#pragma once
// CParamListModel: the parameter list window without a window. Which rows the current tab shows
// at the axis' access level (narrowed further by the find text and the differences-only toggle,
// which only hide rows), what each cell says, which rows are marked, grey or editable, which
// in-cell editor a value opens and what a committed value does; the read from and the write to
// the controller with the follow-ups, and the read-back check of every written value. The axis'
// lists (driver list shared with its axis window, file list) belong to the axis' parameter setup,
// which must outlive the model. Texts leave and enter the model in UTF-8; the records keep the
// parameter file's code page. What needs the screen or the axis window arrives as Hooks.
// Qt-free; the user-interface thread (the thread that makes the exchanges).
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "params/CParamEditCheck.h"
#include "params/ParamTransferTypes.h"
#include "params/ParamTypes.h"

namespace kvl {
struct CAppValues;
class CServoCommands;
} // namespace kvl

namespace kvl::params {

class CAxisParamSetup;
class CParamListPair;

class CParamListModel {
public:
    enum Column { kColNumber, kColName, kColUnit, kColRange, kColDriver, kColFile, kColumnCount };
    static constexpr int kTabCount = 5;
    static constexpr int kHiddenAreaFirst = 1;
    static constexpr int kHiddenAreaSecond = 2;

    // A message for the message dialog: its text and title as language texts (an empty title
    // gives the dialog's default caption), OK only or OK/Cancel, and the parameters it is about
    // (listed under the text by number and name).
    struct Message {
        ParamMessage text;
        ParamMessage title;
        bool withCancel = false;
        std::vector<int> numbers;
    };

    // The in-cell editor a value opens.
    struct Editor {
        enum class Kind { None, Integer, Real, Choice, Text };
        Kind kind = Kind::None;
        std::string accepted;              // characters the edit takes (Integer, Real)
        int maxLength = 0;                 // Text: at most this many bytes; 0 no limit
        double min = 0.0, max = 0.0;       // Integer, Real
        std::vector<std::string> choices;  // Choice, UTF-8
        int choice = -1;                   // Choice: the current one
        std::string text;                  // the cell's text before editing, UTF-8
    };

    struct Hooks {
        std::function<void()> changed;                     // refresh the view
        std::function<bool()> busyBegin;                   // false: refused, do nothing
        std::function<void()> busyEnd;
        ProgressFn progress;                               // "n of N"
        std::function<bool(const Message &)> message;      // true for OK; empty hook: Cancel
        std::function<void(const ParamNotice &)> notify;   // to the axis window
        // The axis window's servo flag and whether a program runs or is paused on the axis.
        std::function<void(bool &servoOn, bool &programActive)> axisFlags;
        // Whether a used step numbered 1..lastStep of the axis' point table pushes above `limit`.
        std::function<bool(int limit, int lastStep)> pushAbove;
        std::function<void()> openAccessDialog;            // a hidden area asks for the passwords
    };

    struct ReadResult {
        bool ran = false;       // false: offline or the busy indicator refused
        int failures = 0;
    };
    struct WriteResult {
        bool ran = false;       // the write loop ran
        bool refusedAutomatic = false;
        bool cautionAsked = false;
        bool cancelled = false; // the caution was declined or ServoOff failed
        std::vector<int> written;     // parameters written well, in order
        std::vector<int> mismatches;  // written but read back different
        int failures = 0;
    };

    CParamListModel(CServoCommands &commands, CAppValues &values, CAxisParamSetup &axis, bool offline,
                    Hooks hooks);

    CParamListPair &Lists();
    const CParamListPair &Lists() const;
    CAxisParamSetup &Axis() { return m_axis; }
    bool Offline() const { return m_offline; }
    int AxisSlot() const;
    int Count() const;
    // The language of the parameter texts (the axis' parameter store).
    int Language() const;

    // --- view state
    int Tab() const { return m_tab; }
    void SetTab(int tab);
    int Level() const;
    // Stores the axis' access level and refills the rows.
    void SetLevel(int level);
    int Decimals() const;
    // Title suffix of the access level in the application's language.
    std::string TitleSuffix() const;
    void PressHiddenArea(int area);

    // Find text (number or name contains it, letters without case) and differences only.
    void SetFilter(const std::string &utf8);
    const std::string &Filter() const { return m_filter; }
    void SetDifferencesOnly(bool on);
    bool DifferencesOnly() const { return m_differencesOnly; }

    // Rows again from the lists (after a tab, level, load or read); the numbers shown, in order.
    void Refill();
    const std::vector<int> &Rows() const { return m_rows; }
    // The numbers the tab shows at the level before the find text and the toggle narrow them.
    const std::vector<int> &TabRows() const { return m_tabRows; }

    std::string CellText(int number, int column) const;
    bool Marked(int number) const;
    bool Greyed(int number) const;
    bool Editable(int number) const;
    // The jog or feed of the axis window failed to write it: its cell shows red.
    bool WriteFailed(int number) const { return m_writeFailed.count(number) != 0; }
    // Written, then read back with another value.
    bool VerifyMismatch(int number) const { return m_mismatches.count(number) != 0; }

    // --- editing
    Editor OpenEditor(int number) const;
    // Commits `utf8` as the file value of `number` (confirmations and refusals through the
    // message hook).
    EditResult Commit(int number, const std::string &utf8);

    // --- the controller
    ReadResult Read();
    WriteResult Write();
    // The file column took values from a file: the rows again, and the axis window is told.
    void FileLoaded();

    // --- the axis window's jog and feed
    bool Range(int number, double &min, double &max) const;
    bool Value(int number, double &value) const;
    void ParameterWritten(int number, bool ok, const std::string &text);

    // Language or decimals changed since the texts were last built.
    bool NeedsRetext() const;
    // Names, choices and range texts again from the store; values stay; rows refilled.
    void Retext();

    // What the user typed, in the code page of the list's texts.
    CCodePageText Typed(const std::string &utf8) const;

private:
    ParamTarget Target() const;
    bool Ask(const Message &message) const;
    void Tell(const ParamMessage &text) const;
    void Changed() const;
    void Notify(const ParamNotice &notice) const;
    bool PassesFilter(int number) const;
    std::vector<int> VerifyWritten(const std::vector<int> &written);

    CServoCommands &m_commands;
    CAppValues &m_values;
    CAxisParamSetup &m_axis;
    bool m_offline;
    Hooks m_hooks;
    int m_tab = 0;
    std::string m_filter;
    bool m_differencesOnly = false;
    std::vector<int> m_tabRows;
    std::vector<int> m_rows;
    std::set<int> m_writeFailed;
    std::set<int> m_mismatches;
    int m_builtLanguage = 0;
    int m_builtDecimals = 0;
};

} // namespace kvl::params
