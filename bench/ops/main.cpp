// Command-line front of our page operations for bench/compare: reads a page, runs one operation, writes
// the result, and reports the time from the first read to the last write on stderr.
// usage: k3100-ops binarise|reduce|blank|slant|deskew|grey|tone DPI IN.pnm [OUT.pnm] [OUT-DPI]
//        k3100-ops pdf|tiff|tiff-zip DPI IN.pnm OUT, k3100-ops jpeg DPI IN.pnm OUT QUALITY
//        k3100-ops read DPI IN.pnm: the page read for the TIFF and JPEG writers, nothing written
#include "FileOps.h"
#include "PageOps.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <utility>

namespace {
int Usage() {
    std::cerr
        << "usage: k3100-ops binarise|reduce|blank|slant|deskew|grey|tone DPI IN.pnm [OUT.pnm] [OUT-DPI]\n"
           "       k3100-ops pdf|tiff|tiff-zip DPI IN.pnm OUT, k3100-ops jpeg DPI IN.pnm OUT QUALITY\n"
           "       k3100-ops read DPI IN.pnm\n";
    return 2;
}

int Run(int argc, char** argv) {
    const std::string op = argv[1];
    const int32_t dpi = std::atoi(argv[2]);
    const std::string in = argv[3];
    const std::string out = argc > 4 ? argv[4] : "";
    const auto start = std::chrono::steady_clock::now();
    if (op == "binarise")
        Binarise(in, out, dpi);
    else if (op == "reduce")
        Reduce(in, out, dpi, argc > 5 ? std::atoi(argv[5]) : dpi / 2);
    else if (op == "blank")
        std::cout << Blank(in, dpi);
    else if (op == "grey")
        ToGrey(in, out, dpi);
    else if (op == "tone")
        ToneCurve(in, out, dpi, 1.8);
    else if (op == "slant")
        std::cout << Slant(ReadPnm(in), dpi);
    else if (op == "deskew")
        WritePnm(out, Deskew(ReadPnm(in), dpi));
    else if (op == "pdf")
        WritePdf(in, out, dpi);
    else if (op == "tiff" || op == "tiff-zip")
        WriteTiffFile(in, out, dpi, op == "tiff-zip");
    else if (op == "read")
        std::cout << ReadForWriters(in, dpi) << " bytes\n";
    else if (op == "jpeg")
        WriteJpegFile(in, out, dpi, argc > 5 ? std::atoi(argv[5]) : 75);
    else
        return Usage();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::cerr << "k3100-ops " << op << ' ' << took.count() << " ms\n";
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return Usage();
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "k3100-ops: " << e.what() << '\n';
        return 1;
    }
}
