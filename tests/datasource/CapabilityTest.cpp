// Capability objects and containers: value rules of each class, conversions, and refusal of malformed
// containers from applications.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "CapHelpers.h"
#include "Capability.h"
#include "ContainerBlock.h"
#include "Containers.h"
#include "FixedPoint.h"

namespace {

CapItem FloatItem(float value) {
    CapItem item(sizeof value);
    std::memcpy(item.data(), &value, sizeof value);
    return item;
}

CCapRange MakeRange() {
    // current, default, maximum, minimum, step
    const std::array<CapItem, 5> values{FloatItem(100), FloatItem(100), FloatItem(600), FloatItem(50),
                                        FloatItem(7)};
    return CCapRange(TWTY_FLOAT32, false, values);
}

CapItem Str32(const char* text) {
    CapItem item(34, 0);
    item[0] = static_cast<std::uint8_t>(std::strlen(text));
    std::memcpy(item.data() + 1, text, std::strlen(text));
    return item;
}

CCapEnum MakeUInt16Enum(std::vector<TW_UINT16> values, std::uint32_t index) {
    std::vector<CapItem> items;
    for (TW_UINT16 value : values)
        items.push_back({static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)});
    return CCapEnum(TWTY_UINT16, false, items, index, index);
}

} // namespace

TEST(CapabilityValues, RangeAcceptsItsBoundsWhateverTheStepAndRefusesBeyond) {
    CCapRange range = MakeRange();
    float value = 0;
    EXPECT_TRUE(range.WriteValue(50.0f));
    EXPECT_TRUE(range.WriteValue(600.0f));
    EXPECT_TRUE(range.WriteValue(51.0f));
    EXPECT_FALSE(range.WriteValue(600.01f));
    EXPECT_FALSE(range.WriteValue(49.99f));
    ASSERT_TRUE(range.ReadValue(value));
    EXPECT_EQ(value, 51.0f);
    range.Reset();
    ASSERT_TRUE(range.ReadValue(value));
    EXPECT_EQ(value, 100.0f);
}

TEST(CapabilityValues, EnumerationRefusesUnlistedValueAndKeepsIndex) {
    CCapEnum pixelType = MakeUInt16Enum({0, 1, 2}, 0);
    EXPECT_TRUE(pixelType.WriteValue(std::uint16_t{2}));
    EXPECT_EQ(pixelType.GetCurrentIndex(), 2u);
    EXPECT_FALSE(pixelType.WriteValue(std::uint16_t{7}));
    EXPECT_EQ(pixelType.GetCurrentIndex(), 2u);
    pixelType.Reset();
    EXPECT_EQ(pixelType.GetCurrentIndex(), 0u);
}

TEST(CapabilityValues, ArrayIgnoresValueItAlreadyHolds) {
    CCapArray caps(TWTY_UINT16, true, {{1, 0}, {5, 0x10}});
    EXPECT_TRUE(caps.WriteValue(std::uint16_t{0x1005}));
    EXPECT_EQ(caps.GetValueCount(), 2u);
    EXPECT_TRUE(caps.WriteValue(std::uint16_t{0x1006}));
    EXPECT_EQ(caps.GetValueCount(), 3u);
}

TEST(CapabilityValues, NumericConversionsSignExtendTruncateAndSaturate) {
    const std::int8_t minusOne = -1;
    CCapOneValue int8(TWTY_INT8, false, {reinterpret_cast<const std::uint8_t*>(&minusOne), 1});
    std::uint32_t u = 0;
    std::int32_t s = 0;
    ASSERT_TRUE(int8.ReadValue(u));
    EXPECT_EQ(u, 0xFFFFFFFFu);

    CCapOneValue own(TWTY_FLOAT32, false, FloatItem(-3.7f));
    ASSERT_TRUE(own.ReadValue(u));
    ASSERT_TRUE(own.ReadValue(s));
    EXPECT_EQ(u, 0u);
    EXPECT_EQ(s, -3);
    ASSERT_TRUE(own.WriteValue(5e9f));
    ASSERT_TRUE(own.ReadValue(u));
    EXPECT_EQ(u, 0xFFFFFFFFu);

    CCapOneValue uint32(TWTY_UINT32, false, CapItem(4, 0));
    ASSERT_TRUE(uint32.WriteValue(-1.0f));
    ASSERT_TRUE(uint32.ReadValue(u));
    EXPECT_EQ(u, 0u);
    CCapOneValue int16(TWTY_INT16, false, CapItem(2, 0));
    ASSERT_TRUE(int16.WriteValue(-3.9f));
    ASSERT_TRUE(int16.ReadValue(s));
    EXPECT_EQ(s, -3);

    CCapOneValue frame(TWTY_FRAME, false, CapItem(16, 0));
    EXPECT_FALSE(frame.ReadValue(u));
    EXPECT_FALSE(frame.WriteValue(1.0f));
}

TEST(FixedPoint, EncodesHalvesAndConvertsLengths) {
    const TW_FIX32 half = FloatToFix32(1.5f);
    EXPECT_EQ(half.Whole, 1);
    EXPECT_EQ(half.Frac, 0x8000);
    EXPECT_EQ(Fix32ToFloat(half), 1.5f);
    EXPECT_EQ(InchToPixel(FloatToFix32(-2.0f), 300), 0u);
    EXPECT_EQ(InchToPixel(FloatToFix32(30000.0f), 300000), 0xFFFFFFFFu);
    EXPECT_EQ(InchToPixel(FloatToFix32(8.5f), 300), 2550u);
    EXPECT_EQ(CmToPixel(FloatToFix32(2.54f), 300), 299u); // 2.54 is not exact in 1/65536
    EXPECT_EQ(Fix32ToFloat(PixelToInch(600, 300)), 2.0f);
    EXPECT_NEAR(Fix32ToFloat(PixelToCm(300, 300)), 2.54f, 1.0f / 65536);
    EXPECT_EQ(Fix32ToFloat(PixelToInch(600, 0)), 0.0f);
}

TEST(FixedPoint, ToneTables) {
    std::array<std::uint8_t, 256> table{};
    MakeGammaTable(1.0f, table);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(table[i], i);
    MakeGammaTable(2.2f, table);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[255], 255);
    EXPECT_GT(table[64], 64); // gamma above 1 lifts the mid-tones
    for (int i = 1; i < 256; ++i)
        ASSERT_GE(table[i], table[i - 1]);
}

TEST(NativeContainers, OwnFloatTravelsAsFix32BothWays) {
    CCapOneValue resolution(TWTY_FLOAT32, false, FloatItem(150));
    const auto container = test::OneValue(TWTY_FIX32, FloatToFix32(300.0f));
    ASSERT_EQ(resolution.AcceptsNativeContainer(TWON_ONEVALUE, container.get()), TWCC_SUCCESS);
    float value = 0;
    ASSERT_TRUE(resolution.ReadValue(value));
    EXPECT_EQ(value, 300.0f);

    const test::OwnedHandle out(resolution.CreateNativeContainer());
    EXPECT_EQ(test::ItemType(out.get()), TWTY_FIX32);
    const auto fix = test::Field<TW_FIX32>(out.get(), offsetof(TW_ONEVALUE, Item));
    EXPECT_EQ(fix.Whole, 300);
    EXPECT_EQ(fix.Frac, 0);
}

TEST(NativeContainers, EnumerationCarriesEveryEntryAndBothIndexes) {
    std::vector<CapItem> items{FloatItem(150), FloatItem(300), FloatItem(600)};
    CCapEnum resolution(TWTY_FLOAT32, false, items, 1, 2);
    const test::OwnedHandle out(resolution.CreateNativeContainer());
    EXPECT_EQ(test::ItemType(out.get()), TWTY_FIX32);
    EXPECT_EQ(test::Field<TW_UINT32>(out.get(), offsetof(TW_ENUMERATION, NumItems)), 3u);
    EXPECT_EQ(test::Field<TW_UINT32>(out.get(), offsetof(TW_ENUMERATION, CurrentIndex)), 2u);
    EXPECT_EQ(test::Field<TW_UINT32>(out.get(), offsetof(TW_ENUMERATION, DefaultIndex)), 1u);
    const auto last =
        test::Field<TW_FIX32>(out.get(), offsetof(TW_ENUMERATION, ItemList) + 2 * sizeof(TW_FIX32));
    EXPECT_EQ(last.Whole, 600);
}

TEST(NativeContainers, StringEnumerationTakesEntryAtCurrentIndex) {
    std::vector<CapItem> names{Str32("Fine"), Str32("Coarse")};
    CCapEnum halftone(TWTY_STR32, false, names, 0, 0);
    CapItem sent[] = {Str32("Fine"), Str32("Coarse")};
    std::vector<std::uint8_t> flat;
    for (const CapItem& item : sent)
        flat.insert(flat.end(), item.begin(), item.end());
    const auto container = test::Enumeration(TWTY_STR32, 34, flat.data(), 2, 1, 2);
    ASSERT_EQ(halftone.AcceptsNativeContainer(TWON_ENUMERATION, container.get()), TWCC_SUCCESS);
    EXPECT_EQ(halftone.GetCurrentIndex(), 1u);
}

TEST(NativeContainers, MalformedOrMismatchedContainersAreRefusedWithoutChange) {
    CCapEnum pixelType = MakeUInt16Enum({0, 1, 2}, 1);
    const TW_UINT16 entries[] = {0, 1, 2};
    // CurrentIndex past NumItems; a count no capability has (a damaged header); an unknown item type; no
    // container. Only the header can tell: a handle is a plain pointer without a size.
    const auto pastCount = test::Enumeration(TWTY_UINT16, 2, entries, 3, 3, 3);
    const auto hugeCount = test::Enumeration(TWTY_UINT16, 2, entries, kMaxContainerItems + 1, 900, 3);
    const auto unknownType = test::OneValue(TW_UINT16{0x0042}, TW_UINT32{1});
    EXPECT_EQ(pixelType.AcceptsNativeContainer(TWON_ENUMERATION, pastCount.get()), TWCC_BADVALUE);
    EXPECT_EQ(pixelType.AcceptsNativeContainer(TWON_ENUMERATION, hugeCount.get()), TWCC_BADVALUE);
    EXPECT_EQ(pixelType.AcceptsNativeContainer(TWON_ONEVALUE, unknownType.get()), TWCC_BADVALUE);
    EXPECT_EQ(pixelType.AcceptsNativeContainer(TWON_ONEVALUE, nullptr), TWCC_BADVALUE);

    // Wrong item type, an array container, an unlisted value.
    const auto wrongType = test::OneValue(TWTY_UINT32, TW_UINT32{2});
    const auto unlisted = test::OneValue(TWTY_UINT16, TW_UINT16{9});
    EXPECT_EQ(pixelType.AcceptsNativeContainer(TWON_ONEVALUE, wrongType.get()), TWCC_BADVALUE);
    EXPECT_EQ(pixelType.AcceptsNativeContainer(TWON_ARRAY, unlisted.get()), TWCC_BADVALUE);
    EXPECT_EQ(pixelType.AcceptsNativeContainer(TWON_ONEVALUE, unlisted.get()), TWCC_BADVALUE);
    EXPECT_EQ(pixelType.GetCurrentIndex(), 1u);

    CCapOneValue readOnly(TWTY_UINT16, true, CapItem(2, 0));
    const auto valid = test::OneValue(TWTY_UINT16, TW_UINT16{1});
    EXPECT_EQ(readOnly.AcceptsNativeContainer(TWON_ONEVALUE, valid.get()), TWCC_CAPBADOPERATION);
}

// On Linux a container is any memory the application points to: the C heap, the stack, or the source
// manager's blocks. None of them is refused for where it lies.
TEST(NativeContainers, PlainPointersAreContainers) {
    CCapEnum pixelType = MakeUInt16Enum({0, 1, 2}, 1);
    TW_UINT16 onStack[4] = {TWTY_UINT16, 2};
    ASSERT_EQ(pixelType.AcceptsNativeContainer(TWON_ONEVALUE, onStack), TWCC_SUCCESS);
    EXPECT_EQ(pixelType.GetCurrentIndex(), 2u);
    auto* fromMalloc = static_cast<TW_ONEVALUE*>(std::malloc(sizeof(TW_ONEVALUE)));
    fromMalloc->ItemType = TWTY_UINT16;
    fromMalloc->Item = 0;
    EXPECT_EQ(pixelType.AcceptsNativeContainer(TWON_ONEVALUE, fromMalloc), TWCC_SUCCESS);
    EXPECT_EQ(pixelType.GetCurrentIndex(), 0u);
    std::free(fromMalloc);
}

TEST(CapPool, LaterTablesOverrideAndCopiesAreIndependent) {
    const TW_INT32 one = 1, two = 2;
    const SMakeCapDesc generic[] = {{0xA000, TWON_ONEVALUE, TWTY_INT32, 0, &one, 0},
                                    {0xA001, TWON_ONEVALUE, TWTY_INT32, 0, &one, 0}};
    const SMakeCapDesc scanner[] = {{0xA001, TWON_ONEVALUE, TWTY_INT32, 0, &two, 0},
                                    {0xA002, 99, TWTY_INT32, 0, &two, 0}};
    CCapPool pool;
    ASSERT_TRUE(pool.MakeCapabilities(generic));
    ASSERT_TRUE(pool.MakeCapabilities(scanner));
    EXPECT_EQ(GetCapSIntValue(&pool, 0xA001), 2);
    EXPECT_EQ(pool.GetCapability(0xA002), nullptr);

    CCapPool copy;
    copy.Merge(pool);
    EXPECT_TRUE(copy.IsEqualToCapValues(pool, {}));
    ASSERT_TRUE(SetCapSIntValue(&copy, 0xA000, 5));
    EXPECT_EQ(GetCapSIntValue(&pool, 0xA000), 1);
    EXPECT_FALSE(copy.IsEqualToCapValues(pool, {}));
    const TW_UINT16 ignore[] = {0xA000};
    EXPECT_TRUE(copy.IsEqualToCapValues(pool, ignore));
}

TEST(CapHelpers, MissingCapabilitiesAndWrongTypesGiveEmptyAnswers) {
    CCapPool pool;
    const TW_UINT16 units = 0;
    const SMakeCapDesc rows[] = {{0x0102, TWON_ONEVALUE, TWTY_UINT16, 0, &units, 0}};
    ASSERT_TRUE(pool.MakeCapabilities(rows));
    std::array<std::uint8_t, 66> buffer;
    buffer.fill(0xEE);
    EXPECT_FALSE(GetCapStrValue(&pool, 0x0102, buffer));
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_EQ(GetCapUIntValue(&pool, 0x9999), 0u);
    EXPECT_FALSE(SetCapFloatValue(&pool, 0x9999, 1.0f));
    EXPECT_FALSE(SetCapStrValue(&pool, 0x0102, Str32("x")));
    EXPECT_EQ(GetCapUIntValue(nullptr, 0x0102), 0u);
    int32_t version = 0;
    EXPECT_FALSE(FlatteningCaps(&pool, version).has_value());
}
