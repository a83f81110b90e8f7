// The one place kvlctl asks: answers typed on a terminal, no terminal at all, and --yes.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/CCliPrompt.h"

namespace kvl::cli {
namespace {

using Answer = CCliPrompt::Answer;

struct PromptCase {
    const char *name;
    std::string typed;
    bool terminal;
    bool assumeYes;
    Answer answer;
    int questionsShown;     // how often "[y/n]" was printed
    bool namesYesOption;    // the refusal names --yes
    std::string leftUnread; // what the prompt must not have taken from the input
};

TEST(CliPromptTest, AnswersComeFromATerminalOrFromYes)
{
    const PromptCase cases[] = {
        {"y on a terminal", "y\n", true, false, Answer::kYes, 1, false, ""},
        {"yes in capitals, with blanks", "  YES \n", true, false, Answer::kYes, 1, false, ""},
        {"n on a terminal changes nothing", "n\n", true, false, Answer::kNo, 1, false, ""},
        {"no", "no\n", true, false, Answer::kNo, 1, false, ""},
        {"anything else asks again", "maybe\n\ny\n", true, false, Answer::kYes, 3, false, ""},
        {"the end of the input is no", "", true, false, Answer::kNo, 1, false, ""},
        {"only the first answer is taken", "n\ny\n", true, false, Answer::kNo, 1, false, "y"},
        {"no terminal: refused, input left alone", "y\n", false, false, Answer::kNoTerminal, 0, true, "y"},
        {"--yes answers without a terminal", "n\n", false, true, Answer::kYes, 0, false, "n"},
        {"--yes answers on a terminal too", "n\n", true, true, Answer::kYes, 0, false, "n"},
    };
    for (const PromptCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.typed);
        std::ostringstream err;
        CCliPrompt prompt(in, c.terminal, err, c.assumeYes);
        EXPECT_EQ(prompt.Ask("axis 2", "Change it?"), c.answer);
        const std::string shown = err.str();
        int questions = 0;
        for (size_t at = shown.find("kvlctl: axis 2: Change it? [y/n] "); at != std::string::npos;
             at = shown.find("kvlctl: axis 2: Change it? [y/n] ", at + 1))
            ++questions;
        EXPECT_EQ(questions, c.questionsShown) << shown;
        EXPECT_EQ(shown.find("--yes") != std::string::npos, c.namesYesOption) << shown;
        if (c.assumeYes) {
            EXPECT_TRUE(shown.empty()) << shown;
        }
        std::string rest;
        std::getline(in, rest);
        EXPECT_EQ(rest, c.leftUnread);
    }
}

TEST(CliPromptTest, TheRefusalWithoutATerminalNamesTheQuestionAndSaysNothingChanged)
{
    std::istringstream in;
    std::ostringstream err;
    CCliPrompt prompt(in, false, err, false);
    EXPECT_FALSE(prompt.Confirm("axis 2", "Change it?"));
    EXPECT_EQ(err.str(), "kvlctl: axis 2: Change it?\n"
                         "kvlctl: axis 2: nothing changed: no terminal to answer on (add --yes to answer yes)\n");
}

} // namespace
} // namespace kvl::cli
