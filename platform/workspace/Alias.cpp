// A new alias is made under a temporary name beside the old one and renamed over it, so the alias
// is never missing for a reader.
#include "Alias.h"

#include <unistd.h>

namespace ws {

bool makeAlias(const std::filesystem::path& target, const std::filesystem::path& aliasPath,
               std::string* error) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::symlink_status(aliasPath, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_symlink(status)) {
        if (error)
            *error = aliasPath.string() + " exists and is no alias";
        return false;
    }
    const std::filesystem::path temp = aliasPath.string() + ".new-" + std::to_string(::getpid());
    std::filesystem::remove(temp, ec);
    std::filesystem::create_symlink(target, temp, ec);
    if (!ec)
        std::filesystem::rename(temp, aliasPath, ec);
    if (ec) {
        if (error)
            *error = aliasPath.string() + ": " + ec.message();
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

std::optional<std::filesystem::path> resolveAlias(const std::filesystem::path& aliasPath) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(aliasPath, ec))
        return std::nullopt;
    // canonical follows every link of the chain and fails on a broken or looping one.
    std::filesystem::path target = std::filesystem::canonical(aliasPath, ec);
    if (ec)
        return std::nullopt;
    return target;
}

} // namespace ws
