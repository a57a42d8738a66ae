// Serves one emulated scanner on a Unix stream socket: each client connection is one host connection to
// the scanner (as a process on a real bus would be), so several processes share the feeder, keys and
// counters. One thread per client; the emulator's lock keeps their commands from interleaving.
#pragma once

#include "Emulator.h"

#include <atomic>
#include <list>
#include <mutex>
#include <string>
#include <thread>

namespace k3100::emu {

class SocketServer {
public:
    SocketServer(Emulator& emulator, std::string path);
    ~SocketServer(); // stops the clients and removes the socket file
    SocketServer(const SocketServer&) = delete;
    SocketServer& operator=(const SocketServer&) = delete;

    // Binds and listens; a stale socket file left by a dead server is replaced.
    bool listen(std::string& error);
    // Accepts clients until `stop` becomes true (checked several times a second).
    void run(const std::atomic<bool>& stop);

private:
    struct Client {
        int fd;
        std::thread thread;
        std::atomic<bool> done{false};
    };
    void serve(Client& client);
    void reapFinished();

    Emulator& emulator_;
    std::string path_;
    int listenFd_ = -1;
    std::mutex clientsMutex_;
    std::list<Client> clients_;
};

} // namespace k3100::emu
