// See TlvExePrintThread.h. Pages are read one at a time, so a long batch never sits in memory whole.
#include "TlvExePrintThread.h"
#include "TlvAppState.h"

#include "TlvOutputFailure.h"
#include "TlvPrintInfo.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstring>

namespace tlv {
namespace {

// The page as scanned: 1-bit rows with 0 black (most significant bit first), grey, or RGB.
QImage qImageOf(const TlvPageImage& page) {
    const SPageBitmap& b = page.bitmap;
    const QImage::Format format = page.bpp == 1   ? QImage::Format_Mono
                                  : page.bpp == 8 ? QImage::Format_Grayscale8
                                                  : QImage::Format_RGB888;
    QImage image(static_cast<int>(b.width), static_cast<int>(b.height), format);
    if (image.isNull() || !b.IsValid())
        fail(kErrMemFull);
    if (page.bpp == 1)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const std::size_t rowBytes = std::min<std::size_t>(b.bytesPerRow, image.bytesPerLine());
    for (std::uint32_t y = 0; y < b.height; ++y)
        std::memcpy(image.scanLine(static_cast<int>(y)), b.Row(y), rowBytes);
    return image;
}

} // namespace

QRectF printRectOfPage(QSizeF realSize, const QRectF& area, bool fit) {
    if (fit) {
        const QSizeF size = realSize.scaled(area.size(), Qt::KeepAspectRatio);
        return {area.center() - QPointF(size.width() / 2, size.height() / 2), size};
    }
    if (realSize.width() > area.width() || realSize.height() > area.height())
        return {area.topLeft(), realSize};
    return {area.center() - QPointF(realSize.width() / 2, realSize.height() / 2), realSize};
}

TlvExePrintThread::TlvExePrintThread(TlvOutputHost& host, TlvReadFilesThread& reader)
    : mHost(host), mReader(reader) {}

void TlvExePrintThread::printPages(QPrinter& printer, bool fit) const {
    const int count = static_cast<int>(mHost.countOfImgInfoDict());
    QPainter painter;
    if (count == 0 || !painter.begin(&printer))
        fail(kErrPrintFailed);
    const QRectF area(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    for (int index = 0; index < count; ++index) {
        if (index > 0 && !printer.newPage())
            fail(kErrPrintFailed);
        const TlvPageImage page = mReader.imageRepByIndex(index);
        const QImage image = qImageOf(page);
        const SPageBitmap& b = page.bitmap;
        const double dpi = printer.resolution();
        const QSizeF realSize(b.width / b.xResolution * dpi, b.height / b.yResolution * dpi);
        painter.drawImage(printRectOfPage(realSize, area, fit), image);
    }
    if (!painter.end())
        fail(kErrPrintFailed);
}

void TlvExePrintThread::exePrintImgFiles(const TlvPrintSetup& setup) {
    try {
        if (!setup.printInfo)
            fail(kErrUnknown);
        QPrinter printer(QPrinter::HighResolution);
        applyPrintInfo(*setup.printInfo, printer);
        // A PDF file chosen in the print dialog needs no printer; without any printer there is nothing
        // else to print on: say so rather than fail silently.
        if (!printOutputFile(setup.printInfo)) {
            const QStringList printers = QPrinterInfo::availablePrinterNames();
            if (printers.isEmpty())
                fail(kErrNotFoundPrinter);
            if (printers.contains(QString::fromStdString(setup.printerName)))
                printer.setPrinterName(QString::fromStdString(setup.printerName));
        }
        printPages(printer, setup.printLayoutType == 1);
        mHost.setAppStateNum(AppStateFixDone);
    } catch (const TlvOutputFailure& failure) {
        if (failure.key() != kNoErrOnlyThrow)
            mHost.showErrorPanel(failure.key(), failure.args());
        mHost.setAppStateNum(AppStateFixErr);
    } catch (const std::bad_alloc&) {
        mHost.showErrorPanel(kErrMemFull, {});
        mHost.setAppStateNum(AppStateFixErr);
    }
}

} // namespace tlv
