// The page writer around the formats: numbering against files made before and during the batch, names
// that would leave the chosen folder, failures injected half-way, the mail outbox and its size limit,
// and a job batch written page by page while the scan runs.
#include "OutputTestSupport.h"

#include "TlvFileNaming.h"
#include "TlvOutputFailure.h"
#include "TlvUtilsMethod.h"
#include "WaitUntil.h"
#include "test_pages.h"

#include <fstream>
#include <future>
#include <thread>

namespace outtest {
namespace {

class PageWriter : public OutputTest {
protected:
    void useJpeg(const std::string& name) {
        host.options.fileFormatType = tlv::kFormatJPEG;
        host.options.imgFileName = name;
    }
    // A job batch that scans into format, with its first pages in the list.
    void scanJob(int format, int pages) {
        host.scanMode = tlv::kScanModeJOB;
        host.options.fileFormatType = format;
        host.setState(102);
        for (int i = 0; i < pages; ++i)
            addPage({8, 40, 30});
    }
};

TEST_F(PageWriter, NumberingStepsOverFilesThatExist) {
    useJpeg("Scan_001.jpg");
    std::ofstream(saveFolder / "Scan_002.jpg") << "mine";
    for (int i = 0; i < 3; ++i)
        addPage({8, 16, 16});
    reader->readImgFiles(host.batch());
    EXPECT_EQ(namesIn(savedFiles()),
              (std::vector<std::string>{"Scan_001.jpg", "Scan_002.jpg", "Scan_003.jpg", "Scan_004.jpg"}));
    EXPECT_EQ(bytesOf(saveFolder / "Scan_002.jpg"), (std::vector<char>{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(namesIn(writer->writtenFiles().cpyWriteFilePathArray()),
              (std::vector<std::string>{"Scan_001.jpg", "Scan_003.jpg", "Scan_004.jpg"}));
}

// A file under construction has no name in the folder; when it is finished, a file that took its name
// meanwhile stays and the new one takes the next, in the written list too.
TEST_F(PageWriter, AnOpenFileIsUnseenAndGivesWayToAFileThatTookItsName) {
    host.options.fileFormatType = tlv::kFormatTIFF;
    host.options.imgFileName = "Scan_001.tiff";
    host.options.ffMultiTypeTIFF = 0; // every page in one file
    const tlv::TlvPageImage page = tlv::readPageImage(writeRawPage({8, 40, 30}, 0));
    writer->exeWriteImgFiles(host.batch(), 0, page, host.options, false, std::nullopt, std::nullopt);
    EXPECT_TRUE(savedFiles().empty());
    std::ofstream(saveFolder / "Scan_001.tiff") << "mine";
    writer->exeWriteImgFiles(host.batch(), 1, page, host.options, true, std::nullopt, std::nullopt);
    EXPECT_EQ(namesIn(savedFiles()), (std::vector<std::string>{"Scan_001.tiff", "Scan_002.tiff"}));
    EXPECT_EQ(bytesOf(saveFolder / "Scan_001.tiff"), (std::vector<char>{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(namesIn(writer->writtenFiles().cpyWriteFilePathArray()),
              std::vector<std::string>{"Scan_002.tiff"});
    EXPECT_EQ(vlmtest::run("identify '" + (saveFolder / "Scan_002.tiff").string() + "' | wc -l"), "2\n");
}

TEST_F(PageWriter, FreeNamesGetACounterOfTheirOwn) {
    host.options.isUseFNSetting = false;
    std::atomic<int64_t> counter{-1};
    const auto next = [&](const std::string& free) {
        host.options.freeFileName = free;
        const tlv::TlvFileNaming naming(host.options, false);
        return naming.checkFilePath(saveFolder / free, false, counter)
            .value_or(fs::path())
            .filename()
            .string();
    };
    std::ofstream(saveFolder / "Doc.pdf") << "x";
    EXPECT_EQ(next("Doc.pdf"), "Doc_001.pdf");
    std::ofstream(saveFolder / "Doc_001.pdf") << "x";
    EXPECT_EQ(next("Doc.pdf"), "Doc_002.pdf");
    std::ofstream(saveFolder / "Doc_12.pdf") << "x";
    EXPECT_EQ(next("Doc_12.pdf"), "Doc_12_001.pdf"); // the user's digits are no counter
    std::ofstream(saveFolder / "Doc_999.pdf") << "x";
    EXPECT_EQ(next("Doc_999.pdf"), "Doc_999_001.pdf");

    host.options.partFileName = "Scan";
    const tlv::TlvFileNaming automatic(host.options, true);
    std::ofstream(saveFolder / "Scan_999.pdf") << "x";
    std::atomic<int64_t> run{-1};
    EXPECT_EQ(automatic.checkFilePath(saveFolder / "Scan_999.pdf", false, run), saveFolder / "Scan_1000.pdf");
}

TEST_F(PageWriter, NamesThatWouldLeaveTheFolderAreRefused) {
    for (const char* name : {"../Escape.pdf", ".hidden.pdf", "a/b.pdf", "", "what?.pdf"}) {
        host.options.imgFileName = name;
        EXPECT_FALSE(tlv::isUsableFileName(name)) << name;
    }
    host.options.imgFileName = "../Escape.pdf";
    addPage({8, 16, 16});
    reader->readImgFiles(host.batch());
    EXPECT_EQ(host.errors(), std::vector<std::string>{tlv::kErrNotFoundFile});
    EXPECT_FALSE(fs::exists(root / "Escape.pdf"));
    EXPECT_TRUE(savedFiles().empty());
}

TEST_F(PageWriter, EmptyPageListIsAFailure) {
    reader->readImgFiles(host.batch());
    EXPECT_EQ(host.errors(), std::vector<std::string>{tlv::kErrNotFoundFile});
    EXPECT_EQ(host.outcomes(), std::vector<tlv::TlvOutcome>{tlv::TlvOutcome::WriteFailed});
}

TEST_F(PageWriter, ANumberThatNamesNoFormatIsAFailure) {
    host.options.fileFormatType = 3;
    addPage({8, 16, 16});
    reader->readImgFiles(host.batch());
    EXPECT_EQ(host.errors(), std::vector<std::string>{tlv::kErrFileCreate});
    EXPECT_TRUE(savedFiles().empty());
}

TEST_F(PageWriter, FailingWriteLeavesTheEarlierFilesIntact) {
    std::ofstream(saveFolder / "Notes.txt") << "the user's notes";
    for (const char* name : {"Scan_001.tiff", "Scan_001.jpg"}) {
        useJpeg(name);
        host.options.fileFormatType =
            std::string(name).ends_with("tiff") ? tlv::kFormatTIFF : tlv::kFormatJPEG;
        host.options.ffMultiTypeTIFF = 1; // a file per page
        writer->initWriteFilePathArray();
        host.renewCancel();
        const tlv::TlvPageImage small = tlv::readPageImage(writeRawPage({8, 40, 30}, 0));
        const tlv::TlvPageImage big = tlv::readPageImage(writeRawPage({24, 600, 600}, 1));
        writer->exeWriteImgFiles(host.batch(), 0, small, host.options, false, std::nullopt, std::nullopt);
        writer->exeWriteImgFiles(host.batch(), 1, small, host.options, false, std::nullopt, std::nullopt);
        const std::vector<fs::path> before = savedFiles();
        std::vector<std::vector<char>> contents;
        for (const fs::path& file : before)
            contents.push_back(bytesOf(file));
        const fs::path lastKept = writer->writtenFiles().cpyWriteFilePathArray().back();
        std::string key;
        std::vector<std::string> args;
        {
            const FileSizeLimit limit(64 * 1024);
            try {
                writer->exeWriteImgFiles(host.batch(), 2, big, host.options, false, std::nullopt,
                                         std::nullopt);
            } catch (const tlv::TlvOutputFailure& failure) {
                key = failure.key();
                args = failure.args();
            }
        }
        // Like a full disk: told with the folder, the last file kept and the first page lost.
        EXPECT_EQ(key, tlv::kErrDiskFullFilesKept) << name;
        EXPECT_EQ(args, (std::vector<std::string>{saveFolder.string(), lastKept.filename().string(), "3"}))
            << name;
        EXPECT_EQ(savedFiles(), before) << name; // the failed page's name went, nothing else
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(bytesOf(before[i]), contents[i]);
        EXPECT_TRUE(host.isCancelled());
        writer->exeWriteImgFiles(host.batch(), 3, small, host.options, false, std::nullopt,
                                 std::nullopt); // skipped
        EXPECT_EQ(savedFiles(), before);
        writer->releaseWriteFilePathArray(false);
    }
}

TEST_F(PageWriter, FailingPdfPageKeepsTheFinishedGroups) {
    host.options.fileFormatType = tlv::kFormatPDF;
    host.options.ffMultiTypePDF = 1;
    host.options.multiPageNumPDF = 2;
    addPage({8, 40, 30});
    addPage({8, 40, 30});
    addPage({8, 40, 30});
    addPage({24, 600, 600}); // noise that no encoder shrinks below the limit
    addPage({8, 40, 30});
    {
        const FileSizeLimit limit(256 * 1024);
        reader->readImgFiles(host.batch());
    }
    // The file can grow no further: like a full disk, the message names the file that keeps the pages.
    EXPECT_EQ(host.errors(), std::vector<std::string>{tlv::kErrDiskFullPagesKept});
    EXPECT_EQ(host.errorArgs(),
              (std::vector<std::vector<std::string>>{{saveFolder.string(), "Scan_002.pdf", "1", "4"}}));
    EXPECT_EQ(host.outcomes(), std::vector<tlv::TlvOutcome>{tlv::TlvOutcome::WriteFailed});
    // The first group is whole; the second lost its failed page and keeps the one before it.
    EXPECT_EQ(namesIn(savedFiles()), (std::vector<std::string>{"Scan_001.pdf", "Scan_002.pdf"}));
    int status = -1;
    vlmtest::run("qpdf --check '" + (saveFolder / "Scan_001.pdf").string() + "' >/dev/null", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(
        vlmtest::run("pdfinfo '" + (saveFolder / "Scan_002.pdf").string() + "'").find("Pages:           1"),
        std::string::npos);
    EXPECT_FALSE(writer->formatWriter(tlv::kFormatPDF).hasOpenFile());
}

TEST_F(PageWriter, MailGoesToThePersistentOutboxAndStopsAtItsLimit) {
    const std::pair<int, const char*> formats[] = {{tlv::kFormatJPEG, "Mail_001.jpg"},
                                                   {tlv::kFormatPDF, "Mail_001.pdf"},
                                                   {tlv::kFormatTIFF, "Mail_001.tiff"}};
    host.function = tlv::kFuncMail;
    for (int i = 0; i < 3; ++i)
        addPage({8, 64, 64});
    const fs::path outbox = root.parent_path() / "data" / "tollivar" / "outbox";
    for (const auto& [format, name] : formats) {
        host.options.fileFormatType = format;
        host.options.imgFileName = name;
        host.mailLimit = 1; // the first page passes it: its file is kept, the rest not written
        writer->initWriteFilePathArray();
        host.renewCancel();
        reader->readImgFiles(host.batch());
        EXPECT_EQ(host.errors().back(), tlv::kFlgMailSizeOver);
        const std::vector<fs::path> listed = writer->writtenFiles().cpyWriteFilePathArray();
        ASSERT_EQ(listed.size(), 1u) << name;
        EXPECT_EQ(listed[0].parent_path().parent_path(), outbox);
        EXPECT_EQ(fs::status(listed[0].parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
        // One whole page (ImageMagick reads no PDF here: its policy forbids it).
        const std::string pages = format == tlv::kFormatPDF
                                      ? "qpdf --show-npages '" + listed[0].string() + "'"
                                      : "identify '" + listed[0].string() + "' | wc -l";
        EXPECT_EQ(vlmtest::run(pages + " 2>/dev/null"), "1\n") << name;
        EXPECT_FALSE(writer->formatWriter(tlv::kFormatPDF).hasOpenFile());
        writer->releaseWriteFilePathArray(false);
        host.resetMailCheck();
    }
    // Nothing of the mail in the temporary folder, which goes while the mail program may still read.
    for (const auto& entry : fs::recursive_directory_iterator(TlvUtilsMethod::tmpImageFolderPath()))
        EXPECT_EQ(entry.path().extension(), "") << entry.path();
}

TEST_F(PageWriter, JobPagesAreWrittenWhileScanningAndTheLastWaitsForTheEnd) {
    host.scanMode = tlv::kScanModeJOB;
    host.options.fileFormatType = tlv::kFormatPDF;
    host.setState(102);
    host.scanEnd.batchStarted();
    for (int i = 0; i < 3; ++i) {
        addPage({8, 40, 30});
        reader->readImgFileForJobScn(host.batch(), *host.imgInfoAtIndex(i), i);
    }
    EXPECT_TRUE(writer->formatWriter(tlv::kFormatPDF).hasOpenFile()); // a running scan closes the file later
    host.isFinScanAndWritedFile(true, -1);
    addPage({8, 40, 30});
    std::thread last([&] { reader->readImgFileForJobScn(host.batch(), *host.imgInfoAtIndex(3), 3); });
    host.setState(103);
    host.scanEnd.batchEnded(); // the page thread sleeps on this, it does not spin
    last.join();
    EXPECT_EQ(host.outcomes(), std::vector<tlv::TlvOutcome>{tlv::TlvOutcome::PagesWritten});
    writer->checkClosePDF(host.batch());
    EXPECT_NE(
        vlmtest::run("pdfinfo '" + (saveFolder / "Scan_001.pdf").string() + "'").find("Pages:           4"),
        std::string::npos);
}

// A cancel wakes a job page that waits for its turn at once, though the pages before it never come.
TEST_F(PageWriter, ACancelEndsAJobPageWaitingForItsTurn) {
    scanJob(tlv::kFormatPDF, 2);
    const tlv::TlvBatchSnapshot batch = host.batch();
    std::promise<void> ended;
    std::future<void> end = ended.get_future();
    std::thread page([&] {
        reader->readImgFileForJobScn(batch, *host.imgInfoAtIndex(1), 1);
        ended.set_value();
    });
    const bool started = test::waitUntil([&] { return host.jobPageWriters == 1; }, std::chrono::seconds(30));
    batch.requestCancel();
    // Its turn would have come only when its wait ran out.
    const bool endedByCancel =
        end.wait_for(tlv::TlvExeWriteThread::kJobPageTurnWait / 3) == std::future_status::ready;
    page.join();
    EXPECT_TRUE(started);
    EXPECT_TRUE(endedByCancel);
    EXPECT_EQ(host.jobPageWriters, 0);
    EXPECT_TRUE(host.outcomes().empty());
    EXPECT_TRUE(savedFiles().empty());
    EXPECT_FALSE(writer->formatWriter(tlv::kFormatPDF).hasOpenFile());
}

// The folder went while a job's file was open: closing it at the end of the scan says it failed.
TEST_F(PageWriter, AJobFileThatCannotBePublishedAtTheEndIsAFailure) {
    host.scanMode = tlv::kScanModeJOB;
    host.options.fileFormatType = tlv::kFormatTIFF;
    host.options.imgFileName = "Job.tiff";
    host.setState(102);
    addPage({8, 40, 30});
    reader->readImgFileForJobScn(host.batch(), *host.imgInfoAtIndex(0), 0);
    EXPECT_TRUE(writer->formatWriter(tlv::kFormatTIFF).hasOpenFile());
    fs::rename(saveFolder, root / "moved");
    EXPECT_FALSE(writer->checkClosePDF(host.batch()));
    EXPECT_FALSE(writer->formatWriter(tlv::kFormatTIFF).hasOpenFile());
    EXPECT_TRUE(fs::is_empty(root / "moved"));
    fs::rename(root / "moved", saveFolder);
    EXPECT_TRUE(writer->checkClosePDF(host.batch())); // nothing open any more
}

TEST_F(PageWriter, LastJobPageOfAFailedBatchLeavesTheFailureStanding) {
    host.scanMode = tlv::kScanModeJOB;
    host.options.fileFormatType = tlv::kFormatJPEG;
    host.options.imgFileName = "Scan_001.jpg";
    host.setState(102);
    host.scanEnd.batchStarted();
    addPage({8, 40, 30});
    host.isFinScanAndWritedFile(true, -1);
    std::thread page([&] { reader->readImgFileForJobScn(host.batch(), *host.imgInfoAtIndex(0), 0); });
    host.setState(105); // the batch ended with a jam
    host.scanEnd.batchEnded();
    page.join();
    EXPECT_EQ(host.outcomes(), std::vector<tlv::TlvOutcome>{
                                   tlv::TlvOutcome::PagesWritten}); // the controller keeps the failure
}

TEST_F(PageWriter, FailedJobPageStopsTheBatchAndTheNextBatchStartsClean) {
    scanJob(tlv::kFormatPDF, 3);
    fs::resize_file(TlvUtilsMethod::tmpBaseImageFilePath(1), 10); // the transfer broke off
    for (int i = 0; i < 3; ++i)
        reader->readImgFileForJobScn(
            host.batch(), *host.imgInfoAtIndex(std::min<size_t>(i, host.countOfImgInfoDict() - 1)), i);
    EXPECT_EQ(host.errors(), std::vector<std::string>{tlv::kErrFileDecode});
    EXPECT_EQ(host.outcomes(), std::vector<tlv::TlvOutcome>{tlv::TlvOutcome::WriteFailed});
    EXPECT_EQ(host.countOfImgInfoDict(), 1u); // the pages from the failed one on are dropped
    EXPECT_TRUE(writer->formatWriter(tlv::kFormatPDF).hasOpenFile());

    writer->releaseWriteFilePathArray(true); // the batch is thrown away: the open PDF goes too
    EXPECT_FALSE(writer->formatWriter(tlv::kFormatPDF).hasOpenFile());
    EXPECT_TRUE(savedFiles().empty());
    writer->initWriteFilePathArray();
    host.renewCancel();
    host.scanMode = tlv::kScanModeFOA;
    host.setState(301);
    reader->readImgFiles(host.batch());
    EXPECT_EQ(namesIn(savedFiles()), std::vector<std::string>{"Scan_001.pdf"});
}

TEST(ScanEndSignal, WaitsOnlyWhileABatchRuns) {
    tlv::TlvScanEndSignal signal;
    EXPECT_TRUE(signal.isFinishScan());
    signal.waitForEnd(); // no batch: no wait
    signal.batchStarted();
    EXPECT_FALSE(signal.isFinishScan());
    std::thread waiter([&] { signal.waitForEnd(); });
    signal.batchEnded();
    waiter.join();
    EXPECT_TRUE(signal.isFinishScan());
}

} // namespace
} // namespace outtest
