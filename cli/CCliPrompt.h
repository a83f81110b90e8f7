#pragma once
// CCliPrompt: the one place where kvlctl asks the user a yes/no question. With --yes every
// question is answered yes without being shown; on a terminal the question waits for y or n;
// without a terminal nobody can answer, so the question is refused with a line that names --yes.
// The input stream and whether it is a terminal are given by the caller, so tests answer for the
// user. Main thread only.
#include <iosfwd>
#include <string>

namespace kvl::cli {

class CCliPrompt {
public:
    enum class Answer {
        kYes,
        kNo,
        kNoTerminal,   // refused: nobody to ask (the refusal line was printed)
    };

    // Questions and refusals go to `err`, answers come from `in`.
    CCliPrompt(std::istream &in, bool inputIsTerminal, std::ostream &err, bool assumeYes);

    // Whether the process' standard input is a terminal.
    static bool StandardInputIsTerminal();

    // Asks "kvlctl: <subject>: <question> [y/n] " and waits for yes or no; other answers ask
    // again, the end of the input counts as no.
    Answer Ask(const std::string &subject, const std::string &question);
    // Ask, as a plain yes.
    bool Confirm(const std::string &subject, const std::string &question)
    {
        return Ask(subject, question) == Answer::kYes;
    }

private:
    std::istream &m_in;
    bool m_terminal;
    std::ostream &m_err;
    bool m_assumeYes;
};

} // namespace kvl::cli
