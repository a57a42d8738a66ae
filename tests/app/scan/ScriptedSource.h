// A data source for the application's tests: it keeps every capability it is sent, answers reads with
// what it keeps, redirects the per-side capabilities to their back twins while the side selector says
// so, and refuses what the test's script tells it to: refusals the real data source never gives.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "twain.h"

struct SScriptedSource {
    std::map<TW_UINT16, TW_UINT16> refuseSet; // capability -> the return code its MSG_SET answers
    std::set<TW_UINT16> refuseGet;            // MSG_GETCURRENT of these answers TWRC_FAILURE
    std::vector<TW_UINT16> sets;              // every MSG_SET in order, refused ones too
    std::map<TW_UINT16, std::vector<std::uint8_t>> containers; // one-value containers by (twin) id
    TW_INT32 window = 1;
};

// The script of the data source in this file; a test finds it with dlsym.
extern "C" TWAIN_EXPORT SScriptedSource* ScriptedSourceScript();
