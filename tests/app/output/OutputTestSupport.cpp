// See OutputTestSupport.h.
#include "OutputTestSupport.h"

#include "TlvUtilsMethod.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace outtest {
namespace {

// This process's own TMPDIR and data folder, set before anything asks for the temporary folder.
const fs::path& processRoot() {
    static const fs::path root = [] {
        fs::path made = fs::temp_directory_path() / ("outtest-" + std::to_string(::getpid()));
        fs::remove_all(made);
        fs::create_directories(made / "tmp");
        fs::create_directories(made / "data");
        ::setenv("TMPDIR", (made / "tmp").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (made / "data").c_str(), 1);
        return made;
    }();
    return root;
}

const bool kProcessRootMade = [] {
    processRoot();
    std::atexit([] { fs::remove_all(processRoot()); });
    return true;
}();

} // namespace

void OutputTest::SetUp() {
    root = processRoot() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    saveFolder = root / "saved";
    fs::create_directories(saveFolder);
    ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
    host.options.isPictureFolderSave = false;
    host.options.fileSavePath = saveFolder.string();
    host.options.partFileName = "Scan";
    host.options.isAddNumber = true;
    host.options.imgFileName = "Scan_001.pdf";
    writer = std::make_unique<tlv::TlvExeWriteThread>(host);
    reader = std::make_unique<tlv::TlvReadFilesThread>(host, *writer);
    writer->initWriteFilePathArray();
}

void OutputTest::TearDown() {
    writer->releaseWriteFilePathArray(false);
    TlvUtilsMethod::removeTmpFolder();
    fs::remove_all(root);
}

void OutputTest::addPage(const RawPage& page) {
    host.addPage(writeRawPage(page, pageCount++));
}

std::vector<RawPage> OutputTest::addEveryDepthAndTurn() {
    std::vector<RawPage> pages;
    for (int bpp : {1, 8, 24})
        for (int turns = 0; turns < 4; ++turns)
            pages.push_back({bpp, 64, 40, 300, 200, turns});
    for (const RawPage& page : pages)
        addPage(page);
    return pages;
}

std::vector<fs::path> OutputTest::savedFiles() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(saveFolder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<char> bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> namesIn(const std::vector<fs::path>& paths) {
    std::vector<std::string> names;
    for (const fs::path& path : paths)
        names.push_back(path.filename().string());
    return names;
}

} // namespace outtest
