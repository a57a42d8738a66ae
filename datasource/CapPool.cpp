// The pool keeps its capabilities in an ordered map, so merges and comparisons walk ids in order.
#include "CapPool.h"

#include <algorithm>
#include <array>
#include <new>

#include "ContainerBlock.h"

namespace {

std::span<const std::uint8_t> Bytes(const void* data, std::size_t size) {
    return {static_cast<const std::uint8_t*>(data), size};
}

std::vector<CapItem> ListItems(std::uint32_t count, const void* values, std::size_t size) {
    std::vector<CapItem> items;
    items.reserve(count);
    const auto* bytes = static_cast<const std::uint8_t*>(values);
    for (std::uint32_t i = 0; i < count; ++i)
        items.emplace_back(bytes + std::size_t{i} * size, bytes + std::size_t{i + 1} * size);
    return items;
}

// Equal when both containers exist and have the same bytes.
bool EqualContainers(TW_UINT16 typeA, TW_HANDLE a, TW_UINT16 typeB, TW_HANDLE b) {
    CContainerBlock blockA(a, typeA), blockB(b, typeB);
    return blockA.IsValid() && blockB.IsValid() && blockA.Size() == blockB.Size() &&
           std::equal(blockA.At(0), blockA.At(0) + blockA.Size(), blockB.At(0));
}

} // namespace

std::unique_ptr<CCapability> MakeCapability(const SMakeCapDesc& row) {
    const std::size_t size = GetItemSize(row.itemType);
    const bool readOnly = row.readOnly != 0;
    if (size == 0 || !row.initial)
        return nullptr;
    switch (row.containerType) {
    case TWON_ONEVALUE:
        return std::make_unique<CCapOneValue>(row.itemType, readOnly, Bytes(row.initial, size));
    case TWON_RANGE: {
        std::vector<CapItem> items = ListItems(5, row.initial, size);
        std::array<CapItem, 5> values;
        std::move(items.begin(), items.end(), values.begin());
        return std::make_unique<CCapRange>(row.itemType, readOnly, values);
    }
    case TWON_ARRAY: {
        const auto* init = static_cast<const SCapListInit*>(row.initial);
        return std::make_unique<CCapArray>(row.itemType, readOnly,
                                           ListItems(init->count, init->values, size));
    }
    case TWON_ENUMERATION: {
        const auto* init = static_cast<const SCapEnumInit*>(row.initial);
        return std::make_unique<CCapEnum>(row.itemType, readOnly, ListItems(init->count, init->values, size),
                                          init->defaultIndex, init->currentIndex);
    }
    default:
        return nullptr;
    }
}

CCapability* CCapPool::GetCapability(TW_UINT16 id) const {
    const auto found = mCaps.find(id);
    return found == mCaps.end() ? nullptr : found->second.get();
}

void CCapPool::AppendCapability(TW_UINT16 id, std::unique_ptr<CCapability> capability) {
    if (capability)
        mCaps[id] = std::move(capability);
}

bool CCapPool::MakeCapabilities(std::span<const SMakeCapDesc> rows) {
    try {
        for (const SMakeCapDesc& row : rows)
            AppendCapability(row.capId, MakeCapability(row));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void CCapPool::Merge(const CCapPool& other) {
    for (const auto& [id, capability] : other.mCaps)
        AppendCapability(id, capability->Duplicate());
}

bool CCapPool::IsEqualToCapValues(const CCapPool& other, std::span<const TW_UINT16> ignore) const {
    if (mCaps.size() != other.mCaps.size())
        return false;
    const EqualCapability equal(ignore);
    return std::equal(mCaps.begin(), mCaps.end(), other.mCaps.begin(), [&](const auto& a, const auto& b) {
        return equal(a.first, *a.second, b.first, *b.second);
    });
}

bool EqualCapability::operator()(TW_UINT16 idA, const CCapability& a, TW_UINT16 idB,
                                 const CCapability& b) const {
    if (idA != idB)
        return false;
    if (std::find(mIgnore.begin(), mIgnore.end(), idA) != mIgnore.end())
        return true;
    TW_HANDLE containerA = a.CreateNativeContainer();
    TW_HANDLE containerB = b.CreateNativeContainer();
    const bool equal = EqualContainers(a.GetContainerType(), containerA, b.GetContainerType(), containerB);
    DisposeContainer(containerA);
    DisposeContainer(containerB);
    return equal;
}

std::optional<CapData> CCapPool::Flatten(std::int32_t& version) const {
    if (!mFlatten)
        return std::nullopt;
    return mFlatten(*this, version);
}

bool CCapPool::Unflatten(const CapData& data, std::int32_t version) {
    return mUnflatten && mUnflatten(*this, data, version);
}
