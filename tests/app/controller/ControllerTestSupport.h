// What the controller tests share: a private preferences folder, one Qt application with the run-loop
// driver, a main view that records what the controller asked of the window, and a pump of the main
// loop until a condition holds (bounded, so that a broken controller fails instead of hanging).
#pragma once

#include "QtRunLoopDriver.h"
#include "QtTestApp.h"
#include "RunLoop.h"
#include "TlvMainCntlr.h"
#include "TlvMainView.h"
#include "TlvPageRecord.h"
#include "TlvUtilsMethod.h"
#include "WaitUntil.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace test {

inline appkit::QtRunLoopDriver& testDriver() {
    testApplication();
    static auto* driver = new appkit::QtRunLoopDriver;
    return *driver;
}

// Runs the main loop until done() holds or bound passes; answers done().
inline bool pumpUntil(const std::function<bool()>& done,
                      std::chrono::seconds bound = std::chrono::seconds(60)) {
    return waitUntil(done, bound, [] { fnd::RunLoop::main().runFor(0.01); });
}

// Runs the main loop until the batch's page writers have ended and a release they held back is done,
// then once more for what they queued before their end (the pages they showed); answers whether they
// ended.
inline bool pumpUntilWritersEnd(TlvMainCntlr& cntlr) {
    const bool ended = pumpUntil([&cntlr] { return cntlr.readImgFileForJobScnCount() == 0; });
    QCoreApplication::processEvents();
    return ended;
}

// Ends the batch as the shut-down does: the page list goes and a document left open is closed, once the
// writers have ended. The document maker is one per process: left open, the next test's batch fails.
inline void endBatch(TlvMainCntlr& cntlr) {
    cntlr.releaseImgInfoArray(false);
    EXPECT_TRUE(pumpUntilWritersEnd(cntlr)) << "the batch's writers did not end";
}

// The temporary folder's place: the application fixes it once per process, so every test of the
// process shares one, removed when the process ends.
inline const std::filesystem::path& processTmpDir() {
    static const std::filesystem::path dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tlv-controller-tmp-XXXXXX").string();
        return std::filesystem::path(mkdtemp(pattern.data()) ? pattern : std::string());
    }();
    [[maybe_unused]] static const int removedAtExit = std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    });
    return dir;
}

// A fresh folder for the preferences of one test, and the process's folder for temporary files.
class ScratchHome {
public:
    ScratchHome() {
        const std::filesystem::path& tmp = processTmpDir();
        for (const char* name : {"XDG_CONFIG_HOME", "TMPDIR"})
            if (const char* value = std::getenv(name))
                mOld.emplace_back(name, value);
        std::string pattern = (std::filesystem::temp_directory_path() / "tlv-controller-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            mDir = pattern;
        setenv("XDG_CONFIG_HOME", mDir.c_str(), 1);
        setenv("TMPDIR", tmp.c_str(), 1);
    }
    ~ScratchHome() {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("TMPDIR");
        for (const auto& [name, value] : mOld)
            setenv(name.c_str(), value.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(mDir, ignored);
    }
    const std::filesystem::path& dir() const { return mDir; }

private:
    std::filesystem::path mDir;
    std::vector<std::pair<std::string, std::string>> mOld;
};

// Job mode with the first job selected, saving one PDF for the whole batch into out (made here),
// without a text layer.
inline void UseSaveJob(TlvMainCntlr& cntlr, const std::filesystem::path& out) {
    TlvJobListSettingMdl job = cntlr.jobLists().jobListMdlAtIndex(0)->copyWithZone();
    job.setJList_FunctionType(tlv::kFuncSave);
    auto func = std::make_shared<TlvFuncSettingMdl>(*job.jList_FuncSettingMdl());
    func->setFileFormatType(tlv::kFormatPDF, 0);
    func->setIsAddOCR(false, 0);
    func->setIsPictureFolderSave(false, 0);
    func->setFileSavePath(out.string(), 0);
    job.setJList_FuncSettingMdl(func);
    std::filesystem::create_directories(out);
    ASSERT_TRUE(cntlr.jobLists().applyJob(0, job));
    cntlr.appSettingObj().setForDisplayJobIndex(0);
    cntlr.appSettingObj().setScanModeType(tlv::kScanModeJOB);
}

// A grey page with its raw file in the temporary folder, as the page transfer leaves it.
inline fnd::Dictionary GreyPage(int index) {
    const tlv::TlvPageLayout layout{120, 160, 8, 120, 100.0f, 100.0f};
    std::ofstream raw(TlvUtilsMethod::tmpBaseImageFilePath(index), std::ios::binary);
    const std::vector<char> rows(120 * 160, static_cast<char>(40 + index));
    raw.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    return tlv::makeImgInfoDict(layout, index);
}

class FakeMainView : public tlv::TlvMainView {
public:
    // Records what the controller's signals say, as the window would show it.
    void watch(TlvMainCntlr& cntlr) {
        QObject::connect(&cntlr.notifier(), &tlv::TlvCntlrNotifier::appStateChanged, &mContext,
                         [this](tlv::AppState state) { states.push_back(state); });
        QObject::connect(&cntlr.notifier(), &tlv::TlvCntlrNotifier::scanCountChanged, &mContext,
                         [this](int n) { pages = n; });
        QObject::connect(
            &cntlr.notifier(), &tlv::TlvCntlrNotifier::failureRaised, &mContext,
            [this](const QString& key, const QStringList&) { errors.push_back(key.toStdString()); },
            Qt::QueuedConnection);
    }
    void showTopScreen(int mode) override { topScreens.push_back(mode); }
    bool isModalWindow() const override { return modal; }
    QObject* finishScanSender() override { return nullptr; }
    QWidget* window() override { return nullptr; }
    void updateScnBtn(bool enabled) override { scanButtons = enabled; }
    void setConfirmOutputBox(bool on) override { confirmBox = on; }
    void activateMainWindow() override { ++activations; }
    void showAbout() override { ++abouts; }
    void terminate() override { ++terminations; }
    void showFunctionView(QWidget* view, int) override { functionView = view; }

    bool modal = false;
    std::vector<tlv::AppState> states;
    std::vector<int> topScreens;
    std::vector<std::string> errors;
    int pages = 0;
    bool scanButtons = true;
    bool confirmBox = false;
    int activations = 0, abouts = 0, terminations = 0;
    QWidget* functionView = nullptr;

private:
    QObject mContext;
};

} // namespace test
