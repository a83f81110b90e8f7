#pragma once
// CParamFile: the user parameter file (".dat"), the parameter list's file column as a text list
// that people can read: the date of saving, the model key of the axis, two empty lines, then one
// line "NNN.  name = value unit" per parameter saved at the access level. Texts are written and
// read as the code-page bytes the parameter records hold; lines end with CR LF. Saving writes a
// temporary file beside the target and renames it over the target, so a failed save leaves the
// previous file whole, and reports the failure. Loading refuses a file made for another model
// and a file whose second line is no model key (an empty file among them); a line whose value is
// no number of the parameter's range (or no index of its choices) leaves the parameter and is
// reported, and so is a last line without its line end (the file was cut short).
// Stateless; called on the thread that owns the lists.
#include <string>
#include <vector>

#include "params/CParamList.h"
#include "params/ParamTypes.h"

namespace kvl::params {

enum class ParamFileStatus {
    Loaded,
    NotFound,      // ("IDS_ERRMSG_FILENOTFOUND", "Common")
    InUse,         // ("IDS_ERRMSG_FILEHAVEOPENED", "Common")
    Failed,        // ("IDS_ERRMSG_FILEOPRATIONFAIL", "Common")
    ModelMismatch, // ("IDS_WARNMSG_READPARAM_MACHINE_ERR", "IDD_KVL_VER2_PMTLIST_DIALOG")
    // The second line is no model key at all. The windows have no text of their own for it and
    // show the other-model text.
    NotParamFile,
};

// A parameter line whose value the parameter does not take: no number where one belongs, a
// number outside the parameter's range, an index outside its choices. The parameter keeps its value.
struct ParamRefusedLine {
    int line = 0;             // from 1
    CCodePageText text;       // the line as the file holds it
    bool cut = false;         // the file ends in the middle of this line
};

struct ParamLoadReport {
    ParamFileStatus status = ParamFileStatus::Failed;
    // To show (empty title, OK only) unless Loaded; Loaded with refused lines: the text that says
    // so, with the lines as its detail.
    ParamMessage message;
    std::vector<int> numbers; // parameters that took a value from the file, in file order
    std::vector<ParamRefusedLine> refused;
    std::string fileModel;    // ModelMismatch: the model the file was made for ("MDC-X")
    bool blank = false;       // NotParamFile: the file holds no text at all
};

class CParamFile {
public:
    // Model key an empty second line stands for.
    static constexpr const char *kDefaultModelKey = "MDA";

    // "%d/%02d%02d": 2010/0928.
    static std::string DateLine(const ParamDate &date);
    // "%.<digits>d.  name = value unit", without the unit (and its blank) when the unit is "-"
    // and for selections. Files use 3 digits, printouts 2.
    static CCodePageText ParameterLine(const CParamData &record, int number, int digits);
    // Numbers saved and printed at `level`, in order.
    static std::vector<int> SavedNumbers(const CParamList &file, int count, int level);

    // The whole file content for the target's model, parameter count and access level, in the
    // code page of the list's texts.
    static CCodePageText Serialise(const CParamList &file, const ParamTarget &target,
                                 const ParamDate &date);
    // False when the file could not be written; the previous file then stays as it was.
    static bool Save(const std::string &path, const CParamList &file, const ParamTarget &target,
                     const ParamDate &date);
    // Appends ".dat" unless the extension already is "dat" in any case.
    static std::string WithDatExtension(const std::string &path);

    // Loads file content into the file list, after the model check of the second line. The
    // content is the file's bytes, taken to be in the code page of the list's texts.
    static ParamLoadReport LoadText(CParamList &file, const std::string &content,
                                    const ParamTarget &target);
    // Opens and loads a file; on an open failure the list is unchanged.
    static ParamLoadReport Load(CParamList &file, const std::string &path,
                                const ParamTarget &target);
    static ParamMessage MessageFor(ParamFileStatus status);

private:
    enum class LineOutcome { kTaken, kRefused, kIgnored };
    // One parameter line into the file list. Ignored: no parameter line of this axis and level,
    // or a value without its unit (the parameter keeps its value). Taken: `taken` is the number.
    static LineOutcome LoadLine(CParamList &file, const std::string &line, const ParamTarget &target,
                                int count, int &taken);
};

} // namespace kvl::params
