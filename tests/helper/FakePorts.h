// Ports of the helper's controller that record what it asks of the outside world and answer from
// scripted values: the button reads, the main application's state, the settings record.
#pragma once

#include "TapwellCntlr.h"

#include "Event.h"

#include <deque>
#include <string>
#include <vector>

namespace tapwell::test {

struct Read {
    int result = 0;
    std::uint32_t status = 0;
};

struct Recorded {
    std::deque<Read> reads; // answered in turn; the last one repeats
    int readCount = 0;
    bool hasMainApp = true;
    bool running = false;
    bool openSucceeds = true;
    int opens = 0;
    std::uint32_t keptPress = 0; // as a helper after this one would find it
    std::optional<AppSetting> setting;
    bool buttonOneScansFirst = true; // the main application's setting beside its record
    std::vector<std::string> events; // "Cnct(-3,1,1)", "OpCk(1)", "quit"
    std::vector<bool> loginEntries;
    int junkRemovals = 0;
    std::vector<std::string> alerts;
    bool connectedImage = false;
    int quits = 0;
    int aboutOrderedOut = 0;
};

// An event as it arrived on the bus; a Cnct whose result is not 16 bits wide is marked with '!'.
std::string describe(const ae::Event& event);
TapwellPorts fakePorts(Recorded& recorded);

} // namespace tapwell::test
