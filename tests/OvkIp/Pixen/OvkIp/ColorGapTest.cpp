// Colour-gap corrector: classes of a few colours, fringes greyed across runs and the 12-line restart, lone
// marks kept, the last line not corrected from a stale ring row, refusals, and any band split giving the
// whole-page result.
#include "ColorGap/ColorGapCorrect.h"
#include "ColorGap/ColorGapMarks.h"
#include "ColorGap/ColorGapTable.h"
#include "ImageRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

namespace {
using Rgb = std::array<uint8_t, 3>;
// Classes at 300 dpi: white 27, black 19, reddish grey 8, dark pink 12.
constexpr Rgb kWhite{240, 240, 240}, kBlack{24, 24, 24}, kReddish{112, 96, 96}, kPink{120, 64, 80};

struct Page {
    int32_t width;
    std::vector<uint8_t> pixels;
    Page(int32_t w, int32_t h) : width(w), pixels(static_cast<size_t>(w) * 3 * h, 0) {}
    int32_t height() const { return static_cast<int32_t>(pixels.size() / (3 * width)); }
    Rgb at(int32_t x, int32_t y) const {
        const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
    void set(int32_t x, int32_t y, Rgb c) {
        uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
        p[0] = c[0], p[1] = c[1], p[2] = c[2];
    }
    void row(int32_t y, Rgb c) {
        for (int32_t x = 0; x < width; ++x)
            set(x, y, c);
    }
    tagOVKIMAGEINFO record(int32_t first, int32_t lines) {
        return imagetest::imageRecord<tagOVKIMAGEINFO>(width, lines, width * 3, 8, 3, kOvkPixelOrder,
                                                       pixels.data() + static_cast<size_t>(first) * width * 3,
                                                       0, 300);
    }
};

COLORGAPINFO Request() {
    COLORGAPINFO info{};
    info.ulSize = sizeof info;
    return info;
}

// Corrects the page as the pipeline does: bands in place, the last into a new image with room for the held
// lines. Returns the output page; reports how many lines each band call gave.
Page Correct(Page page, const std::vector<int32_t>& bands, std::vector<int32_t>* linesOut = nullptr) {
    COLORGAPINFO info = Request();
    Page out(page.width, 0);
    int32_t first = 0;
    for (size_t k = 0; k < bands.size(); ++k) {
        const bool last = k + 1 == bands.size();
        tagOVKIMAGEINFO src = page.record(first, bands[k]);
        Page tail(page.width, bands[k] + kColorGapDelay);
        tagOVKIMAGEINFO dst = last ? tail.record(0, tail.height()) : src;
        info.ulLast = last ? 1 : 0;
        EXPECT_EQ(ColorGapCorrect(&dst, &src, &info), kColorGapOk);
        const uint8_t* begin = dst.lpImage;
        out.pixels.insert(out.pixels.end(), begin, begin + static_cast<size_t>(dst.lHeight) * dst.lSync);
        if (linesOut)
            linesOut->push_back(dst.lHeight);
        first += bands[k];
    }
    EXPECT_EQ(info.hColorGap, nullptr);
    EXPECT_EQ(info.ulHeldLines, static_cast<uint32_t>(kColorGapDelay));
    return out;
}

Rgb Grey(Rgb c) {
    const auto v = static_cast<uint8_t>((c[0] + 2 * c[1] + c[2]) >> 2);
    return {v, v, v};
}
} // namespace

TEST(ColorGapTable, ClassesOfSomeColoursAt300Dpi) {
    CBuildDefColorGapMap builder;
    builder.Init(300, nullptr);
    std::vector<uint8_t> table(kColorTableSize);
    ASSERT_EQ(builder.OutputTable(table.data(), kColorTableSize), 1);
    const struct {
        Rgb colour;
        uint8_t cls;
    } cases[] = {
        {kBlack, 19},          // dark neutral, no channel stands out
        {kWhite, 27},          // bright neutral
        {{152, 224, 200}, 26}, // bright, close channels: neutral with green strongest
        {{56, 16, 16}, 0},     // dark red
        {{16, 32, 72}, 1},     // dark blue
        {{40, 72, 40}, 2},     // dark green, red among the smallest
        {kReddish, 8},         {kPink, 12},
    };
    for (const auto& c : cases) {
        const uint32_t rgb = c.colour[0] | c.colour[1] << 8 | c.colour[2] << 16;
        EXPECT_EQ(builder.IsDoubtColor(rgb), c.cls) << int(c.colour[0]) << "," << int(c.colour[1]);
        EXPECT_EQ(table[ColorIndex(c.colour[0], c.colour[1], c.colour[2])], c.cls);
    }
    // No usable resolution: no table.
    CBuildDefColorGapMap none;
    none.Init(0, nullptr);
    EXPECT_EQ(none.OutputTable(table.data(), kColorTableSize), 0);
}

TEST(ColorGapCorrect, FringeBetweenNeutralsIsGreyedAndLongStripesAreCorrectedInPieces) {
    Page page(6, 40);
    for (int32_t y = 0; y < 40; ++y)
        page.row(y, kWhite);
    page.row(5, kReddish); // one-line fringe between white and black
    for (int32_t y = 6; y < 9; ++y)
        page.row(y, kBlack);
    for (int32_t y = 10; y < 30; ++y) // a 20-line stripe, longer than a run may be, closed by black
        page.row(y, y % 2 ? kReddish : kPink);
    for (int32_t y = 30; y < 33; ++y)
        page.row(y, kBlack);
    std::vector<int32_t> lines;
    const Page out = Correct(page, {40}, &lines);
    ASSERT_EQ(out.height(), 40);
    EXPECT_EQ(lines[0], 40); // a one-band page comes out whole
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(out.at(x, y), Grey(page.at(x, y))) << x << "," << y;
}

TEST(ColorGapCorrect, LoneMarkIsLeftAndLastLineIgnoresStaleRingRows) {
    Page page(6, 32);
    for (int32_t y = 0; y < 32; ++y)
        page.row(y, y < 16 ? kWhite : kBlack);
    page.row(16, kReddish); // full-width fringe: ring row 0 keeps its marks after the line is out
    page.set(3, 4, kReddish);
    page.set(3, 5, kBlack); // a fringe one pixel wide
    page.row(31, kReddish); // last line: tinted, but on no run
    const Page out = Correct(page, {20, 12});
    ASSERT_EQ(out.height(), 32);
    EXPECT_EQ(out.at(3, 4), kReddish);
    EXPECT_EQ(out.at(0, 16), Grey(kReddish));
    EXPECT_EQ(out.at(2, 31), kReddish);
}

TEST(ColorGapCorrect, CallersClassTableCountsOnlyAtItsSize) {
    Page page(6, 20);
    for (int32_t y = 0; y < 20; ++y)
        page.row(y, y < 8 ? kWhite : kBlack);
    page.row(8, kReddish);
    std::vector<uint8_t> allBlack(kColorTableSize, 19); // no step from a class to itself is a fringe
    const auto run = [&](uint32_t tableSize) {
        Page work = page;
        Page out(6, 20 + kColorGapDelay);
        tagOVKIMAGEINFO src = work.record(0, 20), dst = out.record(0, out.height());
        COLORGAPINFO info = Request();
        info.ulLast = 1;
        info.pClassTable = allBlack.data();
        info.ulClassTableSize = tableSize;
        EXPECT_EQ(ColorGapCorrect(&dst, &src, &info), kColorGapOk);
        return out.at(0, 8);
    };
    EXPECT_EQ(run(kColorTableSize), kReddish);
    EXPECT_EQ(run(kColorTableSize - 1), Grey(kReddish)); // ignored: the built table finds the fringe
}

TEST(ColorGapCorrect, ShortPageWaitsForTheLastBand) {
    Page page(4, 13);
    for (int32_t y = 0; y < 13; ++y)
        page.row(y, y < 6 ? kWhite : kBlack);
    page.row(6, kReddish);
    std::vector<int32_t> lines;
    const Page out = Correct(page, {7, 6}, &lines);
    EXPECT_EQ(lines, (std::vector<int32_t>{0, 13}));
    EXPECT_EQ(out.at(0, 6), Grey(kReddish));
}

TEST(ColorGapCorrect, AnyBandSplitGivesTheWholePageResult) {
    Page page(37, 90);
    std::mt19937 rng(7);
    // White, a tinted stripe of random length, black; with a few stray pixels.
    for (int32_t y = 0; y < 90;) {
        const int32_t stripe = static_cast<int32_t>(rng() % 15);
        const int32_t rows[] = {2, stripe, 3};
        for (int32_t part = 0; part < 3; ++part)
            for (int32_t k = 0; k < rows[part] && y < 90; ++k, ++y)
                page.row(y, part == 0 ? kWhite : part == 2 ? kBlack : (stripe - k) % 2 ? kReddish : kPink);
    }
    for (int k = 0; k < 200; ++k)
        page.set(static_cast<int32_t>(rng() % 37), static_cast<int32_t>(rng() % 90), kReddish);
    const Page whole = Correct(page, {90});
    EXPECT_NE(whole.pixels, page.pixels);
    for (const auto& bands : std::vector<std::vector<int32_t>>{{1, 89}, {13, 1, 76}, {30, 30, 30}, {89, 1}})
        EXPECT_EQ(Correct(page, bands).pixels, whole.pixels);
}

TEST(ColorGapCorrect, RefusesBadCallsWithoutChangingAnything) {
    Page page(8, 20);
    tagOVKIMAGEINFO src = page.record(0, 20);
    COLORGAPINFO info = Request();
    EXPECT_EQ(ColorGapCorrect(nullptr, &src, &info), kColorGapBadArgument);
    info.ulSize = kColorGapInfoMinSize - 1;
    EXPECT_EQ(ColorGapCorrect(&src, &src, &info), kColorGapBadArgument);
    info = Request();
    tagOVKIMAGEINFO planar = src;
    planar.ulRGBOrder = kOvkLineOrder;
    EXPECT_EQ(ColorGapCorrect(&planar, &planar, &info), kColorGapBadArgument);
    int madeUp = 0;
    info.hColorGap = &madeUp;
    EXPECT_EQ(ColorGapCorrect(&src, &src, &info), kColorGapBadArgument);
    ReleaseColorGapHandle(&info); // a word the library never gave out is dropped, not deleted
    EXPECT_EQ(info.hColorGap, nullptr);

    tagOVKIMAGEINFO first = page.record(0, 10);
    ASSERT_EQ(ColorGapCorrect(&first, &first, &info), kColorGapOk);
    ASSERT_NE(info.hColorGap, nullptr);
    tagOVKIMAGEINFO rest = page.record(10, 10);
    tagOVKIMAGEINFO narrow = rest;
    narrow.lWidth = 4;
    EXPECT_EQ(ColorGapCorrect(&narrow, &narrow, &info), kColorGapBadArgument);
    info.ulLast = 1;
    tagOVKIMAGEINFO noRoom = rest; // 10 lines of room for 20
    EXPECT_EQ(ColorGapCorrect(&noRoom, &rest, &info), kColorGapBadArgument);
    EXPECT_EQ(noRoom.lHeight, 10);
    ASSERT_NE(info.hColorGap, nullptr); // kept for the caller to release
    ReleaseColorGapHandle(&info);
    EXPECT_EQ(info.hColorGap, nullptr);
    ReleaseColorGapHandle(&info);
}

namespace {
// The row check one mark at a time, as the corrector first did it.
void PlainSideCheck(uint8_t* m, int32_t w) {
    bool marked = m[0] != 0;
    for (int32_t x = 1; x < w - 1; ++x) {
        if ((m[x] != 0) == marked)
            continue;
        if (m[x] != 0) {
            if (m[x + 1] != 0) {
                marked = true;
                ++x;
                continue;
            }
            if (x >= w - 2) {
                m[x] = 0;
                break;
            }
            if (m[x + 2] != 0) {
                m[x + 1] = 1;
                marked = true;
            } else {
                m[x] = 0;
            }
            x += 2;
        } else {
            if (m[x + 1] != 0)
                m[x] = 1;
            else
                marked = false;
            ++x;
        }
    }
    if (!marked)
        m[w - 1] = 0;
}
} // namespace

TEST(ColorGapMarks, SkippingUnmarkedStretchesMatchesTheMarkByMarkForms) {
    std::mt19937 random(11);
    for (int32_t width : {1, 2, 3, 7, 8, 9, 17, 64, 203})
        for (int density : {0, 3, 20, 60, 95}) {
            std::vector<uint8_t> rows[3];
            for (auto& row : rows) {
                row.resize(static_cast<size_t>(width));
                for (uint8_t& m : row)
                    m = static_cast<int>(random() % 100) < density ? static_cast<uint8_t>(1 + random() % 2)
                                                                   : 0;
            }
            std::vector<uint8_t> skipped = rows[0], plain = rows[0];
            SideCheckRow(skipped.data(), width);
            PlainSideCheck(plain.data(), width);
            EXPECT_EQ(skipped, plain) << "width " << width << " density " << density;

            std::vector<int32_t> visited, expected;
            ForEachMarked(rows[0].data(), rows[1].data(), rows[2].data(), width,
                          [&](int32_t x) { visited.push_back(x); });
            for (int32_t x = 0; x < width; ++x)
                if (rows[0][x] | rows[1][x] | rows[2][x])
                    expected.push_back(x);
            EXPECT_EQ(visited, expected) << "width " << width << " density " << density;
        }
}
