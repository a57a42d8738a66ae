// Every decision reads the file afresh, so an entry the user changed meanwhile is judged as it is now.
#include "LoginItems.h"

#include "DesktopEntry.h"
#include "ExecLine.h"

#include "FileIO.h"
#include "PreferencesFile.h"

#include <optional>

namespace ws {
namespace {

std::optional<DesktopEntry> ourEntry(const std::filesystem::path& file) {
    std::optional<DesktopEntry> entry = DesktopEntry::load(file);
    if (entry && entry->boolean(LoginItems::kMarkKey))
        return entry;
    return std::nullopt;
}

std::string entryText(const std::filesystem::path& program, std::string_view name) {
    return "[Desktop Entry]\nType=Application\nName=" + escapeValue(name) +
           "\nExec=" + escapeValue(quoteExecArgument(program.string())) + "\n" + LoginItems::kMarkKey +
           "=true\n";
}

} // namespace

std::filesystem::path LoginItems::folder() {
    return fnd::PreferencesFile::configFolder() / "autostart";
}

bool LoginItems::contains(const std::filesystem::path& program) const {
    const std::optional<DesktopEntry> entry = ourEntry(entryPath());
    if (!entry || entry->boolean("Hidden"))
        return false;
    const std::optional<Argv> argv = splitExec(entry->exec());
    return argv && !argv->empty() && argv->front() == program.string();
}

LoginItems::Result LoginItems::add(const std::filesystem::path& program, std::string_view name) const {
    if (contains(program))
        return Result::Unchanged;
    std::error_code ec;
    const std::filesystem::path file = entryPath();
    if (std::filesystem::exists(std::filesystem::symlink_status(file, ec)) && !ourEntry(file))
        return Result::Foreign;
    std::filesystem::create_directories(file.parent_path(), ec);
    const std::string text = entryText(program, name);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return fnd::writeFileAtomically(file, {bytes, text.size()}) ? Result::Done : Result::Failed;
}

LoginItems::Result LoginItems::remove() const {
    std::error_code ec;
    const std::filesystem::path file = entryPath();
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec)))
        return Result::Unchanged;
    if (!ourEntry(file))
        return Result::Foreign;
    return std::filesystem::remove(file, ec) ? Result::Done : Result::Failed;
}

int LoginItems::removeStrays() const {
    std::error_code ec;
    int removed = 0;
    for (const auto& item : std::filesystem::directory_iterator(folder(), ec)) {
        const std::filesystem::path& file = item.path();
        if (file.extension() == ".desktop" && file != entryPath() && ourEntry(file) &&
            std::filesystem::remove(file, ec))
            ++removed;
    }
    return removed;
}

} // namespace ws
