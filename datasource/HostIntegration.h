// Where the data source lies relative to the program that loaded it.
#pragma once

#include <filesystem>

// True when the data source's binary lies in the host program's own folder or below it (and is not the
// program itself): it then belongs to that program, which receives its messages as notifications.
bool IsInsideHostFolder(const std::filesystem::path& dataSource, const std::filesystem::path& program);
