// Each profile is measured by its variance over its squared mean, within the span that holds dark
// pixels, so that margins and the page's size do not count. Lines are the runs of the profile across them
// above a twentieth of its peak; a line's letter band is where it holds at least half its own peak.
#include "line_axis.h"

#include <algorithm>
#include <vector>

namespace vlm {
namespace {

constexpr uint8_t kDark = 128;
// How much more the profile across lines must vary than the one along them: text pages give 3 and more,
// pictures and tables near 1.
constexpr double kClearRatio = 2.0;
constexpr double kMinLineShare = 0.25; // of the page's width (rows) or height (columns)
constexpr int kMinLines = 3;           // fewer lines say too little about which side is up
// Up to 16 strips (a sixteenth of an A4 width drifts 2.7 pixels per degree of skew at 300 dpi), each at
// least 150 pixels wide, so that a strip still crosses several letters of a line.
constexpr size_t kMaxStrips = 16;
constexpr size_t kMinStripPixels = 150;

size_t stripsAcross(int32_t pixels) {
    return std::clamp<size_t>(static_cast<size_t>(pixels) / kMinStripPixels, 1, kMaxStrips);
}

using Profile = std::vector<uint32_t>;

// Variance over squared mean of the profile between its first and last non-empty entry; 0 when empty.
double contrast(const Profile& profile) {
    const auto first = std::find_if(profile.begin(), profile.end(), [](uint32_t v) { return v != 0; });
    const auto last =
        std::find_if(profile.rbegin(), profile.rend(), [](uint32_t v) { return v != 0; }).base();
    if (first >= last)
        return 0;
    double sum = 0, squares = 0;
    for (auto it = first; it != last; ++it) {
        sum += *it;
        squares += double(*it) * *it;
    }
    const double n = double(last - first);
    const double mean = sum / n;
    return (squares / n - mean * mean) / (mean * mean);
}

// Ink before and after the letter band of every line, in profile order, added to sides: the band is where
// a line holds at least its peak over `bandDivisor`.
int addAscent(const Profile& profile, uint32_t bandDivisor, double (&sides)[2]) {
    const uint32_t peak = *std::max_element(profile.begin(), profile.end());
    const uint32_t floor = peak / 20;
    int lines = 0;
    for (size_t start = 0; start < profile.size();) {
        if (profile[start] <= floor) {
            ++start;
            continue;
        }
        size_t end = start;
        while (end < profile.size() && profile[end] > floor)
            ++end;
        const uint32_t top = *std::max_element(profile.begin() + long(start), profile.begin() + long(end));
        size_t bandFirst = start, bandLast = end - 1;
        while (profile[bandFirst] * bandDivisor < top)
            ++bandFirst;
        while (profile[bandLast] * bandDivisor < top)
            --bandLast;
        for (size_t i = start; i < bandFirst; ++i)
            sides[0] += profile[i];
        for (size_t i = bandLast + 1; i < end; ++i)
            sides[1] += profile[i];
        ++lines;
        start = end;
    }
    return lines;
}

// Profiles of narrow strips, so that a page skewed by a degree still shows clean lines in each:
// rows[s] sums the dark pixels of each row within the s-th vertical strip, columns[s] of each column
// within the s-th horizontal strip.
struct StripProfiles {
    std::vector<Profile> rows, columns;
};

StripProfiles profilesOf(const GreyImage& grey) {
    const size_t across = stripsAcross(grey.width), down = stripsAcross(grey.height);
    StripProfiles p{std::vector<Profile>(across, Profile(static_cast<size_t>(grey.height))),
                    std::vector<Profile>(down, Profile(static_cast<size_t>(grey.width)))};
    for (int32_t y = 0; y < grey.height; ++y) {
        const uint8_t* line = grey.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(grey.width);
        Profile& columns = p.columns[static_cast<size_t>(y) * down / static_cast<size_t>(grey.height)];
        for (int32_t x = 0; x < grey.width; ++x) {
            const uint32_t isDark = line[x] < kDark;
            columns[static_cast<size_t>(x)] += isDark;
            p.rows[static_cast<size_t>(x) * across / static_cast<size_t>(grey.width)]
                  [static_cast<size_t>(y)] += isDark;
        }
    }
    return p;
}

double meanContrast(const std::vector<Profile>& strips) {
    double sum = 0;
    for (const Profile& profile : strips)
        sum += contrast(profile);
    return sum / double(strips.size());
}

// Ascent over all strips; 0 when they hold too few lines. Serif faces show it best with the band at half
// the line's peak; in sans faces the round tops and bottoms of the small letters fall below that and
// blur it, and a band down to a quarter of the peak shows it. The clearer of the two counts when both
// say the same side.
double ascentOf(std::vector<Profile>& strips, bool reversed) {
    double half[2] = {0, 0};
    double quarter[2] = {0, 0};
    int lines = 0; // of the strip with the most: one line crossing every strip is still one line
    for (Profile& profile : strips) {
        if (reversed)
            std::reverse(profile.begin(), profile.end());
        lines = std::max(lines, addAscent(profile, 2, half));
        addAscent(profile, 4, quarter);
    }
    const auto ascent = [](const double(&sides)[2]) {
        const double ink = sides[0] + sides[1];
        return ink == 0 ? 0 : (sides[0] - sides[1]) / ink;
    };
    const double a = ascent(half), b = ascent(quarter);
    if (lines < kMinLines || a * b <= 0)
        return 0;
    return std::abs(a) >= std::abs(b) ? a : b;
}

} // namespace

// Share of the profiles' length between the first and the last dark pixel.
double extentShare(const std::vector<Profile>& strips) {
    Profile total(strips.front().size());
    for (const Profile& profile : strips)
        for (size_t i = 0; i < profile.size(); ++i)
            total[i] += profile[i];
    const auto first = std::find_if(total.begin(), total.end(), [](uint32_t v) { return v != 0; });
    const auto last = std::find_if(total.rbegin(), total.rend(), [](uint32_t v) { return v != 0; }).base();
    return first >= last ? 0 : double(last - first) / double(total.size());
}

LineEvidence textLines(const GreyImage& grey) {
    StripProfiles profiles = profilesOf(grey);
    const double across = meanContrast(profiles.rows), along = meanContrast(profiles.columns);
    // Lines run the length of a text block: a single line turned sideways, whose letters would pass for
    // short lines, covers only a sliver across the page.
    const bool wide = extentShare(profiles.columns) >= kMinLineShare;
    const bool tall = extentShare(profiles.rows) >= kMinLineShare;
    LineEvidence evidence;
    if (across > kClearRatio * along && wide) {
        evidence.axis = LineAxis::Rows;
        evidence.ascent = ascentOf(profiles.rows, false);
    } else if (along > kClearRatio * across && tall) {
        // Turned a quarter clockwise, the tops of the letters face right: the end of the profile.
        evidence.axis = LineAxis::Columns;
        evidence.ascent = ascentOf(profiles.columns, true);
    }
    return evidence;
}

} // namespace vlm
