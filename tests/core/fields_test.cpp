// Splitting a data line into fields and taking a field by index.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/Fields.h"

namespace {

using Fields = std::vector<std::string>;

TEST(Fields, SplitFieldsTakesAtMostOneFieldBeyondTheLimit)
{
    constexpr size_t kAll = std::numeric_limits<size_t>::max() - 1;
    const struct {
        const char* text;
        const char* delimiter;
        size_t limit;
        Fields expected;
    } cases[] = {
        {"a;b;c;d", ";", kAll, {"a", "b", "c", "d"}},
        {"a;b;c;d", ";", 2, {"a", "b", "c"}},  // enough to tell that the line holds too many
        {"a;b", ";", 2, {"a", "b"}},
        {"a;b;c", ";", 0, {"a"}},
        {" x ; \"y;z\" ;;", ";", kAll, {"x", "y;z", ""}},  // trimmed, quoted, empty, none after the last
        {"name one two", " ", kAll, {"name", "one", "two"}},
        {"", ";", kAll, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " limit " + std::to_string(c.limit));
        EXPECT_EQ(SplitFields(c.text, c.delimiter, c.limit), c.expected);
    }
    EXPECT_EQ(SplitFields("1,2,3", ","), (Fields{"1", "2", "3"}));
}

TEST(Fields, AFieldTheLineDoesNotHaveIsEmpty)
{
    const Fields fields{"a", "", "c"};
    EXPECT_EQ(FieldAt(fields, 0), "a");
    EXPECT_EQ(FieldAt(fields, 1), "");
    EXPECT_EQ(FieldAt(fields, 2), "c");
    EXPECT_EQ(FieldAt(fields, 3), "");
    EXPECT_EQ(FieldAt({}, 0), "");
    EXPECT_EQ(FieldAt(fields, std::numeric_limits<size_t>::max()), "");
}

}  // namespace
