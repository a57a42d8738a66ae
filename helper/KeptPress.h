// A press the helper took from the scanner and has not yet handed to the main application, kept in a
// file: the scanner reports a press once, so a helper that dies between the read and the handover
// would lose it. The next helper (the main application starts one when none runs) takes it up. A
// press older than the launch wait is dropped: the user has given up on it by then.
#pragma once

#include "PrivateFolder.h"

#include <chrono>
#include <cstdint>

namespace tapwell {

class KeptPress {
public:
    // The file lies in folder; with an invalid folder nothing is kept.
    explicit KeptPress(fnd::PrivateFolder folder) : folder_(std::move(folder)) {}
    // The file in the session's runtime folder.
    static KeptPress forSession();

    // Keeps the button status; 0 forgets what was kept. False when it could not be written.
    bool keep(std::uint32_t status) const;
    // The status kept at most maxAge ago, forgotten as it is read; 0 when there is none.
    std::uint32_t take(std::chrono::seconds maxAge) const;

    static constexpr char kFileName[] = "com.orvikElectronics.tapwell.press";

private:
    fnd::PrivateFolder folder_;
};

} // namespace tapwell
