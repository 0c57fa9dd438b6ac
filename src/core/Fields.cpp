#include "core/Fields.h"

#include "core/PTokenizer.h"

std::vector<std::string> SplitFields(std::string_view text, std::string_view delimiter, size_t limit)
{
    std::vector<std::string> fields;
    SplitFieldsInto(text, delimiter, fields, limit);
    return fields;
}

void SplitFieldsInto(std::string_view text, std::string_view delimiter, std::vector<std::string>& fields, size_t limit)
{
    CPTokenizerView tokenizer(text, delimiter, true);
    size_t count = 0;
    while (count <= limit) {
        if (count == fields.size()) fields.emplace_back();
        if (!tokenizer.NextToken(fields[count])) break;
        ++count;
    }
    fields.resize(count);
}

const std::string& FieldAt(const std::vector<std::string>& fields, size_t index)
{
    static const std::string kMissing;
    return index < fields.size() ? fields[index] : kMissing;
}
