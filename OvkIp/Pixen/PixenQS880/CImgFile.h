// An image that can be stored and read: bitmaps, the library's raw ".ovk" format, bare image records,
// and one-page PDF documents. Loaders check every header field against the file before allocating.
#pragma once

#include "CImg.h"

#include <cstdint>

namespace Ovk::Pixen {

// Why a load or save failed, for callers that want more than the boolean result.
enum class ImageFileError {
    None,
    EmptyImage,   // nothing to save, or an image whose record is inconsistent
    Path,         // no path, or a document path without ".pdf"
    Open,         // the file cannot be opened or created, or is not a regular file
    Read,         // reading failed
    Write,        // writing failed
    Format,       // not a file of this kind (signature, record size word)
    Unsupported,  // a valid file of a kind this library does not handle (depth, compression, layout)
    Geometry,     // the header describes an image the library refuses
    TooLarge,     // beyond the size limit of image files
    SizeMismatch, // the file is shorter or longer than its header says
    Memory,       // the pixel buffer cannot be allocated
    Library,      // the document maker refused the job
};

class CImgFile : public CImg {
public:
    // Largest pixel buffer a file may bring in (1 GiB), far above any page of the scanner.
    static constexpr std::uint32_t kMaxFileImageBytes = 1u << 30;
    // Bytes of the image record in files: thirteen 32-bit words whatever the pointer width.
    static constexpr std::uint32_t kFileRecordBytes = 52;
    // Widest and longest page a document accepts (pixels).
    static constexpr std::int32_t kMaxPdfSide = 10200;

    CImgFile() noexcept = default;
    explicit CImgFile(const CImg& image) noexcept : CImg(image) {}
    ~CImgFile() override;

    // 1-bit, 8-bit grey and 24-bit colour images; rows bottom first, padded to four bytes.
    bool saveBmp(const char* path, ImageFileError* why = nullptr) const noexcept;
    // Uncompressed bottom-up bitmaps of 1, 4, 8 or 24 bits; pixel values as stored (the colour table is
    // not applied). The image is empty after any failure.
    bool loadBmp(const char* path, ImageFileError* why = nullptr) noexcept;
    // Bytes of a bitmap row: whole bytes, rounded up to a multiple of four; -1 when out of range.
    std::int32_t calcSync(std::int32_t width, std::int32_t bitsPerPixel) const noexcept;

    bool saveOvk(const char* path, ImageFileError* why = nullptr) const noexcept;
    // The image is empty after any failure.
    bool loadOvk(const char* path, ImageFileError* why = nullptr) noexcept;

    // A record file holds the 52-byte record alone; the pointer word is stored as 0 and read as null.
    static bool saveImgInf(const char* path, const tagIMAGEINFO* info,
                           ImageFileError* why = nullptr) noexcept;
    // The record is untouched after a failure.
    static bool loadImgInf(const char* path, tagIMAGEINFO* info, ImageFileError* why = nullptr) noexcept;

    // One-page document through the document maker; subMode50 is its quality value.
    bool savePdf(const char* path, bool highCompression, std::int32_t subMode50, bool textRecognition,
                 std::uint32_t language, std::uint32_t codePage,
                 ImageFileError* why = nullptr) const noexcept;
};

} // namespace Ovk::Pixen
