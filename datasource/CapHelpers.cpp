// Thin lookups over CCapPool; each helper answers the empty result for a missing pool or capability.
#include "CapHelpers.h"

namespace {

CCapability* Find(const CCapPool* pool, TW_UINT16 id) {
    return pool ? pool->GetCapability(id) : nullptr;
}

template <class T> T Read(const CCapPool* pool, TW_UINT16 id, ECapProperty property) {
    T value{};
    const CCapability* capability = Find(pool, id);
    if (!capability || !capability->ReadValue(value, property))
        return T{};
    return value;
}

template <class T> bool Write(CCapPool* pool, TW_UINT16 id, T value) {
    CCapability* capability = Find(pool, id);
    return capability && capability->WriteValue(value, kCapCurrent);
}

} // namespace

std::uint32_t GetCapUIntValue(const CCapPool* pool, TW_UINT16 id) {
    return Read<std::uint32_t>(pool, id, kCapCurrent);
}
std::int32_t GetCapSIntValue(const CCapPool* pool, TW_UINT16 id) {
    return Read<std::int32_t>(pool, id, kCapCurrent);
}
float GetCapFloatValue(const CCapPool* pool, TW_UINT16 id) {
    return Read<float>(pool, id, kCapCurrent);
}
float GetCapStepSize(const CCapPool* pool, TW_UINT16 id) {
    return Read<float>(pool, id, kCapStep);
}

bool GetCapStrValue(const CCapPool* pool, TW_UINT16 id, std::span<std::uint8_t> buffer) {
    const CCapability* capability = Find(pool, id);
    return capability && IsStringType(capability->GetItemType()) && capability->GetValue(buffer, kCapCurrent);
}

bool SetCapUIntValue(CCapPool* pool, TW_UINT16 id, std::uint32_t value) {
    return Write(pool, id, value);
}
bool SetCapSIntValue(CCapPool* pool, TW_UINT16 id, std::int32_t value) {
    return Write(pool, id, value);
}
bool SetCapFloatValue(CCapPool* pool, TW_UINT16 id, float value) {
    return Write(pool, id, value);
}

bool SetCapStrValue(CCapPool* pool, TW_UINT16 id, std::span<const std::uint8_t> item) {
    CCapability* capability = Find(pool, id);
    return capability && IsStringType(capability->GetItemType()) && capability->SetValue(item, kCapCurrent);
}

void ResetCapValue(CCapPool* pool, TW_UINT16 id) {
    if (CCapability* capability = Find(pool, id))
        capability->Reset();
}

std::optional<CapData> FlatteningCaps(const CCapPool* pool, std::int32_t& version) {
    return pool ? pool->Flatten(version) : std::nullopt;
}

bool UnflatteningCaps(CCapPool* pool, const CapData& data, std::int32_t version) {
    return pool && pool->Unflatten(data, version);
}
