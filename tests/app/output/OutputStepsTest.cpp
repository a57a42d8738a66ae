// The steps after writing: file groups of a turned page, re-writing them without ever losing the file
// the user had, moving to confirmed names beside files that are there already, the checks of those
// names, and the hand-off to a stand-in mail tool and application.
#include "OutputTestSupport.h"

#include "Recorded.h"
#include "TlvConfirmedNames.h"
#include "TlvExeRenameMoveThread.h"
#include "TlvOutputFailure.h"
#include "TlvUtilsMethod.h"

#include <fstream>
#include <sys/stat.h>
#include <tiffio.h>

namespace outtest {
namespace {

ino_t inodeOf(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

int tiffPages(const fs::path& path) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return 0;
    const int pages = TIFFNumberOfDirectories(tiff);
    TIFFClose(tiff);
    return pages;
}

class OutputSteps : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        steps = std::make_unique<tlv::TlvExeRenameMoveThread>(host, *writer, *reader);
    }
    // Pages written as the batch writes them; the turned ones carry a quarter turn.
    void writePages(int count, std::initializer_list<int> turned) {
        for (int i = 0; i < count; ++i)
            addPage({8, 24, 16, 300, 300, std::find(turned.begin(), turned.end(), i) != turned.end()});
        reader->readImgFiles(host.batch());
        ASSERT_TRUE(host.errors().empty());
    }
    std::unique_ptr<tlv::TlvExeRenameMoveThread> steps;
};

TEST_F(OutputSteps, RangeOfThePageThatWasTurned) {
    tlv::TlvOutputOptions o;
    o.fileFormatType = tlv::kFormatPDF;
    o.ffMultiTypePDF = 1;
    o.multiPageNumPDF = 2;
    const auto range = [&](int index, int count) {
        const int size = writer->formatWriter(o.fileFormatType).pagesPerFile(o);
        const tlv::TlvFileGroup g = tlv::targetRangeByIndex(size, index, count);
        return std::vector<int>{g.first, g.count, g.fileIndex};
    };
    EXPECT_EQ(range(3, 5), (std::vector<int>{2, 2, 1}));
    EXPECT_EQ(range(4, 5), (std::vector<int>{4, 1, 2}));
    o.multiPageNumPDF = 0; // no usable group size: one page per file
    EXPECT_EQ(range(3, 5), (std::vector<int>{3, 1, 3}));
    o.ffMultiTypePDF = 0;
    EXPECT_EQ(range(3, 5), (std::vector<int>{0, 5, 0}));
    o.fileFormatType = tlv::kFormatTIFF;
    o.ffMultiTypeTIFF = 1;
    o.multiPageNumTIFF = 3;
    EXPECT_EQ(range(4, 5), (std::vector<int>{3, 2, 1}));
    o.fileFormatType = tlv::kFormatJPEG;
    EXPECT_EQ(range(4, 5), (std::vector<int>{4, 1, 4}));
}

TEST_F(OutputSteps, TurnedPagesRewriteOnlyTheirGroupUnderTheSameName) {
    host.options.fileFormatType = tlv::kFormatTIFF;
    host.options.ffMultiTypeTIFF = 1;
    host.options.multiPageNumTIFF = 2;
    host.options.imgFileName = "Scan_001.tiff";
    writePages(5, {3});
    const std::vector<fs::path> files = writer->writtenFiles().cpyWriteFilePathArray();
    ASSERT_EQ(files.size(), 3u);
    std::vector<ino_t> before;
    for (const fs::path& file : files)
        before.push_back(inodeOf(file));
    steps->checkRotateAndRemakeImg(host.batch());
    EXPECT_TRUE(host.errors().empty());
    EXPECT_EQ(host.outcomes().back(), tlv::TlvOutcome::PagesWritten);
    EXPECT_EQ(writer->writtenFiles().cpyWriteFilePathArray(), files);
    EXPECT_EQ(savedFiles(), files); // no hidden file is left behind
    EXPECT_EQ(inodeOf(files[0]), before[0]);
    EXPECT_NE(inodeOf(files[1]), before[1]); // pages 2 and 3 again
    EXPECT_EQ(inodeOf(files[2]), before[2]);
    EXPECT_EQ(tiffPages(files[1]), 2);
}

TEST_F(OutputSteps, FailedRewriteKeepsTheFileTheUserHad) {
    host.options.ffMultiTypePDF = 1;
    host.options.multiPageNumPDF = 2;
    writePages(4, {2});
    const std::vector<fs::path> files = writer->writtenFiles().cpyWriteFilePathArray();
    ASSERT_EQ(files.size(), 2u);
    const std::vector<char> kept = bytesOf(files[1]);
    // The second page of the group can no longer be read: its raw file lost its last rows.
    fs::resize_file(TlvUtilsMethod::tmpBaseImageFilePath(3), 24 * 4);
    steps->checkRotateAndRemakeImg(host.batch());
    EXPECT_EQ(host.errors(), (std::vector<std::string>{tlv::kErrFileDecode}));
    EXPECT_EQ(host.outcomes().back(), tlv::TlvOutcome::WriteFailed);
    EXPECT_EQ(bytesOf(files[1]), kept);
    EXPECT_EQ(savedFiles(), files);
    EXPECT_EQ(writer->writtenFiles().cpyWriteFilePathArray(), files);
}

TEST_F(OutputSteps, MovesToConfirmedNamesAndNeverOverAFileThatIsThere) {
    host.options.fileFormatType = tlv::kFormatJPEG;
    host.options.imgFileName = "Scan_001.jpg";
    writePages(3, {});
    std::ofstream(saveFolder / "Taken.jpg") << "mine";
    const std::string awkward = "it's $HOME; a \\ name";
    steps->renameAndMoveFiles(host.batch(), {"Scan_001", "Taken", awkward});
    EXPECT_TRUE(host.errors().empty());
    EXPECT_EQ(host.outcomes().back(), tlv::TlvOutcome::StepDone);
    EXPECT_EQ(namesIn(writer->writtenFiles().cpyWriteFilePathArray()),
              (std::vector<std::string>{"Scan_001.jpg", "Taken_001.jpg", awkward + ".jpg"}));
    EXPECT_EQ(bytesOf(saveFolder / "Taken.jpg"), (std::vector<char>{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(savedFiles().size(), 4u);
}

TEST_F(OutputSteps, ConfirmedNamesAreCheckedWithTheirExtension) {
    host.options.fileFormatType = tlv::kFormatJPEG;
    host.options.imgFileName = "Scan_001.jpg";
    writePages(2, {});
    const std::vector<fs::path> files = writer->writtenFiles().cpyWriteFilePathArray();
    const auto check = [&](std::string a, std::string b) {
        return tlv::checkConfirmedNames({a, b}, files).value_or("fine");
    };
    std::string twoByte;
    for (int i = 0; i < 126; ++i)
        twoByte += "\xC3\xA9"; // 126 characters, 252 bytes: with ".jpg" over 255 bytes
    EXPECT_EQ(check("a", "b"), "fine");
    EXPECT_EQ(check("a", ""), tlv::kErrNonFileNameForJobScan);
    EXPECT_EQ(check(".a", "b"), tlv::kErrHeadCharDotFileName);
    EXPECT_EQ(check("a:b", "b"), tlv::kErrInValidFileName);
    EXPECT_EQ(check("a/b", "b"), tlv::kErrInValidFileName);
    EXPECT_EQ(check(twoByte, "b"), tlv::kErrTooLongFileName);
    EXPECT_EQ(check(twoByte.substr(0, 250), "b"), "fine");
    EXPECT_EQ(check("same", "same"), tlv::kErrEqualFileNameForJobScan);
    EXPECT_EQ(tlv::checkConfirmedNames({"a"}, files).value_or("fine"), tlv::kErrNotFoundFile);
    fs::remove(files[1]);
    EXPECT_EQ(check("a", "b"), tlv::kErrNotFoundFile);
    // The step itself refuses what the check refuses and moves nothing.
    steps->renameAndMoveFiles(host.batch(), {"a", "b"});
    EXPECT_EQ(host.outcomes().back(), tlv::TlvOutcome::StepFailed);
    EXPECT_TRUE(fs::exists(files[0]));
}

class HandOff : public OutputSteps {
protected:
    void SetUp() override {
        OutputSteps::SetUp();
        fs::create_directories(root / "bin");
        fs::create_directories(root / "records");
        fs::create_symlink(ARGV_RECORDER, root / "bin" / "xdg-email");
        ::setenv("PATH", ((root / "bin").string() + ":" + oldPath).c_str(), 1);
        ::setenv("K3100_ARGV_DIR", (root / "records").c_str(), 1);
        host.options.fileFormatType = tlv::kFormatJPEG;
        host.options.imgFileName = "it's a $x;y \\ z.jpg";
        host.function = tlv::kFuncApplication;
        writePages(2, {});
        files = writer->writtenFiles().cpyWriteFilePathArray();
    }
    void TearDown() override {
        ::setenv("PATH", oldPath.c_str(), 1);
        ::unsetenv("K3100_ARGV_DIR");
        OutputSteps::TearDown();
    }
    fs::path desktopFile(const std::string& code) {
        const fs::path file = root / ("viewer" + code.substr(1) + ".desktop");
        std::ofstream(file) << "[Desktop Entry]\nType=Application\nName=Viewer\nExec=\"" ARGV_RECORDER "\" "
                            << code << "\n";
        return file;
    }
    std::vector<std::string> recorded(std::size_t commands) {
        std::vector<std::string> args;
        for (const Recording& r : waitForRecordings(root / "records", commands))
            args.insert(args.end(), r.begin() + 1, r.end());
        std::sort(args.begin(), args.end());
        return args;
    }
    std::vector<std::string> filesSorted() const {
        std::vector<std::string> paths;
        for (const fs::path& file : files)
            paths.push_back(file.string());
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    std::vector<fs::path> files;
};

TEST_F(HandOff, ApplicationTakesAllFilesAtOnceWithTheirNamesIntact) {
    ASSERT_EQ(files.size(), 2u);
    steps->openFileOnApp(host.batch(), true, desktopFile("%F").string());
    EXPECT_EQ(host.outcomes().back(), tlv::TlvOutcome::StepDone);
    EXPECT_EQ(recorded(1), filesSorted());
}

TEST_F(HandOff, ApplicationTakingOneFileIsStartedPerFile) {
    steps->openFileOnApp(host.batch(), true, desktopFile("%f").string());
    EXPECT_EQ(host.outcomes().back(), tlv::TlvOutcome::StepDone);
    EXPECT_EQ(recorded(2), filesSorted());
}

TEST_F(HandOff, MailGetsEveryFileAttached) {
    host.function = tlv::kFuncMail;
    steps->openFileOnApp(host.batch(), true, "");
    EXPECT_EQ(host.outcomes().back(), tlv::TlvOutcome::StepDone);
    const std::vector<std::string> args = recorded(1);
    for (const std::string& file : filesSorted())
        EXPECT_NE(std::find(args.begin(), args.end(), file), args.end()) << file;
}

// Without a mail program xdg-email fails at once (3): the step fails and says where the files wait.
TEST_F(HandOff, MailWithoutAMailProgramFailsAndTellsWhereTheFilesAre) {
    const fs::path tool = root / "bin" / "xdg-email";
    fs::remove(tool);
    std::ofstream(tool) << "#!/bin/sh\nexit 3\n";
    fs::permissions(tool, fs::perms::owner_all);
    host.function = tlv::kFuncMail;
    steps->openFileOnApp(host.batch(), true, "");
    EXPECT_EQ(host.outcomes().back(), tlv::TlvOutcome::StepFailed);
    EXPECT_EQ(host.errors(), std::vector<std::string>{tlv::kErrMailNotHanded});
    EXPECT_EQ(host.errorArgs(),
              (std::vector<std::vector<std::string>>{{files.front().parent_path().string()}}));
    for (const fs::path& file : files)
        EXPECT_TRUE(fs::exists(file)) << file;
}

TEST_F(HandOff, MissingApplicationOrWrongFunctionFails) {
    steps->openFileOnApp(host.batch(), true, (root / "gone.desktop").string());
    host.function = tlv::kFuncPrint;
    steps->openFileOnApp(host.batch(), true, desktopFile("%F").string());
    EXPECT_EQ(host.errors(), (std::vector<std::string>{tlv::kErrNonAppPath, tlv::kErrUnknown}));
    EXPECT_EQ(host.outcomes().back(), tlv::TlvOutcome::StepFailed);
}

} // namespace
} // namespace outtest
