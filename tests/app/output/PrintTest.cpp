// Printing into PDF files instead of a printer: one sheet per page, fitted or at the page's own size
// (the embedded image's resolution tells which), a PDF file chosen in the print dialog, and the failures
// that need no printer to show.
#include "OutputTestSupport.h"

#include "QtTestApp.h"
#include "TlvExePrintThread.h"
#include "TlvOutputFailure.h"
#include "TlvPrintInfo.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

#include <cstdio>

namespace outtest {
namespace {

std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        ::pclose(pipe);
    }
    return out;
}

int pdfPages(const fs::path& pdf) {
    const QString info = QString::fromStdString(commandOutput("pdfinfo '" + pdf.string() + "'"));
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The x resolution of every image in the file, as pdfimages lists them.
std::vector<int> imagePpi(const fs::path& pdf) {
    // Columns: page num type width height color comp bpc enc interp object id x-ppi y-ppi size ratio.
    std::vector<int> ppi;
    const QString list = QString::fromStdString(commandOutput("pdfimages -list '" + pdf.string() + "'"));
    for (const QString& line : list.split('\n')) {
        const QStringList cols = line.simplified().split(' ');
        bool number = false;
        if (cols.size() >= 13 && (cols[0].toInt(&number), number))
            ppi.push_back(cols[12].toInt());
    }
    return ppi;
}

class Printing : public OutputTest, public WithTestApplication {
protected:
    fs::path print(bool fit) {
        const fs::path pdf = root / (fit ? "fit.pdf" : "actual.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        fnd::Dictionary info;
        info.set(tlv::kPrintInfoPaperKey, "A4");
        info.set(tlv::kPrintInfoCopiesKey, 500); // clamped, never 500 sheets
        tlv::applyPrintInfo(info, printer);
        EXPECT_EQ(printer.copyCount(), 99);
        const tlv::TlvExePrintThread job(host, *reader);
        job.printPages(printer, fit);
        return pdf;
    }
};

TEST_F(Printing, EveryPageOnASheetFittedOrAtItsOwnSize) {
    for (int bpp : {1, 8, 24})
        addPage({bpp, 240, 160, 300, 300});
    const fs::path fitted = print(true);
    const fs::path actual = print(false);
    EXPECT_EQ(pdfPages(fitted), 3);
    EXPECT_EQ(pdfPages(actual), 3);
    EXPECT_NE(commandOutput("pdfinfo '" + fitted.string() + "'").find("(A4)"), std::string::npos);
    // 240 pixels over the printable width (about 7.5 inches) is some 32 dpi; at its own size 300 dpi.
    const std::vector<int> small = imagePpi(fitted);
    ASSERT_EQ(small.size(), 3u);
    for (int ppi : small)
        EXPECT_LT(ppi, 40);
    const std::vector<int> own = imagePpi(actual);
    ASSERT_EQ(own.size(), 3u);
    for (int ppi : own)
        EXPECT_NEAR(ppi, 300, 2);
}

TEST(PrintLayout, APageAtItsOwnSizeIsCentredWhenItFitsAndCutFromTheCornerWhenNot) {
    const QRectF area(10, 20, 1000, 1400);
    EXPECT_EQ(tlv::printRectOfPage({500, 700}, area, false), QRectF(260, 370, 500, 700));
    EXPECT_EQ(tlv::printRectOfPage({1200, 700}, area, false), QRectF(10, 20, 1200, 700));
    EXPECT_EQ(tlv::printRectOfPage({500, 1500}, area, false), QRectF(10, 20, 500, 1500));
    // Fitted, a page of 612 x 792 points on 576 x 720 is scaled by 720 / 792.
    const QRectF fitted = tlv::printRectOfPage({612, 792}, QRectF(0, 0, 576, 720), true);
    EXPECT_DOUBLE_EQ(fitted.height(), 720);
    EXPECT_DOUBLE_EQ(fitted.width(), 612 * 720.0 / 792);
}

TEST_F(Printing, FailuresAreShownAndReported) {
    addPage({8, 24, 16});
    tlv::TlvExePrintThread job(host, *reader);
    job.exePrintImgFiles({}); // no print information
    std::vector<std::string> expected{tlv::kErrUnknown};
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        // Nothing may depend on a printer being set up: without one the job says so.
        job.exePrintImgFiles({fnd::Dictionary(), "", 1});
        expected.push_back(tlv::kErrNotFoundPrinter);
    }
    EXPECT_EQ(host.errors(), expected);
    EXPECT_EQ(host.states(), std::vector<int>(expected.size(), 308));

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString((root / "none" / "x.pdf").string())); // no such folder
    EXPECT_THROW(job.printPages(printer, true), tlv::TlvOutputFailure);
}

TEST_F(Printing, APdfFileChosenInThePrintDialogIsKeptAndPrintedIntoWithoutAnyPrinter) {
    const fs::path pdf = root / "chosen.pdf";
    QPrinter chosen(QPrinter::HighResolution);
    chosen.setOutputFormat(QPrinter::PdfFormat);
    chosen.setOutputFileName(QString::fromStdString(pdf.string()));
    chosen.setPageOrientation(QPageLayout::Landscape);
    const fnd::Dictionary info = tlv::printInfoOf(chosen);
    EXPECT_EQ(tlv::printOutputFile(info), pdf.string());
    EXPECT_EQ(tlv::printOutputFile(tlv::printInfoOf(QPrinter())), std::nullopt); // a printer's
    QPrinter again;
    tlv::applyPrintInfo(info, again);
    EXPECT_EQ(again.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(again.outputFileName().toStdString(), pdf.string());
    EXPECT_EQ(again.pageLayout().orientation(), QPageLayout::Landscape); // not lost to the format

    addPage({8, 240, 160, 300, 300});
    addPage({24, 240, 160, 300, 300});
    tlv::TlvExePrintThread job(host, *reader);
    job.exePrintImgFiles({info, "", 1});
    EXPECT_EQ(host.errors(), std::vector<std::string>{});
    EXPECT_EQ(host.states(), std::vector<int>{306});
    EXPECT_EQ(pdfPages(pdf), 2);
}

} // namespace
} // namespace outtest
