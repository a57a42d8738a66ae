// Aliases are symbolic links: the alias of a program in another program's data folder points at it,
// and follows it when the target is replaced by a newer build.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace ws {

// Makes aliasPath point at target, replacing an alias that is there; a file or folder that is not an
// alias is never replaced (false, with a reason).
bool makeAlias(const std::filesystem::path& target, const std::filesystem::path& aliasPath,
               std::string* error = nullptr);
// Where an alias finally leads, following chains of aliases (links relative to their own folder);
// absent when aliasPath is no alias (a plain copy does not count), or the chain is broken or loops.
std::optional<std::filesystem::path> resolveAlias(const std::filesystem::path& aliasPath);

} // namespace ws
