#pragma once
#include <cmath>
#include <sstream>

#include <gtest/gtest.h>

#include "math/PMath.h"

// Component-wise comparisons with a tolerance, reporting both values on failure.

inline constexpr float kTolerance = 1e-5f;

inline std::ostream& operator<<(std::ostream& out, const PVector3& v)
{
    return out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

inline std::ostream& operator<<(std::ostream& out, const PVector4& v)
{
    return out << "(" << v.x << ", " << v.y << ", " << v.z << ", " << v.w << ")";
}

inline std::ostream& operator<<(std::ostream& out, const PQuaternion& q)
{
    return out << "(" << q.x << ", " << q.y << ", " << q.z << ", " << q.w << ")";
}

inline std::ostream& operator<<(std::ostream& out, const PMatrix& m)
{
    for (const auto& row : m.m) {
        out << "\n  [" << row[0] << ", " << row[1] << ", " << row[2] << ", " << row[3] << "]";
    }
    return out;
}

template <typename T>
::testing::AssertionResult NearlyEqual(const float* a, const float* b, int count, const T& va, const T& vb, float tol)
{
    for (int i = 0; i < count; ++i) {
        if (!(std::fabs(a[i] - b[i]) <= tol)) {
            return ::testing::AssertionFailure() << va << " differs from " << vb << " at component " << i;
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult Near(const PVector3& a, const PVector3& b, float tol = kTolerance)
{
    return NearlyEqual(&a.x, &b.x, 3, a, b, tol);
}

inline ::testing::AssertionResult Near(const PVector4& a, const PVector4& b, float tol = kTolerance)
{
    return NearlyEqual(&a.x, &b.x, 4, a, b, tol);
}

inline ::testing::AssertionResult Near(const PMatrix& a, const PMatrix& b, float tol = kTolerance)
{
    return NearlyEqual(&a.m[0][0], &b.m[0][0], 16, a, b, tol);
}

inline ::testing::AssertionResult Near(const PQuaternion& a, const PQuaternion& b, float tol = kTolerance)
{
    return NearlyEqual(&a.x, &b.x, 4, a, b, tol);
}

// q and −q are the same rotation.
inline ::testing::AssertionResult SameRotation(const PQuaternion& a, const PQuaternion& b, float tol = kTolerance)
{
    const PQuaternion negB{-b.x, -b.y, -b.z, -b.w};
    if (Near(a, b, tol) || Near(a, negB, tol)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << a << " is not the rotation " << b;
}

inline float Degrees(float degrees) { return degrees * kPi / 180.0f; }
