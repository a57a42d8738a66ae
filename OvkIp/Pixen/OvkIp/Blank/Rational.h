// Exact fractions used by the blank-page verdict. Comparisons cross-multiply in 64 bits, so
// no rounding ever decides whether a page is blank.
#pragma once

#include <cstdint>

struct tagLONGRAT {
    int32_t numerator;
    int32_t denominator;
};

struct tagSHORTRAT {
    int16_t numerator;
    int16_t denominator;
};

namespace OvkRational {
template <typename R> constexpr int64_t num(const R& r) {
    return r.numerator;
}
template <typename R> constexpr int64_t den(const R& r) {
    return r.denominator;
}
// <0, 0, >0 as a/b is below, equal to or above c/d; denominators are positive.
template <typename A, typename B> constexpr int compare(const A& a, const B& b) {
    const int64_t left = num(a) * den(b);
    const int64_t right = num(b) * den(a);
    return left < right ? -1 : (left > right ? 1 : 0);
}
template <typename T>
concept Rational = requires(T r) {
    r.numerator;
    r.denominator;
}
&&(sizeof(T) == sizeof(tagLONGRAT) || sizeof(T) == sizeof(tagSHORTRAT));
} // namespace OvkRational

template <OvkRational::Rational A, OvkRational::Rational B> constexpr bool operator<(const A& a, const B& b) {
    return OvkRational::compare(a, b) < 0;
}
template <OvkRational::Rational A, OvkRational::Rational B> constexpr bool operator>(const A& a, const B& b) {
    return OvkRational::compare(a, b) > 0;
}
template <OvkRational::Rational A, OvkRational::Rational B>
constexpr bool operator==(const A& a, const B& b) {
    return OvkRational::compare(a, b) == 0;
}
template <OvkRational::Rational A, OvkRational::Rational B>
constexpr bool operator!=(const A& a, const B& b) {
    return OvkRational::compare(a, b) != 0;
}
template <OvkRational::Rational A, OvkRational::Rational B>
constexpr bool operator<=(const A& a, const B& b) {
    return OvkRational::compare(a, b) <= 0;
}
template <OvkRational::Rational A, OvkRational::Rational B>
constexpr bool operator>=(const A& a, const B& b) {
    return OvkRational::compare(a, b) >= 0;
}

tagLONGRAT ToLONGRAT(tagSHORTRAT r);
// Halves both parts until they fit 15 bits, so large page counts keep their ratio.
tagSHORTRAT ToSHORTRAT(tagLONGRAT r);
