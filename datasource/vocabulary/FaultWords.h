// The data source's own words for a fault that TWAIN has no condition code for ("The scanner's cover is
// open.", DAT_STATUSUTF8), put into an application's sentence: "Scanning stopped: the scanner's cover is
// open." Both applications tell the fault with them.
#pragma once

#include <string>

inline std::string FaultWordsInSentence(std::string words) {
    while (!words.empty() && (words.back() == '.' || words.back() == ' '))
        words.pop_back();
    if (!words.empty() && words.front() >= 'A' && words.front() <= 'Z')
        words.front() = static_cast<char>(words.front() - 'A' + 'a');
    return words;
}
