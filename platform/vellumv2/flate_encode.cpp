// Flate through zlib. Small streams (fonts, page contents) go in one call; image streams carry PNG row
// predictors, which shrink scanned colour pages to about half, and are deflated row by row so that the
// filtered page is never held whole.
#include "image_encoders.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace vlm {
namespace {

enum PngFilter : uint8_t { kNone, kSub, kUp, kAverage, kPaeth, kFilterCount };

inline uint8_t paethPredictor(int left, int up, int upLeft) {
    const int toLeft = std::abs(up - upLeft); // distance of the estimate left + up - upLeft from left
    const int toUp = std::abs(left - upLeft);
    const int toUpLeft = std::abs(left + up - 2 * upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft)
        return static_cast<uint8_t>(left);
    return static_cast<uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// Writes the row through Sub, Average or Paeth into out. Bytes left of the first pixel count as zero, so
// there Sub keeps the byte, Average halves the one above and Paeth predicts the one above; the loop past
// the first pixel is branch-free so that the compiler vectorises it.
template <PngFilter filter>
void applyFilter(const uint8_t* row, const uint8_t* above, size_t bytes, size_t pixelBytes, uint8_t* out) {
    for (size_t i = 0; i < pixelBytes && i < bytes; ++i) {
        const int predicted = filter == kSub ? 0 : (filter == kAverage ? above[i] / 2 : above[i]);
        out[i] = static_cast<uint8_t>(row[i] - predicted);
    }
    for (size_t i = pixelBytes; i < bytes; ++i) {
        const int left = row[i - pixelBytes];
        const int up = above[i];
        if constexpr (filter == kSub)
            out[i] = static_cast<uint8_t>(row[i] - left);
        else if constexpr (filter == kAverage)
            out[i] = static_cast<uint8_t>(row[i] - (left + up) / 2);
        else
            out[i] = static_cast<uint8_t>(row[i] - paethPredictor(left, up, above[i - pixelBytes]));
    }
}

uint32_t magnitudes(const uint8_t* filtered, size_t bytes) {
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes; ++i)
        sum += static_cast<uint32_t>(std::abs(static_cast<int8_t>(filtered[i])));
    return sum;
}

// Filters rows, each with the filter whose output has the smallest sum of magnitudes (as signed bytes):
// the usual choice of PNG writers, close to the best a trial compression would find at a fraction of
// its cost.
class RowFilter {
public:
    RowFilter(size_t bytes, size_t pixelBytes)
        : m_bytes(bytes), m_pixelBytes(pixelBytes), m_blank(bytes, 0), m_rows(kFilterCount * (bytes + 1)) {
        for (int f = 0; f < kFilterCount; ++f)
            m_rows[static_cast<size_t>(f) * (bytes + 1)] = static_cast<uint8_t>(f);
    }

    // The tag byte and the filtered row; above is null for the first row.
    const uint8_t* filter(const uint8_t* row, const uint8_t* above) {
        if (!above)
            above = m_blank.data();
        if (std::memcmp(row, above, m_bytes) == 0) // a row like the one above (blank paper): zeros
            return run<kUp>(row, above);
        const uint8_t* best = run<kNone>(row, above);
        uint32_t least = magnitudes(best + 1, m_bytes);
        for (const uint8_t* candidate : {run<kSub>(row, above), run<kUp>(row, above),
                                         run<kAverage>(row, above), run<kPaeth>(row, above)})
            if (const uint32_t sum = magnitudes(candidate + 1, m_bytes); sum < least) {
                least = sum;
                best = candidate;
            }
        return best;
    }
    size_t size() const { return m_bytes + 1; }

private:
    template <PngFilter filter> const uint8_t* run(const uint8_t* row, const uint8_t* above) {
        uint8_t* out = m_rows.data() + filter * (m_bytes + 1);
        if constexpr (filter == kNone)
            std::memcpy(out + 1, row, m_bytes);
        else if constexpr (filter == kUp)
            for (size_t i = 0; i < m_bytes; ++i)
                out[1 + i] = static_cast<uint8_t>(row[i] - above[i]);
        else
            applyFilter<filter>(row, above, m_bytes, m_pixelBytes, out + 1);
        return out;
    }

    size_t m_bytes;
    size_t m_pixelBytes;
    std::vector<uint8_t> m_blank;
    std::vector<uint8_t> m_rows; // a tagged row for each filter
};

struct DeflateEnd {
    void operator()(z_stream* stream) const { deflateEnd(stream); }
};

bool deflateSome(z_stream& stream, const uint8_t* data, size_t size, int flush, std::vector<uint8_t>& out) {
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    do {
        if (stream.avail_out == 0) {
            const size_t used = out.size();
            out.resize(used + used / 2 + 65536);
            stream.next_out = out.data() + used;
            stream.avail_out = static_cast<uInt>(out.size() - used);
        }
        const int result = deflate(&stream, flush);
        if (result == Z_STREAM_ERROR)
            return false;
        if (flush == Z_FINISH && result == Z_STREAM_END)
            return true;
    } while (stream.avail_in > 0 || stream.avail_out == 0 || flush == Z_FINISH);
    return true;
}

// Chosen on A4 pages at 300 dpi against the common PNG writers' settings (level 6, filtered strategy,
// full searches): colour keeps level 6's lazy matching with shorter searches, which there is both
// smaller and faster; grey text pages need the filtered strategy to be as small, and take longer lazy
// matches with shorter searches to cost no more than unfiltered level 6 did.
void tuneFor(z_stream& stream, size_t pixelBytes) {
    if (pixelBytes == 3)
        deflateTune(&stream, 8, 16, 64, 32);
    else
        deflateTune(&stream, 8, 32, 128, 32);
}

} // namespace

int32_t encodeFlate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    uLongf length = compressBound(static_cast<uLong>(size));
    out.resize(length);
    if (compress2(out.data(), &length, data, static_cast<uLong>(size), 6) != Z_OK) {
        out.clear();
        return VLM_ERR_NOMEMORY;
    }
    out.resize(length);
    return VLM_OK;
}

int32_t encodeFlateImage(const ImageView& view, std::vector<uint8_t>& out) {
    const size_t pixelBytes = view.kind == kKindRgb ? 3 : 1;
    const size_t bytes = pixelBytes * static_cast<size_t>(view.width);
    out.clear();
    z_stream stream{};
    const int strategy = pixelBytes == 3 ? Z_DEFAULT_STRATEGY : Z_FILTERED;
    if (deflateInit2(&stream, 6, Z_DEFLATED, 15, 8, strategy) != Z_OK)
        return VLM_ERR_NOMEMORY;
    const std::unique_ptr<z_stream, DeflateEnd> ending(&stream);
    tuneFor(stream, pixelBytes);
    RowFilter rows(bytes, pixelBytes);
    bool ok = true;
    for (int32_t y = 0; ok && y < view.height; ++y) {
        const uint8_t* row = view.data + view.stride * static_cast<size_t>(y);
        ok = deflateSome(stream, rows.filter(row, y > 0 ? row - view.stride : nullptr), rows.size(),
                         Z_NO_FLUSH, out);
    }
    if (!ok || !deflateSome(stream, nullptr, 0, Z_FINISH, out)) {
        out.clear();
        return VLM_ERR_NOMEMORY;
    }
    out.resize(stream.total_out);
    return VLM_OK;
}

} // namespace vlm
