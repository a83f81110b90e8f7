#pragma once
// CFileReplace: writes a whole file so that a failure part-way (a crash, a full disk) never
// destroys the previous one: the bytes go to a temporary file beside the target, which is synced
// and then renamed over it. Every file the tool saves (settings, parameter files, point tables,
// waveforms) goes through here. A save removes the temporary files that interrupted saves of the
// same target left behind. Stateless; any thread, one target at a time.
#include <string>
#include <string_view>

namespace kvl {

class CFileReplace {
public:
    // Writes `bytes` as the whole content of `path`. A link is followed, so the file it names is
    // replaced and the link stays. The new file keeps the old one's permissions; a new file gets
    // 0666 less the umask. False, with the old file as it was and no temporary file left, when the
    // target is a folder, an existing target cannot be written, or any step fails.
    static bool Write(const std::string &path, std::string_view bytes);

    // Why this thread's last Write that failed did so: the system's error number of the step that
    // failed, and whether the file itself refused (an existing file that may not be written, a
    // folder in its place) rather than its folder or the disk. CSaveFailure puts it in words.
    struct Failure {
        int error = 0;
        bool target = false;
    };
    static Failure LastFailure();
};

} // namespace kvl
