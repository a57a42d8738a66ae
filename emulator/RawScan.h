// The raw data of one scan as the scanner sends it, produced line by line on demand so that a long
// colour page never sits in memory whole. Layout of one line: one colour line per channel (line order:
// red, green, blue; grey has one); in each, the samples of both sides alternate front, back; the front
// side's samples run mirrored (right to left), a lone side's too; 8-bit samples, or 12-bit samples packed
// two into three bytes with each colour line padded to an even byte count. The back side trails the front
// by the sensors' offset along the paper path.
#pragma once

#include "SensorModel.h"
#include "Sheet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace k3100::emu {

struct RecordedScan;

enum class Content : uint8_t { Paper, WhiteStrip, Dark };

struct SideSource {
    int sideNumber = 0; // 0 front sensor, 1 back sensor
    Content content = Content::Dark;
    Lighting lighting;
};

struct RawScanSetup {
    int xResolution = 300;
    int yResolution = 300;
    int leftPixel = 0;
    int pixels = 0; // per side
    int bitsPerPixel = 8;
    bool colour = false;
    int sides = 1;
    uint32_t lines = 0;
    int32_t top1200 = 0;        // window top relative to the paper's leading edge
    int offsetLines = 0;        // how many lines the back sensor trails the front
    std::optional<Sheet> sheet; // for Content::Paper
    std::array<SideSource, 2> side;
};

// Bytes of one colour line of `samples` 12-bit samples as the scanner pads it.
size_t packed12LineBytes(size_t samples);

class RawScan {
public:
    explicit RawScan(RawScanSetup setup);
    ~RawScan();

    uint64_t totalBytes() const { return static_cast<uint64_t>(lineBytes_) * setup_.lines; }
    uint64_t remaining() const { return totalBytes() - produced_; }
    size_t lineBytes() const { return lineBytes_; }
    const RawScanSetup& setup() const { return setup_; }

    // Copies the next bytes of the scan, at most `size`; returns how many. A scan of the same setup as the
    // last one read to its end replays that one's bytes.
    size_t read(uint8_t* out, size_t size);

private:
    size_t draw(uint8_t* out, size_t size);
    void prepareColumns();
    void renderLine(uint32_t y);
    void sideSamples(int slot, int channel, uint32_t y, uint16_t* out);
    const uint8_t* paperRow(int slot, uint32_t y) const;
    const uint8_t* tiltedPixel(int slot, int column, uint32_t y) const;
    std::pair<double, double> onPaper(int slot, int column, uint32_t y) const;
    double backingReflectance(int slot, int column, uint32_t y) const;
    const PageImage* face(int slot) const;
    double lineOnPaper(int slot, uint32_t y) const;

    RawScanSetup setup_;
    size_t colourLineBytes_ = 0;
    size_t lineBytes_ = 0;
    uint64_t produced_ = 0;
    std::vector<uint8_t> line_;
    int64_t renderedLine_ = -1;
    std::array<double, 2> dark_{};
    std::array<std::array<std::vector<float>, 3>, 2> columnGain_; // [slot][colour][column]
    std::array<std::vector<int>, 2> imageColumn_;                 // [slot][column]: face x, -1 off paper
    std::array<std::vector<float>, 2> strip_;
    std::array<double, 2> sin_{}; // tilt of each side's face as its sensor sees it
    std::array<double, 2> cos_{1, 1};
    std::vector<uint16_t> samples_;
    std::shared_ptr<const RecordedScan> replay_;
    std::vector<uint8_t> recording_; // the bytes drawn so far, while the whole scan can be kept
};

} // namespace k3100::emu
