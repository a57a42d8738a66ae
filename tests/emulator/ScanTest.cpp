// Scanning on the emulated scanner: the end of a page as a short read, batches over the feeder, and the
// raw layout of the data (mirrored front, interleaved sides, line-order colour, the back side's offset,
// packed 12-bit calibration lines).
#include "EmulatorTest.h"

#include "RawScanReplay.h"
#include "ScannerModel.h"

#include <algorithm>

namespace k3100::test {
namespace {

constexpr uint8_t kFront[] = {0};
constexpr uint8_t kBoth[] = {0, 1};

class Scanning : public EmulatorTest {};

TEST_F(Scanning, PageEndsWithAShortReadCarryingTheResidue) {
    emulator.loadSheet(sheet());
    setWindows(window(300, 150, usb::kCompositionGrey, 13200));
    setFeeding(0, false);
    ASSERT_EQ(scanner->ExecScan(kFront), kScanOk);
    const Page page = readPage();
    ASSERT_TRUE(page.ended);
    const size_t expected = size_t(2552) * (13200 * 150 / 1200);
    EXPECT_EQ(page.bytes.size(), expected);
    EXPECT_EQ(page.lastRequested - page.information, expected % page.lastRequested)
        << "received = requested - information";

    uint8_t more[16];
    uint32_t length = sizeof more;
    EXPECT_EQ(scanner->ExecRead(length, more, DataKind::Image), kScanErrCheckCondition);
    EXPECT_EQ(senseError(), kScanErrCommandSequence) << "no further page without continuous feeding";
}

TEST_F(Scanning, PageEndingOnAReadBoundaryEndsWithAnEmptyRead) {
    emulator.loadSheet(sheet());
    setWindows(window(300, 150, usb::kCompositionGrey, 1200)); // 150 lines of 2552 bytes
    ASSERT_EQ(scanner->ExecScan(kFront), kScanOk);
    const Page page = readPage(2552 * 50);
    EXPECT_EQ(page.bytes.size(), 2552u * 150);
    EXPECT_EQ(page.information, 2552u * 50);
}

TEST_F(Scanning, BatchRunsUntilTheFeederIsEmpty) {
    emulator.loadSheet(sheet(), 3);
    setWindows(window(300, 100, usb::kCompositionGrey, 2400));
    setFeeding(0, true);
    ASSERT_EQ(scanner->ExecScan(kFront), kScanOk);
    for (int page = 0; page < 3; ++page)
        EXPECT_EQ(readPage().bytes.size(), 2552u * 200) << page;
    std::vector<uint8_t> buffer(131072);
    uint32_t length = buffer.size();
    EXPECT_EQ(scanner->ExecRead(length, buffer.data(), DataKind::Image), kScanErrCheckCondition);
    EXPECT_EQ(senseError(), kScanErrNoPaper);
    EXPECT_EQ(emulator.totalCount(), 3u);
}

TEST_F(Scanning, LikeSheetsReplayTheFirstSheetsBytesAndOtherSheetsAreDrawn) {
    emu::setReplayLikeScans(true);
    emu::Sheet tilted = sheet("gen:ramp-a5");
    tilted.skewDegrees = 2;
    emulator.loadSheet(sheet("gen:ramp-a5"), 2);
    emulator.loadSheet(tilted);
    emulator.loadSheet(sheet("gen:ramp-a5"));
    setWindows(window(300, 100, usb::kCompositionGrey, 2400));
    setFeeding(0, true);
    ASSERT_EQ(scanner->ExecScan(kFront), kScanOk);
    const Page drawn = readPage(777); // reads that end inside lines
    const Page replayed = readPage();
    const Page other = readPage();
    const Page again = readPage(4096);
    ASSERT_EQ(drawn.bytes.size(), 2552u * 200);
    EXPECT_EQ(replayed.bytes, drawn.bytes);
    EXPECT_EQ(other.bytes.size(), drawn.bytes.size());
    EXPECT_NE(other.bytes, drawn.bytes) << "a tilted sheet is drawn, not replayed";
    EXPECT_EQ(again.bytes, drawn.bytes) << "a sheet after another is drawn afresh alike";
    emu::setReplayLikeScans(false);
}

TEST_F(Scanning, StopBatchEndsContinuousFeeding) {
    emulator.loadSheet(sheet(), 2);
    setWindows(window(300, 100, usb::kCompositionGrey, 1200));
    setFeeding(0, true);
    ASSERT_EQ(scanner->ExecScan(kFront), kScanOk);
    readPage();
    ASSERT_EQ(scanner->ExecObjectPosition(PositionMode::Unload), kScanOk);
    ASSERT_EQ(scanner->ExecStopBatch(), kScanOk);
    uint8_t byte = 0;
    uint32_t length = 1;
    EXPECT_EQ(scanner->ExecRead(length, &byte, DataKind::Image), kScanErrCheckCondition);
    EXPECT_EQ(emulator.sheetsInFeeder(), 1u);
}

TEST_F(Scanning, ScanWithoutPaperOrWindowFails) {
    EXPECT_EQ(scanner->ExecScan(kFront), kScanErrCheckCondition);
    EXPECT_EQ(senseError(), kScanErrCommandSequence);
    setWindows(window(300, 300, usb::kCompositionGrey));
    EXPECT_EQ(scanner->ExecScan(kFront), kScanErrCheckCondition);
    EXPECT_EQ(senseError(), kScanErrNoPaper);
    EXPECT_EQ(scanner->ExecSetWindow(window(400, 300, usb::kCompositionGrey)), kScanErrCheckCondition);
    EXPECT_EQ(senseError(), kScanErrIllegalRequest);
}

// A sheet whose left half is black on both faces: mirroring and side order show in the raw line.
emu::Sheet halfBlackSheet() {
    emu::PageImage face(850, 1100, 100);
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width() / 2; ++x)
            face.pixel(x, y)[0] = face.pixel(x, y)[1] = face.pixel(x, y)[2] = 0;
    emu::PageImage back = face;
    return emu::sheetFromImages("half black", std::move(face), std::move(back));
}

TEST_F(Scanning, DuplexLinesInterleaveMirroredFrontWithBackAndOffsetTheBack) {
    emulator.loadSheet(halfBlackSheet());
    setWindows(window(300, 300, usb::kCompositionGrey, 1200));
    setFeeding(2, false);
    ASSERT_EQ(scanner->ExecSetAdjustData({0, 103, 700, 700, 700}, {0, 103, 700, 700, 700}), kScanOk);
    ASSERT_EQ(scanner->ExecScan(kBoth), kScanOk);
    const Page page = readPage();
    constexpr size_t kLine = 2552 * 2;
    constexpr int kOffset = 6250 * 300 / 25400; // 73 lines
    ASSERT_EQ(page.bytes.size(), kLine * (300 + kOffset));
    auto front = [&](int line, int column) { return page.bytes[line * kLine + 2 * (2551 - column)]; };
    auto back = [&](int line, int column) { return page.bytes[line * kLine + 2 * column + 1]; };

    const int line = 150;
    EXPECT_LT(front(line, 100), 30) << "left half of the front is black";
    EXPECT_GT(front(line, 2400), 120);
    EXPECT_LT(back(line, 100), 30);
    EXPECT_GT(back(line, 2400), 120);
    // Before the offset the back sensor still sees the backing; the front already sees paper.
    EXPECT_LT(back(10, 2400) + 15, back(line, 2400));
    EXPECT_GT(back(10, 2400), back(line, 100) + 20);
    EXPECT_GT(front(10, 2400), 120);
}

TEST_F(Scanning, SheetEdgesThrowAShadowThatTheOtherSensorSees) {
    emulator.loadSheet(sheet());
    usb::SScanWindow w = window(300, 300, usb::kCompositionGrey, 13200 + 480);
    w.top = static_cast<uint32_t>(-240); // 60 lines of backing ahead of the paper
    setWindows(w);
    setFeeding(2, false);
    ASSERT_EQ(scanner->ExecSetAdjustData({0, 103, 700, 700, 700}, {0, 103, 700, 700, 700}), kScanOk);
    ASSERT_EQ(scanner->ExecScan(kBoth), kScanOk);
    const Page page = readPage();
    constexpr size_t kLine = 2552 * 2;
    constexpr int kOffset = 6250 * 300 / 25400;
    ASSERT_EQ(page.bytes.size(), kLine * (3420 + kOffset));
    auto front = [&](int line) { return page.bytes[line * kLine + 2 * (2551 - 1276)]; };
    auto back = [&](int line) { return page.bytes[line * kLine + 2 * 1276 + 1]; };
    auto darkest = [](auto side, int from, int to) {
        int least = 255;
        for (int line = from; line < to; ++line)
            least = std::min<int>(least, side(line));
        return least;
    };
    const int backing = back(10);
    // The leading edge's shadow lies just ahead of the paper for the back sensor only, the trailing
    // edge's just behind it for the front sensor only.
    EXPECT_LT(darkest(back, 50 + kOffset, 60 + kOffset), backing - 30);
    EXPECT_GT(darkest(front, 40, 60), backing - 10);
    EXPECT_LT(darkest(front, 3360, 3370), backing - 30);
    EXPECT_GT(darkest(back, 3360 + kOffset, 3370 + kOffset), backing - 10);
}

TEST_F(Scanning, ColourLinesComeInLineOrder) {
    emu::PageImage red(850, 1100, 100);
    for (int y = 0; y < red.height(); ++y)
        for (int x = 0; x < red.width(); ++x)
            red.pixel(x, y)[1] = red.pixel(x, y)[2] = 0;
    emulator.loadSheet(emu::sheetFromImages("red", std::move(red), std::nullopt));
    setWindows(window(300, 150, usb::kCompositionColour, 1200));
    ASSERT_EQ(scanner->ExecSetAdjustData({0, 103, 2000, 2000, 2000}, {}), kScanOk);
    ASSERT_EQ(scanner->ExecScan(kFront), kScanOk);
    const Page page = readPage();
    ASSERT_EQ(page.bytes.size(), size_t(2552) * 3 * 150);
    const size_t line = size_t(2552) * 3 * 75;
    EXPECT_GT(page.bytes[line + 1276], 100);           // red line
    EXPECT_LT(page.bytes[line + 2552 + 1276], 20);     // green line
    EXPECT_LT(page.bytes[line + 2 * 2552 + 1276], 20); // blue line
}

std::vector<uint16_t> unpack12(const uint8_t* p, size_t samples) {
    std::vector<uint16_t> out;
    for (size_t i = 0; out.size() < samples; i += 3) {
        out.push_back(uint16_t(p[i] + 256 * (p[i + 1] & 0x0F)));
        if (out.size() < samples)
            out.push_back(uint16_t((p[i + 1] >> 4) + 16 * p[i + 2]));
    }
    return out;
}

class Calibration : public EmulatorTest {
protected:
    // One 8-line calibration scan of both sides, front colour line `channel` unpacked.
    std::vector<uint16_t> calibrationLine(uint8_t scanByte, const usb::SAdjustInfo& regs, int channel = 1) {
        setWindows(window(300, 300, usb::kCompositionColour, 9600 / 300, 12));
        EXPECT_EQ(scanner->ExecSetAdjustData(regs, regs), kScanOk);
        const uint8_t sides[] = {scanByte, scanByte};
        EXPECT_EQ(scanner->ExecScan(sides), kScanOk);
        const size_t colourLine = 2 * ((12 * 5104 / 8 + 1) / 2);
        std::vector<uint8_t> data(8 * 3 * colourLine);
        uint32_t length = data.size();
        EXPECT_EQ(scanner->ExecRead(length, data.data(), DataKind::Image), kScanOk);
        EXPECT_EQ(length, data.size());
        EXPECT_EQ(scanner->ExecObjectPosition(PositionMode::Unload), kScanOk);
        const auto both = unpack12(&data[4 * 3 * colourLine + channel * colourLine], 5104);
        std::vector<uint16_t> front;
        for (size_t i = 0; i < both.size(); i += 2)
            front.push_back(both[i]);
        return front;
    }
    static int minOf(const std::vector<uint16_t>& v) { return *std::min_element(v.begin(), v.end()); }
    static int maxOf(const std::vector<uint16_t>& v) { return *std::max_element(v.begin(), v.end()); }
};

TEST_F(Calibration, OffsetAndGainRegistersConvergeInOneStep) {
    // Dark scan: the offset register moves the black level as the calibration's formula expects.
    const int m = minOf(calibrationLine(0xFF, {0, 128, 0, 0, 0}));
    EXPECT_GT(m, 150);
    const int offset = 128 - int((m - 96) / 4096.0 * 1980 * 79 / (0.99 * 152));
    const int black = minOf(calibrationLine(0xFF, {0, uint8_t(offset), 0, 0, 0}));
    EXPECT_NEAR(black, 96, 4);

    // White strip: the gain register scales the signal so the brightest element meets its target.
    const int bright = maxOf(calibrationLine(0xFE, {0, uint8_t(offset), 2000, 2000, 2000}));
    ASSERT_LT(bright, 4095) << "not saturated";
    const int gain = 79 - int(double(bright) / 2730 * 79);
    const int white = maxOf(calibrationLine(0xFE, {uint8_t(gain), uint8_t(offset), 2000, 2000, 2000}));
    EXPECT_NEAR(white, 2730, 2730 * 0.03);
}

TEST_F(Calibration, LampsSaturateAndDarkScansIgnoreThem) {
    EXPECT_EQ(maxOf(calibrationLine(0xFE, {0, 103, 8191, 8191, 8191})), 4095);
    EXPECT_LT(maxOf(calibrationLine(0xFF, {0, 103, 8191, 8191, 8191})), 110);
}

TEST_F(Scanning, PageSizeDetectionReportsGeometry) {
    emulator.loadSheet(sheet("gen:blank-a4"));
    usb::SScanWindow w = window(300, 150, usb::kCompositionGrey, 47244);
    w.top = static_cast<uint32_t>(-472);
    setWindows(w);
    setFeeding(0, false, true);
    ASSERT_EQ(scanner->ExecScan(kFront), kScanOk);
    const Page page = readPage();
    uint8_t block[16];
    uint32_t length = 16;
    ASSERT_EQ(scanner->ExecRead(length, block, DataKind::GeometryB), kScanOk);
    const uint32_t documentLength = (block[12] << 24) | (block[13] << 16) | (block[14] << 8) | block[15];
    EXPECT_NEAR(documentLength, 14031, 12) << "A4 length in 1/1200 inch";
    length = 16;
    ASSERT_EQ(scanner->ExecRead(length, block, DataKind::GeometryA), kScanOk);
    const uint32_t scanned = (block[12] << 24) | (block[13] << 16) | (block[14] << 8) | block[15];
    EXPECT_EQ(page.bytes.size(), size_t(2552) * (scanned * 150 / 1200));
    length = 16;
    ASSERT_EQ(scanner->ExecRead(length, block, DataKind::GeometryC), kScanOk);
    EXPECT_EQ((block[4] << 24) | (block[5] << 16) | (block[6] << 8) | block[7], 472) << "top margin";
}

TEST_F(Scanning, ShortReadsFaultDeliversSmallPiecesWithGoodStatus) {
    emulator.loadSheet(sheet());
    std::string error;
    emulator.armFault(*emu::parseFaultSpec("short-reads", error));
    setWindows(window(300, 150, usb::kCompositionGrey, 2400));
    ASSERT_EQ(scanner->ExecScan(kFront), kScanOk);
    std::vector<uint8_t> buffer(2097152);
    uint32_t length = buffer.size();
    EXPECT_EQ(scanner->ExecRead(length, buffer.data(), DataKind::Image), kScanOk);
    EXPECT_LT(length, buffer.size());
    EXPECT_GT(length, 0u);
    const Page rest = readPage();
    EXPECT_EQ(length + rest.bytes.size(), 2552u * 300);
}

TEST_F(Scanning, JamDuringAPageEndsIt) {
    emulator.loadSheet(sheet(), 2);
    std::string error;
    emulator.armFault(*emu::parseFaultSpec("jam@read:2", error));
    setWindows(window(300, 300, usb::kCompositionGrey, 13200));
    ASSERT_EQ(scanner->ExecScan(kFront), kScanOk);
    std::vector<uint8_t> buffer(131072);
    uint32_t length = buffer.size();
    ASSERT_EQ(scanner->ExecRead(length, buffer.data(), DataKind::Image), kScanOk);
    length = buffer.size();
    EXPECT_EQ(scanner->ExecRead(length, buffer.data(), DataKind::Image), kScanErrCheckCondition);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(senseError(), kScanErrPaperJam);
    EXPECT_EQ(emulator.sheetsInFeeder(), 1u) << "the jammed sheet is out of the feeder";
}

} // namespace
} // namespace k3100::test
