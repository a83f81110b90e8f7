#pragma once
// CParamEditCheck: the rules of editing one value of the file list, as the parameter list's grid
// editor and the command-line tool's "param set" apply them. Which parameters may be edited, the
// characters and ranges each type accepts, the confirmations some parameters ask for, and the
// two pairs that must stay ordered (1 above 2, 3 above 4). The confirmation is asked through a
// callback so that a window can show its dialog and a script can answer for itself.
// Stateless; called on the thread that owns the lists.
#include <functional>
#include <string_view>

#include "params/CParamList.h"
#include "params/ParamTypes.h"

namespace kvl::params {

enum class EditStatus {
    Applied,      // the text was set into the file list, changes marked
    Unchanged,    // the text is the one the cell shows already
    NotEditable,  // writable flag 0, hidden at the level, greyed, or no such parameter
    BadInput,     // characters the editor does not take, or no number at all
    OutOfRange,   // outside the integer or real range
    NoSuchChoice, // a selection text that is none of the choices
    TooLong,      // a text longer than 16 bytes
    Cancelled,    // the confirmation was declined; the old text stays
    PairOrder,    // would break 1 > 2 or 3 > 4; the message says which pair
};

struct EditResult {
    EditStatus status = EditStatus::NotEditable;
    ParamMessage message; // the refusal to show (pair order), titled TitleMessage()
};

class CParamEditCheck {
public:
    // Asks the user: text and title as language texts; true for OK.
    using Confirm = std::function<bool(const ParamMessage &text, const ParamMessage &title)>;

    // Title of the confirmations and the pair-order refusals.
    static ParamMessage TitleMessage() { return {"IDS_WARN_TITLE", kSectionCommon}; }
    // The confirmation a changed value of `number` asks for; empty when none.
    static ParamMessage ConfirmationFor(int number);

    // Whether `text` is acceptable input for the record: integers "+-0123456789" in the integer
    // range; reals "+-0123456789." in the real range (as integers when DisplayPrecision is 0);
    // selections one of the choices; texts at most 16 bytes. Applied means acceptable.
    // The text is in the code page of the record's texts (the caller converts what was typed).
    static EditStatus CheckInput(const CParamData &record, const CCodePageText &text);

    // The pair-order refusal when `candidate` as the new record of `number` would break
    // 1 > 2 or 3 > 4 in the file list; empty when the order holds.
    static ParamMessage PairOrderRefusal(const CParamList &file, int number,
                                         const CParamData &candidate);

    // An ordered pair a load would break: the value of `upper` must stay greater than `lower`'s.
    struct PairRefusal {
        int upper = 0;
        int lower = 0;
        ParamMessage message; // empty when no pair is broken
        bool Empty() const { return message.Empty(); }
    };
    // After a file was loaded into the file list, before its values are written: the first
    // ordered pair the load changes (either value differs from the controller's, the driver
    // list's) and whose file values break the order. A pair the load leaves as the controller
    // holds it is not checked, so that a file saved from a controller loads back onto it. Empty
    // when every changed pair holds or a pair is not defined.
    static PairRefusal LoadPairRefusal(const CParamList &file, const CParamList &driver);

    // The whole edit of `number` in the file list: editable at `level`, input accepted, text
    // different from the cell's (the value as the grid shows it with `decimalsSetting`),
    // confirmation where one is asked (a missing callback declines), the pair order; then
    // set-by-text with changes marked. Nothing changes unless the result is Applied.
    static EditResult Commit(CParamList &file, int number, const CCodePageText &text, int level,
                             int decimalsSetting, const Confirm &confirm);
};

} // namespace kvl::params
