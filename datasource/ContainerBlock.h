// Bounds-checked access to a TWAIN container block. Containers come from applications, so every read
// and write is checked against the size the allocator recorded for the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "twain.h"

// Zero-filled container of size bytes; null when memory is short. The receiver frees it.
TW_HANDLE NewContainer(std::size_t size);
void DisposeContainer(TW_HANDLE container);

class CContainerBlock {
public:
    explicit CContainerBlock(TW_HANDLE container);
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
