// Printing the batch's pages, one page per sheet, through Qt's printing (CUPS underneath, or a PDF file
// chosen in the print dialog). Runs on the
// main thread and reports the next state through the host.
#pragma once

#include "TlvOutputHost.h"
#include "TlvReadFilesThread.h"

#include <QRectF>

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

// Where a page lands in the sheet's printable area (device units). Fitted: the largest size with the
// page's proportions, centred. At its own size (realSize): centred when it fits both ways, else from the
// area's top-left corner, cut off beyond the edges.
QRectF printRectOfPage(QSizeF realSize, const QRectF& area, bool fit);

class TlvExePrintThread {
public:
    TlvExePrintThread(TlvOutputHost& host, TlvReadFilesThread& reader);

    // Prints every page of the page list and reports 306; without print information, without any
    // printer (and no PDF file to print into), or when printing fails it shows the message and reports
    // 308.
    void exePrintImgFiles(const TlvPrintSetup& setup);
    // Draws every page of the page list onto the printer's sheets where printRectOfPage places it.
    void printPages(QPrinter& printer, bool fit) const;

private:
    TlvOutputHost& mHost;
    TlvReadFilesThread& mReader;
};

} // namespace tlv
