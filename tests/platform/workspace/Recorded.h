// Reads what ArgvRecorder wrote: waits (bounded) until count programs have recorded their arguments.
#pragma once

#include "WaitUntil.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using Recording = std::vector<std::string>; // the program's name, then its arguments

inline std::vector<Recording> waitForRecordings(const std::filesystem::path& dir, std::size_t count) {
    // Detached programs start on their own time; a sanitised build on a busy machine is slow.
    std::vector<Recording> found;
    test::waitUntil(
        [&] {
            found.clear();
            for (const auto& entry : std::filesystem::directory_iterator(dir)) {
                if (entry.path().extension() == ".part" ||
                    entry.path().filename().string().rfind("argv-", 0) != 0)
                    continue;
                std::ifstream in(entry.path(), std::ios::binary);
                Recording r;
                for (std::string field; std::getline(in, field, '\0');)
                    r.push_back(field);
                found.push_back(r);
            }
            return found.size() >= count;
        },
        std::chrono::seconds(30));
    std::sort(found.begin(), found.end());
    return found;
}
