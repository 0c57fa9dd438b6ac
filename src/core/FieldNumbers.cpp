#include "core/FieldNumbers.h"

#include "core/TextHelpers.h"

float CPFieldNumbers::Float(size_t index) {
    float value = 0.0f;
    if (index < m_fields.size() && !FiniteAtoF(m_fields[index], value)) m_allFinite = false;
    return value;
}

PVector3 CPFieldNumbers::Vector(size_t first) {
    const float x = Float(first);
    const float y = Float(first + 1);
    const float z = Float(first + 2);
    return {x, y, z};
}
