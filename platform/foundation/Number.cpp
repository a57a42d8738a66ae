// Range-checked conversions between the widths a Number can hold.
#include "Number.h"

#include <cmath>
#include <limits>

namespace fnd {
namespace {

template <typename T> std::optional<T> narrow(std::optional<std::int64_t> v) {
    if (!v || *v < std::numeric_limits<T>::min() || *v > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(*v);
}

template <typename T> std::optional<T> narrowUnsigned(std::optional<std::uint64_t> v) {
    if (!v || *v > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(*v);
}

// 2^63 as a double: the first value that no longer fits a signed 64-bit integer.
constexpr double kTwo63 = 9223372036854775808.0;

} // namespace

bool Number::toBool() const {
    if (isReal())
        return d_ != 0.0;
    return isSigned() ? i_ != 0 : u_ != 0;
}

std::optional<std::int64_t> Number::toInt64() const {
    if (isSigned())
        return i_;
    if (isReal()) {
        if (std::trunc(d_) != d_ || d_ < -kTwo63 || d_ >= kTwo63)
            return std::nullopt;
        return static_cast<std::int64_t>(d_);
    }
    if (u_ > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    return static_cast<std::int64_t>(u_);
}

std::optional<std::uint64_t> Number::toUInt64() const {
    if (isSigned())
        return i_ < 0 ? std::nullopt : std::optional<std::uint64_t>(static_cast<std::uint64_t>(i_));
    if (isReal()) {
        if (std::trunc(d_) != d_ || d_ < 0.0 || d_ >= 2.0 * kTwo63)
            return std::nullopt;
        return static_cast<std::uint64_t>(d_);
    }
    return u_;
}

std::optional<std::int32_t> Number::toInt32() const {
    return narrow<std::int32_t>(toInt64());
}
std::optional<std::int16_t> Number::toInt16() const {
    return narrow<std::int16_t>(toInt64());
}
std::optional<std::uint32_t> Number::toUInt32() const {
    return narrowUnsigned<std::uint32_t>(toUInt64());
}
std::optional<std::uint16_t> Number::toUInt16() const {
    return narrowUnsigned<std::uint16_t>(toUInt64());
}

double Number::toDouble() const {
    if (isReal())
        return d_;
    return isSigned() ? static_cast<double>(i_) : static_cast<double>(u_);
}

bool operator==(const Number& a, const Number& b) {
    if (a.isBool() || b.isBool())
        return a.isBool() && b.isBool() && a.u_ == b.u_;
    if (a.isReal() || b.isReal())
        return a.toDouble() == b.toDouble();
    if (a.isSigned() && b.isSigned())
        return a.i_ == b.i_;
    if (a.isUnsigned() && b.isUnsigned())
        return a.u_ == b.u_;
    const Number& s = a.isSigned() ? a : b;
    const Number& u = a.isSigned() ? b : a;
    return s.i_ >= 0 && static_cast<std::uint64_t>(s.i_) == u.u_;
}

} // namespace fnd
