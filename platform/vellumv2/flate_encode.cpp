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

inline int paethPredictor(int left, int up, int upLeft) {
    const int toLeft = std::abs(up - upLeft); // distance of the estimate left + up - upLeft from left
    const int toUp = std::abs(left - upLeft);
    const int toUpLeft = std::abs(left + up - 2 * upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft)
        return left;
    return toUp <= toUpLeft ? up : upLeft;
}

// Writes the row through `filter` into out (without the tag byte); pixel bytes before the first
// pixel and the row above the first row count as zero, as PNG defines them.
void applyFilter(PngFilter filter, const uint8_t* row, const uint8_t* above, size_t bytes, size_t pixelBytes,
                 uint8_t* out) {
    for (size_t i = 0; i < bytes; ++i) {
        const int left = i >= pixelBytes ? row[i - pixelBytes] : 0;
        const int upLeft = i >= pixelBytes ? above[i - pixelBytes] : 0;
        int predicted = 0;
        switch (filter) {
        case kSub:
            predicted = left;
            break;
        case kUp:
            predicted = above[i];
            break;
        case kAverage:
            predicted = (left + above[i]) / 2;
            break;
        case kPaeth:
            predicted = paethPredictor(left, above[i], upLeft);
            break;
        default:
            break;
        }
        out[i] = static_cast<uint8_t>(row[i] - predicted);
    }
}

// The filter whose output has the smallest sum of magnitudes (as signed bytes): the usual choice of
// PNG writers, close to the best a trial compression would find at a fraction of its cost.
PngFilter choiceFor(const uint8_t* row, const uint8_t* above, size_t bytes, size_t pixelBytes) {
    if (std::memcmp(row, above, bytes) == 0)
        return kUp; // a row like the one above (blank paper) is all zeros through Up
    std::array<uint32_t, kFilterCount> sums{};
    for (size_t i = 0; i < bytes; ++i) {
        const int sample = row[i];
        const int left = i >= pixelBytes ? row[i - pixelBytes] : 0;
        const int up = above[i];
        const int upLeft = i >= pixelBytes ? above[i - pixelBytes] : 0;
        const int predicted[kFilterCount] = {0, left, up, (left + up) / 2, paethPredictor(left, up, upLeft)};
        for (int f = 0; f < kFilterCount; ++f)
            sums[f] += static_cast<uint32_t>(std::abs(static_cast<int8_t>(sample - predicted[f])));
    }
    int best = kNone;
    for (int f = 1; f < kFilterCount; ++f)
        if (sums[f] < sums[best])
            best = f;
    return static_cast<PngFilter>(best);
}

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

// Measured on scanned A4 pages against the common PNG writers' settings (level 6, filtered strategy):
// colour keeps level 6's lazy matching with shorter searches, which is both smaller and faster there,
// while grey text pages need the full filtered search to be as small.
void tuneFor(z_stream& stream, size_t pixelBytes) {
    if (pixelBytes == 3)
        deflateTune(&stream, 8, 16, 64, 32);
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
    const std::vector<uint8_t> blank(bytes, 0);
    std::vector<uint8_t> filtered(bytes + 1);
    bool ok = true;
    for (int32_t y = 0; ok && y < view.height; ++y) {
        const uint8_t* row = view.data + view.stride * static_cast<size_t>(y);
        const uint8_t* above = y > 0 ? row - view.stride : blank.data();
        const PngFilter filter = choiceFor(row, above, bytes, pixelBytes);
        filtered[0] = filter;
        applyFilter(filter, row, above, bytes, pixelBytes, filtered.data() + 1);
        ok = deflateSome(stream, filtered.data(), filtered.size(), Z_NO_FLUSH, out);
    }
    if (!ok || !deflateSome(stream, nullptr, 0, Z_FINISH, out)) {
        out.clear();
        return VLM_ERR_NOMEMORY;
    }
    out.resize(stream.total_out);
    return VLM_OK;
}

} // namespace vlm
