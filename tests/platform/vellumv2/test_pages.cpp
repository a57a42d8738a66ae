// Helpers of the vellumv2 tests. pdftoppm renders the text with whatever font the system substitutes
// for Helvetica, which is exactly the kind of page a scanner delivers.
#include "test_pages.h"

#include "TempFolder.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace vlmtest {
namespace {

std::string textPdf(const std::vector<std::string>& lines, int32_t widthPt, int32_t heightPt,
                    const TextStyle& style) {
    const int32_t leading = style.sizePt * 9 / 7; // 18 pt lines for 14 pt text
    std::string content = "BT /F1 " + std::to_string(style.sizePt) + " Tf 40 " +
                          std::to_string(heightPt - 50) + " Td " + std::to_string(leading) + " TL\n";
    for (const std::string& line : lines)
        content += "(" + line + ") '\n";
    content += "ET\n";
    if (style.tiltDegrees != 0) {
        const double a = style.tiltDegrees * std::numbers::pi / 180.0;
        const double c = std::cos(a), s = std::sin(a), cx = widthPt / 2.0, cy = heightPt / 2.0;
        char turn[160];
        std::snprintf(turn, sizeof turn, "q %.5f %.5f %.5f %.5f %.3f %.3f cm\n", c, s, -s, c,
                      cx - c * cx + s * cy, cy - s * cx - c * cy);
        content = turn + content + "Q\n";
    }
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + std::to_string(widthPt) + " " +
            std::to_string(heightPt) + "] /Resources << /Font << /F1 5 0 R >> >> /Contents 4 0 R >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /" + style.font + " >>",
    };
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    char entry[32];
    for (size_t offset : offsets) {
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    return pdf + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
}

Page readPgm(const std::string& path, int32_t dpi) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    Page page;
    in >> magic >> page.width >> page.height >> maxValue;
    in.get();
    if (magic != "P5" || maxValue != 255 || page.width <= 0 || page.height <= 0)
        throw std::runtime_error("pdftoppm gave no 8-bit grey image");
    page.sync = page.width;
    page.resolution = dpi;
    page.pixels.resize(static_cast<size_t>(page.width) * static_cast<size_t>(page.height));
    in.read(reinterpret_cast<char*>(page.pixels.data()), static_cast<std::streamsize>(page.pixels.size()));
    if (!in)
        throw std::runtime_error("short image from pdftoppm");
    return page;
}

} // namespace

std::string run(const std::string& command, int* status) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    std::string output;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        output.append(buffer, n);
    const int raw = pclose(pipe.release());
    if (status != nullptr)
        *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

std::string scratchFolder(const std::string& name) {
    static const TempFolder scratch; // goes when the test program ends
    const auto folder = scratch / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

Page renderText(const std::vector<std::string>& lines, int32_t dpi, int32_t widthPt, int32_t heightPt,
                const TextStyle& style) {
    const std::string folder = scratchFolder("render");
    std::ofstream(folder + "/text.pdf", std::ios::binary) << textPdf(lines, widthPt, heightPt, style);
    int status = 0;
    run("pdftoppm -gray -r " + std::to_string(dpi) + " -singlefile " + folder + "/text.pdf " + folder +
            "/page",
        &status);
    if (status != 0)
        throw std::runtime_error("pdftoppm failed");
    Page page = readPgm(folder + "/page.pgm", dpi);
    std::filesystem::remove_all(folder);
    return page;
}

Page rotateClockwise(const Page& grey) {
    Page turned = grey;
    turned.width = grey.height;
    turned.height = grey.width;
    turned.sync = turned.width;
    for (int32_t y = 0; y < grey.height; ++y)
        for (int32_t x = 0; x < grey.width; ++x)
            turned.pixels[static_cast<size_t>(x) * static_cast<size_t>(turned.width) +
                          static_cast<size_t>(grey.height - 1 - y)] =
                grey.pixels[static_cast<size_t>(y) * static_cast<size_t>(grey.sync) + static_cast<size_t>(x)];
    return turned;
}

Page toBgr(const Page& grey) {
    Page colour = grey;
    colour.kind = VLM_KIND_BGR;
    colour.sync = grey.width * 3;
    colour.pixels.clear();
    for (int32_t y = 0; y < grey.height; ++y)
        for (int32_t x = 0; x < grey.width; ++x)
            colour.pixels.insert(colour.pixels.end(), 3, grey.pixels[static_cast<size_t>(y * grey.sync + x)]);
    return colour;
}

Page toBw(const Page& grey) {
    Page bw = grey;
    bw.kind = VLM_KIND_BW;
    bw.sync = (grey.width + 7) / 8;
    bw.pixels.assign(static_cast<size_t>(bw.sync) * static_cast<size_t>(grey.height), 0);
    for (int32_t y = 0; y < grey.height; ++y)
        for (int32_t x = 0; x < grey.width; ++x)
            if (grey.pixels[static_cast<size_t>(y * grey.sync + x)] < 128)
                bw.pixels[static_cast<size_t>(y * bw.sync + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    return bw;
}

} // namespace vlmtest

namespace vlmtest {
namespace {

// Openings of public-domain novels: real sentences with the letter shapes, word lengths and punctuation
// of body text, unlike a repeated test line.
const char* const kParagraphs[] = {
    "It is a truth universally acknowledged, that a single man in possession of a good fortune, must be in "
    "want of a wife. However little known the feelings or views of such a man may be on his first entering "
    "a neighbourhood, this truth is so well fixed in the minds of the surrounding families, that he is "
    "considered the rightful property of some one or other of their daughters.",
    "It was the best of times, it was the worst of times, it was the age of wisdom, it was the age of "
    "foolishness, it was the epoch of belief, it was the epoch of incredulity, it was the season of Light, "
    "it was the season of Darkness, it was the spring of hope, it was the winter of despair, we had "
    "everything before us, we had nothing before us.",
    "Call me Ishmael. Some years ago, never mind how long precisely, having little or no money in my purse, "
    "and nothing particular to interest me on shore, I thought I would sail about a little and see the "
    "watery part of the world. It is a way I have of driving off the spleen and regulating the circulation.",
    "Happy families are all alike; every unhappy family is unhappy in its own way. Everything was in "
    "confusion in the house. The wife had discovered that the husband was carrying on an intrigue with a "
    "French girl, who had been a governess in their family, and she had announced to her husband that she "
    "could not go on living in the same house with him.",
    "In my younger and more vulnerable years my father gave me some advice that I have been turning over in "
    "my mind ever since. Whenever you feel like criticizing any one, he told me, just remember that all the "
    "people in this world have not had the advantages that you have had.",
    "The mole had been working very hard all the morning, spring-cleaning his little home. First with "
    "brooms, then with dusters; then on ladders and steps and chairs, with a brush and a pail of whitewash; "
    "till he had dust in his throat and eyes, and splashes of whitewash all over his black fur.",
};

} // namespace

std::vector<std::string> proseLines(const TextStyle& style, size_t firstParagraph) {
    // Average advance of a letter: about half the size, three fifths for the fixed-pitch font.
    const double advance = style.sizePt * (style.font.rfind("Courier", 0) == 0 ? 0.6 : 0.5);
    const size_t width = static_cast<size_t>(515 / advance); // A4 less the margins, in characters
    const size_t lineCount = static_cast<size_t>(760 / (style.sizePt * 9 / 7));
    std::vector<std::string> lines;
    for (size_t p = firstParagraph; lines.size() < lineCount; ++p) {
        std::istringstream words(kParagraphs[p % std::size(kParagraphs)]);
        std::string line;
        for (std::string word; words >> word;) {
            if (!line.empty() && line.size() + 1 + word.size() > width) {
                lines.push_back(line);
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
        }
        lines.push_back(line);
        lines.emplace_back(); // paragraph gap
    }
    lines.resize(lineCount);
    return lines;
}

} // namespace vlmtest
