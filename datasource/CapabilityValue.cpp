// Typed reads and writes of a capability's values: every number passes through a 64-bit integer or a
// double, so each item type's width, signedness and saturation rules live in one place.
#include "Capability.h"

#include <array>
#include <cstring>
#include <span>
#include <type_traits>

#include "FixedPoint.h"

namespace {

template <class T> T Load(const std::uint8_t* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

template <class T> CapItem Store(T value) {
    CapItem item(sizeof value);
    std::memcpy(item.data(), &value, sizeof value);
    return item;
}

bool IsIntegerType(TW_UINT16 type) {
    return type <= TWTY_BOOL;
}

// Integer item as a 64-bit number: signed types sign-extended, unsigned and BOOL zero-extended.
std::int64_t LoadInteger(TW_UINT16 type, const std::uint8_t* bytes) {
    switch (type) {
    case TWTY_INT8:
        return Load<std::int8_t>(bytes);
    case TWTY_INT16:
        return Load<std::int16_t>(bytes);
    case TWTY_INT32:
        return Load<std::int32_t>(bytes);
    case TWTY_UINT8:
        return Load<std::uint8_t>(bytes);
    case TWTY_UINT16:
    case TWTY_BOOL:
        return Load<std::uint16_t>(bytes);
    default:
        return Load<std::uint32_t>(bytes);
    }
}

// Integer into the item's width, keeping the low bits.
CapItem StoreInteger(TW_UINT16 type, std::int64_t value) {
    switch (type) {
    case TWTY_INT8:
    case TWTY_UINT8:
        return Store(static_cast<std::uint8_t>(value));
    case TWTY_INT16:
    case TWTY_UINT16:
    case TWTY_BOOL:
        return Store(static_cast<std::uint16_t>(value));
    default:
        return Store(static_cast<std::uint32_t>(value));
    }
}

std::int64_t TruncateToInt64(double value) {
    if (!(value == value))
        return 0;
    if (value <= -9.2e18)
        return INT64_MIN;
    if (value >= 9.2e18)
        return INT64_MAX;
    return static_cast<std::int64_t>(value);
}

} // namespace

bool CCapability::ReadNumber(double& out, ECapProperty property) const {
    // A number is at most 4 bytes wide: it is read into a buffer of that size on the stack.
    std::array<std::uint8_t, sizeof(TW_UINT32)> item{};
    const std::size_t size = GetItemSize();
    if (size == 0 || size > item.size() ||
        (!IsIntegerType(mItemType) && mItemType != TWTY_FLOAT32 && mItemType != TWTY_FIX32))
        return false;
    if (!GetValue(std::span(item).first(size), property))
        return false;
    if (mItemType == TWTY_FLOAT32)
        out = Load<float>(item.data());
    else if (mItemType == TWTY_FIX32)
        out = Fix32ToFloat(Load<TW_FIX32>(item.data()));
    else
        out = static_cast<double>(LoadInteger(mItemType, item.data()));
    return true;
}

bool CCapability::ReadValue(float& out, ECapProperty property) const {
    double value;
    if (!ReadNumber(value, property))
        return false;
    out = static_cast<float>(value);
    return true;
}

// Integer items keep their low 32 bits, reinterpreted as T; other numbers are truncated toward zero and
// saturated to T's range.
template <class T> bool CCapability::ReadInteger(T& out, ECapProperty property) const {
    double value;
    if (!ReadNumber(value, property))
        return false;
    if (IsIntegerType(mItemType))
        out = static_cast<T>(static_cast<std::uint32_t>(static_cast<std::int64_t>(value)));
    else if constexpr (std::is_signed_v<T>)
        out = SaturateToInt32(value);
    else
        out = SaturateToUInt32(value);
    return true;
}

bool CCapability::ReadValue(std::uint32_t& out, ECapProperty property) const {
    return ReadInteger(out, property);
}

bool CCapability::ReadValue(std::int32_t& out, ECapProperty property) const {
    return ReadInteger(out, property);
}

bool CCapability::WriteInteger(std::int64_t value, ECapProperty property) {
    if (IsIntegerType(mItemType))
        return SetValue(StoreInteger(mItemType, value), property);
    return WriteNumber(static_cast<double>(value), property);
}

bool CCapability::WriteNumber(double value, ECapProperty property) {
    if (mItemType == TWTY_FLOAT32)
        return SetValue(Store(static_cast<float>(value)), property);
    if (mItemType == TWTY_FIX32)
        return SetValue(Store(FloatToFix32(static_cast<float>(value))), property);
    if (mItemType == TWTY_UINT32)
        return SetValue(Store(SaturateToUInt32(value)), property);
    if (IsIntegerType(mItemType))
        return SetValue(StoreInteger(mItemType, TruncateToInt64(value)), property);
    return false;
}

bool CCapability::WriteValue(std::int8_t value, ECapProperty property) {
    return WriteInteger(value, property);
}
bool CCapability::WriteValue(std::uint8_t value, ECapProperty property) {
    return WriteInteger(value, property);
}
bool CCapability::WriteValue(std::int16_t value, ECapProperty property) {
    return WriteInteger(value, property);
}
bool CCapability::WriteValue(std::uint16_t value, ECapProperty property) {
    return WriteInteger(value, property);
}
bool CCapability::WriteValue(std::int32_t value, ECapProperty property) {
    return WriteInteger(value, property);
}
bool CCapability::WriteValue(std::uint32_t value, ECapProperty property) {
    return WriteInteger(value, property);
}
bool CCapability::WriteValue(float value, ECapProperty property) {
    return WriteNumber(value, property);
}
