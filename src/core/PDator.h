#pragma once
#include <cstdint>
#include <string>

#include "core/PMMObject.h"

// Binds one program variable to the text of its setting. Numbers are read like a stream
// extraction (leading blanks skipped, reading stops at the first character that does not belong
// to the number, so "0.5" read as an int gives 0) and written like a stream insertion (an int in
// decimal, a float with at most six significant digits: 0.5, 1, 0.05). Neither depends on the
// locale. Text that holds no number leaves the variable unchanged.
class CPDator : public IPMMObject {
public:
    std::string GetClassName() const override { return "CPDator"; }

    // variable = the number read from text.
    virtual void Set(const std::string& text) = 0;
    // variable = variable + the number read from text.
    virtual void Add(const std::string& text) = 0;
    // variable = variable - the number read from text.
    virtual void Subtract(const std::string& text) = 0;
    // True when ToString equals text byte for byte.
    virtual bool Equals(const std::string& text) const { return ToString() == text; }
    virtual bool NotEquals(const std::string& text) const { return !Equals(text); }
    virtual bool IsList() const { return false; }
    // The variable as text.
    virtual std::string ToString() const = 0;
    // The variable's value.
    virtual double Number() const = 0;
};

// The binding of an int32 variable.
class CPIntDator : public CPDator {
public:
    explicit CPIntDator(int32_t* variable) : m_variable(variable) {}
    int32_t GetSize() const override { return sizeof(CPIntDator); }
    void Set(const std::string& text) override;
    void Add(const std::string& text) override;
    void Subtract(const std::string& text) override;
    std::string ToString() const override;
    double Number() const override { return *m_variable; }

private:
    int32_t* m_variable;
};

// The binding of a float variable.
class CPFloatDator : public CPDator {
public:
    explicit CPFloatDator(float* variable) : m_variable(variable) {}
    int32_t GetSize() const override { return sizeof(CPFloatDator); }
    void Set(const std::string& text) override;
    void Add(const std::string& text) override;
    void Subtract(const std::string& text) override;
    std::string ToString() const override;
    double Number() const override { return *m_variable; }

private:
    float* m_variable;
};
