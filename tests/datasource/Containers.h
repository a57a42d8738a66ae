// Builds and reads TWAIN containers in tests the way an application does, through the shared allocator.
#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

#include "twain.h"
#include "twainmemory.h"

namespace test {

template <class T> twain::OwnedHandle OneValue(TW_UINT16 itemType, const T& item) {
    twain::OwnedHandle handle(twain::allocHandle(offsetof(TW_ONEVALUE, Item) + sizeof(T)));
    auto* bytes = static_cast<std::uint8_t*>(twain::lockHandle(handle.get()));
    std::memcpy(bytes, &itemType, sizeof itemType);
    std::memcpy(bytes + offsetof(TW_ONEVALUE, Item), &item, sizeof(T));
    twain::unlockHandle(handle.get());
    return handle;
}

// An enumeration whose items are the raw bytes of `items`, each `itemSize` long.
inline twain::OwnedHandle Enumeration(TW_UINT16 itemType, std::size_t itemSize, const void* items,
                                      TW_UINT32 count, TW_UINT32 current, TW_UINT32 allocatedCount) {
    twain::OwnedHandle handle(
        twain::allocHandle(offsetof(TW_ENUMERATION, ItemList) + allocatedCount * itemSize));
    auto* bytes = static_cast<std::uint8_t*>(twain::lockHandle(handle.get()));
    std::memcpy(bytes, &itemType, sizeof itemType);
    std::memcpy(bytes + offsetof(TW_ENUMERATION, NumItems), &count, sizeof count);
    std::memcpy(bytes + offsetof(TW_ENUMERATION, CurrentIndex), &current, sizeof current);
    std::memcpy(bytes + offsetof(TW_ENUMERATION, ItemList), items,
                std::min(count, allocatedCount) * itemSize);
    twain::unlockHandle(handle.get());
    return handle;
}

template <class T> T Field(TW_HANDLE handle, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= twain::handleSize(handle))
        std::memcpy(&value, static_cast<const std::uint8_t*>(twain::lockHandle(handle)) + offset, sizeof(T));
    twain::unlockHandle(handle);
    return value;
}

inline TW_UINT16 ItemType(TW_HANDLE handle) {
    return Field<TW_UINT16>(handle, 0);
}

inline float Fix(TW_FIX32 fix) {
    return fix.Whole + fix.Frac / 65536.0f;
}

} // namespace test
