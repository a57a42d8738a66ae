// Reading one stored setting (user defaults, a backup or a job dictionary), which is outside input:
// a value of another type, or an integer outside the field's range, is no value at all, so the
// field keeps its default.
#pragma once

#include "UserDefaults.h"
#include "Value.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

inline std::optional<std::int32_t> TlvStoredInt(const fnd::Value& stored,
                                                std::int32_t min = std::numeric_limits<std::int32_t>::min(),
                                                std::int32_t max = std::numeric_limits<std::int32_t>::max()) {
    const std::optional<std::int32_t> value = stored.asInt32();
    return value && *value >= min && *value <= max ? value : std::nullopt;
}

// The value under key in either kind of store (absent when missing).
inline fnd::Value TlvStoredValueOf(const fnd::UserDefaults& defaults, std::string_view key) {
    return defaults.object(key);
}
inline fnd::Value TlvStoredValueOf(const fnd::Dictionary& dict, std::string_view key) {
    return dict.get(key);
}

// Numbers of any kind read as booleans (non-zero is true); the field changes only for a value.
inline void TlvTakeStored(bool& field, const fnd::Value& stored) {
    if (const std::optional<bool> on = stored.asBool())
        field = *on;
}
inline void TlvTakeStored(std::int32_t& field, const fnd::Value& stored, std::int32_t min, std::int32_t max) {
    if (const auto number = TlvStoredInt(stored, min, max))
        field = *number;
}
