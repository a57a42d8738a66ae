// Text direction against the Tesseract command line on the same pages: real prose in several fonts and
// sizes on A4 at 300 dpi, each turned by every quarter. For each page and turn it runs our detection (as
// the page pipeline does: open, detect, close) and `tesseract <page> - --psm 0`, and prints who got the
// turn right and the CPU time each took. Run on one core: taskset -c 0 bin/direction_bench [folder
// [skew [fonts]]]; skew tilts every page by that many degrees first, fonts takes only the first few.
#include "test_pages.h"
#include "vellumv2.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

struct Tally {
    int right = 0;
    int total = 0;
    double seconds = 0;
    double worst = 0;
    void add(bool correct, double s) {
        right += correct;
        ++total;
        seconds += s;
        worst = std::max(worst, s);
    }
};

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

double childSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int32_t ours(const vlmtest::Page& page, double& seconds) {
    const double start = threadSeconds();
    int32_t degrees = -1;
    double radians = 0;
    const PdfPageImageDesc desc = page.desc();
    if (VLMC_exmodeset(VLM_MODE_DETECT, VLM_LANG_ENGLISH, 0) != VLM_OK ||
        VLMC_exopen(nullptr, VLM_OPEN_DETECT, 0) != VLM_OK ||
        VLMD_spdetect(&desc, &degrees, &radians) != VLM_OK)
        degrees = -1;
    VLMC_exclose(0);
    seconds = threadSeconds() - start;
    return degrees;
}

void writePgm(const vlmtest::Page& page, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << page.width << " " << page.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(page.pixels.data()),
              static_cast<std::streamsize>(page.pixels.size()));
}

// Tesseract's "Orientation in degrees" is the clockwise turn of the text, as ours; -1 when it gives none.
int32_t tesseractCli(const vlmtest::Page& page, const std::string& path, double& seconds) {
    writePgm(page, path);
    const double start = childSeconds();
    const std::string output = vlmtest::run("tesseract '" + path + "' - --psm 0 2>&1");
    seconds = childSeconds() - start;
    const std::size_t at = output.find("Orientation in degrees: ");
    return at == std::string::npos ? -1 : std::stoi(output.substr(at + 24));
}

// The page tilted by a small angle as a scanner feeds it (a shear, which is the same for a degree or two),
// about its centre; what leaves the page is lost, what enters is white.
vlmtest::Page skewed(const vlmtest::Page& page, double degrees) {
    const double slope = std::tan(degrees * 3.14159265358979 / 180);
    vlmtest::Page out = page;
    std::fill(out.pixels.begin(), out.pixels.end(), 255);
    for (int32_t x = 0; x < page.width; ++x) {
        const auto shift = static_cast<int32_t>(std::lround((x - page.width / 2) * slope));
        for (int32_t y = std::max(0, -shift); y < std::min(page.height, page.height - shift); ++y)
            out.pixels[size_t(y + shift) * size_t(page.sync) + size_t(x)] =
                page.pixels[size_t(y) * size_t(page.sync) + size_t(x)];
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 && *argv[1] ? argv[1] : vlmtest::scratchFolder("direction-bench");
    const double skewDegrees = argc > 2 ? std::atof(argv[2]) : 0;
    const bool withCli = vlmtest::run("command -v tesseract").size() > 0;
    const vlmtest::TextStyle styles[] = {{"Helvetica", 9},       {"Times-Roman", 10},  {"Courier", 10},
                                         {"Helvetica-Bold", 12}, {"Times-Italic", 12}, {"Times-Roman", 14},
                                         {"Helvetica", 18},      {"Courier-Bold", 8}};
    const size_t fonts = argc > 3
                             ? std::clamp<size_t>(std::strtoul(argv[3], nullptr, 10), 1, std::size(styles))
                             : std::size(styles);
    Tally ourTally, cliTally;
    std::printf("%-16s %4s %5s | %6s %8s | %6s %8s\n", "font", "pt", "turn", "ours", "s", "cli", "s");
    size_t paragraph = 0;
    for (const vlmtest::TextStyle& style : std::span(styles).first(fonts)) {
        vlmtest::Page page =
            vlmtest::renderText(vlmtest::proseLines(style, paragraph++), 300, 595, 842, style);
        if (skewDegrees != 0)
            page = skewed(page, skewDegrees);
        for (int32_t turn : {0, 90, 180, 270}) {
            double ourSeconds = 0, cliSeconds = 0;
            const int32_t found = ours(page, ourSeconds);
            ourTally.add(found == turn, ourSeconds);
            int32_t cli = -1;
            if (withCli) {
                cli = tesseractCli(page, folder + "/page.pgm", cliSeconds);
                cliTally.add(cli == turn, cliSeconds);
            }
            std::printf("%-16s %4d %5d | %6d %8.3f | %6d %8.3f\n", style.font.c_str(), style.sizePt, turn,
                        found, ourSeconds, cli, cliSeconds);
            std::fflush(stdout);
            page = vlmtest::rotateClockwise(page);
        }
    }
    std::printf("ours: %d of %d right, %.3f s per page on average, %.3f s at most\n", ourTally.right,
                ourTally.total, ourTally.seconds / ourTally.total, ourTally.worst);
    if (withCli)
        std::printf("tesseract --psm 0: %d of %d right, %.3f s per page on average, %.3f s at most\n",
                    cliTally.right, cliTally.total, cliTally.seconds / cliTally.total, cliTally.worst);
    std::filesystem::remove_all(folder);
    return ourTally.right == ourTally.total ? 0 : 1;
}
