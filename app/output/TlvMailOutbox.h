// Files made for a mail go to a persistent folder of the user's own, one per batch:
// $XDG_DATA_HOME/tollivar/outbox/<batch>/ (XDG_DATA_HOME defaults to ~/.local/share). The mail program
// may read them long after the batch, when the temporary folder is gone.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tlv {

// A new batch name, unique in this process and over time.
std::string newOutboxBatchName();
// Makes the batch's folder (mode 0700) when missing; none when it cannot be made or is not a folder
// of this user's.
std::optional<std::filesystem::path> mailOutboxFolder(const std::string& batch);

} // namespace tlv
