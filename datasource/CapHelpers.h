// Value helpers for the data source's dialog and the scanner's data source: read and write the current
// value of a capability by id. A missing capability reads as 0 and refuses every write.
#pragma once

#include <cstdint>
#include <span>

#include "CapPool.h"

std::uint32_t GetCapUIntValue(const CCapPool* pool, TW_UINT16 id);
std::int32_t GetCapSIntValue(const CCapPool* pool, TW_UINT16 id);
float GetCapFloatValue(const CCapPool* pool, TW_UINT16 id);
float GetCapStepSize(const CCapPool* pool, TW_UINT16 id);
// Copies the whole string item (34, 66, 130 or 256 bytes) when the capability holds a string type and
// buffer is large enough; otherwise buffer is untouched and the result false.
bool GetCapStrValue(const CCapPool* pool, TW_UINT16 id, std::span<std::uint8_t> buffer);

bool SetCapUIntValue(CCapPool* pool, TW_UINT16 id, std::uint32_t value);
bool SetCapSIntValue(CCapPool* pool, TW_UINT16 id, std::int32_t value);
bool SetCapFloatValue(CCapPool* pool, TW_UINT16 id, float value);
// item: a whole string item (length byte, text) of at least the capability's item size.
bool SetCapStrValue(CCapPool* pool, TW_UINT16 id, std::span<const std::uint8_t> item);
void ResetCapValue(CCapPool* pool, TW_UINT16 id);

std::optional<CapData> FlatteningCaps(const CCapPool* pool, std::int32_t& version);
bool UnflatteningCaps(CCapPool* pool, const CapData& data, std::int32_t version);
