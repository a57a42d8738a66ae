// Our file writers as the comparison runs them: a whole page read from netpbm and written as a lossless
// PDF (the document maker), a TIFF file or a JPEG file (the application's page encoders).
#include "FileOps.h"

#include "ImageEncoders.h"
#include "vellumv2.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <utility>

namespace {

// The page as the encoders take it; 1-bit netpbm (1 black) becomes 0 black.
SPageBitmap BitmapOf(PnmImage page, int32_t dpi) {
    SPageBitmap bitmap;
    bitmap.width = static_cast<uint32_t>(page.width);
    bitmap.height = static_cast<uint32_t>(page.height);
    bitmap.samplesPerPixel = static_cast<uint16_t>(page.channels == 0 ? 1 : page.channels);
    bitmap.bitsPerSample = page.channels == 0 ? 1 : 8;
    bitmap.bytesPerRow = static_cast<uint32_t>(page.stride());
    bitmap.xResolution = bitmap.yResolution = static_cast<float>(dpi);
    if (page.channels == 0)
        for (uint8_t& byte : page.pixels)
            byte = static_cast<uint8_t>(~byte);
    bitmap.pixels = std::move(page.pixels);
    return bitmap;
}

template <typename Write> void WriteFile(const std::string& out, Write write) {
    const int fd = ::open(out.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + out);
    const bool written = write(fd);
    ::close(fd);
    if (!written)
        throw std::runtime_error("cannot write " + out);
}

} // namespace

size_t ReadForWriters(const std::string& in, int32_t dpi) {
    return BitmapOf(ReadPnm(in), dpi).pixels.size();
}

void WritePdf(const std::string& in, const std::string& out, int32_t dpi) {
    PnmImage page = ReadPnm(in);
    if (page.channels == 3) // the document maker takes blue, green, red
        for (size_t i = 0; i + 2 < page.pixels.size(); i += 3)
            std::swap(page.pixels[i], page.pixels[i + 2]);
    const int32_t kind =
        page.channels == 0 ? VLM_KIND_BW : (page.channels == 1 ? VLM_KIND_GRAY : VLM_KIND_BGR);
    const PdfPageImageDesc desc{
        page.pixels.data(), page.stride(), page.width, page.height, dpi, dpi, kind, 0, 0};
    std::filesystem::remove(out); // the document maker never replaces a file
    if (VLMC_exmodeset(VLM_MODE_PLAIN, 0, 0) != VLM_OK ||
        VLMC_exopen(out.c_str(), VLM_OPEN_PDF, 0) != VLM_OK || VLMC_spmake(&desc, nullptr) != VLM_OK ||
        VLMC_exclose(0) != VLM_OK)
        throw std::runtime_error("cannot write " + out);
}

void WriteTiffFile(const std::string& in, const std::string& out, int32_t dpi, bool compressed) {
    const SPageBitmap page = BitmapOf(ReadPnm(in), dpi);
    WriteFile(out, [&](int fd) {
        return WriteTiff(page, fd, compressed ? ETiffCompression::kBest : ETiffCompression::kNone);
    });
}

void WriteJpegFile(const std::string& in, const std::string& out, int32_t dpi, int quality) {
    const SPageBitmap page = BitmapOf(ReadPnm(in), dpi);
    WriteFile(out, [&](int fd) { return WriteJpeg(page, fd, quality); });
}
