// Raw image files and record files. Records are stored as thirteen little-endian
// words whatever this build's pointer width; a loaded record must pass the image validity rules and
// describe exactly the bytes that follow it, so a hostile header can neither over-allocate nor over-read.
#include "CImgFile.h"

#include "FileIo.h"
#include "ImageFileCommon.h"

namespace Ovk::Pixen {

using namespace fileio;

namespace {

void encodeRecord(const tagIMAGEINFO& info, std::uint8_t* out) noexcept {
    const std::uint32_t words[13] = {CImgFile::kFileRecordBytes,
                                     0, // pointers mean nothing in a file
                                     static_cast<std::uint32_t>(info.lXpos),
                                     static_cast<std::uint32_t>(info.lYpos),
                                     static_cast<std::uint32_t>(info.lWidth),
                                     static_cast<std::uint32_t>(info.lHeight),
                                     static_cast<std::uint32_t>(info.lSync),
                                     info.tImageSize,
                                     static_cast<std::uint32_t>(info.lBps),
                                     static_cast<std::uint32_t>(info.lSpp),
                                     info.ulRGBOrder,
                                     static_cast<std::uint32_t>(info.lXResolution),
                                     static_cast<std::uint32_t>(info.lYResolution)};
    for (std::uint32_t word : words) {
        putLe32(out, word);
        out += 4;
    }
}

// False when the size word is not that of a stored record.
bool decodeRecord(const std::uint8_t* in, tagIMAGEINFO& info) noexcept {
    if (getLe32(in) != CImgFile::kFileRecordBytes)
        return false;
    auto word = [in](int i) { return getLe32(in + 4 * i); };
    auto sword = [&word](int i) { return static_cast<std::int32_t>(word(i)); };
    info = tagIMAGEINFO{};
    info.ulSize = sizeof(tagIMAGEINFO);
    info.lXpos = sword(2);
    info.lYpos = sword(3);
    info.lWidth = sword(4);
    info.lHeight = sword(5);
    info.lSync = sword(6);
    info.tImageSize = word(7);
    info.lBps = sword(8);
    info.lSpp = sword(9);
    info.ulRGBOrder = word(10);
    info.lXResolution = sword(11);
    info.lYResolution = sword(12);
    return true;
}

} // namespace

ImageFileError fileio::writeOvkFile(int fd, const CImg& image) noexcept {
    if (image.isNull() || image.getInfo().ulSize == 0 || !CImg::checkInfo(image))
        return ImageFileError::EmptyImage;
    std::uint8_t header[CImgFile::kFileRecordBytes];
    encodeRecord(image.getInfo(), header);
    if (!writeAll(fd, header, sizeof header) || !writeAll(fd, image.getImage(), image.getImageSize()))
        return ImageFileError::Write;
    return ImageFileError::None;
}

CImgFile::~CImgFile() = default;

bool CImgFile::saveOvk(const char* path, ImageFileError* why) const noexcept {
    if (isNull() || !checkInfo(*this))
        return fail(why, ImageFileError::EmptyImage);
    UniqueFd fd = openForWriting(path);
    if (!fd.valid())
        return fail(why, ImageFileError::Open);
    const ImageFileError error = writeOvkFile(fd.get(), *this);
    if (error != ImageFileError::None)
        return fail(why, error);
    return fd.close() ? succeed(why) : fail(why, ImageFileError::Write);
}

bool CImgFile::loadOvk(const char* path, ImageFileError* why) noexcept {
    deleteImg();
    UniqueFd fd = openForReading(path);
    if (!fd.valid())
        return fail(why, ImageFileError::Open);
    const std::int64_t size = fileSize(fd.get());
    std::uint8_t header[kFileRecordBytes];
    if (size < kFileRecordBytes)
        return fail(why, ImageFileError::SizeMismatch);
    if (!readAll(fd.get(), header, sizeof header))
        return fail(why, ImageFileError::Read);
    tagIMAGEINFO info;
    if (!decodeRecord(header, info))
        return fail(why, ImageFileError::Format);
    if (!checkInfo(&info) || info.tImageSize == 0)
        return fail(why, ImageFileError::Geometry);
    if (info.tImageSize > kMaxFileImageBytes)
        return fail(why, ImageFileError::TooLarge);
    if (size != std::int64_t{kFileRecordBytes} + info.tImageSize)
        return fail(why, ImageFileError::SizeMismatch);
    createImg(&info);
    if (isNull())
        return fail(why, ImageFileError::Memory);
    if (!readAll(fd.get(), getImage(), getImageSize())) {
        deleteImg();
        return fail(why, ImageFileError::Read);
    }
    return succeed(why);
}

bool CImgFile::saveImgInf(const char* path, const tagIMAGEINFO* info, ImageFileError* why) noexcept {
    if (info == nullptr || info->ulSize == 0)
        return fail(why, ImageFileError::EmptyImage);
    UniqueFd fd = openForWriting(path);
    if (!fd.valid())
        return fail(why, ImageFileError::Open);
    std::uint8_t header[kFileRecordBytes];
    encodeRecord(*info, header);
    if (!writeAll(fd.get(), header, sizeof header) || !fd.close())
        return fail(why, ImageFileError::Write);
    return succeed(why);
}

bool CImgFile::loadImgInf(const char* path, tagIMAGEINFO* info, ImageFileError* why) noexcept {
    if (info == nullptr)
        return fail(why, ImageFileError::Path);
    UniqueFd fd = openForReading(path);
    if (!fd.valid())
        return fail(why, ImageFileError::Open);
    std::uint8_t header[kFileRecordBytes];
    if (!readAll(fd.get(), header, sizeof header))
        return fail(why, ImageFileError::SizeMismatch);
    tagIMAGEINFO loaded;
    if (!decodeRecord(header, loaded))
        return fail(why, ImageFileError::Format);
    *info = loaded;
    return succeed(why);
}

} // namespace Ovk::Pixen
