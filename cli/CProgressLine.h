#pragma once
// CProgressLine: one line of progress on standard error while a long transfer runs ("writing
// steps 12 of 40", "reading the point table: 2346 bytes"), rewritten in place with a carriage
// return and wiped when the transfer ends. It prints only when standard error is a terminal: a
// log file or a pipe gets no progress at all. Whether it is one is the caller's to say (the CLI
// asks the system once; tests say so themselves). Main thread only.
#include <iosfwd>
#include <string>

namespace kvl::cli {

class CProgressLine {
public:
    static constexpr long long kBytesStep = 128;

    // `label` begins every line; nothing is printed unless `terminal` is true.
    CProgressLine(std::ostream &err, bool terminal, std::string label);
    ~CProgressLine();
    CProgressLine(const CProgressLine &) = delete;
    CProgressLine &operator=(const CProgressLine &) = delete;

    // "label n of N".
    void Count(int done, int total);
    // "label: n bytes", repainted when another kBytesStep bytes have come (bytes come one by
    // one on a slow line; a repaint for each would flood the terminal).
    void Bytes(long long count);
    // "label: n unit, t of T s" (times with one decimal).
    void Timed(long long count, const std::string &unit, double seconds, double totalSeconds);
    // Wipes the line, so that what follows starts on a clean line. Called by the destructor too.
    void Done();

    // True when the stream of the file descriptor is a terminal.
    static bool IsTerminal(int fd);

private:
    void Show(const std::string &text);

    std::ostream &m_err;
    bool m_terminal;
    std::string m_label;
    size_t m_shownLength = 0;   // characters on the line now; 0: nothing shown
    long long m_bytesShown = -1;
};

} // namespace kvl::cli
