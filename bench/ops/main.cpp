// Command-line front of our page operations for bench/compare: reads a page, runs one operation, writes
// the result, and reports the operation's own time on stderr so that I/O can be told apart.
// usage: k3100-ops binarise|reduce|blank|slant|deskew|grey|tone DPI IN.pnm [OUT.pnm] [OUT-DPI]
#include "PageOps.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <utility>

namespace {
int Usage() {
    std::cerr
        << "usage: k3100-ops binarise|reduce|blank|slant|deskew|grey|tone DPI IN.pnm [OUT.pnm] [OUT-DPI]\n";
    return 2;
}

int Run(int argc, char** argv) {
    const std::string op = argv[1];
    const int32_t dpi = std::atoi(argv[2]);
    PnmImage page = ReadPnm(argv[3]);
    const std::string out = argc > 4 ? argv[4] : "";
    const auto start = std::chrono::steady_clock::now();
    PnmImage result;
    if (op == "binarise")
        result = Binarise(page, dpi);
    else if (op == "reduce")
        result = Reduce(page, dpi, argc > 5 ? std::atoi(argv[5]) : dpi / 2);
    else if (op == "blank")
        std::cout << Blank(page, dpi);
    else if (op == "slant")
        std::cout << Slant(page, dpi);
    else if (op == "deskew")
        result = Deskew(std::move(page), dpi);
    else if (op == "grey")
        result = ToGrey(std::move(page), dpi);
    else if (op == "tone")
        result = ToneCurve(std::move(page), dpi, 1.8);
    else
        return Usage();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::cerr << "k3100-ops " << op << ' ' << took.count() << " ms\n";
    if (!out.empty() && !result.pixels.empty())
        WritePnm(out, result);
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
