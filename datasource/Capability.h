// The CCapability family: one TWAIN capability each, its values kept in the data source's own
// representation (fixed-size items of the capability's item type), converted to and from TWAIN containers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "twain.h"

// The data source's own item type: a 32-bit IEEE float, shown to applications as TWTY_FIX32.
constexpr TW_UINT16 TWTY_FLOAT32 = 0x100;

// Which value of a capability an operation means.
enum ECapProperty : int { kCapCurrent = 0, kCapDefault = 1, kCapMaximum = 2, kCapMinimum = 3, kCapStep = 4 };

// Bytes of one item; 0 for an unknown type.
std::size_t GetItemSize(TW_UINT16 itemType);
bool IsStringType(TW_UINT16 itemType);

// One stored item: exactly the item size in bytes.
using CapItem = std::vector<std::uint8_t>;

class CCapability {
public:
    CCapability(TW_UINT16 itemType, bool readOnly) : mItemType(itemType), mReadOnly(readOnly) {}
    virtual ~CCapability() = default;

    virtual TW_UINT16 GetContainerType() const = 0;
    virtual std::unique_ptr<CCapability> Duplicate() const = 0;
    // Copies the selected value into destination (at least the item size); false leaves it untouched.
    virtual bool GetValue(std::span<std::uint8_t> destination, ECapProperty property) const = 0;
    // Takes the item size of bytes from source (at least that long).
    virtual bool SetValue(std::span<const std::uint8_t> source, ECapProperty property) = 0;
    virtual void Reset() = 0;
    // A fresh container the caller owns and frees with twain::FreeContainer; null when memory is short.
    virtual TW_HANDLE CreateNativeContainer() const = 0;

    // Sets the current value from an application's container, checking every size and index against the
    // container's block. Returns a TWAIN condition code; on failure nothing changes.
    TW_UINT16 AcceptsNativeContainer(TW_UINT16 containerType, TW_HANDLE container);

    // Numeric reads and writes with the item type's conversions; false for frames and strings.
    bool ReadValue(float& out, ECapProperty property = kCapCurrent) const;
    bool ReadValue(std::uint32_t& out, ECapProperty property = kCapCurrent) const;
    bool ReadValue(std::int32_t& out, ECapProperty property = kCapCurrent) const;
    bool WriteValue(std::int8_t value, ECapProperty property = kCapCurrent);
    bool WriteValue(std::uint8_t value, ECapProperty property = kCapCurrent);
    bool WriteValue(std::int16_t value, ECapProperty property = kCapCurrent);
    bool WriteValue(std::uint16_t value, ECapProperty property = kCapCurrent);
    bool WriteValue(std::int32_t value, ECapProperty property = kCapCurrent);
    bool WriteValue(std::uint32_t value, ECapProperty property = kCapCurrent);
    bool WriteValue(float value, ECapProperty property = kCapCurrent);

    TW_UINT16 GetItemType() const { return mItemType; }
    std::size_t GetItemSize() const { return ::GetItemSize(mItemType); }
    bool IsReadOnly() const { return mReadOnly; }

protected:
    // The item type applications see: TWTY_FIX32 for the own float.
    TW_UINT16 NativeItemType() const;
    // Writes one item into a container slot of the native item's size, converting the own float.
    void EncodeNativeItem(const CapItem& item, std::uint8_t* slot) const;

private:
    bool WriteInteger(std::int64_t value, ECapProperty property);
    bool WriteNumber(double value, ECapProperty property);
    bool ReadNumber(double& out, ECapProperty property) const;
    template <class T> bool ReadInteger(T& out, ECapProperty property) const;
    TW_UINT16 AcceptItem(const std::uint8_t* item, TW_UINT16 itemType);

    TW_UINT16 mItemType;
    bool mReadOnly;
};

// One current and one default value.
class CCapOneValue : public CCapability {
public:
    CCapOneValue(TW_UINT16 itemType, bool readOnly, std::span<const std::uint8_t> initial);

    TW_UINT16 GetContainerType() const override { return TWON_ONEVALUE; }
    std::unique_ptr<CCapability> Duplicate() const override;
    bool GetValue(std::span<std::uint8_t> destination, ECapProperty property) const override;
    bool SetValue(std::span<const std::uint8_t> source, ECapProperty property) override;
    void Reset() override { mCurrent = mDefault; }
    TW_HANDLE CreateNativeContainer() const override;

protected:
    CapItem mCurrent;
    CapItem mDefault;
};

// A one value bounded by a minimum and a maximum; built with the own float type.
class CCapRange : public CCapOneValue {
public:
    // values: current, default, maximum, minimum, step.
    CCapRange(TW_UINT16 itemType, bool readOnly, std::span<const CapItem, 5> values);

    TW_UINT16 GetContainerType() const override { return TWON_RANGE; }
    std::unique_ptr<CCapability> Duplicate() const override;
    bool GetValue(std::span<std::uint8_t> destination, ECapProperty property) const override;
    bool SetValue(std::span<const std::uint8_t> source, ECapProperty property) override;
    TW_HANDLE CreateNativeContainer() const override;

private:
    CapItem mMaximum;
    CapItem mMinimum;
    CapItem mStep;
};

// An ordered list of distinct values.
class CCapArray : public CCapability {
public:
    CCapArray(TW_UINT16 itemType, bool readOnly, std::vector<CapItem> values);

    TW_UINT16 GetContainerType() const override { return TWON_ARRAY; }
    std::unique_ptr<CCapability> Duplicate() const override;
    bool GetValue(std::span<std::uint8_t>, ECapProperty) const override { return false; }
    bool SetValue(std::span<const std::uint8_t> source, ECapProperty property) override;
    void Reset() override {}
    TW_HANDLE CreateNativeContainer() const override;

    std::uint32_t GetValueCount() const { return static_cast<std::uint32_t>(mValues.size()); }
    bool GetValueAtIndex(std::uint32_t index, std::span<std::uint8_t> destination) const;

protected:
    // Position of the first entry equal to item, or -1. Strings compare by their text, which may come
    // length-prefixed or zero-terminated.
    std::int64_t Find(std::span<const std::uint8_t> item) const;
    TW_HANDLE CreateListContainer(TW_UINT16 containerType) const;

    std::vector<CapItem> mValues;
};

// A list with a current and a default entry.
class CCapEnum : public CCapArray {
public:
    CCapEnum(TW_UINT16 itemType, bool readOnly, std::vector<CapItem> values, std::uint32_t defaultIndex,
             std::uint32_t currentIndex);

    TW_UINT16 GetContainerType() const override { return TWON_ENUMERATION; }
    std::unique_ptr<CCapability> Duplicate() const override;
    bool GetValue(std::span<std::uint8_t> destination, ECapProperty property) const override;
    bool SetValue(std::span<const std::uint8_t> source, ECapProperty property) override;
    void Reset() override { mCurrentIndex = mDefaultIndex; }
    TW_HANDLE CreateNativeContainer() const override;

    std::uint32_t GetCurrentIndex() const { return mCurrentIndex; }
    bool SetCurrentIndex(std::uint32_t index);
    std::uint32_t GetDefaultIndex() const { return mDefaultIndex; }

private:
    std::uint32_t mCurrentIndex;
    std::uint32_t mDefaultIndex;
};
