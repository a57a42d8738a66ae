// See TlvConfirmedNames.h. The byte limit is the file system's, so it is counted on the name with its
// extension as it will be made.
#include "TlvConfirmedNames.h"

#include "TlvFileNaming.h"
#include "TlvOutputFailure.h"
#include "TlvUtilsMethod.h"

#include <set>

namespace tlv {
namespace fs = std::filesystem;

std::string extensionOfWritten(const fs::path& written) {
    std::error_code ec;
    if (!fs::exists(written, ec))
        return {};
    return written.extension().string();
}

namespace {

std::optional<std::string> checkOneName(const std::string& name, const fs::path& written) {
    const QString text = QString::fromStdString(name);
    if (name.empty())
        return kErrNonFileNameForJobScan;
    if (TlvUtilsMethod::isHeadCharDotInString(text))
        return kErrHeadCharDotFileName;
    const std::string whole = name + extensionOfWritten(written);
    if (whole.size() > kMaxFileNameBytes)
        return kErrTooLongFileName;
    if (!isUsableFileName(whole))
        return kErrInValidFileName;
    return std::nullopt;
}

} // namespace

std::optional<std::string> checkConfirmedNames(const std::vector<std::string>& names,
                                               const std::vector<fs::path>& written) {
    if (names.empty() || names.size() != written.size())
        return kErrNotFoundFile;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (std::optional<std::string> fault = checkOneName(names[i], written[i]))
            return fault;
    }
    if (std::set<std::string>(names.begin(), names.end()).size() != names.size())
        return kErrEqualFileNameForJobScan;
    std::error_code ec;
    for (const fs::path& file : written) {
        if (!fs::is_regular_file(file, ec))
            return kErrNotFoundFile;
    }
    return std::nullopt;
}

} // namespace tlv
