#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/Fields.h"

// The common ground of the game's text data files (item tables, texts, shop presets, the player's
// start, the coefficients, the enemy records): whole files read into lines, lines split into
// fields, fields read as numbers. The item tables and the texts are read line by line; every
// other reader first builds its result aside and hands it over only when the whole file was read
// without fault, so a damaged file leaves what stood before.

// The lines of a text file as CPTextReader hands them out (comments removed, trimmed, empty lines
// skipped), in order.
std::vector<std::string> SplitLines(const uint8_t* data, size_t size);

// One line of a text table with its number in the file (from 1), for the log.
struct SPNumberedLine {
    int32_t number = 0;
    std::string text;
};
// The lines as SplitLines gives them, each with its number.
std::vector<SPNumberedLine> SplitNumberedLines(const uint8_t* data, size_t size);

// The longest line of a table read line by line (the item tables, the texts); a longer one is
// left out.
constexpr size_t kLongestTableLine = 4096;

// The whole text as a decimal int32 (an optional sign, then digits, nothing else). False, and
// value untouched, for anything else, including "" and numbers outside the int32 range.
bool ReadIntField(const std::string& text, int32_t& value);
// The whole text as a finite float, with a dot whatever the locale ("2", "-0.5", "1e3", ".5").
// False, and value untouched, for anything else, including "", "inf" and "nan".
bool ReadFloatField(const std::string& text, float& value);

// An item-name field: "none" is the empty slot "", anything else stays as written.
std::string ItemNameField(const std::string& text);

// Takes the fields of one line of a table read line by line, in order, as the C runtime reads
// them: a field the line does not have is "" or 0, a number is the one at the start of its field
// (0 when it starts with none). Remembers the first number that is not finite, which makes the
// line unsafe to keep.
class FieldCursor {
public:
    explicit FieldCursor(std::vector<std::string> fields) : m_fields(std::move(fields)) {}

    void Text(std::string& value);
    void Int(int32_t& value);
    void Float(float& value);
    // "" while every number was finite, else what is wrong, for the log: "field 5 is not a finite number".
    const std::string& GetError() const { return m_error; }

private:
    const std::string& Next();

    std::vector<std::string> m_fields;
    size_t m_next = 0;
    std::string m_error;
};

// The log line of a line left out of a table read line by line.
void ReportRefusedLine(const std::string& path, int32_t lineNumber, const std::string& why);

// How loading one data file went.
enum class DataFileResult { Loaded, Missing, Refused };

// Reads the file (disk, else the data packs; unscrambled when scrambled is set) and hands its
// bytes to parse, a callable (const uint8_t* data, size_t size, std::string& error) -> bool.
// Missing: the file cannot be read (nothing is logged). Refused: parse returned false; the log
// says which file and why.
template <class Parse>
DataFileResult LoadDataFile(const std::string& path, bool scrambled, Parse&& parse);

// The log line of a refused file.
void ReportRefusedFile(const std::string& path, const std::string& error);
// Reads the whole file into bytes; false when neither the disk nor a pack holds it.
bool ReadDataFile(const std::string& path, bool scrambled, std::vector<uint8_t>& bytes);

template <class Parse>
DataFileResult LoadDataFile(const std::string& path, bool scrambled, Parse&& parse)
{
    std::vector<uint8_t> bytes;
    if (!ReadDataFile(path, scrambled, bytes)) return DataFileResult::Missing;
    std::string error;
    if (parse(bytes.data(), bytes.size(), error)) return DataFileResult::Loaded;
    ReportRefusedFile(path, error);
    return DataFileResult::Refused;
}
