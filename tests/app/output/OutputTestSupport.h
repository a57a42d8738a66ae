// The fixture the output tests share, and their checks.
#pragma once

#include <gtest/gtest.h>

#include "FileSizeLimit.h"
#include "OutputFakes.h"
#include "TlvReadFilesThread.h"

#include <memory>

namespace outtest {

// The fixture of the output tests: a private TMPDIR and XDG_DATA_HOME, a folder to save into, and the
// controller, writer and reader wired together.
class OutputTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Adds a page to the page list (its raw file made) with the next index.
    void addPage(const RawPage& page);
    // Adds each depth with each quarter turn, 64 x 40 pixels at 300 x 200 dpi before turning, and
    // returns those pages.
    std::vector<RawPage> addEveryDepthAndTurn();
    std::vector<fs::path> savedFiles() const; // the save folder's files, sorted

    fs::path root, saveFolder;
    FakeHost host;
    std::unique_ptr<tlv::TlvExeWriteThread> writer;
    std::unique_ptr<tlv::TlvReadFilesThread> reader;
    int pageCount = 0;
};

std::vector<char> bytesOf(const fs::path& path);
// The file names of paths, in their order.
std::vector<std::string> namesIn(const std::vector<fs::path>& paths);

} // namespace outtest
