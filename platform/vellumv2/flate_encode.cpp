// Flate through zlib in one call: pages are held whole anyway, and compressBound gives the worst case.
#include "image_encoders.h"

#include <zlib.h>

namespace vlm {

int32_t encodeFlate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    uLongf length = compressBound(static_cast<uLong>(size));
    out.resize(length);
    // Level 6: zlib's default balance; higher levels gain little on scans and cost much time.
    if (compress2(out.data(), &length, data, static_cast<uLong>(size), 6) != Z_OK) {
        out.clear();
        return VLM_ERR_NOMEMORY;
    }
    out.resize(length);
    return VLM_OK;
}

} // namespace vlm
