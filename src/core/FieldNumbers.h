#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "math/PVector3.h"

// Reads the numbers of one line of a text data file, field by field, as AtoF does (a missing
// field or one that holds no number reads as 0), and remembers whether each was finite. A line
// with a number that is not finite ("inf", "nan", beyond the float range) is left out by its
// reader, so no later arithmetic sees such a value.
class CPFieldNumbers {
public:
    explicit CPFieldNumbers(const std::vector<std::string>& fields) : m_fields(fields) {}

    // The number of the field; 0 for one that is not finite, which marks the line.
    float Float(size_t index);
    // Three numbers from the field first on.
    PVector3 Vector(size_t first);
    // False once a field read was not a finite number.
    bool AllFinite() const { return m_allFinite; }

private:
    const std::vector<std::string>& m_fields;
    bool m_allFinite = true;
};
