#pragma once
// Invariant checks of the fuzz targets. A violated invariant is a finding
// like a crash: the check prints what failed and aborts, and libFuzzer saves
// the input as a reproducer.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

[[noreturn]] inline void FuzzFail(const char* file, int line, const char* condition, const char* what)
{
    std::fprintf(stderr, "%s:%d: invariant violated: %s\n    %s\n", file, line, what, condition);
    std::abort();
}

#define FUZZ_CHECK(condition, what)                                                                                    \
    ((condition) ? static_cast<void>(0) : FuzzFail(__FILE__, __LINE__, #condition, what))

/// True when `b` lies within `halfStep` of `a`, widened by a few units in the
/// last place of the larger magnitude: the error of one decimal rounding to a
/// step of 2 x halfStep followed by one correctly rounded conversion back to
/// binary.
inline bool WithinRounding(double a, double b, double halfStep)
{
    const double magnitude = std::fmax(std::fabs(a), std::fabs(b));
    const double ulp = std::nextafter(magnitude, std::numeric_limits<double>::infinity()) - magnitude;
    return std::fabs(a - b) <= halfStep * (1.0 + 1e-12) + 4.0 * ulp;
}

/// Bitwise equality of doubles: -0.0 differs from 0.0.
inline bool SameDouble(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}
