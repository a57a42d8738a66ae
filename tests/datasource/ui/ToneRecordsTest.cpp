// The pure parts behind the tone palette and the scanner panels: the curve editor's points to its table
// and gamma, the user gamma records read back from the preferences, and the scanner's text fields.
#include "FixedPoint.h"
#include "ScannerInfoRecord.h"
#include "ToneCurve.h"
#include "UserGammaRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

const QSizeF kInner(256, 256); // one point per entry

QPointF At(int input, int output) {
    return {1.0 + input, 256.0 - output};
}

TEST(ToneCurve, StrokesFollowTheLineInEitherDirectionAndVerticalStrokesWriteNothing) {
    const ToneTable identity = IdentityToneTable();
    const std::vector<QPointF> rightwards{At(10, 200), At(20, 100)};
    const std::vector<QPointF> leftwards{At(20, 100), At(10, 200)};
    const ToneTable right = CurveThroughPoints(identity, rightwards, kInner);
    EXPECT_EQ(right[10], 200);
    EXPECT_EQ(right[15], 200 - 5 * 100 / 11);
    EXPECT_EQ(right[20], 20) << "the far end is not written";
    EXPECT_EQ(right[9], 9);
    EXPECT_EQ(CurveThroughPoints(identity, leftwards, kInner), right);
    const std::vector<QPointF> vertical{At(30, 0), At(30, 255), At(30, 128)};
    EXPECT_EQ(CurveThroughPoints(identity, vertical, kInner), identity);
}

TEST(ToneCurve, PointsOutsideTheAreaAreKeptAtItsEdges) {
    const std::vector<QPointF> wild{QPointF(-50, -50), QPointF(400, -80)};
    const ToneTable table = CurveThroughPoints(IdentityToneTable(), wild, kInner);
    EXPECT_EQ(table[0], 255);
    EXPECT_EQ(table[254], 255);
    EXPECT_EQ(table[255], 255) << "the last entry is reached from x = 1 + 256";
}

TEST(ToneCurve, GammaOfAPointStaysWithinTheOfferedRange) {
    EXPECT_FLOAT_EQ(GammaAtPoint(At(255, 128), kInner), kMinimumGamma) << "far right, mid-height";
    EXPECT_FLOAT_EQ(GammaAtPoint(QPointF(100, 0), kInner), kMaximumGamma) << "top edge";
    EXPECT_FLOAT_EQ(GammaAtPoint(At(0, 0), kInner), 1.0f) << "both ends of the diagonal";
    EXPECT_NEAR(GammaAtPoint(At(64, 128), kInner), 2.0f, 0.05f);
    ToneTable table{};
    MakeGammaTable(2.0f, table);
    EXPECT_EQ(table[64], 127);
    EXPECT_EQ(table[128], 180);
}

fnd::Dictionary WholeRecord(const std::string& name) {
    fnd::Dictionary record{{"Name", name}, {"GammaMethod", std::int64_t{0x11}}};
    for (const char* side : {"Front", "Back"})
        for (const char* channel : {"Gray", "Red", "Green", "Blue"}) {
            record.set(std::string(side) + channel + "Gamma", 1.8);
            record.set(std::string(side) + channel + "Curve", fnd::Data(256, 7));
        }
    return record;
}

TEST(UserGammaRecord, OnlyWholeRecordsWithinTheirBoundsAreUsed) {
    fnd::Dictionary shortCurve = WholeRecord("Short curve");
    shortCurve.set("BackBlueCurve", fnd::Data(255, 7));
    fnd::Dictionary longName = WholeRecord(std::string(33, 'N'));
    fnd::Dictionary unknownMethod = WholeRecord("Method");
    unknownMethod.set("GammaMethod", std::int64_t{0x100});
    fnd::Dictionary missingGamma = WholeRecord("Gamma");
    missingGamma.remove("FrontRedGamma");
    fnd::Dictionary wildGamma = WholeRecord("Wild");
    wildGamma.set("BackGrayGamma", 1e9);
    const fnd::Array list{WholeRecord("Good"),
                          shortCurve,
                          longName,
                          unknownMethod,
                          missingGamma,
                          wildGamma,
                          fnd::Value("not a record"),
                          WholeRecord(std::string(32, 'M'))};
    std::size_t damaged = 0;
    const std::vector<fnd::Dictionary> usable = UsableUserGammas(list, damaged);
    ASSERT_EQ(usable.size(), 2u);
    EXPECT_EQ(*usable[0].get("Name").asString(), "Good");
    EXPECT_EQ(*usable[1].get("Name").asString(), std::string(32, 'M'));
    EXPECT_EQ(damaged, 6u);
}

TEST(ScannerInfoRecord, TextIsReadWithinItsFieldWithOrWithoutItsZeroByte) {
    ScannerInfoBlock info{};
    std::memset(info.data(), 'A', 64); // a name that fills its field
    std::memcpy(info.data() + 64, " 2.10 ", 6);
    std::memset(info.data() + 70, 'V', 26); // version without its zero byte up to the flag
    info[96] = 1;
    const fnd::Dictionary read = ScannerInfoFromRecords(info, {900, 80, 7}, 1000000);
    EXPECT_EQ(*read.get("ScannerName").asString(), std::string(64, 'A'));
    EXPECT_EQ(*read.get("ScannerVersion").asString(), "2.10 " + std::string(26, 'V'));
    EXPECT_EQ(read.get("SupportDfdByUSS").asBool(), true);
    EXPECT_EQ(read.get("TotalScanCount").asInt64(), 900);
    EXPECT_EQ(read.get("RollerCount").asInt64(), 80);
    EXPECT_EQ(read.get("PadCount").asInt64(), 7);
}

} // namespace
