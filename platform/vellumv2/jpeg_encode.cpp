// JPEG of a packed view through the system's one JPEG writer.
#include "image_encoders.h"

#include "JpegWriter.h"

namespace vlm {

int32_t encodeJpeg(const ImageView& view, int32_t quality, std::vector<uint8_t>& out) {
    jpg::SJpegImage image;
    image.width = static_cast<uint32_t>(view.width);
    image.height = static_cast<uint32_t>(view.height);
    image.components = view.kind == VLM_KIND_GRAY ? 1 : 3;
    image.row = [&view](uint32_t y) { return view.data + y * view.stride; };
    return jpg::writeJpeg(image, quality, out) ? VLM_OK : VLM_ERR_NOMEMORY;
}

} // namespace vlm
