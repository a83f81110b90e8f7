#pragma once
// The point-table CSV file: a header line of the 17 column captions, then one line per defined
// step with the record's fields in their field-as-text form, joined by "," without quoting, lines
// ended by CR LF. The table and the lines built here are UTF-8; the file is in the code page of
// the table's language: Encode and Save convert on the way out, ReadFile hands back the file's
// CCodePageText and the caller decodes it (ToUtf8) before LoadText. Saving
// writes a temporary file beside the target and renames it over the target, so a failed save
// never destroys the previous file. Stateless; called by the axis window or the CLI on the thread
// that owns the table.
#include <string>
#include <vector>

#include "config/CCodePageText.h"
#include "config/CLanguageTexts.h"
#include "points/CPointCsvCheck.h"
#include "points/CPointTable.h"
#include "points/StepTypes.h"

namespace kvl::points {

enum class CsvLoadResult {
    Loaded,
    NotFound, // ("IDS_ERRMSG_FILENOTFOUND", "Common")
    InUse,    // ("IDS_ERRMSG_FILEHAVEOPENED", "Common")
    Failed,   // ("IDS_ERRMSG_FILEOPRATIONFAIL", "Common")
};

class CPointCsv {
public:
    // The header line (without line end): the captions joined by ","; column 1 is written as "ABS"
    // or "INC" when the ("IDC_CHECK_ABS", ...) text is set (the caption equal to it gives "ABS").
    static std::string HeaderLine(const CStepTexts &texts);
    // The data line of a step (without line end): the step number shown in column 0, then fields
    // 1 to 16 of the working record.
    static std::string DataLine(const CPointTable &table, int step);
    // The whole file: header and a line for every step whose mode cell is not empty, each + CR LF.
    static std::string Serialise(const CPointTable &table);
    // The same as the file holds it, in the code page of the table's language.
    static CCodePageText Encode(const CPointTable &table);
    // The code page of the table's files (its language's).
    static int CodePageOf(const CPointTable &table);

    // Writes the file through a temporary file and a rename. False, with the previous file left
    // as it was, when any part fails (CSaveFailure::Last then says why).
    static bool Save(const CPointTable &table, const std::string &path);

    // The fields of a line split at commas, empty tokens skipped (",," is one separator; commas at
    // the ends are ignored).
    static std::vector<std::string> Tokenize(const std::string &line);

    // Loads file content into the working table: the table is reset (driver copy kept), the first
    // line skipped, lines taken by the rules (step in 0..N-1, fields 2 to 16 present; fields past
    // the 17th belong to the comment, which held commas). CR LF, LF and CR all end a line; a NUL
    // byte ends the line's text.
    // With `limited`, every value also passes through the step rules as if typed
    // (CPointLoadLimits): the values they changed are listed there and their cells marked.
    // Returns the number of lines taken.
    static int LoadText(CPointTable &table, const std::string &utf8,
                        std::vector<CsvLimitedValue> *limited = nullptr);
    // The bytes of a file as text of `codePage` (Loaded), or why it cannot be opened.
    static CsvLoadResult ReadFile(const std::string &path, int codePage, CCodePageText &content);
    // Opens and loads a file; on an open failure the table is unchanged.
    static CsvLoadResult Load(CPointTable &table, const std::string &path,
                              std::vector<CsvLimitedValue> *limited = nullptr);
    static StepMessage LoadFailureMessage(CsvLoadResult result);

    // A file name without extension gets ".csv".
    static std::string WithDefaultExtension(const std::string &path);
};

} // namespace kvl::points
