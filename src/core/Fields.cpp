#include "core/Fields.h"

#include "core/PTokenizer.h"

std::vector<std::string> SplitFields(const std::string& text, const std::string& delimiter, size_t limit)
{
    std::vector<std::string> fields;
    CPTokenizer tokenizer(text, delimiter, true);
    std::string field;
    while (fields.size() <= limit && tokenizer.NextToken(field)) fields.push_back(field);
    return fields;
}

const std::string& FieldAt(const std::vector<std::string>& fields, size_t index)
{
    static const std::string kMissing;
    return index < fields.size() ? fields[index] : kMissing;
}
