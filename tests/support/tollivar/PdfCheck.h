// What end-to-end tests ask of a PDF that a program wrote: its page count as pdfinfo reads it and
// whether qpdf finds its structure sound (both from poppler-utils and qpdf, see scripts/setup).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace test {

// The page count; -1 when pdfinfo cannot read the file.
inline int pdfPageCount(const std::filesystem::path& pdf) {
    std::string out;
    if (FILE* pipe = popen(("pdfinfo '" + pdf.string() + "' 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    const std::size_t at = out.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 6);
}

inline bool pdfIsSound(const std::filesystem::path& pdf) {
    return std::system(("qpdf --check '" + pdf.string() + "' >/dev/null 2>&1").c_str()) == 0;
}

} // namespace test
