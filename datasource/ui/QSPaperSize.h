// Papers of the parameter dictionary's "SupportedPapers": "OriginalPapers" ({"ID", "Name", "Width",
// "Height"}) and "CustomPapers" ({"Name", "Width", "Height"}), sizes in 1/1200 inch.
#pragma once

#include "Value.h"

#include <QSizeF>

#include <cstdint>
#include <string>

// The first entry of the group ("OriginalPapers" or "CustomPapers") that matches, or null.
template <class Match>
const fnd::Dictionary* FindPaper(const fnd::Dictionary* papers, const char* group, Match matches) {
    const fnd::Array* list = papers ? papers->get(group).asArray() : nullptr;
    if (!list)
        return nullptr;
    for (const fnd::Value& entry : *list)
        if (const fnd::Dictionary* paper = entry.asDictionary(); paper && matches(*paper))
            return paper;
    return nullptr;
}

// The size of the paper a paper-size code names: an original paper by its ID (code 0 or more), a custom
// paper by its name (codes below -1), the physical size for -1 and for a code or name no paper matches.
QSizeF PaperSizeForCode(const fnd::Dictionary* papers, std::int32_t code, const std::string& customName,
                        QSizeF physical);
