// See TlvPrintInfo.h. Stored values are outside input: a value of the wrong type or range is skipped.
#include "TlvPrintInfo.h"

#include <QPageSize>
#include <QPrinter>

#include <algorithm>

namespace tlv {
namespace {

// More copies than this are a typing slip rather than a wish.
constexpr std::int32_t kMaxCopies = 99;

std::optional<QPageSize> pageSizeNamed(const std::string& name) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto size = static_cast<QPageSize::PageSizeId>(id);
        if (QPageSize::key(size).toStdString() == name)
            return QPageSize(size);
    }
    return std::nullopt;
}

} // namespace

fnd::Dictionary printInfoOf(const QPrinter& printer) {
    fnd::Dictionary info;
    info.set(kPrintInfoPrinterKey, printer.printerName().toStdString());
    info.set(kPrintInfoPaperKey, QPageSize::key(printer.pageLayout().pageSize().id()).toStdString());
    info.set(kPrintInfoLandscapeKey, printer.pageLayout().orientation() == QPageLayout::Landscape);
    info.set(kPrintInfoCopiesKey, std::int32_t{printer.copyCount()});
    info.set(kPrintInfoDuplexKey, printer.duplex() != QPrinter::DuplexNone);
    info.set(kPrintInfoColorKey, printer.colorMode() == QPrinter::Color);
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        info.set(kPrintInfoOutputFileKey, printer.outputFileName().toStdString());
    return info;
}

void applyPrintInfo(const fnd::Dictionary& info, QPrinter& printer) {
    // First: a change of the output format starts the printer's settings afresh.
    if (const std::optional<std::string> file = printOutputFile(info)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(*file));
    }
    if (const std::string* paper = info.get(kPrintInfoPaperKey).asString()) {
        if (const std::optional<QPageSize> size = pageSizeNamed(*paper))
            printer.setPageSize(*size);
    }
    if (const std::optional<bool> landscape = info.get(kPrintInfoLandscapeKey).asBool())
        printer.setPageOrientation(*landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (const std::optional<std::int32_t> copies = info.get(kPrintInfoCopiesKey).asInt32())
        printer.setCopyCount(std::clamp(*copies, std::int32_t{1}, kMaxCopies));
    if (const std::optional<bool> duplex = info.get(kPrintInfoDuplexKey).asBool())
        printer.setDuplex(*duplex ? QPrinter::DuplexLongSide : QPrinter::DuplexNone);
    if (const std::optional<bool> color = info.get(kPrintInfoColorKey).asBool())
        printer.setColorMode(*color ? QPrinter::Color : QPrinter::GrayScale);
}

std::optional<std::string> printOutputFile(const std::optional<fnd::Dictionary>& info) {
    const std::string* file = info ? info->get(kPrintInfoOutputFileKey).asString() : nullptr;
    return file && !file->empty() ? std::optional<std::string>(*file) : std::nullopt;
}

} // namespace tlv
