// Native and file transfers of CDataSource. Both pull the whole page by memory transfer first; the native
// form on this platform is a TIFF image in one block of container memory that the application frees, and
// a file transfer writes TIFF, JPEG or the picture form atomically into an existing folder.
#include <cstring>
#include <filesystem>
#include <new>

#include "DataSource.h"
#include "ImageEncoders.h"
#include "PictEncoder.h"
#include "foundation/FileIO.h"
#include "twainmemory.h"

TW_UINT16 CDataSource::ImageNativeXfer(pTW_IDENTITY origin, TW_MEMREF data) {
    auto* handle = static_cast<TW_HANDLE*>(data);
    if (!handle)
        return Fail(TWCC_BADVALUE);
    *handle = nullptr;
    SPageBitmap page;
    if (const TW_UINT16 rc = TransferTiffImage(origin, page); rc != TWRC_SUCCESS)
        return rc;
    const std::vector<std::uint8_t> tiff = EncodeTiff(page);
    TW_HANDLE block = tiff.empty() ? nullptr : twain::allocHandle(static_cast<TW_UINT32>(tiff.size()));
    if (!block)
        return Fail(TWCC_LOWMEMORY);
    std::memcpy(twain::lockHandle(block), tiff.data(), tiff.size());
    twain::unlockHandle(block);
    *handle = block;
    // The standard's answer for a delivered native image; the page is already finished.
    return TWRC_XFERDONE;
}

std::vector<std::uint8_t> CDataSource::EncodeFileContents(TW_UINT16 format, const SPageBitmap& page) {
    switch (format) {
    case TWFF_PICT:
        return EncodePictFile(page);
    case TWFF_TIFF:
        return EncodeTiff(page);
    case TWFF_JFIF:
        return EncodeJpeg(page);
    default:
        return {};
    }
}

TW_UINT16 CDataSource::ImageFileXfer(pTW_IDENTITY origin, TW_MEMREF data) {
    namespace fs = std::filesystem;
    const auto* setup = static_cast<const TW_SETUPFILEXFER2*>(data);
    if (!setup)
        return Fail(TWCC_BADVALUE);
    const TW_UINT16 format = setup->Format;
    const char* name = static_cast<const char*>(setup->FileName);
    // Refused before the page is pulled, so that the application can ask again correctly.
    if ((format != TWFF_PICT && format != TWFF_TIFF && format != TWFF_JFIF) || !name || !*name)
        return Fail(TWCC_BADVALUE);
    SPageBitmap page;
    // The picture form runs without the application's identity, so it does not count as a transfer.
    if (const TW_UINT16 rc = TransferTiffImage(format == TWFF_PICT ? nullptr : origin, page);
        rc != TWRC_SUCCESS)
        return rc;
    std::vector<std::uint8_t> contents;
    try {
        contents = EncodeFileContents(format, page);
    } catch (const std::bad_alloc&) {
        return Fail(TWCC_LOWMEMORY);
    }
    if (contents.empty())
        return Fail(TWCC_FILEWRITEERROR);
    const fs::path path(name);
    std::error_code error;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::current_path(error);
    if (error || !fs::is_directory(folder, error))
        return Fail(TWCC_FILENOTFOUND);
    if (!fnd::writeFileAtomically(path, contents))
        return Fail(TWCC_FILEWRITEERROR);
    return TWRC_XFERDONE;
}
