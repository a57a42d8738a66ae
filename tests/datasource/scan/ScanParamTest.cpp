// The scan parameters of a sheet as the capabilities set them: levels, packed fields, the prescan rules
// and the binarisation choice.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "QSDataSource.h"
#include "ScanParam.h"

namespace {

class ScanParamTest : public test::QSDataSourceTest {
protected:
    void SetUp() override { Open(); }
};

TEST_F(ScanParamTest, DefaultsGiveMiddleLevelsAndPackedSwitches) {
    ASSERT_EQ(SetBool(CAP_DUPLEXENABLED, true), TWRC_SUCCESS);
    SetCapSIntValue(Pool(), CCAP_OVK_BLANKSKIP, 1);
    SetCapSIntValue(Pool(), CCAP_OVK_BLANKSKIPSLICE3, 12);
    SetCapSIntValue(Pool(), CCAP_OVK_EDGEEMPHASIS, 3);
    const tagScanParam param = mDS->MakeScanParam(true, 0);
    EXPECT_EQ(param.brightnessFront, 128); // 0 on -1000..1000 in steps of 1000/127
    EXPECT_EQ(param.contrastFront, 4);     // 0 in steps of 1000/3
    EXPECT_EQ(param.brightnessBack, param.brightnessFront);
    EXPECT_EQ(param.duplex, 2u);
    EXPECT_EQ(param.batch, 1);
    EXPECT_EQ(param.blankSkip, (12u << 16) | 1u);
    EXPECT_EQ(param.edgeEmphasis, (3u << 16) | 1u);
    EXPECT_EQ(param.resolution, static_cast<std::uint32_t>(Float(ICAP_XRESOLUTION)));
    EXPECT_GT(param.scanWidth, 0);
}

TEST_F(ScanParamTest, PrescanNeitherFeedsOnNorSkipsBlankPages) {
    SetCapSIntValue(Pool(), CCAP_OVK_BLANKSKIP, 1);
    const tagScanParam kept = mDS->MakeScanParam(true, 2);
    EXPECT_EQ(kept.batch, 0);
    EXPECT_EQ(kept.blankSkip & 0xFFFFu, 0u);
    EXPECT_EQ(kept.keepPrescan, 1);
    EXPECT_EQ(mDS->MakeScanParam(true, 1).keepPrescan, 0);
}

TEST_F(ScanParamTest, BlackAndWhiteChoosesItsBinarisation) {
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TW_UINT16{TWPT_BW}), TWRC_SUCCESS);
    EXPECT_EQ(mDS->MakeScanParam(false, 0).pixelMode, 0u);
    EXPECT_EQ(mDS->MakeScanParam(false, 0).binarization, 0u);
    SetCapSIntValue(Pool(), CCAP_OVK_TEXTENHANCE, 1);
    EXPECT_EQ(mDS->MakeScanParam(false, 0).binarization, 2u);
    std::array<std::uint8_t, 34> name{15};
    std::memcpy(name.data() + 1, "Error Diffusion", 15);
    ASSERT_TRUE(SetCapStrValue(Pool(), ICAP_HALFTONES, name));
    EXPECT_EQ(mDS->MakeScanParam(false, 0).binarization, 1u);
}

} // namespace

namespace {

class ToneTableTest : public test::QSDataSourceTest {
protected:
    void SetUp() override {
        Open();
        SetCapSIntValue(Pool(), CCAP_OVKM_GAMMAMODE, 1);
    }
    static std::array<std::uint8_t, 256> Gamma(float gamma) {
        std::array<std::uint8_t, 256> table{};
        MakeGammaTable(gamma, table);
        return table;
    }
    static std::array<std::uint8_t, 256> Table(const std::uint8_t (&table)[256]) {
        std::array<std::uint8_t, 256> copy{};
        std::memcpy(copy.data(), table, copy.size());
        return copy;
    }
};

TEST_F(ToneTableTest, GammaModeCarriesTheCurvesAndClearsTheLevels) {
    SetCapFloatValue(Pool(), CCAP_OVKM_REDGAMMA, 2.2f);
    SetCapFloatValue(Pool(), BackTwin(CCAP_OVKM_REDGAMMA), 0.5f);
    std::array<std::uint8_t, 256> drawn{};
    for (std::size_t i = 0; i < drawn.size(); ++i)
        drawn[i] = static_cast<std::uint8_t>(255 - i);
    ASSERT_TRUE(SetCapStrValue(Pool(), CCAP_OVKM_GRAYCURVE, drawn));
    SetCapUIntValue(Pool(), CCAP_OVKM_GAMMAMETHOD, 1); // front grey uses its drawn curve
    const tagScanParam param = mDS->MakeScanParam(false, 0);
    EXPECT_EQ(Table(param.toneTables[0]), drawn);
    EXPECT_EQ(Table(param.toneTables[1]), Gamma(2.2f));
    EXPECT_EQ(Table(param.toneTables[4]), Gamma(1.0f)); // the back's grey keeps its gamma
    EXPECT_EQ(Table(param.toneTables[5]), Gamma(0.5f));
    EXPECT_EQ(param.brightnessFront, 0);
    EXPECT_EQ(param.contrastBack, 0);
}

TEST_F(ToneTableTest, BackCopiesTheFrontWhenItFollowsIt) {
    SetCapSIntValue(Pool(), CCAP_OVK_PRESCAN, 1);
    SetCapFloatValue(Pool(), CCAP_OVKM_BLUEGAMMA, 1.8f);
    SetCapFloatValue(Pool(), BackTwin(CCAP_OVKM_BLUEGAMMA), 0.4f);
    const tagScanParam param = mDS->MakeScanParam(false, 0);
    EXPECT_EQ(Table(param.toneTables[7]), Gamma(1.8f));
}

TEST_F(ToneTableTest, WithoutGammaModeTheLevelsApply) {
    SetCapSIntValue(Pool(), CCAP_OVKM_GAMMAMODE, 0);
    SetCapFloatValue(Pool(), CCAP_OVKM_GRAYGAMMA, 2.2f);
    const tagScanParam param = mDS->MakeScanParam(false, 0);
    EXPECT_EQ(Table(param.toneTables[0]), (std::array<std::uint8_t, 256>{}));
    EXPECT_NE(param.brightnessFront, 0);
}

} // namespace
