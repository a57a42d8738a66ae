// CCapPool: the capabilities of an open data source, keyed by id and owned by the pool, built from
// description tables where a later table overrides an earlier one id by id.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "Capability.h"

// Initial values of a list: count values of the item size each.
struct SCapListInit {
    std::uint32_t count;
    const void* values;
};
struct SCapEnumInit {
    std::uint32_t count;
    const void* values;
    std::uint32_t defaultIndex;
    std::uint32_t currentIndex;
};

// One row of a description table. initial points to: the value itself (one value); five values current,
// default, maximum, minimum, step (range); an SCapListInit (array); an SCapEnumInit (enumeration).
struct SMakeCapDesc {
    TW_UINT16 capId;
    TW_UINT16 containerType;
    TW_UINT16 itemType;
    TW_UINT16 reserved;
    const void* initial;
    TW_UINT32 readOnly;
};

class CCapPool;
using CapData = std::vector<std::uint8_t>;
// Serialises a pool's settings; none when there is nothing to store.
using CapFlatteningFunction = std::function<std::optional<CapData>(const CCapPool&, std::int32_t& version)>;
using CapUnflatteningFunction = std::function<bool(CCapPool&, const CapData&, std::int32_t version)>;

class CCapPool {
public:
    CCapability* GetCapability(TW_UINT16 id) const;
    // Takes ownership; replaces an earlier capability of the id. Null does nothing.
    void AppendCapability(TW_UINT16 id, std::unique_ptr<CCapability> capability);
    // False when a row cannot be built (memory); rows of an unknown container type are skipped.
    bool MakeCapabilities(std::span<const SMakeCapDesc> rows);
    // Copies every capability of other into this pool, replacing those of the same id.
    void Merge(const CCapPool& other);
    // Same ids with the same values as seen by applications; ids in ignore count as equal.
    bool IsEqualToCapValues(const CCapPool& other, std::span<const TW_UINT16> ignore) const;

    std::optional<CapData> Flatten(std::int32_t& version) const;
    bool Unflatten(const CapData& data, std::int32_t version);
    void SetFlatteningFunction(CapFlatteningFunction function) { mFlatten = std::move(function); }
    void SetUnflatteningFunction(CapUnflatteningFunction function) { mUnflatten = std::move(function); }

    const std::map<TW_UINT16, std::unique_ptr<CCapability>>& Capabilities() const { return mCaps; }

private:
    std::map<TW_UINT16, std::unique_ptr<CCapability>> mCaps;
    CapFlatteningFunction mFlatten;
    CapUnflatteningFunction mUnflatten;
};

// Compares two pool entries by the containers applications would see, skipping the ignored ids.
class EqualCapability {
public:
    explicit EqualCapability(std::span<const TW_UINT16> ignore) : mIgnore(ignore.begin(), ignore.end()) {}
    bool operator()(TW_UINT16 idA, const CCapability& a, TW_UINT16 idB, const CCapability& b) const;

private:
    std::vector<TW_UINT16> mIgnore;
};

// Builds one capability from a description row; none for an unknown container type or item type.
std::unique_ptr<CCapability> MakeCapability(const SMakeCapDesc& row);
