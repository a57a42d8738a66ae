// Maps each option onto one capability setting, so that the scan itself only sends what was parsed.
#include "ScanOptions.h"

#include <charconv>
#include <cstring>
#include <map>

#include "QSCapIds.h"
#include "twain.h"

namespace twainscan {
namespace {

const std::map<std::string, std::uint16_t> kPixelTypes{
    {"bw", TWPT_BW}, {"grey", TWPT_GRAY}, {"gray", TWPT_GRAY}, {"colour", TWPT_RGB}, {"color", TWPT_RGB}};
const std::map<std::string, std::uint16_t> kPapers{{"a4", TWSS_A4},         {"a5", TWSS_A5},
                                                   {"b5", TWSS_JISB5},      {"letter", TWSS_USLETTER},
                                                   {"legal", TWSS_USLEGAL}, {"executive", TWSS_USEXECUTIVE}};

std::optional<long> Number(const std::string& text, long low, long high) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

// A prefix must make a plain file name inside the output folder: no folder part, nothing hidden or "..".
bool IsSafePrefix(const std::string& prefix) {
    return !prefix.empty() && prefix.front() != '.' && prefix.find('/') == std::string::npos;
}

// Every option twainscan documents, at its default, in the order they are sent: the paper before size
// detection, continuous feeding before the page count and the count before duplex, since the source
// turns size detection off on a new paper, continuous feeding sets the count to all pages, and a count
// of all pages turns duplex off. The session resets the source's other capabilities first, so a run
// depends on nothing but these.
std::vector<SCapSetting> DefaultSettings() {
    return {{ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY},
            {ICAP_XRESOLUTION, TWTY_FIX32, 300},
            {ICAP_YRESOLUTION, TWTY_FIX32, 300},
            {ICAP_SUPPORTEDSIZES, TWTY_UINT16, TWSS_A4},
            {CAP_AUTOFEED, TWTY_BOOL, 0},
            {CAP_XFERCOUNT, TWTY_INT16, -1},
            {CAP_DUPLEXENABLED, TWTY_BOOL, 0},
            {CCAP_OVK_DETECTPAGESIZE, TWTY_INT32, 0},
            {CCAP_OVK_BLANKSKIP, TWTY_INT32, 0},
            {CCAP_OVK_DESKEW, TWTY_INT32, 0}};
}

void Set(SScanOptions& options, std::uint16_t capId, double value) {
    for (SCapSetting& setting : options.settings)
        if (setting.capId == capId)
            setting.value = value;
}

// Options that take a value; false with error set when the value is not acceptable.
bool ValueOption(SScanOptions& options, const std::string& name, const std::string& value,
                 std::string& error) {
    if (name == "--output") {
        options.outputFolder = value;
    } else if (name == "--source") {
        options.source = value;
    } else if (name == "--prefix" && IsSafePrefix(value)) {
        options.prefix = value;
    } else if (name == "--pixel-type" && kPixelTypes.count(value)) {
        Set(options, ICAP_PIXELTYPE, kPixelTypes.at(value));
    } else if (name == "--paper" && kPapers.count(value)) {
        Set(options, ICAP_SUPPORTEDSIZES, kPapers.at(value));
    } else if (name == "--resolution" && Number(value, 50, 1200)) {
        Set(options, ICAP_XRESOLUTION, double(*Number(value, 50, 1200)));
        Set(options, ICAP_YRESOLUTION, double(*Number(value, 50, 1200)));
    } else if (name == "--count" && Number(value, -1, 32767) && *Number(value, -1, 32767) != 0) {
        Set(options, CAP_XFERCOUNT, double(*Number(value, -1, 32767)));
    } else {
        error = "bad value '" + value + "' for " + name;
        return false;
    }
    return true;
}

} // namespace

const char* ScanUsage() {
    return "usage: twainscan --list\n"
           "       twainscan --output FOLDER [options]\n"
           "       twainscan --help | --version\n"
           "options (each run resets the source's settings and sends every option, left-out ones at their\n"
           "default):\n"
           "  --source TEXT          data source whose product name contains TEXT (default K-3100)\n"
           "  --pixel-type bw|grey|colour (default grey)\n"
           "  --resolution DPI       50 to 1200 (default 300)\n"
           "  --paper a4|a5|b5|letter|legal|executive (default a4)\n"
           "  --detect-size          find the paper size on each page\n"
           "  --duplex               scan both sides\n"
           "  --continuous           feed the sheets without a stop, the next one read ahead\n"
           "  --blank-skip           drop blank pages\n"
           "  --deskew               straighten skewed pages\n"
           "  --count N              stop after N pages (-1: all, the default)\n"
           "  --prefix NAME          file names NAME-0001.tif ... (default page), numbered on after the\n"
           "                         highest page already in the folder\n"
           "  --events               print the scanner's device events as they come\n";
}

std::optional<SScanOptions> ParseScanOptions(int argc, const char* const* argv, std::string& error) {
    SScanOptions options;
    options.settings = DefaultSettings();
    const std::map<std::string, std::uint16_t> flags{{"--duplex", CAP_DUPLEXENABLED},
                                                     {"--continuous", CAP_AUTOFEED},
                                                     {"--blank-skip", CCAP_OVK_BLANKSKIP},
                                                     {"--deskew", CCAP_OVK_DESKEW},
                                                     {"--detect-size", CCAP_OVK_DETECTPAGESIZE}};
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--list") {
            options.listOnly = true;
        } else if (name == "--events") {
            options.showEvents = true;
        } else if (flags.count(name)) {
            Set(options, flags.at(name), 1);
        } else if (i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0) {
            if (!ValueOption(options, name, argv[++i], error))
                return std::nullopt;
        } else {
            error = "unknown or incomplete option '" + name + "'";
            return std::nullopt;
        }
    }
    if (!options.listOnly && options.outputFolder.empty()) {
        error = "no --output folder given";
        return std::nullopt;
    }
    return options;
}

} // namespace twainscan
