#pragma once
// CParamFileActions: the parameter list's Save, Read and Print of its file column, on the user
// parameter file of CParamFile and the printout lines of CParamPrintout. Each first closes an open
// cell editor; Save and Read ask for a file (Cancel ends), Print hands the lines to the text print
// job. A save that fails is said (the file and why, CSaveFailure), like a failed read: the user
// must not believe a file was saved that was not. A read that loads tells the window to redraw
// (marks and the range of parameter 12 follow). The file list and the target (model, access
// level) belong to the parameter list; what needs the screen arrives as Hooks. Qt-free; the
// user-interface thread.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/CSaveFailure.h"
#include "params/CParamFile.h"
#include "params/CParamList.h"
#include "params/ParamTypes.h"

namespace kvl::params {

class CParamFileActions {
public:
    enum class Dialog { kSave, kOpen };
    enum class Outcome { kCancelled, kDone, kFailed };

    // Every hook may be empty (no dialog: Cancel).
    struct Hooks {
        std::function<void()> closeEditor;   // commit an open cell edit of the grid
        // The file dialog; no value when the user cancelled.
        std::function<std::optional<std::string>(Dialog dialog)> askPath;
        // The message dialog with an empty title and OK only.
        std::function<void(const ParamMessage &message)> message;
        // A save that failed: the warning naming the file and the cause.
        std::function<void(const CSaveFailure &failure)> saveFailed;
        // The text print job with these lines (code-page bytes, as the records hold them); false
        // when it failed or was cancelled.
        std::function<bool(const std::vector<std::string> &lines)> print;
        std::function<void()> changed;       // the file column took values from a file
    };

    // `target` gives the axis' model, version and access level at the time of each action.
    CParamFileActions(CParamList &file, std::function<ParamTarget()> target, Hooks hooks,
                      std::function<ParamDate()> today = &ParamDate::Today);

    // The buttons.
    Outcome Save();
    Outcome Read();
    Outcome Print();

    // What the dialogs lead to. SaveTo appends ".dat" where the name has another extension.
    bool SaveTo(const std::string &path);
    ParamLoadReport ReadFrom(const std::string &path);
    // The printout of the file column at the access level.
    std::vector<std::string> PrintLines() const;

    // The file the last successful save wrote.
    const std::string &LastSaved() const { return m_lastSaved; }

private:
    void CloseEditor() const;
    void Tell(const ParamMessage &message) const;
    std::optional<std::string> Ask(Dialog dialog) const;

    CParamList &m_file;
    std::function<ParamTarget()> m_target;
    Hooks m_hooks;
    std::function<ParamDate()> m_today;
    std::string m_lastSaved;
};

} // namespace kvl::params
