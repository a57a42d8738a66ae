// Writes the emulator's sample pages as Deflate-compressed TIFF files, all A4 as the scan settings' default
// paper (a shorter sheet would leave the backing's dark band on each page): a page of printed text, a
// text page that feeds tilted, a near-blank page with specks, and a colour page. Text is set with
// FreeType from the DejaVu fonts; everything else is drawn here, so the pages are the same on every build.
// usage: k3100-make-samples OUTPUT-DIR SERIF-FONT SANS-BOLD-FONT
#include <ft2build.h>
#include FT_FREETYPE_H
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kDpi = 200;
constexpr double kA4Wide = 210 / 25.4, kA4Long = 297 / 25.4; // inches

struct Canvas {
    int width, height, channels;
    std::vector<uint8_t> pixels;
    Canvas(double inchesWide, double inchesLong, int channels, uint8_t paper)
        : width(int(inchesWide * kDpi)), height(int(inchesLong * kDpi)), channels(channels),
          pixels(size_t(width) * height * channels, paper) {}
    // Darkens towards `ink` by `cover` (0..255), as ink on paper.
    void blend(int x, int y, const uint8_t* ink, int cover) {
        if (x < 0 || y < 0 || x >= width || y >= height || cover <= 0)
            return;
        uint8_t* p = &pixels[(size_t(y) * width + x) * channels];
        for (int c = 0; c < channels; ++c)
            p[c] = uint8_t(p[c] + (ink[c] - p[c]) * std::min(cover, 255) / 255);
    }
    void fill(int x0, int y0, int x1, int y1, const uint8_t* ink) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                blend(x, y, ink, 255);
    }
};

class Typesetter {
public:
    Typesetter(FT_Library library, const char* font) {
        if (FT_New_Face(library, font, 0, &face_) != 0)
            face_ = nullptr;
    }
    ~Typesetter() {
        if (face_)
            FT_Done_Face(face_);
    }
    bool ok() const { return face_ != nullptr; }
    void size(double points) { FT_Set_Char_Size(face_, 0, FT_F26Dot6(points * 64), kDpi, kDpi); }
    int lineHeight() const { return int(face_->size->metrics.height >> 6); }

    int advance(const std::string& word) {
        int w = 0;
        for (unsigned char ch : word)
            if (FT_Load_Char(face_, ch, FT_LOAD_DEFAULT) == 0)
                w += int(face_->glyph->advance.x >> 6);
        return w;
    }

    // Draws `text` from (x, baseline); returns the pen position after it.
    int draw(Canvas& canvas, int x, int baseline, const std::string& text, const uint8_t* ink) {
        for (unsigned char ch : text) {
            if (FT_Load_Char(face_, ch, FT_LOAD_RENDER) != 0)
                continue;
            const FT_Bitmap& bm = face_->glyph->bitmap;
            const int left = x + face_->glyph->bitmap_left;
            const int top = baseline - face_->glyph->bitmap_top;
            for (unsigned r = 0; r < bm.rows; ++r)
                for (unsigned c = 0; c < bm.width; ++c)
                    canvas.blend(left + int(c), top + int(r), ink, bm.buffer[r * bm.pitch + c]);
            x += int(face_->glyph->advance.x >> 6);
        }
        return x;
    }

    // Sets a paragraph flush left within [left, right]; returns the baseline after its last line.
    int paragraph(Canvas& canvas, int left, int right, int baseline, const std::string& text,
                  const uint8_t* ink) {
        std::istringstream words(text);
        std::string word;
        int x = left;
        const int space = advance(" ");
        while (words >> word) {
            const int w = advance(word);
            if (x > left && x + w > right) {
                x = left;
                baseline += lineHeight();
            }
            x = draw(canvas, x, baseline, word, ink) + space;
        }
        return baseline + lineHeight();
    }

private:
    FT_Face face_ = nullptr;
};

const char* kParagraphs[] = {
    "The feeder takes up to twenty sheets of ordinary office paper. Square the stack against the left guide, "
    "slide the right guide in until it touches the paper, and press the scan key once. Each sheet is drawn "
    "past both sensors, so the front and the back of every page are read in a single pass.",
    "Before the first page of a batch the scanner measures its lamps against the white strip behind the "
    "glass. "
    "The measurement takes a few seconds and is repeated only when the resolution or the colour mode "
    "changes, "
    "or after five minutes without scanning.",
    "If two sheets are drawn in together the scanner stops and reports a double feed. Take the sheets out of "
    "the exit tray, place them back on top of the stack and continue. A sheet that stops half way is a paper "
    "jam: open the cover, remove the sheet gently in the direction of travel and close the cover again.",
    "Pages that are nearly empty can be left out of the result. The blank page setting counts the dark "
    "specks "
    "on each side and drops a side whose marks stay below the chosen level; stamps, punch holes and dust are "
    "usually below it, a single line of handwriting is not.",
    "Clean the rollers every few thousand sheets with a lint-free cloth moistened with water. The service "
    "counters in the settings show how many sheets have passed since the rollers and the separation pad were "
    "last replaced.",
};

const char* kSpecifications[][2] = {
    {"Sensor", "two contact image sensors, front and back"},
    {"Resolution", "150, 200, 240, 300, 400 and 600 dpi"},
    {"Paper", "52 to 127 g/m2, A8 to legal, long pages to 1 m"},
    {"Feeder", "20 sheets, continuous feeding"},
    {"Double feed", "by length or ultrasonic sensor"},
    {"Interface", "USB 2.0, bulk transfers"},
};

const uint8_t kInk[3] = {28, 28, 32};
const uint8_t kGreyInk[3] = {110, 110, 110};

// A two-column table with a rule under each row.
int specificationTable(Canvas& page, Typesetter& serif, Typesetter& bold, int left, int baseline) {
    serif.size(10);
    bold.size(10);
    const int column = left + kDpi * 3 / 2;
    for (const auto& row : kSpecifications) {
        bold.draw(page, left, baseline, row[0], kInk);
        serif.draw(page, column, baseline, row[1], kInk);
        page.fill(left, baseline + serif.lineHeight() / 3, page.width - left,
                  baseline + serif.lineHeight() / 3 + 2, kGreyInk);
        baseline += serif.lineHeight() * 3 / 2;
    }
    return baseline;
}

int textPage(Canvas& page, Typesetter& serif, Typesetter& bold, const std::string& title, int first,
             int count) {
    const int margin = kDpi; // one inch
    bold.size(18);
    int baseline = margin + bold.lineHeight();
    bold.draw(page, margin, baseline, title, kInk);
    baseline += bold.lineHeight();
    serif.size(11);
    for (int i = 0; i < count; ++i) {
        baseline = serif.paragraph(page, margin, page.width - margin, baseline,
                                   kParagraphs[(first + i) % std::size(kParagraphs)], kInk);
        baseline += serif.lineHeight() / 2;
    }
    serif.size(9);
    serif.draw(page, margin, page.height - margin / 2, "K3100 user notes - sample page", kGreyInk);
    return baseline;
}

Canvas nearBlankPage() {
    Canvas page(kA4Wide, kA4Long, 1, 246);
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    const uint8_t speck[3] = {40, 40, 40};
    for (int i = 0; i < 40; ++i) {
        const int x = int(next() % uint32_t(page.width));
        const int y = int(next() % uint32_t(page.height));
        const int r = 1 + int(next() % 3);
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx)
                if (dx * dx + dy * dy <= r * r)
                    page.blend(x + dx, y + dy, speck, 200);
    }
    return page;
}

Canvas colourPage(Typesetter& serif, Typesetter& bold) {
    Canvas page(kA4Wide, kA4Long, 3, 250);
    const uint8_t band[3] = {30, 70, 150}, white[3] = {255, 255, 255};
    page.fill(0, 0, page.width, kDpi, band);
    bold.size(24);
    bold.draw(page, kDpi, kDpi * 2 / 3, "Colour test sheet", white);
    const uint8_t swatches[][3] = {{200, 30, 30}, {30, 160, 60}, {30, 60, 190}, {230, 200, 30}, {20, 20, 20}};
    for (int i = 0; i < 5; ++i)
        page.fill(kDpi + i * kDpi * 13 / 10, kDpi * 3 / 2, kDpi * 2 + i * kDpi * 13 / 10, kDpi * 5 / 2,
                  swatches[i]);
    // A smooth hue sweep stands in for a photograph.
    for (int y = kDpi * 3; y < kDpi * 6; ++y)
        for (int x = kDpi; x < page.width - kDpi; ++x) {
            const double t = double(x - kDpi) / (page.width - 2 * kDpi),
                         s = double(y - kDpi * 3) / (kDpi * 3);
            const uint8_t c[3] = {uint8_t(255 * (1 - t) * (1 - s / 2)), uint8_t(255 * t * (1 - s / 2)),
                                  uint8_t(255 * s)};
            page.blend(x, y, c, 255);
        }
    const uint8_t blueInk[3] = {20, 30, 110};
    serif.size(11);
    int baseline = kDpi * 6 + kDpi / 2;
    for (int i = 0; i < 2; ++i)
        baseline = serif.paragraph(page, kDpi, page.width - kDpi, baseline, kParagraphs[i], blueInk) + 20;
    return page;
}

bool writeTiff(const std::string& path, const Canvas& page, const std::string& description) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        return false;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(page.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(page.height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, page.channels);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, page.channels == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, 2);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, float(kDpi));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, float(kDpi));
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 64);
    if (!description.empty())
        TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, description.c_str());
    bool ok = true;
    for (int y = 0; y < page.height && ok; ++y)
        ok = TIFFWriteScanline(tiff,
                               const_cast<uint8_t*>(&page.pixels[size_t(y) * page.width * page.channels]),
                               uint32_t(y), 0) == 1;
    TIFFClose(tiff);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: k3100-make-samples OUTPUT-DIR SERIF-FONT SANS-BOLD-FONT\n";
        return 2;
    }
    const std::string dir = argv[1];
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0)
        return 1;
    int status = 0;
    {
        Typesetter serif(library, argv[2]), bold(library, argv[3]);
        if (!serif.ok() || !bold.ok()) {
            std::cerr << "k3100-make-samples: cannot load the fonts\n";
            status = 1;
        } else {
            Canvas text(kA4Wide, kA4Long, 1, 247);
            const int end = textPage(text, serif, bold, "Using the document feeder", 0, 5);
            specificationTable(text, serif, bold, kDpi, end + kDpi / 3);
            Canvas tilted(kA4Wide, kA4Long, 1, 244);
            textPage(tilted, serif, bold, "Care and maintenance", 2, 3);
            const bool ok = writeTiff(dir + "/01-text.tif", text, "") &&
                            writeTiff(dir + "/02-text-skewed.tif", tilted, "k3100:skew=3.5") &&
                            writeTiff(dir + "/03-near-blank.tif", nearBlankPage(), "") &&
                            writeTiff(dir + "/04-colour.tif", colourPage(serif, bold), "");
            if (!ok) {
                std::cerr << "k3100-make-samples: cannot write to " << dir << "\n";
                status = 1;
            }
        }
    }
    FT_Done_FreeType(library);
    return status;
}
