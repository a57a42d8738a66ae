// Our file writers for the comparison runs, each on a whole page read from a netpbm file.
#pragma once

#include "PnmImage.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The page read as the TIFF and JPEG writers take it, and nothing written: their start-up and reading,
// which the comparison takes off to leave the encoding. Answers the page's bytes.
size_t ReadForWriters(const std::string& in, int32_t dpi);
// A one-page lossless PDF (Flate with row predictors for grey and colour, group 4 for 1-bit pages).
void WritePdf(const std::string& in, const std::string& out, int32_t dpi);
// A TIFF file, uncompressed or compressed (Deflate for grey and colour, group 4 for 1-bit pages).
void WriteTiffFile(const std::string& in, const std::string& out, int32_t dpi, bool compressed);
// A baseline JPEG file of the quality (1..100).
void WriteJpegFile(const std::string& in, const std::string& out, int32_t dpi, int quality);
