// Container memory goes through the source manager's memory functions; sizes of applications' containers
// come from their headers, since nothing else records them.
#include "ContainerBlock.h"

#include <algorithm>
#include <limits>

#include "ManagerEntryPoints.h"

namespace {

// One value: the Item field holds numbers of up to 4 bytes; frames and strings run past it.
std::size_t OneValueSize(std::size_t itemSize) {
    return offsetof(TW_ONEVALUE, Item) + std::max(itemSize, sizeof(TW_UINT32));
}

std::size_t ListSize(const std::uint8_t* data, std::size_t header, std::size_t itemSize, bool indexed) {
    TW_UINT32 count = 0;
    std::memcpy(&count, data + offsetof(TW_ARRAY, NumItems), sizeof count);
    if (count > kMaxContainerItems)
        return 0;
    if (indexed) {
        // Only the current index is ever read from an application's enumeration.
        TW_UINT32 current = 0;
        std::memcpy(&current, data + offsetof(TW_ENUMERATION, CurrentIndex), sizeof current);
        if (current >= count)
            return 0;
    }
    return header + std::size_t{count} * itemSize;
}

} // namespace

std::size_t ContainerBytes(TW_UINT16 containerType, std::size_t itemSize, std::size_t count) {
    switch (containerType) {
    case TWON_ONEVALUE:
        return OneValueSize(itemSize);
    case TWON_RANGE:
        return sizeof(TW_RANGE);
    case TWON_ARRAY:
        return std::max(sizeof(TW_ARRAY), offsetof(TW_ARRAY, ItemList) + count * itemSize);
    case TWON_ENUMERATION:
        return std::max(sizeof(TW_ENUMERATION), offsetof(TW_ENUMERATION, ItemList) + count * itemSize);
    default:
        return 0;
    }
}

TW_HANDLE NewContainer(TW_UINT16 containerType, TW_UINT16 itemType, std::size_t count) {
    const std::size_t itemSize = twainItemSize(itemType);
    if (itemSize == 0 || count > kMaxContainerItems)
        return nullptr;
    TW_HANDLE container = NewMemoryBlock(ContainerBytes(containerType, itemSize, count));
    TW_MEMREF data = container ? ManagerEntryPoints::Lock(container) : nullptr;
    if (!data)
        return container;
    std::memcpy(data, &itemType, sizeof itemType);
    if (containerType == TWON_ARRAY || containerType == TWON_ENUMERATION) {
        const auto items = static_cast<TW_UINT32>(count);
        std::memcpy(static_cast<std::uint8_t*>(data) + offsetof(TW_ARRAY, NumItems), &items, sizeof items);
    }
    ManagerEntryPoints::Unlock(container);
    return container;
}

TW_HANDLE NewMemoryBlock(std::size_t size) {
    if (size == 0 || size > std::numeric_limits<TW_UINT32>::max())
        return nullptr;
    return ManagerEntryPoints::Allocate(static_cast<TW_UINT32>(size));
}

void DisposeContainer(TW_HANDLE container) {
    ManagerEntryPoints::Free(container);
}

std::size_t ContainerSize(TW_UINT16 containerType, const void* data) {
    if (!data)
        return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    TW_UINT16 itemType = 0;
    std::memcpy(&itemType, bytes, sizeof itemType);
    const std::size_t itemSize = twainItemSize(itemType);
    if (itemSize == 0)
        return 0;
    switch (containerType) {
    case TWON_ONEVALUE:
        return OneValueSize(itemSize);
    case TWON_RANGE:
        return itemSize <= sizeof(TW_UINT32) ? sizeof(TW_RANGE) : 0;
    case TWON_ARRAY:
        return ListSize(bytes, offsetof(TW_ARRAY, ItemList), itemSize, false);
    case TWON_ENUMERATION:
        return ListSize(bytes, offsetof(TW_ENUMERATION, ItemList), itemSize, true);
    default:
        return 0;
    }
}

CContainerBlock::CContainerBlock(TW_HANDLE container, TW_UINT16 containerType) : mContainer(container) {
    if (!container)
        return;
    mData = static_cast<std::uint8_t*>(ManagerEntryPoints::Lock(container));
    mSize = ContainerSize(containerType, mData);
    if (mData && mSize == 0) {
        ManagerEntryPoints::Unlock(mContainer);
        mData = nullptr;
    }
}

CContainerBlock::~CContainerBlock() {
    if (mData)
        ManagerEntryPoints::Unlock(mContainer);
}
