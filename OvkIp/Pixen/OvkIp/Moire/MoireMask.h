// Symmetric low-pass masks in Q14 fixed point that descreen a page before it is decimated, and
// the two streaming passes that apply them: along a line, and down a window of lines.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

struct MoireMask {
    std::vector<int16_t> coefficients;
    int32_t scale = 0;

    int32_t taps() const { return static_cast<int32_t>(coefficients.size()); }
    int32_t half() const { return taps() / 2; }
    // A weighted sum of samples, times scale / 2^14 truncated toward zero, clamped to a byte.
    // Inline: it runs once per output sample.
    uint8_t finish(int64_t weightedSum) const {
        return static_cast<uint8_t>(std::clamp<int64_t>(weightedSum * scale / (1 << 14), 0, 255));
    }
    // True when any byte sum times scale fits 32 bits, so finishNarrow gives finish's bytes; the
    // compiler vectorises the 32-bit form.
    bool narrowFinish() const;
    uint8_t finishNarrow(int32_t weightedSum) const {
        return static_cast<uint8_t>(std::clamp(weightedSum * scale / (1 << 14), 0, 255));
    }

    // Built-in mask for a resolution pair; empty when the pair has none.
    static MoireMask forResolutions(int32_t output, int32_t input);
    // A mask that passes samples unchanged: decimation alone.
    static MoireMask identity();
};

// Buffers of the horizontal pass, kept by its caller from line to line.
struct MaskScratch {
    std::vector<uint8_t> padded; // the line with its edge pixels repeated
    std::vector<int32_t> sums;   // weighted sums of every byte of the line
};

// Filters a line of `width` pixels of `samples` bytes with edge replication and writes the pixels
// whose table entry is non-zero (every pixel with no table) to out. Returns the pixels written.
int32_t MaskLine(const MoireMask& mask, const uint8_t* line, int32_t width, int32_t samples,
                 const std::vector<uint16_t>* keep, uint8_t* out, MaskScratch& scratch);

// Vertical pass: holds the last `taps` lines and produces line i from lines i - half .. i + half,
// repeating the page's first and last lines beyond its edges. Results do not depend on how the
// page is cut into bands.
class MoireWindow {
public:
    MoireWindow(MoireMask mask, int32_t lineBytes);
    // Adds the page's next line; true when the window can produce a further line.
    bool push(const uint8_t* line);
    // Line index the window can produce next, or -1 when it needs more lines.
    int64_t ready() const;
    // Produces line `index` of the page (index <= pushed - 1; later lines repeat the last pushed one).
    void produce(int64_t index, uint8_t* out);
    int64_t pushed() const { return m_pushed; }
    int32_t lineBytes() const { return m_lineBytes; }

private:
    const uint8_t* line(int64_t index) const;

    MoireMask m_mask;
    int32_t m_lineBytes;
    std::vector<uint8_t> m_ring;
    std::vector<int32_t> m_sums; // one line of weighted sums, kept to spare an allocation per line
    bool m_narrow;
    int64_t m_pushed = 0;
};
