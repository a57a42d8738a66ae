// See TlvFileNaming.h. Numbers are read like the leading digits of a text (none gives 0) and written
// back zero-padded to the digits they had, one more when they were all nines ("_999" becomes "_1000").
#include "TlvFileNaming.h"

#include "TlvUtilsMethod.h"

#include <cctype>

namespace tlv {
namespace fs = std::filesystem;
namespace {

constexpr int kMaxTries = 100000; // names tried before giving up
constexpr size_t kMaxCounterDigits = 15;

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path.parent_path(), ec);
}

std::string stemOf(const fs::path& path) {
    return path.stem().string();
}

fs::path withStem(const fs::path& path, const std::string& stem) {
    return path.parent_path() / (stem + path.extension().string());
}

int64_t leadingNumber(const std::string& text) {
    int64_t n = 0;
    for (size_t i = 0;
         i < text.size() && i < kMaxCounterDigits && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        n = n * 10 + (text[i] - '0');
    return n;
}

bool allDigits(const std::string& text) {
    return !text.empty() && text.size() <= kMaxCounterDigits &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

std::string padded(int64_t num, size_t digits) {
    std::string text = std::to_string(num);
    if (text.size() < digits)
        text.insert(0, digits - text.size(), '0');
    return text;
}

// The text without the first occurrence of part; none when part does not occur. An empty part
// takes nothing away.
std::optional<std::string> without(const std::string& text, const std::string& part) {
    if (part.empty())
        return text;
    const std::optional<QString> rest =
        TlvUtilsMethod::deleteString(QString::fromStdString(part), QString::fromStdString(text));
    if (!rest)
        return std::nullopt;
    return rest->toStdString();
}

bool isTaken(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

} // namespace

TlvFileNaming::TlvFileNaming(const TlvOutputOptions& options, bool automaticRule)
    : mUserText(automaticRule ? options.partFileName : fs::path(options.freeFileName).stem().string()),
      mCounts(automaticRule && options.isAddNumber) {}

int64_t TlvFileNaming::numberInPath(const fs::path& path) const {
    if (!isFolder(path))
        return -1;
    const std::optional<std::string> rest = without(stemOf(path), mUserText);
    if (!rest)
        return -1;
    const size_t underscore = rest->rfind('_');
    if (underscore == std::string::npos || underscore + 1 == rest->size())
        return -1;
    return leadingNumber(rest->substr(underscore + 1));
}

bool TlvFileNaming::isAddedNumInString(const std::string& fileName) const {
    const std::optional<std::string> rest = without(fileName, mUserText);
    if (!rest)
        return false;
    const std::string name = rest->substr(0, rest->rfind('.')); // without the extension
    const size_t underscore = name.rfind('_');
    return underscore != std::string::npos && allDigits(name.substr(underscore + 1));
}

std::optional<fs::path> TlvFileNaming::checkPathAndAddNumStrForPath(const fs::path& path, bool isAddedNum) {
    if (!isFolder(path))
        return std::nullopt;
    std::string stem = stemOf(path);
    const size_t underscore = stem.rfind('_');
    if (!isAddedNum || underscore == std::string::npos)
        return withStem(path, stem + "_001");
    const std::string digits = stem.substr(underscore + 1);
    const bool allNines = digits.find_first_not_of('9') == std::string::npos;
    stem.resize(underscore);
    return withStem(path, stem + "_" + padded(leadingNumber(digits) + 1, digits.size() + (allNines ? 1 : 0)));
}

std::optional<fs::path> TlvFileNaming::changeNumInPath(const fs::path& path, int64_t num) {
    if (!isFolder(path))
        return std::nullopt;
    std::string stem = stemOf(path);
    const size_t underscore = stem.rfind('_');
    if (underscore == std::string::npos || underscore + 1 == stem.size())
        return path;
    const size_t digits = stem.size() - underscore - 1;
    stem.resize(underscore);
    return withStem(path, stem + "_" + padded(num, digits));
}

std::optional<fs::path> TlvFileNaming::checkFilePath(const fs::path& start, bool isRenameMove,
                                                     std::atomic<int64_t>& runCounter) const {
    fs::path path = start;
    for (int tries = 0; tries < kMaxTries; ++tries) {
        if (!isRenameMove && mCounts) {
            const int64_t number = numberInPath(path);
            const int64_t counter = runCounter.load();
            if (counter >= 0 && number <= counter) {
                const std::optional<fs::path> next = changeNumInPath(path, counter + 1);
                if (!next)
                    return std::nullopt;
                path = *next;
                runCounter = numberInPath(path);
            } else if (counter == -1) {
                runCounter = number;
            }
        }
        if (!isTaken(path))
            return path;
        const std::optional<fs::path> next =
            checkPathAndAddNumStrForPath(path, isAddedNumInString(path.filename().string()));
        if (!next)
            return std::nullopt;
        path = *next;
    }
    return std::nullopt;
}

bool isUsableFileName(const std::string& name) {
    if (name.empty() || name.size() > kMaxFileNameBytes || name == "." || name == ".." ||
        name.front() == '.' || name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
        return false;
    return TlvUtilsMethod::isValidNameInString(QString::fromStdString(name));
}

} // namespace tlv
