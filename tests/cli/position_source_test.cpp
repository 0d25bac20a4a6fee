#include "cli/position_source.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace fifteen::cli {
namespace {

std::vector<PositionInput> readAll(const std::string& text, const std::string& name) {
    std::istringstream in(text);
    LineSource source(in, name);
    std::vector<PositionInput> inputs;
    PositionInput input;
    while (source.next(input)) inputs.push_back(input);
    return inputs;
}

TEST(LineSourceTest, SkipsBlankAndCommentLinesButCountsThem) {
    const auto inputs = readAll(
        "# header\n"
        "\n"
        "first\n"
        "   \t\n"
        "  # indented comment\n"
        "second line\r\n"
        "\r\n"
        "third",
        "games.txt");
    ASSERT_EQ(inputs.size(), 3u);
    EXPECT_EQ(inputs[0].origin, "games.txt:3");
    EXPECT_EQ(inputs[0].text, "first");
    EXPECT_EQ(inputs[1].origin, "games.txt:6");
    EXPECT_EQ(inputs[1].text, "second line\r");
    EXPECT_EQ(inputs[2].origin, "games.txt:8");
    EXPECT_EQ(inputs[2].text, "third");
}

TEST(LineSourceTest, AHashAfterTheStartIsPartOfThePosition) {
    const auto inputs = readAll("1 2 # not a comment\n", "stdin");
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].text, "1 2 # not a comment");
    EXPECT_EQ(inputs[0].origin, "stdin:1");
}

TEST(LineSourceTest, EmptyStreamGivesNothing) {
    EXPECT_TRUE(readAll("", "stdin").empty());
    EXPECT_TRUE(readAll("\n\n#\n", "stdin").empty());
}

TEST(LineSourceTest, SkippedLines) {
    EXPECT_TRUE(isSkippedLine(""));
    EXPECT_TRUE(isSkippedLine(" \t\r"));
    EXPECT_TRUE(isSkippedLine("#"));
    EXPECT_TRUE(isSkippedLine("\t# x"));
    EXPECT_FALSE(isSkippedLine("0"));
    EXPECT_FALSE(isSkippedLine(" x #"));
}

}  // namespace
}  // namespace fifteen::cli
