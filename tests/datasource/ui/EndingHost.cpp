// A Qt TWAIN host written against nothing of the project but the TWAIN definitions and the source manager
// it links: it takes the data source to a TWAIN state and then ends without closing it, as a host whose
// Quit does not wait for its scan would.
//   k3100-ending-host <state 4-7> <dialog|settings|none> <exit|quit|stay>
// dialog: enabled with ShowUI (its Scan pressed for states 6 and 7); settings: MSG_ENABLEDSUIONLY (state
// 5 only); none: without any dialog (states 4, 6, 7). exit calls exit(0) from the event loop with the
// application still there; quit leaves the event loop and returns from main, so the application object is
// gone before the exit handlers run; stay runs the event loop until Qt ends the program. It says "state N
// reached" once it is there; status 2 when the state could not be reached.
#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QVariant>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ThirdPartyClient.h"
#include "twain.h"

namespace {

// The event loop runs a while before the end, so that what the dialog defers has happened (ms).
constexpr int kSettleMs = 300;
// The Scan buttons of the dialog's simple and advanced modes.
constexpr int kScanButtonTags[] = {610, 600};

bool gXferReady = false;

TW_UINT16 OnMessage(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32, TW_UINT16, TW_UINT16 msg, TW_MEMREF) {
    if (msg == MSG_XFERREADY)
        gXferReady = true;
    return TWRC_SUCCESS;
}

class Host {
public:
    bool Open() {
        if (Manager(DAT_PARENT, MSG_OPENDSM, nullptr) != TWRC_SUCCESS)
            return false;
        TW_IDENTITY found{};
        if (test::FindScannerSource([this](auto... call) { return Manager(call...); }, found) != TWRC_SUCCESS)
            return false;
        mSource = found;
        TW_CALLBACK callback{};
        callback.CallBackProc = reinterpret_cast<TW_MEMREF>(&OnMessage);
        return Manager(DAT_IDENTITY, MSG_OPENDS, &mSource) == TWRC_SUCCESS &&
               Source(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback) == TWRC_SUCCESS;
    }

    bool Enable(TW_UINT16 message, bool showUI) {
        TW_USERINTERFACE ui{};
        ui.ShowUI = showUI ? 1 : 0;
        return Source(DG_CONTROL, DAT_USERINTERFACE, message, &ui) == TWRC_SUCCESS;
    }

    static bool PressScan() {
        for (QWidget* widget : QApplication::allWidgets())
            for (int tag : kScanButtonTags)
                if (widget->property("tag").toInt() == tag && widget->isVisible())
                    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                        button->click();
                        return gXferReady;
                    }
        return false;
    }

    // One block of the first image, not the whole of it: the transfer stays under way.
    bool StartTransfer() {
        TW_IMAGEINFO info{};
        TW_SETUPMEMXFER setup{};
        if (Source(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS ||
            Source(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS)
            return false;
        mBuffer.resize(setup.MinBufSize);
        TW_IMAGEMEMXFER block{};
        block.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
        block.Memory.Length = setup.MinBufSize;
        block.Memory.TheMem = mBuffer.data();
        return Source(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &block) == TWRC_SUCCESS;
    }

private:
    TW_UINT16 Manager(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return DSM_Entry(&mApp, nullptr, DG_CONTROL, dat, msg, data);
    }
    TW_UINT16 Source(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return DSM_Entry(&mApp, &mSource, dg, dat, msg, data);
    }

    TW_IDENTITY mApp = test::ThirdPartyIdentity("Ending Host");
    TW_IDENTITY mSource{};
    std::vector<unsigned char> mBuffer;
};

bool Reach(Host& host, int state, const std::string& dialog) {
    if (!host.Open())
        return false;
    if (state == 4)
        return dialog == "none";
    if (dialog == "settings")
        return state == 5 && host.Enable(MSG_ENABLEDSUIONLY, true);
    const bool showUI = dialog == "dialog";
    if (!host.Enable(MSG_ENABLEDS, showUI))
        return false;
    if (state == 5)
        return showUI;
    if (showUI && !host.PressScan())
        return false;
    return gXferReady && (state == 6 || (state == 7 && host.StartTransfer()));
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::string end = argc == 4 ? argv[3] : "";
    if (end != "exit" && end != "quit" && end != "stay") {
        std::fprintf(stderr, "usage: %s <state 4-7> <dialog|settings|none> <exit|quit|stay>\n", argv[0]);
        return 2;
    }
    Host host;
    if (!Reach(host, std::atoi(argv[1]), argv[2])) {
        std::fprintf(stderr, "state %s with %s not reached\n", argv[1], argv[2]);
        return 2;
    }
    std::printf("state %s reached\n", argv[1]);
    std::fflush(stdout);
    if (end == "exit")
        QTimer::singleShot(kSettleMs, [] { std::exit(0); });
    else if (end == "quit")
        QTimer::singleShot(kSettleMs, &application, &QCoreApplication::quit);
    return QApplication::exec();
}
