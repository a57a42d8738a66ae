// Builds and reads TWAIN containers in tests the way an application does: on Linux a handle is a plain
// pointer, and a data source without a source manager allocates from the C heap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "twain.h"
#include <cstdlib>
#include <memory>

namespace test {

struct HandleFree {
    void operator()(void* handle) const { std::free(handle); }
};
using OwnedHandle = std::unique_ptr<void, HandleFree>;

inline OwnedHandle NewHandle(std::size_t bytes) {
    return OwnedHandle(std::calloc(1, bytes));
}

template <class T> OwnedHandle OneValue(TW_UINT16 itemType, const T& item) {
    OwnedHandle handle = NewHandle(offsetof(TW_ONEVALUE, Item) + std::max(sizeof(T), sizeof(TW_UINT32)));
    auto* bytes = static_cast<std::uint8_t*>(handle.get());
    std::memcpy(bytes, &itemType, sizeof itemType);
    std::memcpy(bytes + offsetof(TW_ONEVALUE, Item), &item, sizeof(T));
    return handle;
}

// An enumeration whose items are the raw bytes of `items`, each `itemSize` long.
inline OwnedHandle Enumeration(TW_UINT16 itemType, std::size_t itemSize, const void* items, TW_UINT32 count,
                               TW_UINT32 current, TW_UINT32 allocatedCount) {
    OwnedHandle handle = NewHandle(offsetof(TW_ENUMERATION, ItemList) + allocatedCount * itemSize);
    auto* bytes = static_cast<std::uint8_t*>(handle.get());
    std::memcpy(bytes, &itemType, sizeof itemType);
    std::memcpy(bytes + offsetof(TW_ENUMERATION, NumItems), &count, sizeof count);
    std::memcpy(bytes + offsetof(TW_ENUMERATION, CurrentIndex), &current, sizeof current);
    std::memcpy(bytes + offsetof(TW_ENUMERATION, ItemList), items,
                std::min(count, allocatedCount) * itemSize);
    return handle;
}

// An array of 16-bit items, as an application asks for device events (CAP_DEVICEEVENT).
inline OwnedHandle UInt16Array(const std::vector<TW_UINT16>& items) {
    OwnedHandle handle = NewHandle(offsetof(TW_ARRAY, ItemList) + items.size() * sizeof(TW_UINT16));
    auto* bytes = static_cast<std::uint8_t*>(handle.get());
    const TW_UINT16 itemType = TWTY_UINT16;
    const auto count = static_cast<TW_UINT32>(items.size());
    std::memcpy(bytes, &itemType, sizeof itemType);
    std::memcpy(bytes + offsetof(TW_ARRAY, NumItems), &count, sizeof count);
    std::memcpy(bytes + offsetof(TW_ARRAY, ItemList), items.data(), items.size() * sizeof(TW_UINT16));
    return handle;
}

// A field of a data source's answer; the caller knows the answer holds it.
template <class T> T Field(TW_HANDLE handle, std::size_t offset) {
    T value{};
    if (handle)
        std::memcpy(&value, static_cast<const std::uint8_t*>(handle) + offset, sizeof(T));
    return value;
}

inline TW_UINT16 ItemType(TW_HANDLE handle) {
    return Field<TW_UINT16>(handle, 0);
}

inline float Fix(TW_FIX32 fix) {
    return fix.Whole + fix.Frac / 65536.0f;
}

} // namespace test
