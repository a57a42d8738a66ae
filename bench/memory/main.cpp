// k3100-tollivar-memory: tollivar's peak memory over one job's batch. A job that saves one PDF of the
// batch (300 dpi colour duplex A4, JPEG images, with or without the text layer) runs in tollivar, which
// this program starts offscreen on the session bus beside an emulated scanner holding SHEETS sheets, and
// sends the job as the menu-bar helper does. Prints the sheets, the pages of the PDF, the wall seconds and
// tollivar's peak resident memory (the kernel's own count of the finished process).
// usage: dbus-run-session -- k3100-tollivar-memory BUILD-DIR SHEETS [--text]
#include "ProgramWatcher.h"
#include "TollivarSettings.h"
#include "child/EndsWithTheTest.h"

#include <QCoreApplication>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

pid_t spawn(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Polls every 100 ms until done answers true or the seconds pass.
template <typename Done> bool waitFor(Done done, int seconds) {
    const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// The job: one PDF of the whole batch, 300 dpi colour, both sides of A4 sheets.
int storeJob(const fs::path& out, bool withText) {
    return test::storeSavePdfJob(out, [withText](TlvFuncSettingMdl& func) {
        func.setFF_MultiType_PDF(0, 0);
        func.setFF_CompType(1, 0); // JPEG images
        func.setIsAddOCR(withText, 0);
        func.setFF_OCRLangType(2, 0); // English
    });
}

void setScanOfJob() {
    fnd::UserDefaults defaults(test::kTollivarId);
    TlvJobListStorage lists(defaults);
    lists.loadJobListMdlFromFile(false);
    TlvJobListSettingMdl job = lists.jobListMdlAtIndex(0)->copyWithZone();
    auto scan = std::make_shared<TlvScanSettingMdl>(*job.jList_ScanSettingMdl());
    scan->setScnStColType(1);        // colour
    scan->setScnStResType(2);        // 300 dpi
    scan->setScnStReaderSideType(1); // both sides
    scan->setScnStPapSizeType(1);    // A4
    job.setJList_ScanSettingMdl(scan);
    lists.applyJob(0, job);
    lists.saveJobListMdlToFile();
}

int run(const fs::path& build, int sheets, bool withText) {
    test::adoptDetachedPrograms();
    std::string pattern = (fs::temp_directory_path() / "tollivar-memory-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 1;
    const fs::path dir = pattern;
    const fs::path socket = dir / "scanner";
    fs::create_directories(dir / "out");
    fs::create_directories(dir / "tmp");
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    setenv("XDG_DATA_DIRS", (dir / "data").c_str(), 1);
    setenv("TMPDIR", (dir / "tmp").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("K3100_TWAIN_DS_DIR", (build / "lib").c_str(), 1);
    setenv("K3100_LOCK_DIR", dir.c_str(), 1);
    setenv("K3100_EMULATOR_SOCKET", socket.c_str(), 1);
    setenv("K3100_AUTO_CLOSE_DELAY", "0.3", 1);
    const int jobNumber = storeJob(dir / "out", withText);
    setScanOfJob();

    const pid_t emulator = spawn({(build / "bin" / "k3100-emulator").string(), "--replay", "--socket",
                                  socket.string(), "--load", "gen:ramp-a4 " + std::to_string(sheets)});
    waitFor([&] { return fs::exists(socket); }, 10);
    const Clock::time_point start = Clock::now();
    const pid_t tollivar = spawn({(build / "bin" / "tollivar").string()});
    TapwellAppleEvent helper{QString(test::kTollivarId)};
    int status = 0;
    rusage usage{};
    const bool ran = waitFor([&] { return ae::isRunning(test::kTollivarId); }, 30) &&
                     (helper.transScanInfo(jobNumber), true) &&
                     waitFor([&] { return test::reportedAppState(helper) == 306; }, 3600);
    kill(tollivar, SIGTERM);
    wait4(tollivar, &status, 0, &usage);
    const std::chrono::duration<double> wall = Clock::now() - start;
    kill(emulator, SIGTERM);
    waitpid(emulator, nullptr, 0);
    // The helper goes on polling the scanner, whose lock lives in the home removed below.
    test::endAdoptedPrograms();
    std::size_t pdfBytes = 0;
    for (const auto& entry : fs::directory_iterator(dir / "out"))
        pdfBytes += entry.path().extension() == ".pdf" ? fs::file_size(entry.path()) : 0;
    fs::remove_all(dir);
    if (!ran || pdfBytes == 0) {
        std::fprintf(stderr, "k3100-tollivar-memory: the job did not end with a PDF\n");
        return 1;
    }
    std::printf("%d sheets%s: %.1f s, PDF %.1f MB, peak %.0f MB\n", sheets, withText ? " with text" : "",
                wall.count(), static_cast<double>(pdfBytes) / 1e6,
                static_cast<double>(usage.ru_maxrss) / 1024);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || (argc == 4 && std::string(argv[3]) != "--text") || argc > 4) {
        std::fprintf(stderr, "usage: k3100-tollivar-memory BUILD-DIR SHEETS [--text]\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    return run(fs::absolute(argv[1]), std::atoi(argv[2]), argc == 4);
}
