// The sheet a batch that ended early goes on from, told by the pages it kept: the applications name it
// after a fault, those that tell it on their standard error in the same words. Only sheets whose pages
// were all kept are done; a sheet of which only the front came is fed again whole, or its back would be
// lost for good.
#pragma once

#include <cstdint>
#include <string>

enum class EFeedAgain : std::uint8_t {
    kFirstSheet,     // no page was kept
    kSheetAfterPage, // every sheet up to the one with the last kept page is done
    kSheetWithPage,  // the sheet with the last kept page may have more: it comes again, that page too
};

struct SFeedAgain {
    EFeedAgain from = EFeedAgain::kFirstSheet;
    std::int32_t page = 0; // the last kept page, counted in the batch from 1
};

// pagesKept: the batch's whole pages kept, in the scanner's order. sidesPerSheet: the images a sheet
// gives (2 for duplex, 1 otherwise). blankSidesDropped: blank-page skipping was on, so a sheet may have
// given fewer and the count no longer tells where its pages end; only one side per sheet keeps it exact.
constexpr SFeedAgain FeedAgainFrom(std::int32_t pagesKept, std::int32_t sidesPerSheet,
                                   bool blankSidesDropped) {
    if (pagesKept <= 0)
        return {};
    if (sidesPerSheet <= 1)
        return {EFeedAgain::kSheetAfterPage, pagesKept};
    const bool sheetDone = !blankSidesDropped && pagesKept % sidesPerSheet == 0;
    return {sheetDone ? EFeedAgain::kSheetAfterPage : EFeedAgain::kSheetWithPage, pagesKept};
}

// The sheet as the programs name it on their standard error, after "feed again from ".
inline std::string FeedAgainWords(const SFeedAgain& sheet) {
    const std::string page = std::to_string(sheet.page);
    switch (sheet.from) {
    case EFeedAgain::kSheetAfterPage:
        return "the sheet after page " + page;
    case EFeedAgain::kSheetWithPage:
        return "the sheet that holds page " + page + "; page " + page + " is scanned again";
    case EFeedAgain::kFirstSheet:
        break;
    }
    return "the first sheet";
}
