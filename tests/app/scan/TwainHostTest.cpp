// The application's TWAIN helpers without a data source: conversions that must stay inside their
// records, the identity test against the application's information keys, the result accumulation, and
// the handler's containers and bookkeeping, driven through a stand-in for the source manager.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ClientApp.h"
#include "DataSourceIdentity.h"
#include "PropertyList.h"
#include "VX_TWAINCommon.h"
#include "VX_TWAINHandler.h"

namespace {

fnd::Dictionary AppInfo() {
    fnd::plist::FileContents file = fnd::plist::readFile(APP_INFO_PLIST);
    EXPECT_TRUE(file.ok()) << file.error;
    const fnd::Dictionary* info = file.value.asDictionary();
    return info ? *info : fnd::Dictionary{};
}

void Prefixed(TW_STR32& field, const char* text) {
    std::memset(field, 0, sizeof field);
    field[0] = static_cast<char>(std::strlen(text));
    std::memcpy(field + 1, text, std::strlen(text));
}

void ZeroTerminated(TW_STR32& field, const char* text) {
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text, sizeof field - 1);
}

TW_IDENTITY DataSourceIdentity(void (*write)(TW_STR32&, const char*)) {
    TW_IDENTITY id{};
    write(id.Manufacturer, kDSManufacturer);
    write(id.ProductFamily, kDSProductFamily);
    write(id.ProductName, kDSProductName);
    return id;
}

TW_FIX32 Fix(float value) {
    TW_FIX32 fix{};
    VX_TWAINCommon::floatToFix32(fix, value);
    return fix;
}

// A source manager that records the triplets and answers one-value containers made by the test.
struct SFakeManager {
    static inline std::vector<TW_UINT16> messages;
    static inline TW_UINT16 conType = TWON_ONEVALUE;
    static inline std::vector<std::uint8_t> answer; // the container's bytes for MSG_GETCURRENT
    static inline bool twain2 = false; // answers as a TWAIN 2 manager with memory functions of its own
    static inline int allocated = 0;
    static inline int freed = 0;
    static TW_HANDLE Allocate(TW_UINT32 size) {
        ++allocated;
        return std::calloc(1, size);
    }
    static void Free(TW_HANDLE handle) {
        ++freed;
        std::free(handle);
    }
    static TW_MEMREF Lock(TW_HANDLE handle) { return handle; }
    static void Unlock(TW_HANDLE) {}
    static TW_UINT16 Entry(pTW_IDENTITY origin, pTW_IDENTITY, TW_UINT32, TW_UINT16 dat, TW_UINT16 msg,
                           TW_MEMREF data) {
        messages.push_back(msg);
        if (twain2 && msg == MSG_OPENDSM)
            origin->SupportedGroups |= DF_DSM2;
        if (dat == DAT_ENTRYPOINT) {
            *static_cast<TW_ENTRYPOINT*>(data) = {
                sizeof(TW_ENTRYPOINT), &Entry, &Allocate, &Free, &Lock, &Unlock};
            return TWRC_SUCCESS;
        }
        if (msg == MSG_GETCURRENT) {
            auto* cap = static_cast<TW_CAPABILITY*>(data);
            cap->ConType = conType;
            cap->hContainer = std::calloc(1, answer.size());
            std::memcpy(cap->hContainer, answer.data(), answer.size());
        }
        return TWRC_SUCCESS;
    }
};

std::vector<std::uint8_t> OneValueBytes(TW_UINT16 itemType, const void* item, std::size_t itemBytes) {
    std::vector<std::uint8_t> bytes(offsetof(TW_ONEVALUE, Item) + itemBytes);
    std::memcpy(bytes.data() + offsetof(TW_ONEVALUE, ItemType), &itemType, sizeof itemType);
    std::memcpy(bytes.data() + offsetof(TW_ONEVALUE, Item), item, itemBytes);
    return bytes;
}

} // namespace

TEST(TwainCommon, InfoKeysNameTheDataSourceInBothStringForms) {
    const fnd::Dictionary info = AppInfo();
    EXPECT_TRUE(VX_TWAINCommon::isVXDS_Identity(DataSourceIdentity(Prefixed), info));
    EXPECT_TRUE(VX_TWAINCommon::isVXDS_Identity(DataSourceIdentity(ZeroTerminated), info));
    TW_IDENTITY other = DataSourceIdentity(Prefixed);
    Prefixed(other.ProductFamily, "Other Family");
    EXPECT_FALSE(VX_TWAINCommon::isVXDS_Identity(other, info));
}

TEST(TwainCommon, EmptyIdentityFieldsNeverMatchEvenEmptyKeys) {
    const fnd::Dictionary empty{{"VXDSManufacturer", ""}, {"VXDSProductFamily", ""}, {"VXDSProductName", ""}};
    EXPECT_FALSE(VX_TWAINCommon::isVXDS_Identity(TW_IDENTITY{}, empty));
    TW_IDENTITY id = DataSourceIdentity(Prefixed);
    std::memset(id.ProductName, 0, sizeof id.ProductName);
    EXPECT_FALSE(VX_TWAINCommon::isVXDS_Identity(id, AppInfo()));
}

TEST(TwainCommon, IdentityTextStaysInsideItsField) {
    TW_IDENTITY id{};
    std::memset(id.Manufacturer, 'M', sizeof id.Manufacturer); // no terminator at all
    id.ProductFamily[0] = 'F';
    EXPECT_EQ(VX_TWAINCommon::identityText(id.Manufacturer), std::string(sizeof id.Manufacturer, 'M'));
    Prefixed(id.ProductName, "Scanner");
    EXPECT_EQ(VX_TWAINCommon::identityText(id.ProductName), "Scanner");
    TW_STR32 field;
    VX_TWAINCommon::setIdentityText(field, std::string(40, 'x'));
    EXPECT_EQ(field[0], 32);
    EXPECT_EQ(field[33], 0);
    EXPECT_EQ(VX_TWAINCommon::identityText(field), std::string(32, 'x'));
}

TEST(TwainCommon, ResultsKeepTheFirstFailure) {
    bool success = true;
    TW_INT16 cell = 0;
    VX_TWAINCommon::setResult(0, &cell, &success);
    EXPECT_TRUE(success);
    VX_TWAINCommon::setResult(1, &cell, &success);
    VX_TWAINCommon::setResult(2, &cell, &success);
    EXPECT_FALSE(success);
    EXPECT_EQ(cell, 1);
    VX_TWAINCommon::setResult(3, nullptr, nullptr); // nothing to record into
}

TEST(TwainCommon, FixedPointRoundsAndSaturates) {
    EXPECT_EQ(VX_TWAINCommon::fix32ToFloat(TW_FIX32{300, 0}), 300.0f);
    EXPECT_EQ(VX_TWAINCommon::fix32ToFloat(TW_FIX32{-1, 32768}), -0.5f);
    const TW_FIX32 half = Fix(72.5f);
    EXPECT_EQ(half.Whole, 72);
    EXPECT_EQ(half.Frac, 32768);
    const TW_FIX32 negative = Fix(-20.0f); // exact, not one step above
    EXPECT_EQ(negative.Whole, -20);
    EXPECT_EQ(negative.Frac, 0);
    const TW_FIX32 minusHalf = Fix(-0.5f);
    EXPECT_EQ(minusHalf.Whole, -1);
    EXPECT_EQ(minusHalf.Frac, 32768);
    const TW_FIX32 huge = Fix(1e9f);
    EXPECT_EQ(huge.Whole, 32767);
    EXPECT_EQ(huge.Frac, 65535);
    const TW_FIX32 tiny = Fix(-1e9f);
    EXPECT_EQ(tiny.Whole, -32768);
    EXPECT_EQ(tiny.Frac, 0);
    const TW_FIX32 nan = Fix(std::nanf(""));
    EXPECT_EQ(nan.Whole, 0);
    EXPECT_EQ(nan.Frac, 0);
}

TEST(TwainCommon, Str32IsLengthPrefixedCutAndReadInEitherForm) {
    TW_STR32 record;
    VX_TWAINCommon::str32FromNSData(record, fnd::Data(50, 'a'));
    EXPECT_EQ(record[0], 32);
    EXPECT_EQ(VX_TWAINCommon::nsDataFromStr32(record), fnd::Data(32, 'a'));
    VX_TWAINCommon::str32FromNSData(record, std::nullopt);
    EXPECT_EQ(VX_TWAINCommon::nsDataFromStr32(record), std::nullopt);
    ZeroTerminated(record, "Error Diffusion");
    EXPECT_EQ(VX_TWAINCommon::nsDataFromStr32(record),
              fnd::Data({'E', 'r', 'r', 'o', 'r', ' ', 'D', 'i', 'f', 'f', 'u', 's', 'i', 'o', 'n'}));
}

TEST(TwainCommon, Str64HoldsUtf16UnitsAndAcceptsZeroTerminatedText) {
    TW_STR64 record;
    VX_TWAINCommon::str64FromNSStr(record, std::string());
    EXPECT_TRUE(std::all_of(record, record + sizeof record, [](char c) { return c == 0; }));
    EXPECT_EQ(VX_TWAINCommon::nsStrFromStr64(record), std::nullopt);
    VX_TWAINCommon::str64FromNSStr(record, std::string("Größe"));
    EXPECT_EQ(record[0], 5);
    EXPECT_EQ(VX_TWAINCommon::nsStrFromStr64(record), "Größe");
    VX_TWAINCommon::str64FromNSStr(record, std::string(100, 'n'));
    EXPECT_EQ(record[0], 32);
    EXPECT_EQ(VX_TWAINCommon::nsStrFromStr64(record), std::string(32, 'n'));
    std::memset(record, 'z', sizeof record); // zero-terminated form without its terminator
    EXPECT_EQ(VX_TWAINCommon::nsStrFromStr64(record), std::string(sizeof record, 'z'));
}

TEST(TwainCommon, Str255CopiesAtMostTheRecord) {
    TW_STR255 record;
    const std::vector<std::uint8_t> big(300, 7);
    VX_TWAINCommon::str255FromNSData(record, big);
    const auto back = VX_TWAINCommon::nsDataFromStr255(record);
    EXPECT_TRUE(std::all_of(back.begin(), back.end(), [](std::uint8_t b) { return b == 7; }));
    VX_TWAINCommon::str255FromNSData(record, {});
    EXPECT_EQ(VX_TWAINCommon::nsDataFromStr255(record)[0], 0);
}

TEST(TwainHandler, IdentityIsTheMakersOwnApplicationInTwain2Form) {
    VX_TWAINHandler handler("Orvik Electronics", "Orvik", "Tollivar", "1.00", &SFakeManager::Entry);
    const TW_IDENTITY& app = handler.appIdentity();
    EXPECT_EQ(app.Manufacturer[0], 17); // length-prefixed: the form the data source compares
    EXPECT_EQ(VX_TWAINCommon::identityText(app.Manufacturer), "Orvik Electronics");
    EXPECT_EQ(VX_TWAINCommon::identityText(app.ProductName), "Tollivar");
    EXPECT_EQ(VX_TWAINCommon::identityText(app.Version.Info), "1.00");
    EXPECT_EQ(TW_UINT32{app.SupportedGroups}, DG_CONTROL | DG_IMAGE | DF_APP2);
    EXPECT_EQ(handler.getDSState(), kVXStateDSMClosed);
    EXPECT_EQ(CClientApp(app).ClientId(), CClientApp::kOwnApplication);
}

TEST(TwainHandler, ClosingAManagerNeverOpenedSendsNothing) {
    SFakeManager::messages.clear();
    {
        VX_TWAINHandler handler("Orvik Electronics", "Orvik", "Tollivar", "1.00", &SFakeManager::Entry);
        EXPECT_EQ(handler.closeDSM(), kVXNoSourceManager);
    }
    EXPECT_TRUE(SFakeManager::messages.empty());
}

TEST(TwainHandler, NarrowItemsAreReadAsTheirWholeWordAndStringsWhole) {
    VX_TWAINHandler handler("Orvik Electronics", "Orvik", "Tollivar", "1.00", &SFakeManager::Entry);
    const TW_UINT32 word = 0xBEEF0001; // a BOOL item and the two bytes after it
    SFakeManager::answer = OneValueBytes(TWTY_BOOL, &word, sizeof word);
    VX_CapItem item;
    TW_UINT16 type = 0;
    EXPECT_EQ(handler.getDSCapability(MSG_GETCURRENT, 0x1007, item, type), TWRC_SUCCESS);
    EXPECT_EQ(type, TWTY_BOOL);
    EXPECT_EQ(item.word, word);
    TW_STR64 name{};
    name[0] = 1;
    name[1] = 'A';
    SFakeManager::answer = OneValueBytes(TWTY_STR64, name, sizeof name);
    EXPECT_EQ(handler.getDSCapability(MSG_GETCURRENT, 0x8401, item, type), TWRC_SUCCESS);
    EXPECT_EQ(VX_TWAINCommon::nsStrFromStr64(item.str64), "A");
}

TEST(TwainHandler, ContainersClaimingMoreThanTheyHoldAreReadOnlyAsFarAsTheyGo) {
    VX_TWAINHandler handler("Orvik Electronics", "Orvik", "Tollivar", "1.00", &SFakeManager::Entry);
    const TW_UINT32 word = 0x41414141;
    SFakeManager::answer = OneValueBytes(TWTY_STR255, &word, sizeof word); // 6 bytes, claims 256
    VX_CapItem item;
    TW_UINT16 type = 0;
    EXPECT_EQ(handler.getDSCapability(MSG_GETCURRENT, 0x8410, item, type), TWRC_SUCCESS);
    EXPECT_EQ(item.str255[3], 'A');
    EXPECT_EQ(item.str255[4], 0);
    SFakeManager::conType = TWON_ENUMERATION;
    EXPECT_EQ(handler.getDSCapability(MSG_GETCURRENT, 0x8410, item, type), TWRC_INFONOTSUPPORTED);
    SFakeManager::conType = TWON_ONEVALUE;
}

TEST(TwainHandler, OneValueContainersPutTheItemWhereTheRecordSaysNotAtByteFour) {
    VX_TWAINHandler handler("Orvik Electronics", "Orvik", "Tollivar", "1.00", &SFakeManager::Entry);
    TW_CAPABILITY cap{0x8000, 0, nullptr};
    VX_CapItem item;
    std::memset(&item, 0, sizeof item);
    item.word = 0x12345678;
    ASSERT_EQ(handler.setupOneValue(cap, TWTY_INT32, item), 0);
    EXPECT_EQ(cap.ConType, TWON_ONEVALUE);
    const auto* one = static_cast<const TW_ONEVALUE*>(static_cast<TW_HANDLE>(cap.hContainer));
    EXPECT_EQ(one->ItemType, TWTY_INT32);
    EXPECT_EQ(TW_UINT32{one->Item}, 0x12345678u);
    handler.releaseContainer(cap);
    EXPECT_EQ(static_cast<TW_HANDLE>(cap.hContainer), nullptr);
}

TEST(TwainHandler, ContainersComeFromATwain2ManagersOwnMemoryFunctions) {
    SFakeManager::twain2 = true;
    SFakeManager::allocated = SFakeManager::freed = 0;
    {
        VX_TWAINHandler handler("Orvik Electronics", "Orvik", "Tollivar", "1.00", &SFakeManager::Entry);
        ASSERT_EQ(handler.openDSM(), TWRC_SUCCESS);
        VX_CapItem item;
        std::memset(&item, 0, sizeof item);
        EXPECT_EQ(handler.setDSCapability(0x8000, TWTY_INT32, item), TWRC_SUCCESS);
        SFakeManager::answer = OneValueBytes(TWTY_INT32, &item.word, sizeof item.word);
        TW_UINT16 type = 0;
        EXPECT_EQ(handler.getDSCapability(MSG_GETCURRENT, 0x8000, item, type), TWRC_SUCCESS);
    }
    SFakeManager::twain2 = false;
    EXPECT_EQ(SFakeManager::allocated, 1); // the container the handler sent
    EXPECT_EQ(SFakeManager::freed, 2);     // that one and the one the answer came in
}
