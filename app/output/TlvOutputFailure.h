// The failures of the output road. The name of a failure is the string-table key of its message;
// "NoErr_OnlyThrow" unwinds without one and "Flg_MailSizeOver" stops the batch at the mail-size limit.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tlv {

inline constexpr const char* kErrUnknown = "Err_UnknownError";
inline constexpr const char* kErrMemFull = "Err_MemFullError";
inline constexpr const char* kErrFileDecode = "Err_FileDecodeFailed";
inline constexpr const char* kErrNotFoundFile = "Err_NotFoundFile";
inline constexpr const char* kErrMakeFileName = "Err_MakeFileNameFailed";
inline constexpr const char* kErrFileCreate = "Err_FileCreateFailed";
inline constexpr const char* kErrFolderNotWritable = "Err_FolderNotWritable"; // %1 the folder
// A page found no room on a disk. Raised with the folder on that disk; told with the folder (%1), what
// was kept, and the first page not saved (the last argument).
inline constexpr const char* kErrDiskFull = "Err_DiskFull";                   // %2 the first page lost
inline constexpr const char* kErrDiskFullPagesKept = "Err_DiskFullPagesKept"; // %2 file, %3 its pages
inline constexpr const char* kErrDiskFullFilesKept = "Err_DiskFullFilesKept"; // %2 the last file kept
inline constexpr const char* kErrPdfInit = "Err_PDFInitFault";
inline constexpr const char* kErrPdfAlreadyOpen = "Err_PDFAlreadyOpen";
inline constexpr const char* kErrPdfNotOpen = "Err_PDFNotOpen";
inline constexpr const char* kErrOcrLanguage = "Err_PDFOCRLangMissing";
inline constexpr const char* kErrTiffAddPage = "Err_TIFFAddPage";
inline constexpr const char* kErrJpegParam = "Err_JPEGInvalidParam";
inline constexpr const char* kErrJpegCreate = "Err_JPEGNotCreate";
inline constexpr const char* kErrNotMakePath = "Err_NotMakePath";
inline constexpr const char* kErrPrintFailed = "Err_PrintFailed";
inline constexpr const char* kErrNotFoundPrinter = "Err_NotFoundPrinter";
inline constexpr const char* kErrNonAppPath = "Err_NonAppPath";
inline constexpr const char* kErrNotFoundMailApp = "Err_NotFoundMailApp";
inline constexpr const char* kErrMailNotHanded = "Err_MailNotHanded"; // %1 the folder of the files
inline constexpr const char* kErrNonFileNameForJobScan = "Err_NonFileNameForJobScan";
inline constexpr const char* kErrHeadCharDotFileName = "Err_HeadCharDotFileName";
inline constexpr const char* kErrInValidFileName = "Err_InValidFileName";
inline constexpr const char* kErrTooLongFileName = "Err_TooLongFileName";
inline constexpr const char* kErrEqualFileNameForJobScan = "Err_EqualFileNameForJobScan";
inline constexpr const char* kNoErrOnlyThrow = "NoErr_OnlyThrow";
inline constexpr const char* kFlgMailSizeOver = "Flg_MailSizeOver";

class TlvOutputFailure : public std::runtime_error {
public:
    // args fill the message's %1, %2, ... in order.
    explicit TlvOutputFailure(const char* key, std::vector<std::string> args = {})
        : std::runtime_error(key), mArgs(std::move(args)) {}
    std::string key() const { return what(); }
    const std::vector<std::string>& args() const { return mArgs; }
    bool isMailSizeOver() const { return key() == kFlgMailSizeOver; }

private:
    std::vector<std::string> mArgs;
};

[[noreturn]] inline void fail(const char* key) {
    throw TlvOutputFailure(key);
}

[[noreturn]] inline void failDiskFull(const std::filesystem::path& folder) {
    throw TlvOutputFailure(kErrDiskFull, {folder.string()});
}

} // namespace tlv
