// The capability exchange against the real data source, loaded by the source manager, with an emulated
// scanner in its own process: the full set sent and read back, the back side through the side
// selector, the simple settings' colour modes, and a batch continued after another program scanned.
#include <gtest/gtest.h>

#include <memory>

#include "EmulatorFixture.h"
#include "PropertyList.h"
#include "QSCapIds.h"
#include "TlvDeviceCntlrCAPs.h"
#include "TwainTestApp.h"
#include "VX_TWAINCommon.h"

namespace {

fnd::Dictionary AppInfo() {
    const fnd::plist::FileContents file = fnd::plist::readFile(APP_INFO_PLIST);
    const fnd::Dictionary* info = file.value.asDictionary();
    return info ? *info : fnd::Dictionary{};
}

TlvToneTable Curve(int offset) {
    TlvToneTable table;
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<std::uint8_t>(std::min<std::size_t>(255, i + offset));
    return table;
}

// The stored keys whose values differ, so that a failure names the settings.
std::vector<std::string> DifferingKeys(const TlvScanSettingMdl& a, const TlvScanSettingMdl& b) {
    const fnd::Dictionary da = a.scanMdlToDict();
    const fnd::Dictionary db = b.scanMdlToDict();
    std::vector<std::string> keys;
    for (const auto& [key, value] : da)
        if (!(db.get(key) == value))
            keys.push_back(key);
    return keys;
}

// Values away from the defaults that the data source accepts and keeps as they are: the scan area is
// the one of the paper chosen, and fixed-point values are positive, since the data source's own
// encoding moves negative values up by one step.
TlvScanSettingMdl ChangedSettings() {
    TlvScanSettingMdl m;
    m.setIsUseDriverSetting(true);
    m.setCAP_AUTOFEED(1);
    m.setICAP_PIXELTYPE(TWPT_GRAY);
    m.setICAP_XRESOLUTION(300.0f);
    m.setICAP_YRESOLUTION(300.0f);
    m.setCAP_DUPLEXENABLED(1);
    m.setCCAP_OVK_BLANKSKIP(1);
    m.setICAP_BRIGHTNESS(100.0f);
    m.setICAP_BRIGHTNESS_Back(200.0f);
    m.setICAP_CONTRAST(50.0f);
    m.setICAP_CONTRAST_Back(250.0f);
    m.setCCAP_OVK_DROPOUT(1);
    m.setCCAP_OVK_DROPOUT_Back(2);
    m.setCCAP_OVK_EDGEEMPHASIS(1);
    m.setCCAP_OVK_DESKEW(0);
    m.setCCAP_OVKM_PAPERSIZE(9); // Letter: 8.5 x 11 inches in 1/1200 inch
    m.setCCAP_OVKM_SCANAREA_WIDTH(10200);
    m.setCCAP_OVKM_SCANAREA_HEIGHT(13200);
    m.setCCAP_OVK_DETECTPAGESIZE(0);
    m.setCCAP_OVKM_GRAYCURVE(Curve(10));
    m.setCCAP_OVKM_GRAYCURVE_Back(Curve(20));
    m.setCCAP_OVKM_GRAYGAMMA(1.5f);
    m.setCCAP_OVKM_GRAYGAMMA_Back(2.25f);
    return m;
}

class CapExchangeDevice : public test::EmulatorFixture {
protected:
    void SetUp() override {
        EmulatorFixture::SetUp();
        ASSERT_TRUE(StartEmulator({"gen:ramp-a4 1"})) << "the emulator never served " << Socket();
        Open();
    }
    void TearDown() override {
        Close();
        EmulatorFixture::TearDown();
    }
    void Open() {
        mHandler = std::make_unique<VX_TWAINHandler>("Orvik Electronics", "Orvik", "Tollivar", "1.00");
        ASSERT_EQ(mHandler->openVXDS(AppInfo()), TWRC_SUCCESS);
        mCaps = std::make_unique<TlvDeviceCntlrCAPs>(*mHandler);
    }
    void Close() {
        mCaps.reset();
        mHandler.reset();
    }
    // Sends model as the start of a batch; every capability must be accepted.
    void Send(const TlvScanSettingMdl& model, bool pageListEmpty = true) {
        TW_INT16 rc = 0;
        ASSERT_TRUE(mCaps->setCCAPsValues(&model, false, pageListEmpty, &rc)) << "first refusal " << rc;
    }
    TW_INT32 ReadWord(TW_UINT16 cap) {
        VX_CapItem item;
        TW_UINT16 type = 0;
        EXPECT_EQ(mHandler->getDSCapability(MSG_GETCURRENT, cap, item, type), TWRC_SUCCESS) << cap;
        return static_cast<TW_INT32>(item.word);
    }
    float ReadFix(TW_UINT16 cap) {
        VX_CapItem item;
        TW_UINT16 type = 0;
        EXPECT_EQ(mHandler->getDSCapability(MSG_GETCURRENT, cap, item, type), TWRC_SUCCESS) << cap;
        EXPECT_EQ(type, TWTY_FIX32);
        return VX_TWAINCommon::fix32ToFloat(item.fix);
    }
    void SelectSide(TW_INT32 side) {
        VX_CapItem item{};
        item.word = static_cast<TW_UINT32>(side);
        ASSERT_EQ(mHandler->setDSCapability(CCAP_OVK_WINDOW, TWTY_INT32, item), TWRC_SUCCESS);
    }

    std::unique_ptr<VX_TWAINHandler> mHandler;
    std::unique_ptr<TlvDeviceCntlrCAPs> mCaps;
};

} // namespace

TEST_F(CapExchangeDevice, TheFullSetSentIsReadBack) {
    const TlvScanSettingMdl sent = ChangedSettings();
    Send(sent);
    TlvScanSettingMdl read;
    read.setIsUseDriverSetting(true);
    TW_INT16 rc = 0;
    ASSERT_TRUE(mCaps->getCCAPsValues(&read, &rc)) << "first refusal " << rc;
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(DifferingKeys(read, sent), std::vector<std::string>{});
}

// A custom area, as the data source's dialog leaves it, comes back as it went out, and the data source's
// size code calls it no paper rather than the paper it lies on.
TEST_F(CapExchangeDevice, ACustomAreaComesBackAsSentAndIsNoPaper) {
    TlvScanSettingMdl sent = ChangedSettings();
    sent.setCCAP_OVKM_CUSTOM_SCANAREA(1);
    sent.setCCAP_OVKM_SCANAREA_X(1200);
    sent.setCCAP_OVKM_SCANAREA_Y(1200);
    sent.setCCAP_OVKM_SCANAREA_WIDTH(4800);
    sent.setCCAP_OVKM_SCANAREA_HEIGHT(4800);
    Send(sent);
    EXPECT_EQ(ReadWord(ICAP_SUPPORTEDSIZES) & 0xFFFF, TWSS_NONE);
    TlvScanSettingMdl read;
    read.setIsUseDriverSetting(true);
    TW_INT16 rc = 0;
    ASSERT_TRUE(mCaps->getCCAPsValues(&read, &rc)) << "first refusal " << rc;
    EXPECT_EQ(DifferingKeys(read, sent), std::vector<std::string>{});
}

TEST_F(CapExchangeDevice, BackSideValuesReachTheTwinsThroughTheSideSelector) {
    Send(ChangedSettings());
    EXPECT_EQ(ReadWord(CCAP_OVK_WINDOW), kWindowFront);
    EXPECT_EQ(ReadFix(ICAP_BRIGHTNESS), 100.0f);
    EXPECT_EQ(ReadWord(CCAP_OVK_DROPOUT), 1);
    SelectSide(kWindowBack);
    EXPECT_EQ(ReadFix(ICAP_BRIGHTNESS), 200.0f);
    EXPECT_EQ(ReadFix(ICAP_CONTRAST), 250.0f);
    EXPECT_EQ(ReadWord(CCAP_OVK_DROPOUT), 2);
    EXPECT_EQ(ReadFix(CCAP_OVKM_GRAYGAMMA), 2.25f);
    SelectSide(kWindowFront);
    EXPECT_EQ(ReadFix(CCAP_OVKM_GRAYGAMMA), 1.5f);
}

TEST_F(CapExchangeDevice, SimpleColourModesOverrideWhatTheModelHolds) {
    TlvScanSettingMdl model = ChangedSettings();
    model.setIsUseDriverSetting(false);
    model.setScnStColType(3); // black and white
    model.setCCAP_OVK_TEXTENHANCE(1);
    model.setScnStResType(2);
    Send(model);
    EXPECT_EQ(ReadWord(ICAP_PIXELTYPE) & 0xFFFF, TWPT_BW);
    EXPECT_EQ(ReadWord(CCAP_OVK_TEXTENHANCE), 0);
    EXPECT_EQ(ReadWord(CCAP_OVK_DETECTPAGETYPE), 0);
    EXPECT_EQ(ReadFix(ICAP_XRESOLUTION), 300.0f);
    VX_CapItem halftone;
    TW_UINT16 type = 0;
    ASSERT_EQ(mHandler->getDSCapability(MSG_GETCURRENT, ICAP_HALFTONES, halftone, type), TWRC_SUCCESS);
    EXPECT_EQ(VX_TWAINCommon::nsDataFromStr32(halftone.str32), TlvScanSettingMdl::noneHalftone());
    EXPECT_EQ(model.ccap_OVK_TEXTENHANCE(), 1);

    model.setScnStColType(0); // automatic colour detection
    Send(model);
    EXPECT_EQ(ReadWord(ICAP_PIXELTYPE) & 0xFFFF, TWPT_RGB);
    EXPECT_EQ(ReadWord(CCAP_OVK_DETECTPAGETYPE), 1);
}

TEST_F(CapExchangeDevice, AContinuedBatchAfterAnotherProgramScannedGetsTheFullSetAgain) {
    const TlvScanSettingMdl model = ChangedSettings();
    Send(model);
    Close();
    {
        // The other program scans a page in grey at 150 dpi; the data source keeps its settings.
        test::CTwainTestApp other("Other Maker");
        ASSERT_EQ(other.Open(), TWRC_SUCCESS);
        ASSERT_EQ(other.Set(ICAP_XRESOLUTION, TWTY_FIX32, 150u), TWRC_SUCCESS);
        ASSERT_EQ(other.Set(ICAP_YRESOLUTION, TWTY_FIX32, 150u), TWRC_SUCCESS);
        EXPECT_EQ(other.Scan().pages.size(), 1u);
        other.Close();
    }
    Open();
    ASSERT_EQ(ReadFix(ICAP_XRESOLUTION), 150.0f) << "the other program's setting did not survive";
    Send(model, false);
    EXPECT_EQ(ReadFix(ICAP_XRESOLUTION), 300.0f);
}
