// k3100-emulator: serves an emulated K3100 on a Unix socket (point K3100_EMULATOR_SOCKET at it and the
// data source finds it as its scanner), or, with --control, sends one control to a running emulator.
#include "DefaultSocket.h"
#include "Emulator.h"
#include "RawScanReplay.h"
#include "SampleSheets.h"
#include "SocketServer.h"

#include "ProgramInfo.h"
#include "SocketDevice.h"
#include "SocketProtocol.h"
#include "UsbDiscovery.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

std::atomic<bool> stopRequested{false};

void onSignal(int) {
    stopRequested = true;
}

constexpr const char* kUsage =
    "usage: k3100-emulator [--socket PATH] [options]\n"
    "  --socket PATH       socket to serve (default: $K3100_EMULATOR_SOCKET, else\n"
    "                      $XDG_RUNTIME_DIR/k3100.sock, else\n"
    "                      ${XDG_CACHE_HOME:-~/.cache}/k3100-runtime/k3100.sock)\n"
    "  --load \"SPEC [N]\"   put N sheets in the feeder; SPEC is FRONT[,BACK], each an image file\n"
    "                      (PNM or TIFF) or gen:blank, gen:ramp, gen:blank-a4, gen:ramp-a4,\n"
    "                      gen:blank-a5, gen:ramp-a5\n"
    "  --samples           put the sample pages in the feeder\n"
    "  --press KEY         press operation-panel key 1-3\n"
    "  --fault SPEC        inject a fault: KIND[@[CMD:]N], e.g. jam@read:3, timeout@12\n"
    "                      kinds: no-paper jam double-feed cover-open lamp-error not-ready\n"
    "                      unit-attention hardware-error timeout stall gone short-reads\n"
    "  --control TEXT      send TEXT to the emulator already serving PATH, print its answer, exit\n"
    "  --replay            replay the last scan drawn for the next scan of the same setup (benchmarks)\n"
    "  --help, --version   print this text or the version and exit\n";

struct Options {
    std::string socket;
    std::vector<std::string> controls; // applied in order before serving
    std::string clientControl;
    bool samples = false;
    bool replay = false;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--replay") {
            options.replay = true;
            continue;
        }
        if (arg == "--samples") {
            options.samples = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (arg == "--socket")
            options.socket = value;
        else if (arg == "--load")
            options.controls.push_back("load " + value);
        else if (arg == "--press")
            options.controls.push_back("press " + value);
        else if (arg == "--fault")
            options.controls.push_back("fault " + value);
        else if (arg == "--control")
            options.clientControl = value;
        else
            return false;
    }
    return true;
}

int sendControl(const std::string& socket, const std::string& text) {
    std::string refused;
    const int fd = k3100::usb::connectOwnUnixSocket(socket, &refused);
    if (fd < 0) {
        std::cerr << "k3100-emulator: " << (refused.empty() ? "no emulator serves " + socket : refused)
                  << "\n";
        return 1;
    }
    k3100::usb::SocketDevice device(fd, 0, 0);
    std::string reply;
    if (device.control(text, reply) != k3100::usb::UsbStatus::Ok) {
        std::cerr << "k3100-emulator: the emulator went away\n";
        return 1;
    }
    std::cout << reply << "\n";
    return reply.rfind("error", 0) == 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = fnd::answerInfoOption(argc, argv, "k3100-emulator", kUsage))
        return *status;
    Options options;
    if (!parse(argc, argv, options)) {
        std::cerr << kUsage;
        return 2;
    }
    if (options.socket.empty()) {
        std::string error;
        options.socket = k3100::emu::defaultSocketPath(error);
        if (options.socket.empty()) {
            std::cerr << "k3100-emulator: " << error << "\n";
            return 1;
        }
    }
    if (!options.clientControl.empty())
        return sendControl(options.socket, options.clientControl);

    k3100::emu::setReplayLikeScans(options.replay);
    k3100::emu::Emulator emulator;
    if (options.samples) {
        std::string error;
        if (!k3100::emu::loadSampleSheets(emulator, error)) {
            std::cerr << "k3100-emulator: " << error << "\n";
            return 1;
        }
    }
    for (const std::string& control : options.controls) {
        const std::string reply = emulator.control(control);
        if (reply != "ok") {
            std::cerr << "k3100-emulator: " << control << ": " << reply << "\n";
            return 2;
        }
    }
    k3100::emu::SocketServer server(emulator, options.socket);
    std::string error;
    if (!server.listen(error)) {
        std::cerr << "k3100-emulator: " << error << "\n";
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::cout << "k3100-emulator: serving " << options.socket << " (" << emulator.control("status") << ")"
              << std::endl;
    server.run(stopRequested);
    return 0;
}
