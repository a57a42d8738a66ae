// The preview during a real batch: K3100.ds loaded by the source manager into this Qt program, an
// emulated scanner feeding five duplex sheets; each page appears in the preview as it arrives, and the
// last one zooms from its raw file.
#include "EmulatorFixture.h"
#include "PreviewTestSupport.h"
#include "PropertyList.h"
#include "QtRunLoopDriver.h"
#include "QtTestApp.h"
#include "RunLoop.h"
#include "TestScanHost.h"
#include "TlvDeviceCntlr.h"
#include "TlvPreviewImages.h"

#include <chrono>

namespace {

fnd::Dictionary AppInfo() {
    const fnd::plist::FileContents file = fnd::plist::readFile(APP_INFO_PLIST);
    const fnd::Dictionary* info = file.value.asDictionary();
    return info ? *info : fnd::Dictionary{};
}

// The scan host's page list as the preview sees it.
class ScanPreviewHost : public tlv::TlvPreviewHost {
public:
    explicit ScanPreviewHost(test::TestScanHost& scan) : mScan(scan) {}
    tlv::AppState appState() const override { return mScan.appState(); }
    std::size_t countOfImgInfoDict() const override { return mScan.countOfImgInfoDict(); }
    std::optional<fnd::Dictionary> imgInfoAtIndex(std::size_t index) const override {
        return index < mScan.pages.size() ? std::optional(mScan.pages[index].info) : std::nullopt;
    }
    std::shared_ptr<const tlv::TlvThumbnail> thumbnailAtIndex(std::size_t index) const override {
        return index < mScan.pages.size()
                   ? std::make_shared<const tlv::TlvThumbnail>(mScan.pages[index].thumbnail)
                   : nullptr;
    }
    bool replaceImgInfoByParam(std::size_t, std::string_view, int) override { return false; }

private:
    test::TestScanHost& mScan;
};

class PreviewWhileScanning : public test::EmulatorFixture, public WithTestApplication {
protected:
    appkit::QtRunLoopDriver mDriver;
    test::TestScanHost mHost;
};

TEST_F(PreviewWhileScanning, FiveDuplexSheetsAppearPageByPage) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4,gen:ramp-a4 5"}));
    setenv("TMPDIR", mDir.c_str(), 1);
    mHost.scanSettings.setScnStColType(1);
    mHost.scanSettings.setScnStResType(0); // 150 dpi
    mHost.scanSettings.setScnStReaderSideType(1);
    mHost.scanSettings.setIsRevisionSlope(false);
    ScanPreviewHost previewHost(mHost);
    test::PreviewWindow window;
    tlv::TlvPreviewCntlr preview(previewHost);
    preview.attach(window.area, &window);
    window.show();
    // What the preview showed after each page: the count, the current page and whether it had a picture.
    std::vector<std::tuple<int, int, bool>> shown;
    mHost.onPage = [&](std::size_t count) {
        preview.followPageCount(static_cast<int>(count));
        shown.emplace_back(preview.cache().maxCount(), preview.cache().selectedPageIndex(),
                           !preview.preview()->image().isNull());
    };
    TlvDeviceCntlr device(mHost, AppInfo());
    ASSERT_TRUE(device.openDS(&mHost.scanSettings, false));
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while ((device.isBatchRunning() || device.isRunningMemXfer()) && std::chrono::steady_clock::now() < guard)
        fnd::RunLoop::main().runFor(0.02);
    fnd::RunLoop::main().runFor(0);
    EXPECT_EQ(mHost.states, (std::vector<int>{101, 102, 104}));
    ASSERT_EQ(shown.size(), 10u);
    for (int page = 1; page <= 10; ++page)
        EXPECT_EQ(shown[static_cast<std::size_t>(page - 1)], std::make_tuple(page, page, true));

    // The last page zoomed: its raw file at 200 dpi.
    preview.zoomOrReduceBtn(tlv::kTagPreZoomIn);
    const fnd::Dictionary& last = mHost.pages.back().info;
    EXPECT_EQ(preview.zoomPreview()->image().size(),
              tlv::zoomSizeOf(*last.get(ImgInfo_WidthKey).asInt32(), *last.get(ImgInfo_HeightKey).asInt32(),
                              150, 150));
    unsetenv("TMPDIR");
}

} // namespace
