// Raw line rendering: per-column gains are computed once per scan (lamp power x response x unevenness x
// amplification), so each sample is dark + gain x reflectance plus a little deterministic noise.
#include "RawScan.h"

#include <algorithm>
#include <cstring>

namespace k3100::emu {
namespace {

int noise(int column, uint32_t line, int channel, int side) {
    uint32_t h = static_cast<uint32_t>(column) * 7919u + line * 104729u +
                 static_cast<uint32_t>(channel) * 31u + static_cast<uint32_t>(side) * 17u;
    h *= 2654435761u;
    return static_cast<int>((h >> 29) & 3) - 1; // -1..2 codes
}

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
    line_.assign(lineBytes_, 0);
    samples_.assign(samples, 0);
    prepareColumns();
}

void RawScan::prepareColumns() {
    const int w = setup_.pixels;
    for (int slot = 0; slot < setup_.sides; ++slot) {
        const SideSource& src = setup_.side[slot];
        const usb::SAdjustInfo& regs = src.lighting.registers;
        dark_[slot] = darkLevel(regs);
        strip_[slot].resize(w);
        imageColumn_[slot].assign(w, -1);
        const PageImage* face = nullptr;
        if (setup_.sheet)
            face = src.sideNumber == 1 ? setup_.sheet->back.get() : setup_.sheet->front.get();
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
                    face ? std::min(static_cast<int>(u * face->dpi() / 1200), face->width() - 1) : 0;
        }
    }
}

// Row of the side's face under raw line `y`, or null where the sensor sees the backing.
const uint8_t* RawScan::paperRow(int slot, uint32_t y) const {
    const SideSource& src = setup_.side[slot];
    const int shift = src.sideNumber == 1 && setup_.sides == 2 ? setup_.offsetLines : 0;
    const double v = setup_.top1200 + (static_cast<double>(y) - shift + 0.5) * 1200.0 / setup_.yResolution;
    if (!setup_.sheet || v < 0 || v >= setup_.sheet->length1200)
        return nullptr;
    static const uint8_t kWhite[3] = {255, 255, 255};
    const PageImage* face = src.sideNumber == 1 ? setup_.sheet->back.get() : setup_.sheet->front.get();
    if (face == nullptr)
        return kWhite;
    const int row = std::min(static_cast<int>(v * face->dpi() / 1200), face->height() - 1);
    return face->pixel(0, row);
}

void RawScan::sideSamples(int slot, int channel, uint32_t y, uint16_t* out) {
    const SideSource& src = setup_.side[slot];
    const int w = setup_.pixels;
    const uint8_t* row = src.content == Content::Paper ? paperRow(slot, y) : nullptr;
    const bool blankBack = setup_.sheet && src.sideNumber == 1 && !setup_.sheet->back;
    for (int i = 0; i < w; ++i) {
        double level = dark_[slot];
        for (int c = 0; c < 3; ++c) {
            if (setup_.colour && c != channel)
                continue;
            double r = 0;
            if (src.content == Content::WhiteStrip) {
                r = strip_[slot][i];
            } else if (src.content == Content::Paper) {
                const int x = imageColumn_[slot][i];
                if (row == nullptr || x < 0)
                    r = kBacking;
                else
                    r = kPaperWhite * (blankBack ? 255 : row[x * 3 + c]) / 255.0;
            }
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
