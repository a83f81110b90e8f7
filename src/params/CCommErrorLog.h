#pragma once
// CCommErrorLog: the communication log of the parameter list's bulk read. Every failed exchange
// appends one line naming the result code to <folder>/log/YYYYMMDD.log, the same daily file the
// trace log uses. The file is opened for appending and created when missing; the log folder is
// never created, and when the file cannot be opened nothing is written. Owned by the read
// procedure for its run; one thread.
#include <functional>
#include <string>

#include "params/ParamTypes.h"

namespace kvl::params {

class CCommErrorLog {
public:
    using Clock = std::function<ParamDate()>;

    // `folder` is the program folder; an empty clock uses the local date.
    explicit CCommErrorLog(std::string folder, Clock clock = {});

    // "The last packet included an error(CODE : -202)!! " followed by two line feeds.
    static std::string LineFor(int code);
    // <folder>/log/YYYYMMDD.log for today's date.
    std::string FilePath() const;
    // False when the file could not be opened or written.
    bool Append(int code) const;

private:
    std::string m_folder;
    Clock m_clock;
};

} // namespace kvl::params
