// The trace: off without its file, on (and emptied) with it, never through a link or into another
// file; whole lines, cut at 2047 characters; record dumps; numbered debug images.
#include "OvkLogger.h"
#include "CIPController.h"
#include "CImgFile.h"
#include "QS880Logger.h"
#include "TestImages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using namespace Ovk;
using namespace Ovk::Pixen;
using namespace Ovk::Pixen::QS880;
using pixentest::inChild;
using pixentest::readFile;
using pixentest::TempDir;
using pixentest::writeFile;

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class NamedFilter : public CIPBase {
public:
    const char* getName() const override { return "Inverse"; }
    std::int32_t IP(CImg&) override { return RTN_OK; }
    std::int32_t IPFirst(CImg&) override { return RTN_OK; }
    std::int32_t IPMiddle(CImg&) override { return RTN_OK; }
    std::int32_t IPLast(CImg&) override { return RTN_OK; }
    std::int32_t setInfo(CImg&, void*) override { return RTN_OK; }
    std::int32_t setInfoFirst(CImg&, void*) override { return RTN_OK; }
    std::int32_t setInfoMiddle(CImg&, void*) override { return RTN_OK; }
    std::int32_t setInfoLast(CImg&, void*) override { return RTN_OK; }
};

// The tests need a process whose trace is still off, which a /tmp/Pixen.log of this user prevents.
#define SKIP_WHEN_TRACE_ALREADY_ON()                                                                         \
    if (OvkLogger::isLogOn())                                                                                \
    GTEST_SKIP() << OvkLogger::DefaultPath << " exists, so the trace is on in this process"

} // namespace

TEST(OvkLogger, StaysOffWithoutItsFileOrThroughALink) {
    SKIP_WHEN_TRACE_ALREADY_ON();
    TempDir dir;
    const std::string missing = dir / "missing.log";
    const std::string target = dir / "precious.txt";
    const std::string link = dir / "link.log";
    writeFile(target, "keep me");
    std::filesystem::create_symlink(target, link);

    EXPECT_EQ(inChild([&]() -> std::string {
                  OvkLogger::createLogger(missing.c_str());
                  OvkLogger::createLogger(link.c_str());
                  OvkLogger::writeLog("line %d", 1);
                  if (OvkLogger::isLogOn())
                      return "trace turned on";
                  return "";
              }),
              "");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(readFile(target), "keep me");
}

// A hard link planted under the trace's name is another name for a file of this user: never emptied.
TEST(OvkLogger, StaysOffOnAFileWithASecondHardLink) {
    SKIP_WHEN_TRACE_ALREADY_ON();
    TempDir dir;
    const std::string precious = dir / "precious.txt";
    const std::string log = dir / "Pixen.log";
    writeFile(precious, "keep me");
    std::filesystem::create_hard_link(precious, log);
    EXPECT_EQ(inChild([&]() -> std::string {
                  OvkLogger::createLogger(log.c_str());
                  return OvkLogger::isLogOn() ? "trace turned on" : "";
              }),
              "");
    EXPECT_EQ(readFile(precious), "keep me");
}

TEST(OvkLogger, ExistingFileIsEmptiedAndGetsWholeLines) {
    SKIP_WHEN_TRACE_ALREADY_ON();
    TempDir dir;
    const std::string log = dir / "Pixen.log";
    writeFile(log, "old content\n");
    EXPECT_EQ(inChild([&]() -> std::string {
                  OvkLogger::createLogger(log.c_str());
                  if (!OvkLogger::isLogOn())
                      return "trace stayed off";
                  OvkLogger::createLogger((dir / "other.log").c_str()); // changes nothing
                  OvkLogger::writeLog("first %d", 1);
                  OvkLogger::writeLog("%s", std::string(3000, 'x').c_str());
                  CIPController<> controller;
                  controller.createIP<NamedFilter>(BANDMODE_BAND);
                  CImg image;
                  if (controller.execIP(image, nullptr, static_cast<tagIMAGESTATE>(7)) != RTN_SEQUENCE)
                      return "state 7 accepted";
                  return "";
              }),
              "");
    const std::vector<std::string> lines = linesOf(readFile(log));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "first 1");
    EXPECT_EQ(lines[1], std::string(2047, 'x'));
    EXPECT_EQ(lines[2], std::string(23, ' ') + "Inverse.IP[7] return 4");
    EXPECT_FALSE(std::filesystem::exists(dir / "other.log"));
}

TEST(OvkLogger, DumpsRecordsWithTheirLabels) {
    SKIP_WHEN_TRACE_ALREADY_ON();
    TempDir dir;
    const std::string log = dir / "Pixen.log";
    writeFile(log, "");
    EXPECT_EQ(inChild([&]() -> std::string {
                  OvkLogger::createLogger(log.c_str());
                  tagNORMALFILTERINFO normal{};
                  normal.ulSize = sizeof normal;
                  normal.bAutoSize = true;
                  tagROTATE90XINFO rotate{sizeof rotate, -90};
                  normal.pRotate90xInfo = &rotate;
                  QS880Logger::writeNORMALFILTERINFO(normal);
                  tagIMAGEINFO info{};
                  info.lWidth = 2552;
                  QS880Logger::writeIMAGEINFO(&info);
                  return "";
              }),
              "");
    const std::string text = readFile(log);
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_GE(lines.size(), 20u);
    EXPECT_EQ(lines.front(), "<NORMALFILTERINFO>");
    EXPECT_NE(text.find("\t.pDetectColorOrGrayInfo            0\n\t.pDropOutColorInfo "), std::string::npos);
    EXPECT_NE(text.find("\t.bAutoSize                         1\n"), std::string::npos);
    // A present sub-record is followed by its indented fields; negative values print as 32-bit unsigned.
    EXPECT_NE(text.find("\t    .lDegree                  4294967206\n"), std::string::npos);
    EXPECT_NE(text.find("\t.pBlankPageInfo\t\t               0\n</NORMALFILTERINFO>\n<IMAGEINFO>\n"),
              std::string::npos);
    EXPECT_NE(text.find("    .lWidth              2552\n"), std::string::npos);
    EXPECT_EQ(lines.back(), "</IMAGEINFO>");
}

TEST(OvkLogger, DebugImagesTakeTheFirstFreeNumberAndNeverFollowLinks) {
    SKIP_WHEN_TRACE_ALREADY_ON();
    TempDir dir;
    const std::string log = dir / "Pixen.log";
    const std::string prefix = dir / "page";
    const std::string outside = dir / "outside.ovk";
    writeFile(log, "");
    writeFile(prefix + "000.ovk", "taken");
    std::filesystem::create_symlink(outside, prefix + "001.ovk"); // dangling: must not be created through
    const CImg image = pixentest::patterned(5, 4, 8, 1, RGBORDER_PIXEL);

    EXPECT_EQ(inChild([&]() -> std::string {
                  QS880Logger::writeOvk(image, prefix.c_str()); // trace still off: nothing
                  if (std::filesystem::exists(prefix + "002.ovk"))
                      return "written while the trace was off";
                  QS880Logger::createLogger(log.c_str());
                  QS880Logger::writeOvk(image, prefix.c_str());
                  return "";
              }),
              "");
    EXPECT_EQ(readFile(prefix + "000.ovk"), "taken");
    EXPECT_FALSE(std::filesystem::exists(outside));
    CImgFile loaded;
    ASSERT_TRUE(loaded.loadOvk((prefix + "002.ovk").c_str()));
    EXPECT_EQ(pixentest::bytesOf(loaded), pixentest::bytesOf(image));
}
