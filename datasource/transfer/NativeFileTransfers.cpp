// Native and file transfers of CDataSource. Both pull the whole page by memory transfer first; the native
// form on this platform is a TIFF image in one block of container memory that the application frees, and
// a file transfer writes TIFF, JPEG or the picture form atomically into an existing folder.
#include <cstring>
#include <filesystem>
#include <new>

#include "CapHelpers.h"
#include "ContainerBlock.h"
#include "DataSource.h"
#include "FileIO.h"
#include "ImageEncoders.h"
#include "ManagerEntryPoints.h"
#include "PictEncoder.h"
#include "TwainText.h"

TW_UINT16 CDataSource::ImageNativeXfer(pTW_IDENTITY origin, TW_MEMREF data) {
    auto* handle = static_cast<TW_HANDLE*>(data);
    if (!handle)
        return Fail(TWCC_BADVALUE);
    *handle = nullptr;
    SPageBitmap page;
    if (const TW_UINT16 rc = TransferTiffImage(origin, page); rc != TWRC_SUCCESS)
        return rc;
    const std::vector<std::uint8_t> tiff = EncodeTiff(page);
    TW_HANDLE block = tiff.empty() ? nullptr : NewMemoryBlock(tiff.size());
    TW_MEMREF memory = block ? ManagerEntryPoints::Lock(block) : nullptr;
    if (!memory) {
        DisposeContainer(block);
        return Fail(TWCC_LOWMEMORY);
    }
    std::memcpy(memory, tiff.data(), tiff.size());
    ManagerEntryPoints::Unlock(block);
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

namespace {

bool IsFileFormat(TW_UINT16 format) {
    return format == TWFF_TIFF || format == TWFF_PICT || format == TWFF_JFIF;
}

} // namespace

TW_SETUPFILEXFER CDataSource::DefaultFileSetup() {
    TW_SETUPFILEXFER setup{};
    SetTwainText(setup.FileName, sizeof setup.FileName, "TWAIN.TMP"); // the standard's default file
    setup.Format = TWFF_TIFF;
    return setup;
}

TW_UINT16 CDataSource::FileFormat() const {
    return mCapPool ? static_cast<TW_UINT16>(GetCapUIntValue(mCapPool.get(), ICAP_IMAGEFILEFORMAT))
                    : mFileSetup.Format;
}

TW_UINT16 CDataSource::GetSetupFileXfer(pTW_IDENTITY, TW_MEMREF data) {
    auto* setup = static_cast<TW_SETUPFILEXFER*>(data);
    if (!setup)
        return Fail(TWCC_BADVALUE);
    *setup = mFileSetup;
    setup->Format = FileFormat();
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::GetDefaultSetupFileXfer(pTW_IDENTITY, TW_MEMREF data) {
    auto* setup = static_cast<TW_SETUPFILEXFER*>(data);
    if (!setup)
        return Fail(TWCC_BADVALUE);
    *setup = DefaultFileSetup();
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::SetSetupFileXfer(pTW_IDENTITY, TW_MEMREF data) {
    const auto* setup = static_cast<const TW_SETUPFILEXFER*>(data);
    if (!setup || !IsFileFormat(setup->Format) || strnlen(setup->FileName, sizeof setup->FileName) == 0 ||
        strnlen(setup->FileName, sizeof setup->FileName) == sizeof setup->FileName)
        return Fail(TWCC_BADVALUE);
    mFileSetup = *setup;
    SetCapUIntValue(mCapPool.get(), ICAP_IMAGEFILEFORMAT, setup->Format);
    return TWRC_SUCCESS;
}

TW_UINT16 CDataSource::ResetSetupFileXfer(pTW_IDENTITY origin, TW_MEMREF data) {
    mFileSetup = DefaultFileSetup();
    SetCapUIntValue(mCapPool.get(), ICAP_IMAGEFILEFORMAT, mFileSetup.Format);
    return GetSetupFileXfer(origin, data);
}

// Without data: the file of DAT_SETUPFILEXFER (TWSX_FILE). With data: the other platform's record, which
// names the file itself (TWSX_FILE2).
TW_UINT16 CDataSource::ImageFileXfer(pTW_IDENTITY origin, TW_MEMREF data) {
    if (!data)
        return WriteFileTransfer(
            origin, FileFormat(),
            std::string(mFileSetup.FileName, strnlen(mFileSetup.FileName, sizeof(TW_STR255))));
    const auto* setup = static_cast<const TW_SETUPFILEXFER2*>(data);
    const char* name = static_cast<const char*>(setup->FileName);
    return WriteFileTransfer(origin, setup->Format, name ? name : "");
}

TW_UINT16 CDataSource::WriteFileTransfer(pTW_IDENTITY origin, TW_UINT16 format, const std::string& name) {
    namespace fs = std::filesystem;
    // Refused before the page is pulled, so that the application can ask again correctly.
    if (!IsFileFormat(format) || name.empty())
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
