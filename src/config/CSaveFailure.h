#pragma once
// CSaveFailure: a save that failed, and what it tells the user: the file and the cause (its folder
// does not exist, it may not be written there, the disk is read-only or full), in the current
// language, so that every save of the tool says the same. The cause comes from CFileReplace (the
// one way the tool writes a file) right after the failed write, or, for a file another writer
// failed to make (a picture, a PDF), from a look at the file's folder. A value; any thread (Last()
// reads the calling thread's last failed write).
#include <functional>
#include <string>

#include "config/CFileReplace.h"

namespace kvl {

class CLanguageTexts;

class CSaveFailure {
public:
    enum class Cause { kNoFolder, kFolderReadOnly, kFileReadOnly, kDiskReadOnly, kDiskFull, kIsFolder, kOther };

    CSaveFailure() = default;
    CSaveFailure(std::string path, Cause cause, int error = 0);

    // The failure of this thread's last failed CFileReplace::Write, which wrote `path`.
    static CSaveFailure Last(const std::string &path);
    // A failed save of `path` by another writer: its folder is missing or may not be written, or
    // the file itself may not be (kOther when none of these is seen).
    static CSaveFailure Probed(const std::string &path);
    // The cause a failure of CFileReplace stands for.
    static Cause CauseOf(const CFileReplace::Failure &failure);

    const std::string &Path() const { return m_path; }
    Cause GetCause() const { return m_cause; }

    // The cause in words of `texts` ("its folder does not exist"), English when `texts` is null or
    // lacks the text; kOther adds the system's words for the error when there is one.
    std::string CauseText(const CLanguageTexts *texts) const;
    // The texts of a lookup of keys of the "Common" section (empty: the built-in English).
    using Lookup = std::function<std::string(const std::string &key)>;
    std::string CauseText(const Lookup &lookup) const;
    std::string Message(const Lookup &lookup) const;
    // "The file PATH could not be saved: CAUSE. A file that was there before is unchanged." in the
    // language of `texts` (English when null).
    std::string Message(const CLanguageTexts *texts) const;
    // "cannot save PATH: CAUSE" for kvlctl.
    std::string CliText() const;

private:
    std::string m_path;
    Cause m_cause = Cause::kOther;
    int m_error = 0;
};

} // namespace kvl
