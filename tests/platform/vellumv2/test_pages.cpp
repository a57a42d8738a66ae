// Helpers of the vellumv2 tests. pdftoppm renders the text with whatever font the system substitutes
// for Helvetica, which is exactly the kind of page a scanner delivers.
#include "test_pages.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace vlmtest {
namespace {

std::string textPdf(const std::vector<std::string>& lines, int32_t widthPt, int32_t heightPt) {
    std::string content = "BT /F1 14 Tf 40 " + std::to_string(heightPt - 50) + " Td 18 TL\n";
    for (const std::string& line : lines)
        content += "(" + line + ") '\n";
    content += "ET\n";
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + std::to_string(widthPt) + " " +
            std::to_string(heightPt) + "] /Resources << /Font << /F1 5 0 R >> >> /Contents 4 0 R >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
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
    const auto folder =
        std::filesystem::temp_directory_path() / ("vellumv2-test-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

Page renderText(const std::vector<std::string>& lines, int32_t dpi, int32_t widthPt, int32_t heightPt) {
    const std::string folder = scratchFolder("render");
    std::ofstream(folder + "/text.pdf", std::ios::binary) << textPdf(lines, widthPt, heightPt);
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
