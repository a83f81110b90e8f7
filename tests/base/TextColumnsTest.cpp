// The columns a text takes in a fixed-pitch font, as the printouts pad by them.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/TextColumns.h"

namespace kvl {
namespace {

TEST(TextColumns, WideCharactersTakeTwoColumns)
{
    const std::pair<std::string, std::size_t> cases[] = {
        {"", 0},          {"ABS", 3},      {"直線", 4},        {"减速 mode", 9}, {"ｱｲｳ", 3},
        {"ＡＢ", 4},      {"é", 1},        {"\xff", 1},         {"\xe7\x9b", 2},  {"𠀋", 2},
    };
    for (const auto &[text, columns] : cases)
        EXPECT_EQ(TextColumns(text), columns) << text;
}

} // namespace
} // namespace kvl
