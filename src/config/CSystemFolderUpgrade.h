#pragma once
// CSystemFolderUpgrade: makes and keeps up to date a user's own copy of the shipped system folder.
// The first run copies the shipped folder file by file; a later run (after a newer program was
// installed) copies the files the user's copy lacks and adds to each INI file of the copy the
// sections and keys it lacks, with the shipped bytes (CIniEx::AddMissing). What the user's copy
// holds already (port, speed, parameter values, any edited text) is never changed and no file is
// re-encoded: an INI file is rewritten, through CIniEx's safe replace, only when keys were added.
// Stateless; called once at start-up by each face, before the settings are opened.
#include <string>

namespace kvl {

class CSystemFolderUpgrade {
public:
    struct Report {
        int filesCopied = 0;          // files the user's copy did not have
        int filesMerged = 0;          // INI files of the copy that got keys
        int keysAdded = 0;
        std::string error;            // the first problem met; the other files are still done
    };

    // Brings `user` up to `shipped` (creating it when missing). False when `shipped` is not a
    // folder or a file or folder of the copy could not be made or written (see report.error).
    static bool Run(const std::string &shipped, const std::string &user, Report &report);

    // The code page a system file is written in, from its name: "..._JP.ini" CP932,
    // "..._CN.ini" CP936, anything else CP1252.
    static int CodePageOfFile(const std::string &fileName);
};

} // namespace kvl
