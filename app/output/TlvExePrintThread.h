// Printing the batch's pages, one page per sheet, through Qt's printing (CUPS underneath). Runs on the
// main thread and reports the next state through the host.
#pragma once

#include "TlvOutputHost.h"
#include "TlvReadFilesThread.h"

#include <optional>
#include <string>

class QPrinter;

namespace tlv {

// What a print job takes of the output function's settings, as one snapshot.
struct TlvPrintSetup {
    std::optional<fnd::Dictionary> printInfo; // see TlvPrintInfo.h
    std::string printerName;                  // empty or unknown: the system's default printer
    int printLayoutType = 0;                  // 1: each page fitted to the paper
};

class TlvExePrintThread {
public:
    TlvExePrintThread(TlvOutputHost& host, TlvReadFilesThread& reader);

    // Prints every page of the page list and reports 306; without print information, without any
    // printer, or when printing fails it shows the message and reports 308.
    void exePrintImgFiles(const TlvPrintSetup& setup);
    // Draws every page of the page list onto the printer's sheets: fitted into the printable area
    // (proportions kept, centred), or at the size its resolution gives from the area's top left.
    void printPages(QPrinter& printer, bool fit) const;

private:
    TlvOutputHost& mHost;
    TlvReadFilesThread& mReader;
};

} // namespace tlv
