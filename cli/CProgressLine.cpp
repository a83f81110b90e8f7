#include "cli/CProgressLine.h"

#include <cstdio>
#include <ostream>
#include <utility>

#include <unistd.h>

namespace kvl::cli {

CProgressLine::CProgressLine(std::ostream &err, bool terminal, std::string label)
    : err_(err), terminal_(terminal), label_(std::move(label))
{
}

CProgressLine::~CProgressLine() { Done(); }

void CProgressLine::Count(int done, int total)
{
    Show(label_ + " " + std::to_string(done) + " of " + std::to_string(total));
}

void CProgressLine::Bytes(long long count)
{
    if (bytesShown_ >= 0 && count < bytesShown_ + kBytesStep)
        return;
    bytesShown_ = count;
    Show(label_ + ": " + std::to_string(count) + " bytes");
}

void CProgressLine::Timed(long long count, const std::string &unit, double seconds, double totalSeconds)
{
    char times[64];
    std::snprintf(times, sizeof times, "%.1f of %.1f s", seconds, totalSeconds);
    Show(label_ + ": " + std::to_string(count) + ' ' + unit + ", " + times);
}

void CProgressLine::Show(const std::string &text)
{
    if (!terminal_)
        return;
    // Spaces cover the rest of a longer line shown before.
    const size_t cover = shownLength_ > text.size() ? shownLength_ - text.size() : 0;
    err_ << '\r' << text << std::string(cover, ' ') << std::flush;
    shownLength_ = text.size();
}

void CProgressLine::Done()
{
    if (!terminal_ || shownLength_ == 0)
        return;
    err_ << '\r' << std::string(shownLength_, ' ') << '\r' << std::flush;
    shownLength_ = 0;
}

bool CProgressLine::IsTerminal(int fd) { return ::isatty(fd) == 1; }

} // namespace kvl::cli
