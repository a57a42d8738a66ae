// What the controller tests share: a private preferences folder, one Qt application with the run-loop
// driver, a main view that records what the controller asked of the window, and a pump of the main
// loop until a condition holds (bounded, so that a broken controller fails instead of hanging).
#pragma once

#include "QtRunLoopDriver.h"
#include "QtTestApp.h"
#include "RunLoop.h"
#include "TlvMainView.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
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
    const auto until = std::chrono::steady_clock::now() + bound;
    while (!done() && std::chrono::steady_clock::now() < until)
        fnd::RunLoop::main().runFor(0.01);
    return done();
}

// A fresh folder for preferences and temporary files of one test.
class ScratchHome {
public:
    ScratchHome() {
        for (const char* name : {"XDG_CONFIG_HOME", "TMPDIR"})
            if (const char* value = std::getenv(name))
                mOld.emplace_back(name, value);
        std::string pattern = (std::filesystem::temp_directory_path() / "tlv-controller-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            mDir = pattern;
        setenv("XDG_CONFIG_HOME", mDir.c_str(), 1);
        setenv("TMPDIR", mDir.c_str(), 1);
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

class FakeMainView : public tlv::TlvMainView {
public:
    void updateUIByAppState(int state) override { states.push_back(state); }
    void showTopScreen(int mode) override { topScreens.push_back(mode); }
    bool isModalWindow() const override { return modal; }
    QObject* finishScanSender() override { return nullptr; }
    QWidget* window() override { return nullptr; }
    void showErrorPanelLater(const std::string& key) override { errors.push_back(key); }
    void updateScanNum(int n) override { pages = n; }
    void updateScnBtn(bool enabled) override { scanButtons = enabled; }
    void setConfirmOutputBox(bool on) override { confirmBox = on; }
    void activateMainWindow() override { ++activations; }
    void showAbout() override { ++abouts; }
    void terminate() override { ++terminations; }

    bool modal = false;
    std::vector<int> states;
    std::vector<int> topScreens;
    std::vector<std::string> errors;
    int pages = 0;
    bool scanButtons = true;
    bool confirmBox = false;
    int activations = 0, abouts = 0, terminations = 0;
};

} // namespace test
