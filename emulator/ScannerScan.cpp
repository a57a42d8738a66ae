// Scanning in the emulated scanner: SCAN starts a calibration scan (lamps on the white strip, or dark)
// or feeds a sheet; READ hands out the raw page, ending it with a short read and sense key 0 with the
// incorrect-length bit and the missing byte count; with continuous feeding the next READ feeds the next
// sheet. The back sensor trails the front by 6250 micrometres along the paper path.
#include "ScannerModel.h"

#include "ScannerSense.h"

#include "BigEndian.h"

#include <algorithm>
#include <initializer_list>

namespace k3100::emu {
namespace {

constexpr int32_t kSideOffsetMicrons = 6250;
constexpr int32_t kTrailingMargin1200 = 472; // backing read after the paper's end when sizing pages
constexpr size_t kShortReadPiece = 32 * 1024;
constexpr uint8_t kScanWhite = 0xFE;
constexpr uint8_t kScanDark = 0xFF;

std::vector<uint8_t> geometryBlock(std::initializer_list<uint32_t> words) {
    std::vector<uint8_t> block(16, 0);
    size_t at = 16 - 4 * words.size();
    for (uint32_t w : words) {
        usb::putBE32(&block[at], w);
        at += 4;
    }
    return block;
}

uint32_t nonNegative(int64_t v) {
    return static_cast<uint32_t>(std::max<int64_t>(v, 0));
}

} // namespace

RawScanSetup ScannerModel::baseSetup(std::span<const uint8_t> sides) const {
    const usb::SScanWindow& w = *windows_[0];
    RawScanSetup s;
    s.xResolution = w.xResolution;
    s.yResolution = w.yResolution;
    s.leftPixel = static_cast<int>(w.left * w.xResolution / 1200);
    s.pixels = static_cast<int>(w.width * w.xResolution / 1200);
    s.bitsPerPixel = w.bitsPerPixel;
    s.colour = w.composition == usb::kCompositionColour;
    s.sides = static_cast<int>(sides.size());
    s.top1200 = static_cast<int32_t>(w.top);
    s.offsetLines = s.sides == 2 ? kSideOffsetMicrons * w.yResolution / 25400 : 0;
    for (int slot = 0; slot < s.sides; ++slot) {
        const bool paper = sides[slot] <= 1;
        const int side = paper ? sides[slot] : slot;
        SideSource& src = s.side[slot];
        src.sideNumber = side;
        src.content = paper                       ? Content::Paper
                      : sides[slot] == kScanWhite ? Content::WhiteStrip
                                                  : Content::Dark;
        src.lighting.registers = registers_[side];
        src.lighting.dropOut = side == 0 ? modes_[2].first : modes_[2].second;
        src.lighting.enhance = side == 0 ? modes_[2].third : modes_[2].fourth;
    }
    return s;
}

Outcome ScannerModel::scan(std::span<const uint8_t> sides) {
    if (!windows_[0])
        return failed(kSenseSequence);
    const bool white = std::all_of(sides.begin(), sides.end(), [](uint8_t b) { return b == kScanWhite; });
    const bool dark = std::all_of(sides.begin(), sides.end(), [](uint8_t b) { return b == kScanDark; });
    const bool paper = std::all_of(sides.begin(), sides.end(), [](uint8_t b) { return b <= 1; }) &&
                       (sides.size() == 1 || sides[0] != sides[1]);
    if (sides.empty() || sides.size() > 2 || !(white || dark || paper))
        return failed(kSenseInvalidParameter);
    scan_.reset();
    if (!paper) {
        RawScanSetup setup = baseSetup(sides);
        setup.lines = windows_[0]->length * windows_[0]->yResolution / 1200;
        scan_ = ActiveScan{std::make_unique<RawScan>(std::move(setup)), false, false, {}};
        return good();
    }
    pageSides_.assign(sides.begin(), sides.end());
    continuous_ = modes_[1].second != 0;
    batchStopped_ = false;
    if (auto error = startPage())
        return *error;
    return good();
}

std::optional<Outcome> ScannerModel::startPage() {
    if (feeder_.empty())
        return failed(kSenseNoPaper);
    Sheet sheet = std::move(feeder_.front());
    feeder_.pop_front();
    usb::putBE32(&service_[usb::kServiceTotalCount], totalCount() + 1);

    const usb::SScanWindow& w = *windows_[0];
    RawScanSetup setup = baseSetup(pageSides_);
    const int64_t top = setup.top1200;
    const int64_t paperLeft = (kSensorWidth1200 - static_cast<int64_t>(sheet.width1200)) / 2;
    // The unit keeps its longest page in micrometres; 6/127 turns that into 1/1200 inch.
    const int64_t maxLength = int64_t{usb::getBE32(&maxLength_[usb::kMaxScanLengthWord])} * 6 / 127;
    const int64_t document = std::min<int64_t>(sheet.length1200, maxLength);
    // With page-size detection the unit reads to the paper's end plus a margin; else the whole window.
    const int64_t scanned =
        modes_[1].third != 0 ? std::max<int64_t>(document - top + kTrailingMargin1200, 1) : w.length;
    setup.lines = static_cast<uint32_t>(scanned * w.yResolution / 1200) + setup.offsetLines;

    PageGeometry g;
    g.a = setup.lines * 1200 / w.yResolution;
    g.b = sheet.length1200 > maxLength ? 0xFFFFFFFFu : sheet.length1200;
    g.c = {nonNegative(paperLeft - w.left), nonNegative(-top),
           nonNegative(static_cast<int64_t>(w.left) + w.width - paperLeft - sheet.width1200),
           nonNegative(top + scanned - document)};
    setup.sheet = std::move(sheet);
    scan_ = ActiveScan{std::make_unique<RawScan>(std::move(setup)), true, false, g};
    return std::nullopt;
}

void ScannerModel::endPage() {
    scan_->ended = true;
    geometry_ = scan_->geometry;
}

Outcome ScannerModel::read(const usb::CommandBlock& block) {
    const auto kind = usb::dataKindFrom(block[2], block[4], block[5]);
    const uint32_t length = usb::getBE24(&block[6]);
    if (!kind)
        return failed(kSenseInvalidField);
    const uint32_t fixed = usb::dataKindCode(*kind).length;
    if (fixed != 0 && length != fixed)
        return failed(kSenseInvalidField);
    switch (*kind) {
    case usb::DataKind::Image:
        return readImage(length);
    case usb::DataKind::GeometryA:
        return good(geometryBlock({geometry_.a}));
    case usb::DataKind::GeometryB:
        return good(geometryBlock({geometry_.b}));
    case usb::DataKind::GeometryC:
        return good(geometryBlock({geometry_.c[0], geometry_.c[1], geometry_.c[2], geometry_.c[3]}));
    case usb::DataKind::PanelKeys: {
        std::vector<uint8_t> keys(8, 0);
        keys[0] = keys_;
        keys_ = 0; // a press is reported once
        return good(std::move(keys));
    }
    case usb::DataKind::DocumentReady:
        return good({static_cast<uint8_t>(feeder_.empty() ? 0 : 1)});
    case usb::DataKind::ServiceBlock:
        return good({service_.begin(), service_.end()});
    case usb::DataKind::MaxScanLength:
        return good({maxLength_.begin(), maxLength_.end()});
    }
    return failed(kSenseInvalidField);
}

Outcome ScannerModel::readImage(uint32_t length) {
    if (!scan_ || scan_->ended) {
        const bool nextSheet = scan_ && scan_->paper && continuous_ && !batchStopped_;
        if (!nextSheet)
            return failed(kSenseSequence);
        if (auto error = startPage())
            return *error;
    }
    const uint64_t remaining = scan_->raw->remaining();
    const size_t piece = shortReads_ ? std::min<size_t>(length, kShortReadPiece) : length;
    const auto n = static_cast<size_t>(std::min<uint64_t>(piece, remaining));
    Outcome o = good(std::vector<uint8_t>(n));
    scan_->raw->read(o.dataIn.data(), n);
    if (n == remaining && n < length) {
        o.check = true;
        o.sense.incorrectLength = true;
        o.sense.information = static_cast<uint32_t>(length - n);
        o.sense.endOfMedium = feeder_.empty();
        endPage();
    }
    return o;
}

Outcome ScannerModel::objectPosition(const usb::CommandBlock& block) {
    const auto mode = usb::positionModeFrom(block[1]);
    if (!mode)
        return failed(kSenseInvalidField);
    switch (*mode) {
    case usb::PositionMode::Unload:
        // Ejects the sheet under the sensor (an aborted page is lost) and ends a calibration scan.
        if (scan_ && !scan_->ended)
            scan_.reset();
        return good();
    case usb::PositionMode::DocumentCheck:
        return feeder_.empty() ? failed(kSenseNoPaper) : good();
    case usb::PositionMode::ClearError:
        return good();
    }
    return failed(kSenseInvalidField);
}

} // namespace k3100::emu
