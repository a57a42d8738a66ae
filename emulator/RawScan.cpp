// Raw line rendering: per-column gains are computed once per scan (lamp power x response x unevenness x
// amplification), so each sample is dark + gain x reflectance plus a little deterministic noise.
#include "RawScan.h"

#include "RawScanReplay.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace k3100::emu {
namespace {

constexpr double kPi = 3.14159265358979323846;

int noise(int column, uint32_t line, int channel, int side) {
    uint32_t h = static_cast<uint32_t>(column) * 7919u + line * 104729u +
                 static_cast<uint32_t>(channel) * 31u + static_cast<uint32_t>(side) * 17u;
    h *= 2654435761u;
    return static_cast<int>((h >> 29) & 3) - 1; // -1..2 codes
}

constexpr uint8_t kPaperWhitePixel[3] = {255, 255, 255}; // a face without an image

uint16_t powerOf(const usb::SAdjustInfo& r, int colour) {
    return colour == 0 ? r.RedLED : colour == 1 ? r.GreenLED : r.BlueLED;
}

void pack12(const uint16_t* samples, size_t count, uint8_t* out) {
    size_t o = 0;
    for (size_t i = 0; i < count; i += 2) {
        const uint16_t a = samples[i] & 0x0FFF;
        const uint16_t b = i + 1 < count ? samples[i + 1] & 0x0FFF : 0;
        out[o++] = static_cast<uint8_t>(a);
        out[o++] = static_cast<uint8_t>((a >> 8) | ((b & 0x0F) << 4));
        if (i + 1 < count)
            out[o++] = static_cast<uint8_t>(b >> 4);
    }
}

} // namespace

size_t packed12LineBytes(size_t samples) {
    return 2 * ((12 * samples / 8 + 1) / 2);
}

RawScan::RawScan(RawScanSetup setup) : setup_(std::move(setup)) {
    const size_t samples = static_cast<size_t>(setup_.pixels) * setup_.sides;
    colourLineBytes_ = setup_.bitsPerPixel == 12 ? packed12LineBytes(samples) : samples;
    lineBytes_ = colourLineBytes_ * (setup_.colour ? 3 : 1);
    replay_ = findRecorded(setup_);
    if (replay_)
        return;
    line_.assign(lineBytes_, 0);
    samples_.assign(samples, 0);
    prepareColumns();
    if (replayLikeScans() && totalBytes() <= kMaxRecordedBytes)
        recording_.reserve(totalBytes());
}

RawScan::~RawScan() = default;

void RawScan::prepareColumns() {
    const int w = setup_.pixels;
    for (int slot = 0; slot < setup_.sides; ++slot) {
        const SideSource& src = setup_.side[slot];
        const usb::SAdjustInfo& regs = src.lighting.registers;
        dark_[slot] = darkLevel(regs);
        strip_[slot].resize(w);
        imageColumn_[slot].assign(w, -1);
        const PageImage* image = setup_.sheet ? face(slot) : nullptr;
        if (setup_.sheet) {
            // The back sensor sees the sheet from below: its tilt runs the other way.
            const double radians = setup_.sheet->skewDegrees * kPi / 180 * (src.sideNumber == 1 ? -1 : 1);
            sin_[slot] = std::sin(radians);
            cos_[slot] = std::cos(radians);
        }
        const double paperLeft =
            (kSensorWidth1200 - static_cast<double>(setup_.sheet ? setup_.sheet->width1200 : 0)) / 2;
        for (int c = 0; c < 3; ++c)
            columnGain_[slot][c].resize(w);
        for (int i = 0; i < w; ++i) {
            const double pos1200 = (setup_.leftPixel + i + 0.5) * 1200.0 / setup_.xResolution;
            const double light =
                amplification(regs) * illumination(src.sideNumber, pos1200 / kSensorWidth1200);
            for (int c = 0; c < 3; ++c)
                columnGain_[slot][c][i] =
                    lampLit(src.lighting, c)
                        ? static_cast<float>(light * powerOf(regs, c) * lampResponse(c, setup_.xResolution))
                        : 0.0f;
            strip_[slot][i] = static_cast<float>(stripReflectance(setup_.leftPixel + i, w));
            const double u = pos1200 - paperLeft;
            if (setup_.sheet && u >= 0 && u < setup_.sheet->width1200)
                imageColumn_[slot][i] =
                    image ? std::min(static_cast<int>(u * image->dpi() / 1200), image->width() - 1) : 0;
        }
    }
}

const PageImage* RawScan::face(int slot) const {
    return setup_.side[slot].sideNumber == 1 ? setup_.sheet->back.get() : setup_.sheet->front.get();
}

// Position along the paper (1/1200 inch from its leading edge) under raw line `y` of the side's sensor.
double RawScan::lineOnPaper(int slot, uint32_t y) const {
    const int shift = setup_.side[slot].sideNumber == 1 && setup_.sides == 2 ? setup_.offsetLines : 0;
    return setup_.top1200 + (static_cast<double>(y) - shift + 0.5) * 1200.0 / setup_.yResolution;
}

// Row of the side's face under raw line `y`, or null where the sensor sees the backing.
const uint8_t* RawScan::paperRow(int slot, uint32_t y) const {
    const double v = lineOnPaper(slot, y);
    if (!setup_.sheet || v < 0 || v >= setup_.sheet->length1200)
        return nullptr;
    const PageImage* image = face(slot);
    if (image == nullptr)
        return kPaperWhitePixel;
    const int row = std::min(static_cast<int>(v * image->dpi() / 1200), image->height() - 1);
    return image->pixel(0, row);
}

// Where sensor column `column` of raw line `y` lies on the paper, in 1/1200 inch of the paper's own
// frame: the sensor position turned back about the paper's centre (no turn for a straight sheet).
std::pair<double, double> RawScan::onPaper(int slot, int column, uint32_t y) const {
    const Sheet& sheet = *setup_.sheet;
    const double du =
        (setup_.leftPixel + column + 0.5) * 1200.0 / setup_.xResolution - kSensorWidth1200 / 2.0;
    const double dv = lineOnPaper(slot, y) - sheet.length1200 / 2.0;
    return {cos_[slot] * du + sin_[slot] * dv + sheet.width1200 / 2.0,
            -sin_[slot] * du + cos_[slot] * dv + sheet.length1200 / 2.0};
}

// The backing, or the thin shadow that an edge of the sheet throws on it: the back sensor sees the one
// ahead of the leading edge, the front sensor the one behind the trailing edge. Two-sided size detection
// finds the paper by these shadows alone.
double RawScan::backingReflectance(int slot, int column, uint32_t y) const {
    if (!setup_.sheet)
        return kBacking;
    const auto [u, v] = onPaper(slot, column, y);
    if (u < 0 || u >= setup_.sheet->width1200)
        return kBacking;
    const bool back = setup_.side[slot].sideNumber == 1;
    const double beyond = back ? -v : v - setup_.sheet->length1200;
    return beyond > 0 && beyond <= kEdgeShadow1200 ? kShadow : kBacking;
}

// The face's pixel under sensor column `column` of a tilted sheet. Null over the backing.
const uint8_t* RawScan::tiltedPixel(int slot, int column, uint32_t y) const {
    const Sheet& sheet = *setup_.sheet;
    const auto [u, v] = onPaper(slot, column, y);
    if (u < 0 || v < 0 || u >= sheet.width1200 || v >= sheet.length1200)
        return nullptr;
    const PageImage* image = face(slot);
    if (image == nullptr)
        return kPaperWhitePixel;
    const int x = std::min(static_cast<int>(u * image->dpi() / 1200), image->width() - 1);
    const int row = std::min(static_cast<int>(v * image->dpi() / 1200), image->height() - 1);
    return image->pixel(x, row);
}

void RawScan::sideSamples(int slot, int channel, uint32_t y, uint16_t* out) {
    const SideSource& src = setup_.side[slot];
    const bool paper = src.content == Content::Paper;
    const bool tilted = paper && sin_[slot] != 0;
    const uint8_t* row = paper && !tilted ? paperRow(slot, y) : nullptr;
    const bool blank = row == kPaperWhitePixel;
    for (int i = 0; i < setup_.pixels; ++i) {
        const uint8_t* pixel = nullptr;
        if (tilted)
            pixel = tiltedPixel(slot, i, y);
        else if (row != nullptr && imageColumn_[slot][i] >= 0)
            pixel = blank ? row : row + 3 * imageColumn_[slot][i];
        const double backing = paper && pixel == nullptr ? backingReflectance(slot, i, y) : kBacking;
        double level = dark_[slot];
        for (int c = 0; c < 3; ++c) {
            if (setup_.colour && c != channel)
                continue;
            double r = 0;
            if (src.content == Content::WhiteStrip)
                r = strip_[slot][i];
            else if (paper)
                r = pixel == nullptr ? backing : kPaperWhite * printResponse(pixel[c], setup_.colour);
            level += columnGain_[slot][c][i] * r;
        }
        const int value = static_cast<int>(level) + noise(i, y, channel, src.sideNumber);
        out[i] = static_cast<uint16_t>(std::clamp(value, 0, kMaxLevel));
    }
}

void RawScan::renderLine(uint32_t y) {
    const int w = setup_.pixels;
    std::vector<uint16_t> side(static_cast<size_t>(w));
    const int channels = setup_.colour ? 3 : 1;
    for (int ch = 0; ch < channels; ++ch) {
        for (int slot = 0; slot < setup_.sides; ++slot) {
            sideSamples(slot, ch, y, side.data());
            // The front (or a lone side) arrives mirrored; a back side next to a front does not.
            const bool mirrored = slot == 0;
            for (int j = 0; j < w; ++j)
                samples_[static_cast<size_t>(j) * setup_.sides + slot] = side[mirrored ? w - 1 - j : j];
        }
        uint8_t* out = &line_[ch * colourLineBytes_];
        if (setup_.bitsPerPixel == 12) {
            std::memset(out, 0, colourLineBytes_);
            pack12(samples_.data(), samples_.size(), out);
        } else {
            for (size_t k = 0; k < samples_.size(); ++k)
                out[k] = static_cast<uint8_t>(samples_[k] >> 4);
        }
    }
    renderedLine_ = y;
}

size_t RawScan::read(uint8_t* out, size_t size) {
    if (replay_) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(size, remaining()));
        std::memcpy(out, replay_->bytes.data() + produced_, n);
        produced_ += n;
        return n;
    }
    const size_t n = draw(out, size);
    if (recording_.capacity() >= totalBytes()) {
        recording_.insert(recording_.end(), out, out + n);
        if (remaining() == 0)
            keepRecorded(setup_, std::move(recording_));
    }
    return n;
}

size_t RawScan::draw(uint8_t* out, size_t size) {
    size_t copied = 0;
    while (copied < size && remaining() > 0) {
        const auto y = static_cast<uint32_t>(produced_ / lineBytes_);
        const size_t at = produced_ % lineBytes_;
        if (renderedLine_ != y)
            renderLine(y);
        const size_t n = std::min(size - copied, lineBytes_ - at);
        std::memcpy(out + copied, &line_[at], n);
        copied += n;
        produced_ += n;
    }
    return copied;
}

} // namespace k3100::emu
