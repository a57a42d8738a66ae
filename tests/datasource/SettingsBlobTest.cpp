// The settings blob's stored bytes, applying it back, and its life in the preferences file and in
// favourites. Blobs come from files, so wrong sizes and versions must leave the settings alone.
#include <fstream>

#include "DataSourcePreferences.h"
#include "QSDataSource.h"
#include "SettingsBlob.h"
#include "TestScanner.h"

namespace {

using test::QSDataSourceTest;

std::uint32_t LE32(const CapData& blob, std::size_t offset) {
    return blob[offset] | blob[offset + 1] << 8 | blob[offset + 2] << 16 |
           std::uint32_t{blob[offset + 3]} << 24;
}

class SettingsBlobTest : public QSDataSourceTest {
protected:
    CapData Flatten() {
        std::int32_t version = 0;
        std::optional<CapData> blob = Pool()->Flatten(version);
        EXPECT_EQ(version, 1);
        return blob.value_or(CapData());
    }
    // The table's values in a second data source (not opened: the scanner lock allows one session).
    CCapPool* FreshPool() {
        EXPECT_TRUE(mOther.SetupCapabilities());
        return mOther.GetCapPool();
    }
    void ChangeEverythingStored() {
        CCapPool* pool = Pool();
        SetCapSIntValue(pool, CAP_XFERCOUNT, 7);
        SetCapSIntValue(pool, CCAP_OVKM_CUSTOM_SCANAREA, 1);
        SetCapSIntValue(pool, CCAP_OVKM_SCANAREA_X, -12);
        SetCapSIntValue(pool, CCAP_OVKM_PAPERSIZE, kPaperCustom);
        SetCapUIntValue(pool, ICAP_PIXELTYPE, TWPT_RGB);
        SetCapFloatValue(pool, ICAP_XRESOLUTION, 400);
        SetCapFloatValue(pool, ICAP_YRESOLUTION, 400);
        SetCapFloatValue(pool, ICAP_BRIGHTNESS, 100);
        SetCapFloatValue(pool, BackTwin(ICAP_CONTRAST), -1000.0f / 3);
        SetCapFloatValue(pool, BackTwin(CCAP_OVKM_BLUEGAMMA), 2.2f);
        SetCapUIntValue(pool, CCAP_OVK_BLANKSKIP, 1);
        SetCapUIntValue(pool, BackTwin(CCAP_OVK_COLORENHANCE), 3);
        SetCapUIntValue(pool, CCAP_OVKM_GAMMAMETHOD, 0x81);
        SetCapStrValue(pool, CCAP_OVKM_CUSTOMPAGESIZENAME, EncodeCapName("Quittung \xE2\x82\xAC"));
        SetCapStrValue(pool, CCAP_OVKM_FAVORITENAME, EncodeCapName("Office"));
        std::uint8_t curve[256];
        MakeGammaTable(2.0f, curve);
        SetCapStrValue(pool, BackTwin(CCAP_OVKM_GREENCURVE), curve);
    }

    test::CTestQSDS mOther;
};

TEST_F(SettingsBlobTest, FieldsLieAtTheirStoredOffsets) {
    Open();
    ChangeEverythingStored();
    const CapData blob = Flatten();
    ASSERT_EQ(blob.size(), 2504u);
    EXPECT_EQ(blob[0], 7);
    EXPECT_EQ(blob[1], 0);
    EXPECT_EQ(LE32(blob, 4), 0xFFFFFFF4u);    // scan area X, signed
    EXPECT_EQ(blob[88] | blob[89] << 8, 400); // X resolution in whole dpi
    EXPECT_EQ(LE32(blob, 92), 1u);            // blank skip, little-endian
    EXPECT_EQ(LE32(blob, 104), 0xFFFFFFFEu);  // user paper
    EXPECT_EQ(blob[112], 10);                 // name length in UTF-16 units
    EXPECT_EQ(blob[113 + 2 * 9], 0xAC);       // the euro sign, low byte first
    EXPECT_EQ(blob[114 + 2 * 9], 0x20);
    const std::uint8_t brightness[] = {0x42, 0xC8, 0x00, 0x00}; // 100.0f, big-endian
    EXPECT_TRUE(std::equal(brightness, brightness + 4, blob.begin() + 188));
    EXPECT_EQ(LE32(blob, 256), 3u);          // back colour enhancement
    EXPECT_EQ(blob[1308 + 2 * 256 + 1], 15); // back green curve, gamma 2 at 1
    EXPECT_EQ(LE32(blob, 2368), 0x81u);
    EXPECT_EQ(blob[2438], 6);
    EXPECT_EQ(blob[178], 0); // reserved
}

TEST_F(SettingsBlobTest, ApplyingABlobRestoresEveryStoredSetting) {
    Open();
    ChangeEverythingStored();
    CCapPool* other = FreshPool();
    ASSERT_NE(other, nullptr);
    ASSERT_FALSE(Pool()->IsEqualToCapValues(*other, {}));
    ASSERT_TRUE(other->Unflatten(Flatten(), 1));
    EXPECT_TRUE(Pool()->IsEqualToCapValues(*other, {}));
}

TEST_F(SettingsBlobTest, UnknownResolutionIsSkippedWhileOtherFieldsApply) {
    Open();
    ChangeEverythingStored();
    CapData blob = Flatten();
    blob[88] = 250;
    blob[89] = 0;
    CCapPool* other = FreshPool();
    ASSERT_TRUE(other->Unflatten(blob, 1));
    EXPECT_EQ(GetCapFloatValue(other, ICAP_XRESOLUTION), 200.0f);
    EXPECT_EQ(GetCapFloatValue(other, ICAP_YRESOLUTION), 200.0f);
    EXPECT_EQ(GetCapUIntValue(other, CCAP_OVK_BLANKSKIP), 1u);
    EXPECT_EQ(GetCapFloatValue(other, ICAP_BRIGHTNESS), 100.0f);
}

// A damaged or foreign blob's value that no scan could use keeps that field's default; the rest applies.
TEST_F(SettingsBlobTest, FieldsOutsideTheirLimitsKeepTheirDefaults) {
    Open();
    ChangeEverythingStored();
    CapData blob = Flatten();
    const std::pair<std::size_t, std::uint32_t> damaged[] = {
        {220, 9},           // edge emphasis
        {240, 0},           // bleed-through threshold
        {76, 8},            // page-type detection threshold
        {80, 0},            // page-type detection amount
        {100, 101},         // blank-skip slice
        {280, 2},           // prescan
        {232, 0xFFFFFFFFu}, // text direction
    };
    for (const auto& [offset, value] : damaged)
        for (std::size_t i = 0; i < 4; ++i)
            blob[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    blob[0] = blob[1] = 0; // transfer count 0
    CCapPool* other = FreshPool();
    CCapPool defaults;
    defaults.Merge(*other);
    ASSERT_TRUE(other->Unflatten(blob, 1));
    for (TW_UINT16 id :
         {CCAP_OVK_EDGEEMPHASIS, CCAP_OVK_BLEEDTHROUGH_THRESHOLD, CCAP_OVK_DETECTPAGETYPE_THRESHOLD,
          CCAP_OVK_DETECTPAGETYPE_AMOUNT, CCAP_OVK_BLANKSKIPSLICE3, CCAP_OVK_PRESCAN,
          CCAP_OVK_RECOGNIZE_DIRECTION, CAP_XFERCOUNT})
        EXPECT_EQ(GetCapSIntValue(other, id), GetCapSIntValue(&defaults, id)) << id;
    EXPECT_EQ(GetCapUIntValue(other, CCAP_OVK_BLANKSKIP), 1u);
    EXPECT_EQ(GetCapFloatValue(other, ICAP_XRESOLUTION), 400.0f);
}

TEST_F(SettingsBlobTest, BlobOfAnotherVersionOrSizeChangesNothing) {
    Open();
    ChangeEverythingStored();
    const CapData good = Flatten();
    CapData shorter(good.begin(), good.end() - 1);
    CapData longer = good;
    longer.push_back(0);
    CCapPool* other = FreshPool();
    CCapPool untouched;
    untouched.Merge(*other);
    EXPECT_FALSE(other->Unflatten(good, 2));
    EXPECT_FALSE(other->Unflatten(shorter, 1));
    EXPECT_FALSE(other->Unflatten(longer, 1));
    EXPECT_FALSE(other->Unflatten(CapData(), 1));
    EXPECT_TRUE(other->IsEqualToCapValues(untouched, {}));
}

TEST_F(SettingsBlobTest, OverlongNameIsSkipped) {
    Open();
    CapData blob = Flatten();
    blob[2438] = 40; // more units than 66 bytes hold
    blob[2439] = 'X';
    ASSERT_TRUE(Pool()->Unflatten(blob, 1));
    std::uint8_t name[66] = {};
    GetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, name);
    EXPECT_EQ(name[0], 0);
}

// Random bytes of the right length are no blob: not one field of them is taken.
TEST_F(SettingsBlobTest, ABlobWithReservedBytesSetIsDamagedAndChangesNothing) {
    Open();
    CapData blob = Flatten();
    blob[0] = 5; // a transfer count the pool would take
    blob[199] = 0x5A;
    EXPECT_FALSE(Pool()->Unflatten(blob, 1));
    EXPECT_EQ(GetCapSIntValue(Pool(), CAP_XFERCOUNT), -1);
}

TEST_F(SettingsBlobTest, SettingsSurviveCloseAndOpen) {
    Open();
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 300), TWRC_SUCCESS);
    ASSERT_EQ(SetInt(CCAP_OVK_BLANKSKIP, 1), TWRC_SUCCESS);
    ASSERT_TRUE(mDS->SaveCustomCapabilities());
    const auto prefs = CDataSource::GetDataSourcePreference();
    ASSERT_TRUE(prefs);
    EXPECT_EQ(*prefs->get("CapDataVersion").asString(), "1");
    ASSERT_TRUE(prefs->get("CapData").asData());
    EXPECT_EQ(prefs->get("CapData").asData()->size(), 2504u);
    Close();

    Open();
    EXPECT_EQ(Float(ICAP_XRESOLUTION), 300.0f);
    EXPECT_EQ(Float(ICAP_YRESOLUTION), 300.0f);
    EXPECT_EQ(Int(CCAP_OVK_BLANKSKIP), 1);
}

// A damaged file is set aside, and its program told, as the source opens: not only once something saves.
TEST_F(SettingsBlobTest, DamagedOrForeignPreferencesOpenWithDefaults) {
    {
        std::ofstream damaged(mEnv.PreferencesPath());
        damaged << "<plist><dict><key>CapData</key>";
    }
    std::vector<std::filesystem::path> told;
    fnd::PreferencesFile::setSetAsideHandler(
        [&told](const std::filesystem::path& file, const std::filesystem::path&) { told.push_back(file); });
    Open();
    fnd::PreferencesFile::setSetAsideHandler(nullptr);
    EXPECT_EQ(told, std::vector<std::filesystem::path>{mEnv.PreferencesPath()});
    EXPECT_TRUE(std::filesystem::exists(mEnv.PreferencesPath().string() + ".damaged"));
    EXPECT_EQ(Float(ICAP_XRESOLUTION), 200.0f);
    Close();

    fnd::PreferencesFile prefs(mEnv.PreferencesPath());
    prefs.set("CapData", fnd::Data(100, 0xFF));
    prefs.set("CapDataVersion", "1");
    ASSERT_TRUE(prefs.save());
    Open();
    EXPECT_EQ(Int(CAP_XFERCOUNT), -1);
    EXPECT_EQ(Float(ICAP_XRESOLUTION), 200.0f);
}

TEST_F(SettingsBlobTest, SavingWithoutABlobRemovesTheStoredOne) {
    fnd::PreferencesFile prefs(mEnv.PreferencesPath());
    prefs.set("CapData", fnd::Data(2504, 0));
    prefs.set("CapDataVersion", "1");
    prefs.set("CustomPapers", fnd::Array());
    ASSERT_TRUE(prefs.save());
    test::CTestScanner generic; // a pool without flattening functions
    TW_IDENTITY app{};
    TW_ENTRYPOINT points = test::StandInManager::EntryPoints();
    ASSERT_EQ(generic.Dispatch(&app, DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &points), TWRC_SUCCESS);
    ASSERT_EQ(generic.Dispatch(&app, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_SUCCESS);
    ASSERT_TRUE(generic.SaveCustomCapabilities());
    prefs.reload();
    EXPECT_FALSE(prefs.values().contains("CapData"));
    EXPECT_FALSE(prefs.values().contains("CapDataVersion"));
    EXPECT_TRUE(prefs.values().contains("CustomPapers"));
}

TEST_F(SettingsBlobTest, FavouriteNameIsClearedOnceTheSettingsDiffer) {
    Open();
    SetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, EncodeCapName("Office"));
    const fnd::Dictionary favourite{{"Name", "Office"}, {"DataVersion", 1}, {"Data", fnd::Data(Flatten())}};
    fnd::PreferencesFile prefs(mEnv.PreferencesPath());
    prefs.set("FavoriteSettings", fnd::Array{favourite});
    ASSERT_TRUE(prefs.save());

    mDS->CheckCapabilities();
    std::uint8_t name[66] = {};
    GetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, name);
    EXPECT_EQ(name[0], 6);

    SetCapUIntValue(Pool(), CCAP_OVK_BLANKSKIP, 1);
    mDS->CheckCapabilities();
    GetCapStrValue(Pool(), CCAP_OVKM_FAVORITENAME, name);
    EXPECT_EQ(name[0], 0);
}

} // namespace
