// Run-length cleaning of the busy-block map. A line is split into its maximal runs; short set runs are
// cleared, then short clear runs are set, each pass judging every run by its length before the pass.
// The first and last run of a line are never touched, so a class reaching the border keeps its extent.
#include "AdaptRegion.h"

#include "OvkBits.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

struct Run {
    bool set;
    int32_t length;
};

// End of the run that starts at bit `start`; whole bytes of the run's colour are skipped at once.
int32_t RunEnd(const unsigned char* line, int32_t start, int32_t width, bool set) {
    const unsigned char full = set ? 0xFF : 0x00;
    int32_t x = start;
    while (x < width) {
        if (x % 8 == 0 && x + 8 <= width && line[x / 8] == full) {
            x += 8;
        } else if ((GetBit(line, x) != 0) == set) {
            ++x;
        } else {
            break;
        }
    }
    return x;
}

std::vector<Run> GetRunLen(const unsigned char* line, int32_t width) {
    std::vector<Run> runs;
    for (int32_t x = 0; x < width;) {
        const bool set = GetBit(line, x) != 0;
        const int32_t end = RunEnd(line, x, width, set);
        runs.push_back({set, end - x});
        x = end;
    }
    return runs;
}

// Flips the inner runs of colour `set` that are at most k long, then merges neighbours of equal colour.
void EraseRunLenNoise(std::vector<Run>& runs, int32_t k, bool set) {
    for (size_t i = 1; i + 1 < runs.size(); ++i) {
        if (runs[i].set == set && runs[i].length <= k) {
            runs[i].set = !set;
        }
    }
    size_t out = 0;
    for (size_t i = 1; i < runs.size(); ++i) {
        if (runs[i].set == runs[out].set) {
            runs[out].length += runs[i].length;
        } else {
            runs[++out] = runs[i];
        }
    }
    runs.resize(runs.empty() ? 0 : out + 1);
}

void SetRunLen(unsigned char* line, int32_t width, const std::vector<Run>& runs) {
    std::memset(line, 0, static_cast<size_t>((width + 7) / 8));
    int32_t x = 0;
    for (const Run& run : runs) {
        if (run.set) {
            BitSet(line, x, 1, run.length);
        }
        x += run.length;
    }
}

} // namespace

namespace RunLenFilter {

void FilterLine(unsigned char* line, int32_t width, int32_t k) {
    std::vector<Run> runs = GetRunLen(line, width);
    EraseRunLenNoise(runs, k, true);
    EraseRunLenNoise(runs, k, false);
    SetRunLen(line, width, runs);
}

int RunLenFilter(CImageInfoPtr& image) {
    for (int32_t k = 1; k <= 4; ++k) {
        // Odd passes work across the image (turned), even ones along it (turned back).
        if ((k % 2 == 1 ? image.Rotate90R() : image.Rotate90L()) == 0) {
            return 0;
        }
        const ptrdiff_t sync = image->GetSync();
        for (int32_t y = 0; y < image->GetHeight(); ++y) {
            FilterLine(image->GetPtr() + sync * y, image->GetWidth(), k);
        }
    }
    return 1;
}

} // namespace RunLenFilter

namespace EdgeCorrection {

// One bit a block, set where the block is not busy.
int EdgeInfoToRoughBin(CImageInfoPtr& rough, const CImageInfo& edge) {
    const int32_t bw = edge.GetWidth();
    const int32_t bh = edge.GetHeight();
    if (rough.CreateImage(bw, PaddedLineBytes(bw), bh, 1, 1, edge.GetXResolution(), edge.GetYResolution()) ==
        0) {
        return 0;
    }
    std::memset(rough->GetPtr(), 0, rough->GetSize());
    for (int32_t y = 0; y < bh; ++y) {
        for (int32_t x = 0; x < bw; ++x) {
            const uint8_t code = GetBlockCode(edge, x, y);
            rough->PSET2(x, y, code != kBlockBusyContrast && code != kBlockBusy);
        }
    }
    return 1;
}

// Blocks the filter moved into the busy class become busy, those it moved out become edge or flat.
void FeedbackRoughBinToEdgeInfo(CImageInfo& edge, const CImageInfo& changed) {
    for (int32_t y = 0; y < edge.GetHeight(); ++y) {
        for (int32_t x = 0; x < edge.GetWidth(); ++x) {
            if (changed.PGET2(x, y) == 0) {
                continue;
            }
            switch (GetBlockCode(edge, x, y)) {
            case kBlockBusyContrast:
                SetBlockCode(edge, x, y, kBlockWeakEdge);
                break;
            case kBlockWeakEdge:
            case kBlockStrongEdge:
                SetBlockCode(edge, x, y, kBlockBusyContrast);
                break;
            case kBlockBusy:
                SetBlockCode(edge, x, y, kBlockFlat);
                break;
            case kBlockFlat:
                SetBlockCode(edge, x, y, kBlockBusy);
                break;
            default:
                break;
            }
        }
    }
}

// dst ^= img over the leading bytes of every line.
void XorImage(CImageInfo& dst, const CImageInfo& img) {
    const size_t bytes = static_cast<size_t>((dst.GetWidth() + 7) / 8);
    for (int32_t y = 0; y < dst.GetHeight(); ++y) {
        unsigned char* d = dst.PixelPtr(0, y);
        const unsigned char* s = img.PixelPtr(0, y);
        for (size_t i = 0; i < bytes; ++i) {
            d[i] ^= s[i];
        }
    }
}

} // namespace EdgeCorrection

namespace AdaptRegionBin {

// Without memory the classification simply stays as detected.
int IpEdgeCorrection(CImageInfoPtr& edge) {
    try {
        CImageInfoPtr rough;
        CImageInfoPtr filtered;
        if (EdgeCorrection::EdgeInfoToRoughBin(rough, *edge) == 0 || CopyCImageInfo(filtered, rough) == 0 ||
            RunLenFilter::RunLenFilter(filtered) == 0) {
            return 0;
        }
        EdgeCorrection::XorImage(*rough, *filtered);
        EdgeCorrection::FeedbackRoughBinToEdgeInfo(*edge, *rough);
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

} // namespace AdaptRegionBin
