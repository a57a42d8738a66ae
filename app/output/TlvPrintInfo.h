// The stored print information of an output function: a dictionary of our own with the printer's name
// (or the PDF file the print dialog chose instead of a printer), the paper, orientation, copies, duplex
// and colour, applied to a printer before it prints.
#pragma once

#include "Value.h"

#include <optional>
#include <string>

class QPrinter;

namespace tlv {

inline constexpr const char* kPrintInfoPrinterKey = "PrinterName";   // string
inline constexpr const char* kPrintInfoPaperKey = "PaperName";       // string: a page-size key ("A4")
inline constexpr const char* kPrintInfoLandscapeKey = "Landscape";   // boolean
inline constexpr const char* kPrintInfoCopiesKey = "Copies";         // integer 1..99
inline constexpr const char* kPrintInfoDuplexKey = "Duplex";         // boolean: long-edge duplex
inline constexpr const char* kPrintInfoColorKey = "Color";           // boolean
inline constexpr const char* kPrintInfoOutputFileKey = "OutputFile"; // string: a PDF file, not a printer

// The printer's settings in that form (the printer's name included).
fnd::Dictionary printInfoOf(const QPrinter& printer);
// Sets what the dictionary holds with the right type and range; everything else stays as it is.
void applyPrintInfo(const fnd::Dictionary& info, QPrinter& printer);
// The PDF file the pages are printed into instead of a printer; none when they go to a printer.
std::optional<std::string> printOutputFile(const std::optional<fnd::Dictionary>& info);

} // namespace tlv
