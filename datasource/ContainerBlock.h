// Bounds-checked access to a TWAIN container block. A handle is a plain pointer that says nothing of its
// size, so a container is checked against its own header (item type, item count, indexes) and taken to
// be as long as that header says; ours are made at least that long (NewContainer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "twain.h"

// Bytes of a container of the type for count items of itemSize bytes: never less than its TWAIN
// structure, which a host may copy whole whatever the item or the count (0 for an unknown type).
std::size_t ContainerBytes(TW_UINT16 containerType, std::size_t itemSize, std::size_t count = 1);
// Every container this data source hands out: zero-filled, ContainerBytes long, with ItemType (and
// NumItems for lists) written, from the source manager's memory functions when it gave them; null when
// memory is short. The receiver frees it (DisposeContainer, or the manager's DSM_MemFree). Opened again
// with CContainerBlock(container, containerType).
TW_HANDLE NewContainer(TW_UINT16 containerType, TW_UINT16 itemType, std::size_t count = 1);
// A zero-filled block of plain bytes (a native image) from the same memory functions.
TW_HANDLE NewMemoryBlock(std::size_t size);
void DisposeContainer(TW_HANDLE container);

// Bytes that a container of the type holds according to its header at data; 0 when the header makes no
// sense (unknown item type, an item count beyond kMaxContainerItems, a current index past the list).
std::size_t ContainerSize(TW_UINT16 containerType, const void* data);
// No capability has more values; a larger count is a damaged header, not a list to walk.
inline constexpr TW_UINT32 kMaxContainerItems = 65536;

class CContainerBlock {
public:
    // A container of the given type (TWON_*), sized by its header.
    CContainerBlock(TW_HANDLE container, TW_UINT16 containerType);
    ~CContainerBlock();
    CContainerBlock(const CContainerBlock&) = delete;
    CContainerBlock& operator=(const CContainerBlock&) = delete;

    bool IsValid() const { return mData != nullptr; }
    std::size_t Size() const { return mSize; }

    // True when [offset, offset + length) lies inside the block, without overflow.
    bool Holds(std::size_t offset, std::size_t length) const {
        return mData && offset <= mSize && length <= mSize - offset;
    }
    const std::uint8_t* At(std::size_t offset) const { return mData + offset; }
    std::uint8_t* At(std::size_t offset) { return mData + offset; }

    template <class T> bool Read(std::size_t offset, T& out) const {
        if (!Holds(offset, sizeof(T)))
            return false;
        std::memcpy(&out, mData + offset, sizeof(T));
        return true;
    }
    template <class T> bool Write(std::size_t offset, const T& value) {
        if (!Holds(offset, sizeof(T)))
            return false;
        std::memcpy(mData + offset, &value, sizeof(T));
        return true;
    }

private:
    TW_HANDLE mContainer;
    std::uint8_t* mData = nullptr;
    std::size_t mSize = 0;
};
