#pragma once
// CSystemFolderChoice: which system folder a face (kvl_motor, kvlctl) opens and where its trace
// and communication logs go.
// - A folder given by the user (--system DIR) is used as it is.
// - The shipped system folder is "system" beside the program in a build tree, and
//   <program folder>/../share/kvl_motor/system when installed. A build tree's folder that the
//   user may write is used as it is, as always: settings are kept beside the program and the
//   logs go where they always went.
// - Otherwise (installed, or a folder the user may not write) each user works on a copy of their
//   own, <data home>/kvl_motor/system, made from the shipped one on the first start and brought up
//   to a newer shipped one on each start (CSystemFolderUpgrade); the logs then go to
//   <data home>/kvl_motor/log. The data home is $XDG_DATA_HOME, by default ~/.local/share.
// Choose() only decides, from inputs a test can set (the writability check among them); Prepare()
// also makes the user's copy and log folder. Called once at start-up; no state.
#include <functional>
#include <string>

namespace kvl {

class CSystemFolderChoice {
public:
    // The folder under the data home (and under share/ when installed).
    static constexpr char kDataFolderName[] = "kvl_motor";

    struct Inputs {
        std::string given;           // --system DIR; not empty: used as it is
        std::string programFolder;   // the folder of the running executable
        std::string dataHome;        // the user's data home; empty: none known
        // Whether the user may write into a folder; empty: the process' own access rights.
        std::function<bool(const std::string &folder)> writable;
    };

    struct Choice {
        std::string shippedFolder;   // the shipped system folder (the source of a user's copy)
        std::string systemFolder;    // the folder the settings are opened in
        // Per-user only: the folder whose "log" subfolder takes the trace and communication
        // logs; empty: the face's own default.
        std::string logFolder;
        bool perUser = false;
        // The folder whose "log" subfolder takes the daily log (CEventLog), written by default:
        // the per-user folder, else the program folder of a build tree the user may write, else
        // <data home>/kvl_motor; empty when none is known.
        std::string dailyLogFolder;
    };

    // The folder holding the shipped "system" folder and help.html: the program folder in a build
    // tree, <program folder>/../share/kvl_motor when installed (the build tree wins when both).
    static std::string ShippedDataFolder(const std::string &programFolder);
    // $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share, else the password
    // database's home of the user followed by /.local/share; empty when none is known.
    static std::string UserDataHome();
    // Inputs of the running process: no folder given, this executable, this user.
    static Inputs ProcessInputs(const std::string &given);

    static Choice Choose(const Inputs &inputs);
    // Choose(), then for a per-user choice make or bring up to date the user's copy and make the
    // log folder. When the copy cannot be made, `error` says why and the shipped folder is used
    // as it is (read only), so the program still starts.
    static Choice Prepare(const Inputs &inputs, std::string &error);

private:
    // Choose() without the daily log's folder.
    static Choice ChooseFolders(const Inputs &inputs);
};

} // namespace kvl
