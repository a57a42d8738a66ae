// Item sizes, the one-value and range classes, and the conversion of capabilities to and from
// applications' containers. Container offsets come from the TWAIN records, so both sides agree on layout.
#include "Capability.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "ContainerBlock.h"
#include "FixedPoint.h"
#include "TwainText.h"

namespace {

constexpr std::size_t kOneValueItem = offsetof(TW_ONEVALUE, Item);
// Native containers carry numbers of up to 4 bytes as one 32-bit field.
constexpr std::size_t kWord = sizeof(TW_UINT32);
// The standard capabilities' texts (halftone names). The wider string items belong to this data source's
// own capabilities, which hold UTF-16 names and tone tables rather than texts.
constexpr TW_UINT16 kTextItemType = TWTY_STR32;

float LoadFloat(const CapItem& item) {
    float value;
    std::memcpy(&value, item.data(), sizeof value);
    return value;
}

// The first size bytes of source, zero-padded when source is shorter.
CapItem ItemFrom(std::span<const std::uint8_t> source, std::size_t size) {
    CapItem item(size, 0);
    std::copy_n(source.begin(), std::min(size, source.size()), item.begin());
    return item;
}

} // namespace

std::size_t GetItemSize(TW_UINT16 itemType) {
    return itemType == TWTY_FLOAT32 ? sizeof(float) : twainItemSize(itemType);
}

bool IsStringType(TW_UINT16 itemType) {
    return itemType >= TWTY_STR32 && itemType <= TWTY_STR255;
}

TW_UINT16 CCapability::NativeItemType() const {
    return mItemType == TWTY_FLOAT32 ? TWTY_FIX32 : mItemType;
}

void CCapability::EncodeNativeItem(const CapItem& item, std::uint8_t* slot) const {
    if (mItemType == TWTY_FLOAT32) {
        const TW_FIX32 fix = FloatToFix32(LoadFloat(item));
        std::memcpy(slot, &fix, sizeof fix);
    } else if (mItemType == kTextItemType) {
        // Stored with a length byte; applications on Linux read texts zero-terminated.
        const std::string text = TwainText(reinterpret_cast<const char*>(item.data()), item.size());
        SetTwainText(reinterpret_cast<char*>(slot), item.size(), text);
    } else {
        std::memcpy(slot, item.data(), item.size());
    }
}

TW_UINT16 CCapability::AcceptsNativeContainer(TW_UINT16 containerType, TW_HANDLE container) {
    if (mReadOnly)
        return TWCC_CAPBADOPERATION;
    CContainerBlock block(container, containerType);
    TW_UINT16 itemType = 0;
    if (!block.Read(0, itemType))
        return TWCC_BADVALUE;
    if (itemType != mItemType && !(mItemType == TWTY_FLOAT32 && itemType == TWTY_FIX32))
        return TWCC_BADVALUE;
    const std::size_t size = ::GetItemSize(itemType);
    std::size_t offset = 0;
    switch (containerType) {
    case TWON_ONEVALUE:
        offset = kOneValueItem;
        break;
    case TWON_RANGE:
        offset = offsetof(TW_RANGE, CurrentValue);
        break;
    case TWON_ENUMERATION: {
        TW_UINT32 count = 0, index = 0;
        if (itemType > TWTY_STR255 || !block.Read(offsetof(TW_ENUMERATION, NumItems), count) ||
            !block.Read(offsetof(TW_ENUMERATION, CurrentIndex), index) || index >= count)
            return TWCC_BADVALUE;
        offset = offsetof(TW_ENUMERATION, ItemList) + std::size_t{index} * size;
        break;
    }
    default:
        return TWCC_BADVALUE;
    }
    if (size == 0 || !block.Holds(offset, size))
        return TWCC_BADVALUE;
    return AcceptItem(block.At(offset), itemType);
}

TW_UINT16 CCapability::AcceptItem(const std::uint8_t* item, TW_UINT16 itemType) {
    bool accepted = false;
    switch (itemType) {
    case TWTY_FIX32: {
        TW_FIX32 fix;
        std::memcpy(&fix, item, sizeof fix);
        accepted = WriteValue(Fix32ToFloat(fix));
        break;
    }
    case TWTY_INT8:
        accepted = WriteValue(static_cast<std::int8_t>(item[0]));
        break;
    case TWTY_UINT8:
        accepted = WriteValue(item[0]);
        break;
    case TWTY_INT16:
    case TWTY_UINT16:
    case TWTY_BOOL: {
        std::uint16_t value;
        std::memcpy(&value, item, sizeof value);
        accepted = itemType == TWTY_INT16 ? WriteValue(static_cast<std::int16_t>(value)) : WriteValue(value);
        break;
    }
    case TWTY_INT32:
    case TWTY_UINT32: {
        std::uint32_t value;
        std::memcpy(&value, item, sizeof value);
        accepted = itemType == TWTY_INT32 ? WriteValue(static_cast<std::int32_t>(value)) : WriteValue(value);
        break;
    }
    default: // frames and strings, byte for byte
        accepted = SetValue(std::span(item, ::GetItemSize(itemType)), kCapCurrent);
        break;
    }
    return accepted ? TWCC_SUCCESS : TWCC_BADVALUE;
}

CCapOneValue::CCapOneValue(TW_UINT16 itemType, bool readOnly, std::span<const std::uint8_t> initial)
    : CCapability(itemType, readOnly), mCurrent(ItemFrom(initial, GetItemSize())), mDefault(mCurrent) {}

std::unique_ptr<CCapability> CCapOneValue::Duplicate() const {
    return std::make_unique<CCapOneValue>(*this);
}

bool CCapOneValue::GetValue(std::span<std::uint8_t> destination, ECapProperty property) const {
    const CapItem& value = property == kCapDefault ? mDefault : mCurrent;
    if (destination.size() < value.size())
        return false;
    std::copy(value.begin(), value.end(), destination.begin());
    return true;
}

bool CCapOneValue::SetValue(std::span<const std::uint8_t> source, ECapProperty property) {
    if (source.size() < mCurrent.size())
        return false;
    (property == kCapDefault ? mDefault : mCurrent) = ItemFrom(source, mCurrent.size());
    return true;
}

TW_HANDLE CCapOneValue::CreateNativeContainer() const {
    TW_HANDLE container = NewContainer(TWON_ONEVALUE, NativeItemType());
    CContainerBlock block(container, TWON_ONEVALUE);
    if (!block.IsValid())
        return container;
    std::uint32_t value = 0;
    // Integers fill the whole 32-bit Item, sign-extended; everything else keeps its own bytes.
    if (GetItemType() <= TWTY_BOOL && ReadValue(value))
        block.Write(kOneValueItem, value);
    else
        EncodeNativeItem(mCurrent, block.At(kOneValueItem));
    return container;
}

CCapRange::CCapRange(TW_UINT16 itemType, bool readOnly, std::span<const CapItem, 5> values)
    : CCapOneValue(itemType, readOnly, values[0]), mMaximum(ItemFrom(values[2], GetItemSize())),
      mMinimum(ItemFrom(values[3], GetItemSize())), mStep(ItemFrom(values[4], GetItemSize())) {
    mDefault = ItemFrom(values[1], GetItemSize());
}

std::unique_ptr<CCapability> CCapRange::Duplicate() const {
    return std::make_unique<CCapRange>(*this);
}

bool CCapRange::GetValue(std::span<std::uint8_t> destination, ECapProperty property) const {
    const CapItem* value = property == kCapMaximum   ? &mMaximum
                           : property == kCapMinimum ? &mMinimum
                           : property == kCapStep    ? &mStep
                                                     : nullptr;
    if (!value)
        return CCapOneValue::GetValue(destination, property);
    if (destination.size() < value->size())
        return false;
    std::copy(value->begin(), value->end(), destination.begin());
    return true;
}

bool CCapRange::SetValue(std::span<const std::uint8_t> source, ECapProperty property) {
    if (source.size() < mCurrent.size() || mCurrent.size() != sizeof(float))
        return false;
    float value;
    if (GetItemType() == TWTY_FLOAT32) {
        std::memcpy(&value, source.data(), sizeof value);
    } else {
        TW_FIX32 fix;
        std::memcpy(&fix, source.data(), sizeof fix);
        value = Fix32ToFloat(fix);
    }
    float maximum = 0, minimum = 0;
    if (!ReadValue(maximum, kCapMaximum) || !ReadValue(minimum, kCapMinimum))
        return false;
    if (!(minimum <= value && value <= maximum)) // the step is deliberately not enforced
        return false;
    return CCapOneValue::SetValue(source, property);
}

TW_HANDLE CCapRange::CreateNativeContainer() const {
    TW_HANDLE container = NewContainer(TWON_RANGE, NativeItemType());
    CContainerBlock block(container, TWON_RANGE);
    if (!block.IsValid())
        return container;
    const std::pair<std::size_t, const CapItem*> fields[] = {
        {offsetof(TW_RANGE, MinValue), &mMinimum},     {offsetof(TW_RANGE, MaxValue), &mMaximum},
        {offsetof(TW_RANGE, StepSize), &mStep},        {offsetof(TW_RANGE, DefaultValue), &mDefault},
        {offsetof(TW_RANGE, CurrentValue), &mCurrent},
    };
    for (const auto& [offset, item] : fields) {
        if (item->size() <= kWord)
            EncodeNativeItem(*item, block.At(offset));
    }
    return container;
}
