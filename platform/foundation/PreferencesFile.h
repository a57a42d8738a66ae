// A preferences file: a property-list dictionary read whole, changed key by key and written back
// whole and atomically. A missing file reads as empty. A damaged one (not a property list, or not a
// dictionary) reads as empty with one warning on stderr; save() first moves it aside to
// "<name>.damaged" (and says so), so that favourites and papers it held are not lost. A file that is a
// symbolic link is written through to the link's target when that is a regular file of this user;
// a link to anything else (a device, a FIFO, another user's file, a loop) is itself replaced.
#pragma once

#include "Export.h"
#include "Value.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace fnd {

class FND_EXPORT PreferencesFile {
public:
    enum class State { Missing, Loaded, Damaged };

    // Reads the file at once; an empty path gives an empty set that cannot be saved.
    explicit PreferencesFile(std::filesystem::path path);

    // "$XDG_CONFIG_HOME/<bundleId>.plist", falling back to "~/.config". Empty for an identifier that
    // could leave that folder (empty, ".", "..", or containing '/').
    static std::filesystem::path pathForBundle(std::string_view bundleId);
    // The user's configuration folder: $XDG_CONFIG_HOME when absolute, else ~/.config.
    static std::filesystem::path configFolder();
    // Renames a damaged file to "<name>.damaged" (or "<name>.damaged-2" and on when that is taken); the
    // path it now has, or empty when it could not move.
    static std::filesystem::path moveAside(const std::filesystem::path& path);
    // Called after each damaged file of the process was moved aside, with its path and the one it has
    // now, on the thread that moved it, so that a program can tell its user; an empty function stops it
    // (once this returns, the old one runs no more). The handler must not move files aside itself.
    using SetAsideHandler =
        std::function<void(const std::filesystem::path& file, const std::filesystem::path& aside)>;
    static void setSetAsideHandler(SetAsideHandler handler);

    const std::filesystem::path& path() const { return path_; }
    State state() const { return state_; }

    // Read a key with a typed getter; a value of another type reads as missing: get("k").asString().
    const Value& get(std::string_view key) const { return values_.get(key); }
    void set(std::string_view key, Value value) { values_.set(key, std::move(value)); }
    void remove(std::string_view key) { values_.remove(key); }
    const Dictionary& values() const { return values_; }
    Dictionary& values() { return values_; }

    // Drops unsaved changes and reads the file again.
    void reload();
    // Writes every key; creates the folder when needed. False (and error) when nothing was written.
    bool save(std::string* error = nullptr);

private:
    std::filesystem::path path_;
    Dictionary values_;
    State state_ = State::Missing;
};

} // namespace fnd
