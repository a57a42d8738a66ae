// Raw pages into bitmaps. The record comes from the page list and the file from the temporary folder,
// so both are checked before a byte is allocated: the file must hold every byte that the record's size
// promises, and a short file is refused rather than encoded with memory nobody wrote.
#include "TlvPageRaster.h"

#include "ImgInfoKeys.h"
#include "TlvOutputFailure.h"
#include "TlvOutputOptions.h"
#include "TlvUtilsMethod.h"
#include "WholeTransfer.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace tlv {
namespace {

constexpr int64_t kMaxSide = 1 << 20; // pixels; far beyond any page the scanner makes

struct RawPageRecord {
    std::string name;
    int bpp = 0;
    int64_t width = 0, height = 0;
    double xRes = 0, yRes = 0;
    int rotation = 0;
};

RawPageRecord recordOf(const fnd::Dictionary& record) {
    RawPageRecord r;
    if (const std::string* name = record.get(ImgInfo_NameKey).asString())
        r.name = *name;
    r.bpp = record.get(ImgInfo_bppKey).asInt32().value_or(0);
    r.width = record.get(ImgInfo_WidthKey).asInt64().value_or(0);
    r.height = record.get(ImgInfo_HeightKey).asInt64().value_or(0);
    r.xRes = record.get(ImgInfo_XResKey).asDouble().value_or(0);
    r.yRes = record.get(ImgInfo_YResKey).asDouble().value_or(0);
    r.rotation = record.get(ImgInfo_RotateKey).asInt32().value_or(0);
    const bool usable = !r.name.empty() && r.name.find('/') == std::string::npos && r.name != "." &&
                        r.name != ".." && (r.bpp == 1 || r.bpp == 8 || r.bpp == 24) && r.width > 0 &&
                        r.width <= kMaxSide && r.height > 0 && r.height <= kMaxSide && r.xRes > 0 &&
                        r.yRes > 0 && r.rotation >= 0 && r.rotation <= 3;
    if (!usable)
        fail(kErrFileDecode);
    return r;
}

SPageBitmap emptyBitmap(int bpp, uint32_t width, uint32_t height, float xRes, float yRes) {
    SPageBitmap b;
    b.width = width;
    b.height = height;
    b.samplesPerPixel = bpp == 24 ? 3 : 1;
    b.bitsPerSample = bpp == 1 ? 1 : 8;
    b.bytesPerRow = static_cast<uint32_t>(bytesPerRowByImgSetting(bpp, width));
    b.xResolution = xRes;
    b.yResolution = yRes;
    b.pixels.resize(uint64_t{b.bytesPerRow} * height);
    return b;
}

// The raw file, opened and measured before anything is allocated for it.
class RawFile {
public:
    explicit RawFile(const std::string& name) : mFd(TlvUtilsMethod::openTmpFile(name)) {
        if (mFd < 0)
            fail(errno == ENOENT ? kNoErrOnlyThrow : kErrFileDecode);
        struct stat st {};
        if (::fstat(mFd, &st) != 0 || !S_ISREG(st.st_mode))
            fail(kErrFileDecode);
        mSize = static_cast<uint64_t>(st.st_size);
    }
    ~RawFile() { ::close(mFd); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    uint64_t size() const { return mSize; }
    void readExactly(std::vector<uint8_t>& pixels) const {
        const int fd = mFd;
        if (!fnd::transferAll(pixels.data(), pixels.size(),
                              [fd](uint8_t* data, size_t n) { return ::read(fd, data, n); }))
            fail(kErrFileDecode);
    }

private:
    int mFd;
    uint64_t mSize = 0;
};

void rotateBytes(const SPageBitmap& src, SPageBitmap& dst, int turns) {
    const uint32_t pixel = src.samplesPerPixel; // bytes: 8-bit samples
    const uint32_t W = src.width, H = src.height;
    for (uint32_t r = 0; r < dst.height; ++r) {
        uint8_t* out = dst.pixels.data() + uint64_t{dst.bytesPerRow} * r;
        for (uint32_t c = 0; c < dst.width; ++c, out += pixel) {
            const uint32_t sr = turns == 1 ? H - 1 - c : turns == 3 ? c : H - 1 - r;
            const uint32_t sc = turns == 1 ? r : turns == 3 ? W - 1 - r : W - 1 - c;
            std::copy_n(src.Row(sr) + uint64_t{sc} * pixel, pixel, out);
        }
    }
}

void rotateBits(const SPageBitmap& src, SPageBitmap& dst, int turns) {
    const std::span<const uint8_t> whole(src.pixels);
    for (uint32_t r = 0; r < dst.height; ++r) {
        std::span<uint8_t> out(dst.pixels.data() + uint64_t{dst.bytesPerRow} * r, dst.bytesPerRow);
        const int W = static_cast<int>(src.width), H = static_cast<int>(src.height);
        if (turns == 2)
            TlvUtilsMethod::rotate_Image1Bpp(out, static_cast<int>(r), {src.Row(H - 1 - r), src.bytesPerRow},
                                             W, H, 2);
        else
            TlvUtilsMethod::rotate_Image1Bpp(out, static_cast<int>(r), whole, W, H, turns == 1 ? 0 : 1);
    }
}

} // namespace

uint64_t bytesPerRowByImgSetting(int bpp, uint64_t width) {
    return bpp < 8 ? (width + 7) / 8 : uint64_t(bpp / 8) * width;
}

TlvPageImage readPageImage(const fnd::Dictionary& record) {
    const RawPageRecord r = recordOf(record);
    TlvPageImage page;
    page.bpp = r.bpp;
    const RawFile file(r.name);
    if (file.size() <
        bytesPerRowByImgSetting(r.bpp, static_cast<uint64_t>(r.width)) * static_cast<uint64_t>(r.height))
        fail(kErrFileDecode); // a short file: never encode memory that nobody wrote
    try {
        page.bitmap = emptyBitmap(r.bpp, static_cast<uint32_t>(r.width), static_cast<uint32_t>(r.height),
                                  static_cast<float>(r.xRes), static_cast<float>(r.yRes));
        file.readExactly(page.bitmap.pixels);
        rotateImageRep(page, r.rotation);
    } catch (const std::bad_alloc&) {
        fail(kErrMemFull);
    }
    return page;
}

void rotateImageRep(TlvPageImage& page, int quarterTurns) {
    const int turns = ((quarterTurns % 4) + 4) % 4;
    if (turns == 0)
        return;
    const SPageBitmap& src = page.bitmap;
    const bool odd = turns % 2 == 1;
    SPageBitmap dst =
        emptyBitmap(page.bpp, odd ? src.height : src.width, odd ? src.width : src.height,
                    odd ? src.yResolution : src.xResolution, odd ? src.xResolution : src.yResolution);
    if (page.bpp == 1)
        rotateBits(src, dst, turns);
    else
        rotateBytes(src, dst, turns);
    page.bitmap = std::move(dst);
    page.rotation = (page.rotation + turns) % 4;
}

void reversalImageBW(TlvPageImage& page) {
    if (page.bpp >= 8)
        return;
    for (uint8_t& byte : page.bitmap.pixels)
        byte = static_cast<uint8_t>(~byte);
    page.oneIsBlack = !page.oneIsBlack;
}

void conversionRGBToBGRImage(TlvPageImage& page) {
    if (page.bpp != 24)
        return;
    SPageBitmap& b = page.bitmap;
    for (uint32_t y = 0; y < b.height; ++y) {
        uint8_t* row = b.pixels.data() + uint64_t{b.bytesPerRow} * y;
        for (uint32_t x = 0; x < b.width; ++x)
            std::swap(row[3 * x], row[3 * x + 2]);
    }
}

} // namespace tlv
