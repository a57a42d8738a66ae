// The desktop's answers. Languages the application has no name for fall through to the next one the
// user lists, and to English (the application's own language) at the end.
#include "TlvSystemLookup.h"

#include "Applications.h"
#include "Bundle.h"
#include "FileIO.h"
#include "MeasurementUnits.h"
#include "Tools.h"

#include <array>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace {

constexpr std::string_view kDefaultLanguage = "English";
constexpr std::chrono::seconds kAnswerLifetime{5};

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? std::optional<std::string>(value) : std::nullopt;
}

// LANGUAGE's list first, then the first of LC_ALL, LC_MESSAGES and LANG that is set.
std::vector<std::string> desktopLocales() {
    std::vector<std::string> out;
    if (const auto list = environment("LANGUAGE")) {
        std::string_view rest(*list);
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            out.emplace_back(rest.substr(0, colon));
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const auto value = environment(name)) {
            out.push_back(*value);
            break;
        }
    return out;
}

std::string chineseName(std::string_view rest) {
    const bool traditional = rest.starts_with("Hant") || rest.starts_with("TW") || rest.starts_with("HK") ||
                             rest.starts_with("MO");
    return traditional ? "zh_TW" : "zh_CN";
}

std::string firstLine(std::string_view text) {
    return std::string(text.substr(0, text.find('\n')));
}

std::optional<std::string> lpoptionsDefault(const std::filesystem::path& file) {
    std::vector<std::uint8_t> bytes;
    if (fnd::readWholeFile(file, bytes, 1u << 20) != fnd::ReadStatus::Ok)
        return std::nullopt;
    return TlvSystemLookup::defaultInLpoptions(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace

template <typename Ask>
std::optional<std::string> TlvSystemLookup::cached(CachedAnswer& slot, Ask ask) const {
    std::lock_guard lock(mCacheMutex);
    const auto now = std::chrono::steady_clock::now();
    if (!slot.valid || now - slot.asked > kAnswerLifetime)
        slot = {ask(), now, true};
    return slot.answer;
}

std::string TlvSystemLookup::languageNameForLocale(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::size_t separator = locale.find_first_of("_-");
    const std::string_view language = locale.substr(0, separator);
    const std::string_view rest = separator == std::string_view::npos ? "" : locale.substr(separator + 1);
    if (language == "zh")
        return chineseName(rest);
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kNames{{{"ja", "Japanese"},
                                                                                          {"en", "English"},
                                                                                          {"ko", "Korean"},
                                                                                          {"es", "Spanish"},
                                                                                          {"fr", "French"},
                                                                                          {"de", "German"},
                                                                                          {"it", "Italian"},
                                                                                          {"nl", "Dutch"}}};
    for (const auto& [code, name] : kNames)
        if (code == language)
            return std::string(name);
    return {};
}

std::string TlvSystemLookup::languageName() const {
    for (const std::string& locale : desktopLocales())
        if (std::string name = languageNameForLocale(locale); !name.empty())
            return name;
    return std::string(kDefaultLanguage);
}

bool TlvSystemLookup::measuresInCentimeters() const {
    return fnd::UserMeasuresInCentimeters();
}

std::optional<std::string> TlvSystemLookup::defaultInLpoptions(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.starts_with("Default ") && !line.starts_with("Default\t"))
            continue;
        line.remove_prefix(8);
        const std::string_view name = line.substr(0, line.find_first_of("/ \t\r"));
        if (!name.empty())
            return std::string(name);
    }
    return std::nullopt;
}

// The order CUPS itself follows: the environment, the user's and the system's lpoptions, the server.
std::optional<std::string> TlvSystemLookup::defaultPrinterName() const {
    return cached(mPrinter, [] { return askDefaultPrinter(); });
}

std::optional<std::string> TlvSystemLookup::defaultImageApplication() const {
    return cached(mImageApplication, [] { return askDefaultImageApplication(); });
}

std::optional<std::string> TlvSystemLookup::askDefaultPrinter() {
    for (const char* name : {"LPDEST", "PRINTER"})
        if (auto printer = environment(name))
            return printer;
    if (const auto home = environment("HOME"))
        if (auto printer = lpoptionsDefault(std::filesystem::path(*home) / ".cups/lpoptions"))
            return printer;
    if (auto printer = lpoptionsDefault("/etc/cups/lpoptions"))
        return printer;
    const auto answer = ws::runTool("lpstat", {"-d"}, 3000);
    constexpr std::string_view kPrefix = "system default destination: ";
    if (!answer || !answer->starts_with(kPrefix))
        return std::nullopt;
    std::string printer = firstLine(std::string_view(*answer).substr(kPrefix.size()));
    return printer.empty() ? std::nullopt : std::optional<std::string>(printer);
}

std::optional<fnd::Dictionary> TlvSystemLookup::sharedPrintSettings() const {
    return std::nullopt; // the print settings belong to the windowed side, which fills them in
}

std::optional<std::filesystem::path>
TlvSystemLookup::desktopEntryPath(std::string_view desktopId,
                                  const std::vector<std::filesystem::path>& dataDirs) {
    std::vector<std::filesystem::path> folders;
    for (const std::filesystem::path& dir : dataDirs)
        folders.push_back(dir / "applications");
    return ws::findDesktopFile(desktopId, folders);
}

std::optional<std::string> TlvSystemLookup::askDefaultImageApplication() {
    const std::optional<std::string> id = ws::defaultApplicationId("image/jpeg");
    const std::optional<std::filesystem::path> path = id ? ws::findDesktopFile(*id) : std::nullopt;
    return path ? std::optional<std::string>(path->string()) : std::nullopt;
}

std::string TlvSystemLookup::localizedString(std::string_view key) const {
    return fnd::Bundle::main().localizedString(key);
}

TlvLocalTime TlvSystemLookup::localNow() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}
