// The settings blob: the user's scan settings as one fixed 2504-byte record (version 1), kept in the
// preferences file under "CapData" and in every favourite. Its bytes are a stored format, so they are
// written field by field at fixed offsets, never copied from a struct.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "CapPool.h"

constexpr std::size_t kSettingsBlobSize = 2504;
constexpr std::int32_t kSettingsBlobVersion = 1;

// A new blob of the pool's current values; version out = 1.
std::optional<CapData> FlattenCapabilities(const CCapPool& pool, std::int32_t& version);
// Applies a version-1 blob of exactly kSettingsBlobSize bytes; anything else changes nothing, logs one
// line and answers false. A damaged blob (reserved bytes not zero) changes nothing and answers false
// without a word: the caller knows where it came from and tells the user. Fields the pool refuses (a
// value outside a list or range, a name longer than its item) are skipped.
bool UnflattenCapabilities(CCapPool& pool, const CapData& data, std::int32_t version);
