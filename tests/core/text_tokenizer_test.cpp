#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/PTokenizer.h"

namespace {

std::vector<std::string> Tokens(const std::string& text, const std::string& delimiter, bool quotes)
{
    CPTokenizer tokenizer(text, delimiter, quotes);
    std::vector<std::string> tokens;
    std::string token;
    while (tokenizer.NextToken(token)) tokens.push_back(token);
    EXPECT_EQ(token, "");
    EXPECT_FALSE(tokenizer.NextToken(token)) << "the end stays the end";
    return tokens;
}

struct TokenizerCase {
    const char* name;
    std::string text;
    std::string delimiter;
    bool quotes;
    std::vector<std::string> expected;
};

class TokenizerCases : public ::testing::TestWithParam<TokenizerCase> {};

TEST_P(TokenizerCases, YieldsTheExpectedFields)
{
    const TokenizerCase& c = GetParam();
    EXPECT_EQ(Tokens(c.text, c.delimiter, c.quotes), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tokenizer, TokenizerCases,
    ::testing::Values(
        TokenizerCase{"FieldsTrimmed", "  a , b ,c  ", ",", false, {"a", "b", "c"}},
        TokenizerCase{"EmptyFieldBetweenDelimiters", "a,,b", ",", false, {"a", "", "b"}},
        TokenizerCase{"SingleBlankFieldKept", "a, ,b", ",", false, {"a", " ", "b"}},
        TokenizerCase{"TwoBlanksFieldIsEmpty", "a,  ,b", ",", false, {"a", "", "b"}},
        TokenizerCase{"LeadingDelimiterGivesEmptyField", ",a", ",", false, {"", "a"}},
        TokenizerCase{"TrailingDelimiterGivesNoField", "a,b,", ",", false, {"a", "b"}},
        TokenizerCase{"TrailingDelimiterAfterBlanks", "a,b,   ", ",", false, {"a", "b"}},
        TokenizerCase{"EmptyText", "", ",", false, {}},
        TokenizerCase{"BlanksOnly", " \t ", ",", false, {}},
        TokenizerCase{"NoDelimiter", "single", ";", false, {"single"}},
        TokenizerCase{"BlankDelimiterRepeated", "a  b", " ", false, {"a", "", "b"}},
        TokenizerCase{"TabInsideFieldKept", "a b\tc", " ", false, {"a", "b\tc"}},
        TokenizerCase{"OtherDelimiters", "key=value~x", "=", false, {"key", "value~x"}},
        TokenizerCase{"QuotesGroupDelimiters", "\"a,b\", c", ",", true, {"a,b", "c"}},
        TokenizerCase{"QuotesOffKeepQuoteCharacters", "\"a,b\",c", ",", false, {"\"a", "b\"", "c"}},
        TokenizerCase{"DoubledQuoteInsideQuotes", "\"say \"\"hi\"\"\",x", ",", true, {"say \"hi\"", "x"}},
        TokenizerCase{"QuotedBlankSurvives", "\" \",x", ",", true, {" ", "x"}},
        TokenizerCase{"QuotedBlanksAroundAreTrimmed", "\"  a  \"", ",", true, {"a"}},
        TokenizerCase{"QuotesInsideAField", "ab\"c,d\"e,f", ",", true, {"abc,de", "f"}},
        TokenizerCase{"UnclosedQuoteRunsToTheEnd", "\"a,b", ",", true, {"a,b"}},
        TokenizerCase{"EmptyQuotesGiveEmptyField", "\"\",x", ",", true, {"", "x"}},
        TokenizerCase{"TwoCharacterDelimiter", "1ab2", "ab", false, {"1", "2"}},
        TokenizerCase{"PartialDelimiterMatchKept", "1a2ab3", "ab", false, {"1a2", "3"}},
        TokenizerCase{"PartialMatchThenFullMatch", "1aab2", "ab", false, {"1a", "2"}},
        TokenizerCase{"PartialMatchAtTheEnd", "1a", "ab", false, {"1a"}},
        TokenizerCase{"MatchStartingInsideAPartialMatch", "1aaab2", "aab", false, {"1a", "2"}},
        TokenizerCase{"RepeatedPrefixBeforeTheMatch", "xababcy", "abc", false, {"xab", "y"}}),
    [](const ::testing::TestParamInfo<TokenizerCase>& info) { return std::string(info.param.name); });

TEST(Tokenizer, TheTextIsCopied)
{
    std::string text = "a,b";
    CPTokenizer tokenizer(text, ",");
    text = "changed";
    std::string token;
    ASSERT_TRUE(tokenizer.NextToken(token));
    EXPECT_EQ(token, "a");
}

}  // namespace
