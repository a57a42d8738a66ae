// Container memory: calloc'd blocks recorded in a table of sizes. The table is what lets a reader check
// a container's size and lets freeHandle refuse a handle it never gave out.
#include "twainmemory.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace twain {
namespace {

// Keys are stored inverted so that the table itself does not keep a forgotten block reachable: leak
// checkers still report containers that nobody frees.
std::uintptr_t keyOf(const void* block) {
    return ~reinterpret_cast<std::uintptr_t>(block);
}

class BlockTable {
public:
    bool add(void* block, TW_UINT32 bytes) {
        std::lock_guard lock(mMutex);
        return mSizes.emplace(keyOf(block), bytes).second;
    }
    bool remove(void* block) {
        std::lock_guard lock(mMutex);
        return mSizes.erase(keyOf(block)) == 1;
    }
    TW_UINT32 size(const void* block) const {
        std::lock_guard lock(mMutex);
        const auto found = mSizes.find(keyOf(block));
        return found == mSizes.end() ? 0 : found->second;
    }

private:
    mutable std::mutex mMutex;
    std::unordered_map<std::uintptr_t, TW_UINT32> mSizes;
};

BlockTable& blocks() {
    // Never destroyed: data sources may free containers while the process exits.
    static BlockTable* const table = new BlockTable;
    return *table;
}

} // namespace

TW_HANDLE allocHandle(TW_UINT32 bytes) noexcept {
    if (bytes == 0)
        return nullptr;
    void* block = std::calloc(1, bytes);
    if (!block)
        return nullptr;
    try {
        if (blocks().add(block, bytes))
            return block;
    } catch (...) {
    }
    std::free(block);
    return nullptr;
}

void freeHandle(TW_HANDLE handle) noexcept {
    if (handle && blocks().remove(handle))
        std::free(handle);
}

TW_MEMREF lockHandle(TW_HANDLE handle) noexcept {
    return handle;
}

void unlockHandle(TW_HANDLE) noexcept {}

TW_UINT32 handleSize(TW_HANDLE handle) noexcept {
    return handle ? blocks().size(handle) : 0;
}

} // namespace twain
