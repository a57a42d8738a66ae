// One direction for a turned page everywhere: a page turned once and twice, as the preview stores the
// turn in its record, is written as PDF, TIFF and JPEG, read back, and compared with the raw page turned
// the way the preview shows it on screen.
#include "OutputTestSupport.h"

#include "PreviewTestSupport.h"
#include "QtTestApp.h"
#include "TlvPreviewImages.h"

#include <QProcess>

#include <tiffio.h>

namespace outtest {
namespace {

QImage readTiff(const fs::path& path) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return {};
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGBA8888);
    const bool read = TIFFReadRGBAImageOriented(
        tiff, width, height, reinterpret_cast<std::uint32_t*>(image.bits()), ORIENTATION_TOPLEFT, 0);
    TIFFClose(tiff);
    return read ? image : QImage();
}

// The PDF's page drawn at the page's own resolution, so one pixel is one scanned pixel.
QImage renderPdf(const fs::path& path, const fs::path& folder) {
    QProcess::execute("pdftoppm", {"-r", "100", "-png", "-singlefile", QString::fromStdString(path.string()),
                                   QString::fromStdString((folder / "page").string())});
    return QImage(QString::fromStdString((folder / "page.png").string()));
}

// Colours agree within what a JPEG's compression may move them.
bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) < 48 && std::abs(a.green() - b.green()) < 48 &&
           std::abs(a.blue() - b.blue()) < 48;
}

// A point inside a patch of one colour, where a JPEG's smoothing of edges cannot reach.
bool insidePatch(const QImage& image, int x, int y) {
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            if (!image.rect().contains(x + dx, y + dy) || image.pixel(x + dx, y + dy) != image.pixel(x, y))
                return false;
    return true;
}

class TurnedOutput : public OutputTest,
                     public WithTestApplication,
                     public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(TurnedOutput, TheFileShowsThePageTurnedAsOnScreen) {
    const auto [format, turns] = GetParam();
    const QImage raw = test::markedPage(120, 80);
    test::PreviewHost pages;
    pages.addPage(raw, 100);
    pages.replaceImgInfoByParam(0, ImgInfo_RotateKey, turns);
    host.addPage(pages.pages[0].record);
    host.options.fileFormatType = format;
    const char* extension = format == tlv::kFormatPDF    ? ".pdf"
                            : format == tlv::kFormatTIFF ? ".tiff"
                                                         : ".jpg";
    host.options.imgFileName = std::string("Turned") + extension;
    reader->readImgFiles(host.batch());
    ASSERT_EQ(host.errors(), std::vector<std::string>{});
    const fs::path file = saveFolder / host.options.imgFileName;
    const QImage written = format == tlv::kFormatPDF    ? renderPdf(file, root)
                           : format == tlv::kFormatTIFF ? readTiff(file)
                                                        : QImage(QString::fromStdString(file.string()));
    const QImage onScreen = tlv::turnedImage(raw, turns);
    ASSERT_EQ(written.size(), onScreen.size()) << file;
    int compared = 0;
    for (int y = 0; y < onScreen.height(); y += 4)
        for (int x = 0; x < onScreen.width(); x += 4)
            if (insidePatch(onScreen, x, y)) {
                ++compared;
                ASSERT_TRUE(near(written.pixelColor(x, y), onScreen.pixelColor(x, y)))
                    << file << " at " << x << "," << y;
            }
    EXPECT_GT(compared, 200); // the corner marks and the paper
}

INSTANTIATE_TEST_SUITE_P(OnceAndTwice, TurnedOutput,
                         ::testing::Combine(::testing::Values(tlv::kFormatPDF, tlv::kFormatTIFF,
                                                              tlv::kFormatJPEG),
                                            ::testing::Values(1, 2)));

} // namespace
} // namespace outtest
