#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/PTextReader.h"

namespace {

// (line, IsPlainLine) for every line the reader hands out.
using Lines = std::vector<std::pair<std::string, int>>;

Lines ReadAll(const std::string& text)
{
    CPTextReader reader(text.data(), static_cast<int32_t>(text.size()));
    Lines lines;
    std::string line;
    while (reader.ReadLine(line)) lines.emplace_back(line, reader.IsPlainLine());
    EXPECT_EQ(line, "");
    EXPECT_FALSE(reader.ReadLine(line)) << "the end stays the end";
    return lines;
}

struct ReaderCase {
    const char* name;
    std::string text;
    Lines expected;
};

class TextReaderCases : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(TextReaderCases, YieldsTheExpectedLines)
{
    EXPECT_EQ(ReadAll(GetParam().text), GetParam().expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    TextReader, TextReaderCases,
    ::testing::Values(
        ReaderCase{"LineWithRemarkDroppedWhole", "width = 5 // remark\nwidth = 6\n", {{"width = 6", 1}}},
        ReaderCase{"RemarkAtLineStart", "// header\nvalue\n", {{"value", 1}}},
        ReaderCase{"BlockCommentDropsAllItsLines",
                   "keep1\ntext /* open\ninside\nmore */ after\nkeep2", {{"keep1", 1}, {"keep2", 1}}},
        ReaderCase{"BlockCommentOnOneLine", "a /* b */ c\nd\n", {{"d", 1}}},
        ReaderCase{"SlashesAndBlockOnOneLineOpenNothing", "x // y /* z\nnext\n", {{"next", 1}}},
        ReaderCase{"StrayBlockEndDropsItsLine", "one\nstray */ two\nthree\n", {{"one", 1}, {"three", 1}}},
        ReaderCase{"CarriageReturnsTrimmed", "alpha\r\nbeta\r\n", {{"alpha", 1}, {"beta", 1}}},
        ReaderCase{"BlanksAndTabsTrimmedEmptyLinesSkipped", "\n  \t a b \t\n\n\r\n  c\n\n", {{"a b", 1}, {"c", 1}}},
        ReaderCase{"SectionHeader", "[Weapons]\nrocket\n", {{"Weapons", 0}, {"rocket", 1}}},
        ReaderCase{"SectionHeaderTrimmedFirst", "  [car] \r\n", {{"car", 0}}},
        ReaderCase{"LoneBracketIsPlain", "[\n[x\nx]\n", {{"[", 1}, {"[x", 1}, {"x]", 1}}},
        ReaderCase{"EmptySectionNameDoesNotEndTheFile", "[]\nafter\n", {{"", 0}, {"after", 1}}},
        ReaderCase{"ZeroByteEndsALine", "first\0second\nthird"s, {{"first", 1}, {"second", 1}, {"third", 1}}},
        ReaderCase{"LastLineWithoutLineFeed", "a\nb", {{"a", 1}, {"b", 1}}},
        ReaderCase{"CommentsOnly", "// a\n/* b\nc */\n", {}},
        ReaderCase{"Empty", "", {}},
        ReaderCase{"BlanksOnly", " \n\t\r\n ", {}}),
    [](const ::testing::TestParamInfo<ReaderCase>& info) { return std::string(info.param.name); });

TEST(TextReader, NullBufferReadsNothing)
{
    CPTextReader reader(nullptr, 10);
    std::string line = "stale";
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
}

TEST(TextReader, EachLineComesWithItsNumberInTheFile)
{
    const std::string text = "// header\nfirst\n\n/* a\nb */\n  second\r\n[s]\nthird";
    CPTextReader reader(text.data(), static_cast<int32_t>(text.size()));
    std::vector<std::pair<std::string, int32_t>> numbered;
    std::string line;
    while (reader.ReadLine(line)) numbered.emplace_back(line, reader.GetLineNumber());
    EXPECT_EQ(numbered, (std::vector<std::pair<std::string, int32_t>>{{"first", 2}, {"second", 6}, {"s", 7}, {"third", 8}}));
}

}  // namespace
