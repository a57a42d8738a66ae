// Container blocks come from the shared TWAIN allocator, which records each block's size; a handle it
// does not know reports size 0 and is treated as no container at all.
#include "ContainerBlock.h"

#include <limits>

#include "twainmemory.h"

TW_HANDLE NewContainer(std::size_t size) {
    if (size == 0 || size > std::numeric_limits<TW_UINT32>::max())
        return nullptr;
    return twain::allocHandle(static_cast<TW_UINT32>(size));
}

void DisposeContainer(TW_HANDLE container) {
    twain::freeHandle(container);
}

CContainerBlock::CContainerBlock(TW_HANDLE container) : mContainer(container) {
    const std::size_t size = twain::handleSize(container);
    if (size == 0)
        return;
    mData = static_cast<std::uint8_t*>(twain::lockHandle(container));
    mSize = mData ? size : 0;
}

CContainerBlock::~CContainerBlock() {
    if (mData)
        twain::unlockHandle(mContainer);
}
