// The one wait of the tests: until a condition holds or a deadline passes, with a step between looks
// (a turn of the main loop, say; a short sleep when none is given). The deadline ends a hung wait, so a
// broken program fails its test instead of stopping the suite.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace test {

inline bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds within,
                      const std::function<void()>& step = {}) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        if (step)
            step();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace test
