// The scanner's image information: quarter turns exchange the sides, and one client's rows are kept even.
#include <gtest/gtest.h>

#include "QSDataSource.h"

namespace {

class QSImageInfoTest : public test::QSDataSourceTest {
protected:
    // Opens as the given application and sets a scan area pixels wide, then makes a transfer ready.
    void Ready(const char* maker, const char* product, TW_UINT16 pixelType, std::int32_t pixels) {
        Open(maker, product);
        ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, pixelType), TWRC_SUCCESS);
        SetCapSIntValue(Pool(), CCAP_OVK_MARGINLENGTH, 0);
        SetCapFloatValue(Pool(), CCAP_OVKM_SCANAREA_X, 0);
        SetCapFloatValue(Pool(), CCAP_OVKM_SCANAREA_Y, 0);
        SetCapFloatValue(Pool(), CCAP_OVKM_SCANAREA_WIDTH, pixels * 1200.0f / Float(ICAP_XRESOLUTION));
        SetCapFloatValue(Pool(), CCAP_OVKM_SCANAREA_HEIGHT, 3000);
        TW_USERINTERFACE ui{};
        ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    }
    TW_IMAGEINFO Info() {
        TW_IMAGEINFO info{};
        EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
        return info;
    }
};

TEST_F(QSImageInfoTest, OfficeClientGetsEvenRowsInBlackAndWhite) {
    Ready("Microsoft", "Microsoft Word", TWPT_BW, 1009);
    EXPECT_EQ(+Info().ImageWidth, 1008); // 127 bytes made 126
    SetCapFloatValue(Pool(), CCAP_OVKM_SCANAREA_WIDTH, 1001 * 1200.0f / Float(ICAP_XRESOLUTION));
    EXPECT_EQ(+Info().ImageWidth, 1001); // already 126 bytes
}

TEST_F(QSImageInfoTest, OfficeClientGetsEvenRowsInGrey) {
    Ready("Microsoft", "Microsoft Word", TWPT_GRAY, 1001);
    EXPECT_EQ(+Info().ImageWidth, 1000);
}

TEST_F(QSImageInfoTest, QuarterTurnsExchangeWidthAndLength) {
    Ready("Test Maker", "Test Scan", TWPT_GRAY, 1001);
    const TW_IMAGEINFO upright = Info();
    EXPECT_EQ(+upright.ImageWidth, 1001);
    SetCapSIntValue(Pool(), CCAP_OVK_DATAORIENTATION, 2);
    const TW_IMAGEINFO turned = Info();
    EXPECT_EQ(+turned.ImageWidth, +upright.ImageLength);
    EXPECT_EQ(+turned.ImageLength, +upright.ImageWidth);
    SetCapSIntValue(Pool(), CCAP_OVK_DATAORIENTATION, 3);
    EXPECT_EQ(+Info().ImageWidth, +upright.ImageWidth);
}

} // namespace
