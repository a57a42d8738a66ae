// What every connection to one in-process emulated scanner shares: the model and the lock over it.
#pragma once

#include "Emulator.h"
#include "ScannerModel.h"

#include <mutex>

namespace k3100::emu {

struct Emulator::Core {
    std::mutex mutex;
    ScannerModel model;
    SessionId nextSession = 1;
    bool alive = true; // cleared when the Emulator object goes away
};

} // namespace k3100::emu
