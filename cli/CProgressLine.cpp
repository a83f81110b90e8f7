#include "cli/CProgressLine.h"

#include <cstdio>
#include <ostream>
#include <utility>

#include <unistd.h>

namespace kvl::cli {

CProgressLine::CProgressLine(std::ostream &err, bool terminal, std::string label)
    : m_err(err), m_terminal(terminal), m_label(std::move(label))
{
}

CProgressLine::~CProgressLine() { Done(); }

void CProgressLine::Count(int done, int total)
{
    Show(m_label + " " + std::to_string(done) + " of " + std::to_string(total));
}

void CProgressLine::Bytes(long long count)
{
    if (m_bytesShown >= 0 && count < m_bytesShown + kBytesStep)
        return;
    m_bytesShown = count;
    Show(m_label + ": " + std::to_string(count) + " bytes");
}

void CProgressLine::Timed(long long count, const std::string &unit, double seconds, double totalSeconds)
{
    char times[64];
    std::snprintf(times, sizeof times, "%.1f of %.1f s", seconds, totalSeconds);
    Show(m_label + ": " + std::to_string(count) + ' ' + unit + ", " + times);
}

void CProgressLine::Show(const std::string &text)
{
    if (!m_terminal)
        return;
    // Spaces cover the rest of a longer line shown before.
    const size_t cover = m_shownLength > text.size() ? m_shownLength - text.size() : 0;
    m_err << '\r' << text << std::string(cover, ' ') << std::flush;
    m_shownLength = text.size();
}

void CProgressLine::Done()
{
    if (!m_terminal || m_shownLength == 0)
        return;
    m_err << '\r' << std::string(m_shownLength, ' ') << '\r' << std::flush;
    m_shownLength = 0;
}

bool CProgressLine::IsTerminal(int fd) { return ::isatty(fd) == 1; }

} // namespace kvl::cli
