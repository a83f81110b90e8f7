#include "cli/CCliPrompt.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>

namespace kvl::cli {
namespace {

std::string Folded(std::string text)
{
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

CCliPrompt::CCliPrompt(std::istream &in, bool inputIsTerminal, std::ostream &err, bool assumeYes)
    : m_in(in), m_terminal(inputIsTerminal), m_err(err), m_assumeYes(assumeYes)
{
}

bool CCliPrompt::StandardInputIsTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

CCliPrompt::Answer CCliPrompt::Ask(const std::string &subject, const std::string &question)
{
    if (m_assumeYes)
        return Answer::kYes;
    const std::string line = "kvlctl: " + subject + ": " + question;
    if (!m_terminal) {
        m_err << line << "\nkvlctl: " << subject
              << ": nothing changed: no terminal to answer on (add --yes to answer yes)\n";
        return Answer::kNoTerminal;
    }
    std::string answer;
    for (;;) {
        m_err << line << " [y/n] " << std::flush;
        if (!std::getline(m_in, answer)) {
            m_err << '\n';
            return Answer::kNo;
        }
        const std::string word = Folded(answer);
        if (word == "y" || word == "yes")
            return Answer::kYes;
        if (word == "n" || word == "no")
            return Answer::kNo;
    }
}

} // namespace kvl::cli
