// Image encoders for the document's image streams. Each fills `out` with the bytes of one stream and
// returns VLM_OK or a VLM_ERR_* code; on failure `out` is left empty.
#pragma once

#include "page_image.h"

#include <cstdint>
#include <vector>

namespace vlm {

// zlib stream of the bytes as they are (PDF FlateDecode).
int32_t encodeFlate(const uint8_t* data, size_t size, std::vector<uint8_t>& out);

// zlib stream of a grey or RGB view's rows, each led by its PNG filter byte, as FlateDecode with
// /Predictor 15 reads it.
int32_t encodeFlateImage(const ImageView& view, std::vector<uint8_t>& out);

// Baseline JPEG of a packed grey or RGB view; quality 1..100.
int32_t encodeJpeg(const ImageView& view, int32_t quality, std::vector<uint8_t>& out);

// CCITT group 4 of a packed 1-bit view (1 = black), as PDF CCITTFaxDecode with K -1 reads it.
int32_t encodeG4(const ImageView& view, std::vector<uint8_t>& out);

} // namespace vlm
