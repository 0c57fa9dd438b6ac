#pragma once
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// The fields of one line of a text data file.

// The fields of text split at the delimiter as CPTokenizer splits them with quotes on (trimmed,
// double quotes grouping, an empty field between two delimiters, none after a final one). At
// most limit + 1 fields are taken, enough for a reader to tell that a line holds too many.
std::vector<std::string> SplitFields(std::string_view text, std::string_view delimiter,
                                     size_t limit = std::numeric_limits<size_t>::max() - 1);
// The same into fields, replacing what they held: their strings are written over in place, so
// splitting into the same vector again and again allocates only for longer fields or more of them.
void SplitFieldsInto(std::string_view text, std::string_view delimiter, std::vector<std::string>& fields,
                     size_t limit = std::numeric_limits<size_t>::max() - 1);

// The field of that index, or "" for one the line does not have.
const std::string& FieldAt(const std::vector<std::string>& fields, size_t index);
