#pragma once
// The rules of a point-table step for one axis: step count by operation type, the text form of
// each column, the editor of a cell with its limits, the commit of an edited cell (limiting,
// truncation, cross rules and the messages they raise), the column defaults and the value
// comparison behind the red "modified" marking. Built from a CStepContext and CStepTexts that the
// caller fills (window, CLI, tests); holds copies, so it can outlive them. Stateless after
// construction; any thread may call it.
#include <string>
#include <vector>

#include "points/CKVL_VER2_ProgData.h"
#include "points/StepTypes.h"

namespace kvl::points {

enum class EditorKind { None, Choice, Integer, Real, Text };

// The editor the window opens over a cell.
struct CellEditor {
    EditorKind kind = EditorKind::None;
    std::string acceptedChars;        // empty: every character but the space (text editors)
    int maxLength = 0;                // 0: no editor length limit
    bool limited = false;             // min and max apply
    double min = 0.0;
    double max = 0.0;
    std::vector<std::string> choices; // choice lists only
};

// What a commit produced: the final cell text (already stored into the record) and the messages
// to show, in order.
struct CommitResult {
    std::string text;
    std::vector<StepMessage> messages;
};

// Which of the two online ACC/DCC defaults to give: a new row or a cell committed empty.
enum class DefaultUse { NewRow, EmptiedCell };

class CStepRules {
public:
    CStepRules(const CStepContext &context, const CStepTexts &texts);

    // Steps of an operation type (CModelTraits::StepCount): 2 → 256, 3 → 512, 4 → 7, 5 → 3,
    // 0, 1 and others → 64. The operation type of parameter 36 is CModelTraits' to tell.
    static int StepCount(int operationType);
    // Largest jump the view shows as a number, one past the last step: 65, 257 (type 2),
    // 513 (type 3), 8 (type 4), 4 (type 5).
    static int JumpDisplayLimit(int operationType);
    // Types 1 and 5 hide push and threshold and do not edit push.
    static bool PushHidden(int operationType);

    int StepCount() const { return StepCount(m_context.operationType); }
    // Decimals of the position column: 3 on MDB/MDC, 4 on MDC-X, otherwise setting + 2.
    int PositionDecimals() const;
    // Decimals of the columns that follow the decimals setting: setting + 2.
    int SettingDecimals() const;

    // Text form of column k for the view, given the field text; an empty text stays empty.
    std::string ViewText(int k, const std::string &text) const;

    // Editor of column k for a row (the row's stored mode chooses the position limits).
    CellEditor Editor(int k, const CKVL_VER2_ProgData &row) const;
    // Entries of the choice list of column 1, 11 or 12; empty for other columns.
    std::vector<std::string> Choices(int k) const;
    // Entry a choice list opens with: the first whose text begins with the cell text, case ignored.
    static int InitialChoice(const std::vector<std::string> &choices, const std::string &cellText);

    // Commits the edited text of column k into the row and returns the final cell text and the
    // messages to show. An empty text gives the column default without checks.
    CommitResult Commit(int k, const std::string &text, CKVL_VER2_ProgData &row) const;

    // Default text of column 1..16 (online or offline by the context); "" for column 0.
    std::string ColumnDefault(int k, DefaultUse use) const;

    // The cell text turned back into a field text: a choice entry of column 11 or 12 gives its
    // index, everything else stays (the mode is normalised by the record itself).
    std::string CellToFieldText(int k, const std::string &cellText) const;

    // True when field k holds different values in the two records: reals by more than 1e-9,
    // integers by value, the mode by its normalised form, jump and comment by text.
    bool ValuesDiffer(const CKVL_VER2_ProgData &a, const CKVL_VER2_ProgData &b, int k) const;

    const CStepContext &Context() const { return m_context; }
    const CStepTexts &Texts() const { return m_texts; }

private:
    std::string ChoiceText(int k, int index) const;
    std::string CommitLimitedReal(double value, double min, double max, int decimals, const std::string &text,
                                  bool *limited) const;
    void ApplyPushRules(int push, CommitResult &result, const CKVL_VER2_ProgData &row) const;
    CommitResult CommitChecked(int k, const std::string &text, const CKVL_VER2_ProgData &row) const;

    CStepContext m_context;
    CStepTexts m_texts;
};

} // namespace kvl::points
