// Array and enumeration capabilities: lists of fixed-size items, compared byte for byte except strings,
// which compare by their text.
#include "Capability.h"

#include <algorithm>
#include <cstddef>

#include "ContainerBlock.h"

namespace {

// Entries are stored length-prefixed; applications on this platform may send the same text
// zero-terminated instead, so an incoming string matches in either form. An unterminated or too long
// string matches nothing.
bool EqualStrings(std::span<const std::uint8_t> entry, std::span<const std::uint8_t> item, std::size_t size) {
    const std::size_t length = entry[0];
    if (length >= size)
        return false;
    const auto text = entry.subspan(1, length);
    const bool prefixed = item[0] == length && std::ranges::equal(text, item.subspan(1, length));
    const bool terminated = item[length] == 0 && std::ranges::equal(text, item.first(length));
    return prefixed || terminated;
}

bool EqualItems(TW_UINT16 itemType, std::span<const std::uint8_t> entry, std::span<const std::uint8_t> item,
                std::size_t size) {
    if (IsStringType(itemType))
        return EqualStrings(entry, item, size);
    return std::ranges::equal(entry.first(size), item.first(size));
}

} // namespace

CCapArray::CCapArray(TW_UINT16 itemType, bool readOnly, std::vector<CapItem> values)
    : CCapability(itemType, readOnly), mValues(std::move(values)) {
    for (CapItem& value : mValues)
        value.resize(GetItemSize(), 0);
}

std::unique_ptr<CCapability> CCapArray::Duplicate() const {
    return std::make_unique<CCapArray>(*this);
}

std::int64_t CCapArray::Find(std::span<const std::uint8_t> item) const {
    const std::size_t size = GetItemSize();
    if (size == 0 || item.size() < size)
        return -1;
    for (std::size_t i = 0; i < mValues.size(); ++i) {
        if (EqualItems(GetItemType(), mValues[i], item, size))
            return static_cast<std::int64_t>(i);
    }
    return -1;
}

bool CCapArray::SetValue(std::span<const std::uint8_t> source, ECapProperty) {
    const std::size_t size = GetItemSize();
    if (size == 0 || source.size() < size)
        return false;
    if (Find(source) < 0)
        mValues.emplace_back(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(size));
    return true;
}

bool CCapArray::GetValueAtIndex(std::uint32_t index, std::span<std::uint8_t> destination) const {
    if (index >= mValues.size() || mValues[index].size() != GetItemSize() ||
        destination.size() < GetItemSize())
        return false;
    std::copy(mValues[index].begin(), mValues[index].end(), destination.begin());
    return true;
}

// An array or enumeration holding the list; an enumeration's indexes are the caller's to write.
TW_HANDLE CCapArray::CreateListContainer(TW_UINT16 containerType) const {
    TW_HANDLE container = NewContainer(containerType, NativeItemType(), mValues.size());
    CContainerBlock block(container, containerType);
    if (!block.IsValid())
        return container;
    const std::size_t list =
        containerType == TWON_ARRAY ? offsetof(TW_ARRAY, ItemList) : offsetof(TW_ENUMERATION, ItemList);
    for (std::size_t i = 0; i < mValues.size(); ++i)
        EncodeNativeItem(mValues[i], block.At(list + i * GetItemSize()));
    return container;
}

TW_HANDLE CCapArray::CreateNativeContainer() const {
    return CreateListContainer(TWON_ARRAY);
}

CCapEnum::CCapEnum(TW_UINT16 itemType, bool readOnly, std::vector<CapItem> values, std::uint32_t defaultIndex,
                   std::uint32_t currentIndex)
    : CCapArray(itemType, readOnly, std::move(values)), mCurrentIndex(currentIndex),
      mDefaultIndex(defaultIndex) {
    // Indexes past the list would make every read of this capability undefined.
    if (mDefaultIndex >= mValues.size())
        mDefaultIndex = 0;
    if (mCurrentIndex >= mValues.size())
        mCurrentIndex = mDefaultIndex;
}

std::unique_ptr<CCapability> CCapEnum::Duplicate() const {
    return std::make_unique<CCapEnum>(*this);
}

bool CCapEnum::GetValue(std::span<std::uint8_t> destination, ECapProperty property) const {
    return GetValueAtIndex(property == kCapDefault ? mDefaultIndex : mCurrentIndex, destination);
}

bool CCapEnum::SetValue(std::span<const std::uint8_t> source, ECapProperty property) {
    const std::int64_t index = Find(source);
    if (index < 0)
        return false;
    (property == kCapDefault ? mDefaultIndex : mCurrentIndex) = static_cast<std::uint32_t>(index);
    return true;
}

bool CCapEnum::SetCurrentIndex(std::uint32_t index) {
    if (index >= mValues.size())
        return false;
    mCurrentIndex = index;
    return true;
}

TW_HANDLE CCapEnum::CreateNativeContainer() const {
    TW_HANDLE container = CreateListContainer(TWON_ENUMERATION);
    CContainerBlock block(container, TWON_ENUMERATION);
    block.Write(offsetof(TW_ENUMERATION, CurrentIndex), static_cast<TW_UINT32>(mCurrentIndex));
    block.Write(offsetof(TW_ENUMERATION, DefaultIndex), static_cast<TW_UINT32>(mDefaultIndex));
    return container;
}
