// Edge emphasis: kernels on a centre pixel with known neighbours, uniform pages unchanged by every class,
// colour channels and planes worked on alone, the band protocol with its one line of delay and any band
// split giving the whole-page result, refused records and handles, and the older process-wide functions.
#include "EdgeEmphasis/EdgeFuncClasses.h"
#include "EdgeEmphasis/EdgeFuncColor.h"
#include "EdgeEmphasis/EdgeFuncOld.h"
#include "EdgeEmphasis/EdgeKernels.h"
#include "EdgeEmphasis/EdgeLevels.h"
#include "EdgeEmphasis/OvkEdgeFunc.h"
#include "ImageRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {
struct Page {
    int32_t width, height, spp;
    uint32_t order;
    std::vector<uint8_t> pixels;
    Page(int32_t w, int32_t h, int32_t samples = 1, uint32_t ord = kOvkPixelOrder)
        : width(w), height(h), spp(samples), order(ord), pixels(static_cast<size_t>(w) * h * samples, 0) {}
    int32_t stride() const { return width * spp; }
    uint8_t& at(int32_t x, int32_t y, int32_t c = 0) {
        const size_t row = static_cast<size_t>(y) * stride();
        return pixels[row + (order == kOvkLineOrder ? c * width + x : x * spp + c)];
    }
    tagOVKIMAGEINFO record(int32_t first, int32_t lines) {
        return imagetest::imageRecord<tagOVKIMAGEINFO>(
            width, lines, order == kOvkLineOrder ? width : stride(), 8, spp, order,
            pixels.data() + static_cast<size_t>(first) * stride());
    }
    void fill(uint8_t v) { pixels.assign(pixels.size(), v); }
    void randomise(unsigned seed) {
        std::mt19937 rng(seed);
        for (auto& p : pixels)
            p = static_cast<uint8_t>(rng() % 4 == 0 ? rng() : 40 + rng() % 3 * 80);
    }
};

tagEDGEINFO Request(uintptr_t kind, uint32_t level) {
    return {kEdgeInfoSize, level, 0, kind};
}

// Runs the page through the band calls as the pipeline does: bands in place, the last one into a new image
// with room for the held line. Returns the page put out; `reported` gets each call's lines.
std::vector<uint8_t> Emphasise(Page page, uintptr_t kind, uint32_t level, const std::vector<int32_t>& bands,
                               std::vector<int32_t>* reported = nullptr) {
    tagEDGEINFO info = Request(kind, level);
    std::vector<uint8_t> out;
    const auto take = [&](const tagOVKIMAGEINFO& dst) {
        out.insert(out.end(), dst.lpImage, dst.lpImage + static_cast<size_t>(dst.lHeight) * page.stride());
        if (reported)
            reported->push_back(dst.lHeight);
    };
    int32_t first = 0, held = 0;
    for (size_t k = 0; k < bands.size(); ++k) {
        tagOVKIMAGEINFO src = page.record(first, bands[k]);
        tagOVKIMAGEINFO dst = src;
        if (k + 1 < bands.size() || k == 0) {
            EXPECT_EQ((k == 0 ? EdgeFuncStartEx : EdgeFuncContEx)(&dst, &src, &info), 0);
            take(dst);
            held += src.lHeight - dst.lHeight;
            first += bands[k];
        }
        if (k + 1 == bands.size()) {
            const bool alone = k == 0;
            Page tail(page.width, held + (alone ? 0 : bands[k]), page.spp, page.order);
            tagOVKIMAGEINFO last = tail.record(0, tail.height);
            tagOVKIMAGEINFO empty = page.record(0, 0);
            EXPECT_EQ(EdgeFuncFinishEx(&last, alone ? &empty : &src, &info), 0);
            take(last);
        }
    }
    EXPECT_EQ(info.hEdgeFunc, 0u);
    EXPECT_EQ(info.ulLineCount, static_cast<uint32_t>(page.height));
    return out;
}

// The centre pixel (2, 1) of a 5 x 3 page at 100 among pixels at `around`, after one class.
int Centre(uintptr_t kind, uint32_t level, uint8_t around, int32_t channel = 0) {
    const int32_t spp = kind == kEdgeKindGrey ? 1 : 3;
    Page page(5, 3, spp, kind == kEdgeKindLineOrder ? kOvkLineOrder : kOvkPixelOrder);
    page.fill(around);
    page.at(2, 1, channel) = 100;
    const std::vector<uint8_t> out = Emphasise(page, kind, level, {3});
    page.pixels = out;
    return page.at(2, 1, channel);
}
} // namespace

TEST(EdgeEmphasis, KernelsOnACentrePixel) {
    const struct {
        uintptr_t kind;
        uint32_t level;
        uint8_t around;
        int expected;
    } cases[] = {
        // d = 4 * 100 - 4 * 50 = 200 through each grey table.
        {kEdgeKindGrey, 2, 50, 112},
        {kEdgeKindGrey, 3, 50, 112},
        {kEdgeKindGrey, 4, 50, 150},
        {kEdgeKindGrey, 5, 50, 255},
        {kEdgeKindGrey, 6, 50, 112},
        {kEdgeKindGrey, 7, 50, 125},
        {kEdgeKindGrey, 8, 50, 150},
        {kEdgeKindGrey, 9, 50, 200},
        {kEdgeKindGrey, 10, 50, 255},
        {kEdgeKindGrey, 2, 150, 88}, // d = -200: -12.5 truncates toward zero
        {kEdgeKindGrey, 1, 50, 100}, // copy
        // Five by three: d = 12 * 100 - 12 * 50 = 600, with gain 8/8 and 2/8.
        {kEdgeKindGrey, 0x403, 50, 255},
        {kEdgeKindGrey, 0xC02, 50, 250},
        {kEdgeKindGrey, 0x401, 50, 100},
        // Pixel-order colour: sharpening, smoothing (e = -200), unchanged.
        {kEdgeKindPixelOrder, 3, 50, 112},
        {kEdgeKindPixelOrder, 0x201, 50, 75},
        {kEdgeKindPixelOrder, 0x203, 50, 88},
        {kEdgeKindPixelOrder, 0x204, 50, 100},
        {kEdgeKindPixelOrder, 0x205, 50, 112},
        // Line-order colour: the planes' own tables.
        {kEdgeKindLineOrder, 1, 50, 112},
        {kEdgeKindLineOrder, 4, 50, 150},
    };
    for (const auto& c : cases)
        for (int32_t channel = 0; channel < (c.kind == kEdgeKindGrey ? 1 : 3); ++channel)
            EXPECT_EQ(Centre(c.kind, c.level, c.around, channel), c.expected)
                << "kind " << c.kind << " level " << std::hex << c.level << " channel " << channel;
}

namespace {
// The four-neighbour rule sample by sample: d = k * p - the sum of the k neighbours that exist.
template <class Kernel, int Sign>
std::vector<uint8_t> fourNeighbourByHand(const uint8_t* above, const std::vector<uint8_t>& line,
                                         const uint8_t* below, const int32_t* level) {
    const int32_t step = Kernel::kBytesPerPixel, n = static_cast<int32_t>(line.size());
    std::vector<uint8_t> out(line.size());
    for (int32_t i = 0; i < n; ++i) {
        int32_t k = 0, sum = 0;
        for (const int32_t j : {i - step, i + step})
            if (j >= 0 && j < n)
                ++k, sum += line[j];
        for (const uint8_t* other : {above, below})
            if (other)
                ++k, sum += other[i];
        out[i] = static_cast<uint8_t>(std::clamp(line[i] + level[Sign * (k * line[i] - sum)], 0, 255));
    }
    return out;
}

template <class Kernel, int Sign> void expectKernelFollowsTheRule(EdgeLevelRule rule) {
    std::mt19937 random(5);
    const std::vector<int32_t> table = MakeEdgeLevelTable(rule, Kernel::kLevelRange);
    const int32_t* level = table.data() + Kernel::kLevelRange;
    for (const int32_t width : {1, 2, 5, 11, 12, 40, 1001}) {
        const size_t n = static_cast<size_t>(width) * Kernel::kBytesPerPixel;
        std::vector<uint8_t> above(n), line(n), below(n), out(n + 1, 0xEE);
        for (auto* row : {&above, &line, &below})
            for (auto& v : *row)
                v = static_cast<uint8_t>(random() % 4 == 0 ? 255 * (random() % 2) : random());
        const uint8_t* neighbours[][2] = {
            {above.data(), below.data()}, {above.data(), nullptr}, {nullptr, nullptr}};
        for (const auto& pair : neighbours) {
            Kernel::Line(out.data(), pair[0], line.data(), pair[1], width, level);
            const std::vector<uint8_t> expected =
                fourNeighbourByHand<Kernel, Sign>(pair[0], line, pair[1], level);
            ASSERT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()))
                << "width " << width << ", lines " << (pair[0] != nullptr) + (pair[1] != nullptr);
            ASSERT_EQ(out[n], 0xEE) << "width " << width;
        }
    }
}
} // namespace

TEST(EdgeEmphasis, FourNeighbourKernelsFollowTheRuleOnWideLines) {
    expectKernelFollowsTheRule<GreyKernel, 1>(EdgeLevel::Full);
    expectKernelFollowsTheRule<ChannelKernel, 1>(EdgeLevel::Cored3);
    expectKernelFollowsTheRule<ChannelAverageKernel, -1>(EdgeLevel::Sixteenth);
}

TEST(EdgeEmphasis, ClassChosenByKindAndLevel) {
    std::vector<tagEDGEINFO> records;
    const auto made = [&](uintptr_t kind, uint32_t level) {
        tagEDGEINFO& info = records.emplace_back(Request(kind, level));
        CEdgeFunc* object = CreateEdgeFuncHandle(&info);
        if (object) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(object), info.hEdgeFunc);
            EXPECT_EQ(CreateEdgeFuncHandle(&info), object); // a live object is returned as it is
        }
        return object;
    };
    EXPECT_TRUE(dynamic_cast<CEdgeFuncColorV2RGB3*>(made(kEdgeKindPixelOrder, 0x203)));
    EXPECT_TRUE(dynamic_cast<CEdgeFuncColorRGB3*>(made(kEdgeKindPixelOrder, 3)));
    EXPECT_TRUE(dynamic_cast<CEdgeFuncMSforGray2*>(made(kEdgeKindGrey, 0xC02)));
    EXPECT_TRUE(dynamic_cast<CEdgeFuncMS4*>(made(kEdgeKindGrey0, 0x404)));
    EXPECT_TRUE(dynamic_cast<CEdgeFuncA*>(made(kEdgeKindGrey, 10)));
    EXPECT_TRUE(dynamic_cast<CEdgeFuncColor*>(made(kEdgeKindLineOrder, 5)));
    for (auto [kind, level] : {std::pair{kEdgeKindGrey, 0u}, std::pair{kEdgeKindGrey, 0x406u},
                               std::pair{kEdgeKindPixelOrder, 0x206u}, std::pair{kEdgeKindLineOrder, 6u},
                               std::pair{uintptr_t{2}, 1u}})
        EXPECT_EQ(made(kind, level), nullptr) << kind << " " << level;
    for (auto& info : records)
        ReleaseEdgeFuncHandle(&info);
}

TEST(EdgeEmphasis, UniformPageIsUnchangedByEveryClass) {
    std::vector<std::pair<uintptr_t, uint32_t>> classes;
    for (uint32_t level = 1; level <= 10; ++level)
        classes.emplace_back(kEdgeKindGrey, level);
    for (uint32_t k = 1; k <= 5; ++k)
        for (auto [kind, level] :
             {std::pair{kEdgeKindGrey, 0x400 + k}, std::pair{kEdgeKindGrey, 0xC00 + k},
              std::pair{kEdgeKindPixelOrder, k}, std::pair{kEdgeKindPixelOrder, 0x200 + k},
              std::pair{kEdgeKindLineOrder, k}})
            classes.emplace_back(kind, level);
    for (auto [kind, level] : classes) {
        Page page(9, 7, kind == kEdgeKindGrey ? 1 : 3,
                  kind == kEdgeKindLineOrder ? kOvkLineOrder : kOvkPixelOrder);
        page.fill(173);
        EXPECT_EQ(Emphasise(page, kind, level, {4, 3}), page.pixels) << kind << " " << level;
    }
}

TEST(EdgeEmphasis, ColourChannelsAndPlanesAreEachWorkedOnAlone) {
    Page pixelOrder(11, 9, 3);
    pixelOrder.randomise(3);
    Page planar(11, 9, 3, kOvkLineOrder);
    for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < 11; ++x)
            for (int32_t c = 0; c < 3; ++c)
                planar.at(x, y, c) = pixelOrder.at(x, y, c);
    Page rgb = pixelOrder, lines = planar;
    rgb.pixels = Emphasise(pixelOrder, kEdgeKindPixelOrder, 3, {5, 4});
    lines.pixels = Emphasise(planar, kEdgeKindLineOrder, 3, {9});
    for (int32_t c = 0; c < 3; ++c) {
        Page grey(11, 9);
        for (int32_t y = 0; y < 9; ++y)
            for (int32_t x = 0; x < 11; ++x)
                grey.at(x, y) = pixelOrder.at(x, y, c);
        grey.pixels = Emphasise(grey, kEdgeKindGrey, 3, {9}); // the same table on one channel
        for (int32_t y = 0; y < 9; ++y)
            for (int32_t x = 0; x < 11; ++x) {
                EXPECT_EQ(rgb.at(x, y, c), grey.at(x, y)) << x << "," << y << " channel " << c;
                EXPECT_EQ(lines.at(x, y, c), grey.at(x, y)) << x << "," << y << " plane " << c;
            }
    }
}

TEST(EdgeEmphasis, BandsComeOutOneLineLateAndAnySplitGivesTheWholePage) {
    Page page(23, 100);
    page.randomise(5);
    std::vector<int32_t> reported;
    const std::vector<uint8_t> banded = Emphasise(page, kEdgeKindGrey, 5, {40, 40, 20}, &reported);
    EXPECT_EQ(reported, (std::vector<int32_t>{39, 40, 21}));
    EXPECT_NE(banded, page.pixels);

    // The whole page in one call, into a separate destination.
    Page whole(23, 100);
    tagOVKIMAGEINFO src = page.record(0, 100), dst = whole.record(0, 100);
    tagEDGEINFO info = Request(kEdgeKindGrey, 5);
    ASSERT_EQ(EdgeFuncEx(&dst, &src, &info), 0);
    EXPECT_EQ(dst.lHeight, 100);
    EXPECT_EQ(info.hEdgeFunc, 0u);
    EXPECT_EQ(banded, whole.pixels);
    for (const auto& bands : std::vector<std::vector<int32_t>>{{1, 1, 98}, {1, 99}, {99, 1}, {2, 50, 1, 47}})
        EXPECT_EQ(Emphasise(page, kEdgeKindGrey, 5, bands), whole.pixels);

    Page single(3, 1); // one line: only its left and right neighbours count
    single.at(0, 0) = single.at(2, 0) = 50;
    single.at(1, 0) = 100;
    EXPECT_EQ(Emphasise(single, kEdgeKindGrey, 5, {1}), (std::vector<uint8_t>{50, 150, 50}));

    reported.clear();
    EXPECT_EQ(Emphasise(page, kEdgeKindGrey, 1, {40, 40, 20}, &reported), page.pixels);
    EXPECT_EQ(reported, (std::vector<int32_t>{40, 40, 20}));

    for (auto [kind, level] : {std::pair{kEdgeKindGrey, 0x404u}, std::pair{kEdgeKindPixelOrder, 0x202u},
                               std::pair{kEdgeKindLineOrder, 5u}}) {
        Page colour(17, 30, kind == kEdgeKindGrey ? 1 : 3,
                    kind == kEdgeKindLineOrder ? kOvkLineOrder : kOvkPixelOrder);
        colour.randomise(9);
        EXPECT_EQ(Emphasise(colour, kind, level, {7, 1, 22}), Emphasise(colour, kind, level, {30}))
            << kind << " " << level;
    }
}

TEST(EdgeEmphasis, RefusesBadRecordsImagesAndHandles) {
    Page page(8, 6);
    page.randomise(1);
    const std::vector<uint8_t> before = page.pixels;
    tagOVKIMAGEINFO band = page.record(0, 6);

    tagEDGEINFO info{8, 3, 0, kEdgeKindGrey};
    EXPECT_EQ(EdgeFuncStartEx(&band, &band, &info), -1);
    EXPECT_EQ(EdgeFuncContEx(&band, &band, &info), -1);
    EXPECT_EQ(EdgeFuncFinishEx(&band, &band, &info), -1);

    info = Request(kEdgeKindGrey, 11); // no class for this level
    EXPECT_EQ(CreateEdgeFuncHandle(&info), nullptr);
    EXPECT_EQ(info.hEdgeFunc, 0u);
    EXPECT_EQ(EdgeFuncStartEx(&band, &band, &info), -1);

    int madeUp = 0;
    info = Request(reinterpret_cast<uintptr_t>(&madeUp), 3);
    EXPECT_EQ(CreateEdgeFuncHandle(&info), nullptr);
    EXPECT_EQ(EdgeFuncStartEx(&band, &band, &info), -1);
    EXPECT_EQ(EdgeFuncContEx(&band, &band, &info), -1);
    EXPECT_EQ(EdgeFuncFinishEx(&band, &band, &info), -1);
    info.hEdgeFunc = 0;
    EXPECT_EQ(EdgeFuncContEx(&band, &band, &info), -1);

    info = Request(kEdgeKindPixelOrder, 3); // a colour class for a grey page
    EXPECT_EQ(EdgeFuncStartEx(&band, &band, &info), -1);
    ReleaseEdgeFuncHandle(&info);
    EXPECT_EQ(page.pixels, before);

    info = Request(kEdgeKindGrey, 3);
    ASSERT_EQ(EdgeFuncStartEx(&band, &band, &info), 0);
    Page narrow(5, 2);
    tagOVKIMAGEINFO other = narrow.record(0, 2);
    EXPECT_EQ(EdgeFuncContEx(&other, &other, &info), -1); // not the page's width
    tagOVKIMAGEINFO noRoom = page.record(0, 0);
    EXPECT_EQ(EdgeFuncFinishEx(&noRoom, nullptr, &info), -1); // the held line needs a line
    ASSERT_NE(info.hEdgeFunc, 0u);
    ReleaseEdgeFuncHandle(&info);
    EXPECT_EQ(info.hEdgeFunc, 0u);
    ReleaseEdgeFuncHandle(&info);

    info.ulLevel = 7;
    InitEDGEINFO(&info);
    EXPECT_EQ(info.ulSize, kEdgeInfoSize);
    EXPECT_EQ(info.ulLevel, 1u);
    EXPECT_EQ(info.ulLineCount, 0u);
}

TEST(EdgeEmphasisOld, ModesOnACentrePixel) {
    const struct {
        uint32_t mode;
        uint8_t centre, cross, diagonal;
        int expected;
    } cases[] = {
        {3, 100, 50, 100, 112},                      // d = 200
        {1, 100, 100, 50, 88},                       // d = -200: pulled toward the diagonals
        {2, 100, 50, 50, 100},  {5, 255, 0, 0, 255}, // 255 + 1020: past the end of a byte table for 0..1023
        {4, 100, 255, 255, 0},
    };
    for (const auto& c : cases) {
        Page page(3, 3);
        page.fill(c.diagonal);
        page.at(1, 0) = page.at(0, 1) = page.at(2, 1) = page.at(1, 2) = c.cross;
        page.at(1, 1) = c.centre;
        Page out(3, 3);
        tagOVKIMAGEINFO src = page.record(0, 3), dst = out.record(0, 3);
        ASSERT_EQ(EdgeFunc(&dst, &src, c.mode), 0);
        EXPECT_EQ(out.at(1, 1), c.expected) << "mode " << c.mode;
        EXPECT_EQ(out.at(0, 1), c.cross); // border pixels pass unchanged
    }
    Page page(3, 3);
    tagOVKIMAGEINFO image = page.record(0, 3);
    EXPECT_EQ(EdgeFunc(&image, &image, 6), -1);
    EXPECT_EQ(EdgeFuncCont(&image, &image, 3), -1); // no page in progress
}

TEST(EdgeEmphasisOld, RecordFormKeepsLinesInPlaceWhateverTheBands) {
    Page page(12, 10);
    page.randomise(4);
    Page whole(12, 10);
    tagOVKIMAGEINFO src = page.record(0, 10), dst = whole.record(0, 10);
    ASSERT_EQ(EdgeFunc(&dst, &src, 4), 0);
    EXPECT_EQ(std::vector<uint8_t>(whole.pixels.begin(), whole.pixels.begin() + 12),
              std::vector<uint8_t>(page.pixels.begin(), page.pixels.begin() + 12));

    for (const auto& bands : std::vector<std::vector<int32_t>>{{4, 6}, {4, 5, 1}, {2, 1, 7}}) {
        Page work = page;
        tagEDGEINFO info{kEdgeInfoOldSize, 4, 0, 0};
        int32_t first = 0;
        std::vector<int32_t> reported;
        for (size_t k = 0; k < bands.size(); ++k) {
            const bool last = k + 1 == bands.size();
            tagOVKIMAGEINFO band = work.record(first, bands[k]);
            tagOVKIMAGEINFO out = work.record(first, bands[k] + (last ? 1 : 0));
            out.lHeight = last ? bands[k] + 1 : bands[k];
            const auto call = k == 0 ? EdgeFuncStartEx : last ? EdgeFuncFinishEx : EdgeFuncContEx;
            // The older functions write one line behind: the band's own lines shifted down one.
            tagOVKIMAGEINFO at = k == 0 ? band : work.record(first - 1, out.lHeight);
            ASSERT_EQ(call(&at, &band, &info), 0);
            reported.push_back(at.lHeight);
            first += bands[k];
        }
        EXPECT_EQ(reported.front(), bands.front() - 1);
        EXPECT_EQ(reported.back(), bands.back() + 1);
        EXPECT_EQ(info.ulLineCount, 10u);
        EXPECT_EQ(work.pixels, whole.pixels);
    }
}
