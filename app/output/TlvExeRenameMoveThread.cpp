// See TlvExeRenameMoveThread.h: moving the files to their confirmed names, and the hand-off.
#include "TlvExeRenameMoveThread.h"

#include "Launcher.h"
#include "TlvConfirmedNames.h"
#include "TlvUtilsMethod.h"

namespace tlv {
namespace fs = std::filesystem;
namespace {

// Files that keep appearing under every free name would otherwise keep the move going for ever.
constexpr int kMoveAttempts = 16;

bool isThere(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

} // namespace

TlvExeRenameMoveThread::TlvExeRenameMoveThread(TlvOutputHost& host, TlvExeWriteThread& writer,
                                               TlvReadFilesThread& reader)
    : mHost(host), mWriter(writer), mReader(reader) {}

void TlvExeRenameMoveThread::reportFailure(const TlvOutputFailure& failure, TlvOutcome outcome) {
    if (failure.key() != kNoErrOnlyThrow)
        mHost.showErrorPanel(failure.key(), failure.args());
    mHost.report(outcome);
}

fs::path TlvExeRenameMoveThread::renameFolder(const TlvBatchSnapshot& batch,
                                              const std::vector<fs::path>& written) {
    // Mail files stay in the batch's outbox, which the mail program reads after this step.
    const TlvOutputOptions& o = batch.options;
    const fs::path folder = batch.funcType == kFuncMail
                                ? written.front().parent_path()
                                : fs::path(o.isPictureFolderSave ? o.pictureFolder : o.fileSavePath);
    std::error_code ec;
    if (!folder.is_absolute() || !fs::is_directory(folder, ec))
        fail(kErrNotFoundFile);
    return folder;
}

fs::path TlvExeRenameMoveThread::moveToFreeName(const TlvOutputOptions& options, const fs::path& from,
                                                const fs::path& to) {
    const TlvFileNaming naming(options, true);
    std::atomic<int64_t> noRunCounter{-1};
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
        const std::optional<fs::path> target = naming.checkFilePath(to, true, noRunCounter);
        if (!target || target->parent_path() != to.parent_path() ||
            !isUsableFileName(target->filename().string()))
            fail(kErrMakeFileName);
        if (TlvUtilsMethod::enhancedMovePath(from, *target))
            return *target;
        if (!isThere(from))
            fail(kErrNotFoundFile);
        if (!isThere(*target))
            fail(kErrNotMakePath);
        // A file appeared under the free name meanwhile: it stays, the next name is tried.
    }
    fail(kErrMakeFileName);
}

void TlvExeRenameMoveThread::renameAndMoveFiles(const TlvBatchSnapshot& batch,
                                                const std::vector<std::string>& confirmedNames) {
    try {
        const std::vector<fs::path> written = mWriter.writtenFiles().cpyWriteFilePathArray();
        if (written.empty() || confirmedNames.empty())
            fail(kErrNotFoundFile);
        if (const std::optional<std::string> fault = checkConfirmedNames(confirmedNames, written))
            throw TlvOutputFailure(fault->c_str());
        const fs::path folder = renameFolder(batch, written);
        const TlvOutputOptions& options = batch.options;
        for (std::size_t i = 0; i < written.size(); ++i) {
            const fs::path target = folder / (confirmedNames[i] + extensionOfWritten(written[i]));
            if (target == written[i])
                continue;
            const fs::path moved = moveToFreeName(options, written[i], target);
            mWriter.writtenFiles().replaceWriteFilePath(written[i], moved);
        }
        mHost.report(TlvOutcome::StepDone);
    } catch (const TlvOutputFailure& failure) {
        reportFailure(failure, TlvOutcome::StepFailed);
    } catch (const std::bad_alloc&) {
        reportFailure(TlvOutputFailure(kErrMemFull), TlvOutcome::StepFailed);
    }
}

void TlvExeRenameMoveThread::handOff(const TlvBatchKind& batch, bool isOpen,
                                     const std::string& applicationPath) {
    const int func = batch.funcType;
    if (!isOpen || (func != kFuncMail && func != kFuncApplication))
        fail(kErrUnknown);
    const std::vector<fs::path> files = mWriter.writtenFiles().filePathUrls();
    std::optional<ws::DesktopEntry> application;
    if (func == kFuncApplication && !applicationPath.empty())
        application = ws::DesktopEntry::load(applicationPath);
    if (files.empty())
        fail(kErrNotFoundFile);
    if (func == kFuncMail) {
        // Without a mail program the tool fails at once: the user is told where the files wait.
        if (!ws::composeMail(files))
            throw TlvOutputFailure(kErrMailNotHanded, {files.front().parent_path().string()});
        return;
    }
    if (!application)
        fail(kErrNonAppPath);
    // The Exec line decides: every file in one start (%F, %U) or one start per file (%f, %u).
    if (!ws::launch(*application, files))
        fail(kErrNotFoundFile);
}

void TlvExeRenameMoveThread::openFileOnApp(const TlvBatchKind& batch, bool isOpen,
                                           const std::string& applicationPath) {
    try {
        handOff(batch, isOpen, applicationPath);
        mHost.report(TlvOutcome::StepDone);
    } catch (const TlvOutputFailure& failure) {
        reportFailure(failure, TlvOutcome::StepFailed);
    } catch (const std::bad_alloc&) {
        reportFailure(TlvOutputFailure(kErrMemFull), TlvOutcome::StepFailed);
    }
}

} // namespace tlv
