// A number that remembers the kind and width it was made with, so that a value read back from a
// record or sent on to TWAIN keeps its exact type; comparisons go by numeric value.
#pragma once

#include "Export.h"

#include <cstdint>
#include <optional>
#include <type_traits>

namespace fnd {

class FND_EXPORT Number {
public:
    enum class Kind : std::uint8_t { Bool, Int16, Int32, Int64, UInt16, UInt32, UInt64, Float, Double };

    Number() : Number(std::int32_t{0}) {}

    // The kind follows the argument's type: bool, then signed or unsigned by width (8-bit types
    // widen to 16), float, double. Characters are not numbers.
    template <typename T>
    requires std::is_arithmetic_v<T> &&(!std::is_same_v<T, char>)explicit Number(T v) {
        if constexpr (std::is_same_v<T, bool>) {
            kind_ = Kind::Bool;
            u_ = v ? 1 : 0;
        } else if constexpr (std::is_floating_point_v<T>) {
            kind_ = sizeof(T) == sizeof(float) ? Kind::Float : Kind::Double;
            d_ = static_cast<double>(v);
        } else if constexpr (std::is_signed_v<T>) {
            kind_ = sizeof(T) <= 2 ? Kind::Int16 : sizeof(T) == 4 ? Kind::Int32 : Kind::Int64;
            i_ = v;
        } else {
            kind_ = sizeof(T) <= 2 ? Kind::UInt16 : sizeof(T) == 4 ? Kind::UInt32 : Kind::UInt64;
            u_ = v;
        }
    }

    Kind kind() const { return kind_; }
    bool isBool() const { return kind_ == Kind::Bool; }
    bool isReal() const { return kind_ == Kind::Float || kind_ == Kind::Double; }
    bool isSigned() const { return kind_ == Kind::Int16 || kind_ == Kind::Int32 || kind_ == Kind::Int64; }
    bool isUnsigned() const { return !isBool() && !isReal() && !isSigned(); }

    // Conversions answer "absent" when the value does not fit the asked type exactly; a real
    // converts to an integer only when it is whole. Any number reads as a bool (non-zero = true).
    bool toBool() const;
    std::optional<std::int64_t> toInt64() const;
    std::optional<std::uint64_t> toUInt64() const;
    std::optional<std::int32_t> toInt32() const;
    std::optional<std::uint32_t> toUInt32() const;
    std::optional<std::int16_t> toInt16() const;
    std::optional<std::uint16_t> toUInt16() const;
    double toDouble() const;

    // Bools equal only bools; all other kinds compare by value, whatever their width.
    friend FND_EXPORT bool operator==(const Number& a, const Number& b);

private:
    Kind kind_;
    union {
        std::int64_t i_;  // signed kinds
        std::uint64_t u_; // bool and unsigned kinds
        double d_;        // real kinds (a float is held widened)
    };
};

} // namespace fnd
