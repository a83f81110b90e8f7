#include <gtest/gtest.h>

#include "base/CCellInputRules.h"

namespace kvl {
namespace {

TEST(CellInputRules, TakesTheCharactersOfItsRule)
{
    struct Case {
        char32_t c;
        const char *accepted;
        bool freeText;
        bool taken;
    };
    const Case cases[] = {
        // A space is never taken, not even by a free-text edit.
        {U' ', "", false, false},
        {U' ', " 0123", false, false},
        {U' ', "", true, false},
        // Free text: everything else, whatever the accepted list says.
        {U'#', "0123456789", true, true},
        {U'\u3042', "", true, true},
        // A non-empty list: exactly its characters.
        {U'5', "0123456789", false, true},
        {U'.', "0123456789", false, false},
        {U'S', ".0123456789ST", false, true},
        {U's', ".0123456789ST", false, false},
        {U'-', "+-.0123456789", false, true},
        {U'\u3042', "0123456789", false, false},
        // An empty list: digits, ASCII letters, "+", "-" and ".".
        {U'7', "", false, true},
        {U'q', "", false, true},
        {U'Z', "", false, true},
        {U'+', "", false, true},
        {U'.', "", false, true},
        {U'_', "", false, false},
        {U'/', "", false, false},
        {U'\u00e9', "", false, false},
        // Control characters are keys, not typed characters.
        {U'\t', "", true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "char " << static_cast<unsigned>(c.c) << " list '" << c.accepted << "'");
        EXPECT_EQ(CCellInputRules::TakesChar(c.c, c.accepted, c.freeText), c.taken);
    }
}

TEST(CellInputRules, UpAndDownWrapAroundTheList)
{
    struct Case {
        int index;
        int count;
        bool up;
        int expected;
    };
    const Case cases[] = {
        {0, 5, true, 4},  {4, 5, false, 0}, {2, 5, true, 1}, {2, 5, false, 3},
        {0, 1, true, 0},  {0, 1, false, 0}, {-1, 3, false, 0}, {-1, 3, true, 2},
        {0, 0, true, -1}, {0, 0, false, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << " of " << c.count << (c.up ? " up" : " down"));
        EXPECT_EQ(CCellInputRules::WrappedChoice(c.index, c.count, c.up), c.expected);
    }
}

TEST(CellInputRules, TypedCharacterSelectsTheFirstEntryBeginningWithItsCapital)
{
    const std::vector<std::string> choices = {"ABS", "INC", "Intermediate", "0", "iota"};
    EXPECT_EQ(CCellInputRules::ChoiceStartingWith(choices, U'i'), 1);
    EXPECT_EQ(CCellInputRules::ChoiceStartingWith(choices, U'I'), 1);
    EXPECT_EQ(CCellInputRules::ChoiceStartingWith(choices, U'a'), 0);
    EXPECT_EQ(CCellInputRules::ChoiceStartingWith(choices, U'0'), 3);
    EXPECT_EQ(CCellInputRules::ChoiceStartingWith(choices, U'x'), -1);
    EXPECT_EQ(CCellInputRules::ChoiceStartingWith({"\xe7\x9b\xb8\xe5\xaf\xbe"}, U'\u76f8'), -1);
    EXPECT_EQ(CCellInputRules::ChoiceStartingWith({}, U'a'), -1);
}

} // namespace
} // namespace kvl
