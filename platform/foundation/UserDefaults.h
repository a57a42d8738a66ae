// A program's user defaults: the settings dictionary of one bundle identifier, kept in
// "$XDG_CONFIG_HOME/<bundle id>.plist". Reads and changes work on memory; synchronize() merges this
// object's changes into the file as it is now on disk (so keys written by another process meanwhile
// survive), writes it atomically (only when a value differs from the file's) and reads it back. Safe to
// use from several threads.
#pragma once

#include "Export.h"
#include "Value.h"

#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace fnd {

class FND_EXPORT UserDefaults {
public:
    // An identifier that names no valid file gives defaults that never save.
    explicit UserDefaults(std::string_view bundleId);
    // Pending changes are synchronised, so a forgotten call loses nothing.
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The defaults of the main bundle's identifier (or, without one, of the program's file name).
    static UserDefaults& standard();

    // Copies, so the answer stays valid whatever other threads change. A value of another type
    // reads as missing.
    Value object(std::string_view key) const;
    std::optional<std::string> string(std::string_view key) const;
    std::optional<Data> data(std::string_view key) const;
    std::optional<Dictionary> dictionary(std::string_view key) const;
    std::optional<Array> array(std::string_view key) const;
    std::optional<std::int64_t> integer(std::string_view key) const { return object(key).asInt64(); }
    std::optional<double> real(std::string_view key) const { return object(key).asDouble(); }
    std::optional<bool> boolean(std::string_view key) const { return object(key).asBool(); }

    // An absent value removes the key.
    void set(std::string_view key, Value value);
    void remove(std::string_view key) { set(key, Value()); }

    // False (and error) when the file could not be written; the changes then stay pending.
    bool synchronize(std::string* error = nullptr);
    // Called with the reason whenever synchronize() fails, on the thread that called it and outside
    // the lock, so that a program can tell the user; an empty function stops it.
    void setWriteFailureHandler(std::function<void(const std::string& why)> handler);
    const std::filesystem::path& path() const { return path_; }

private:
    bool synchronizeLocked(std::string& error);
    template <typename T> std::optional<T> copyOf(std::string_view key, const T* (Value::*get)() const) const;

    mutable std::mutex mutex_;
    std::filesystem::path path_;
    Dictionary values_;
    std::set<std::string, std::less<>> changed_; // keys set or removed since the last synchronize
    std::function<void(const std::string&)> writeFailureHandler_;
};

} // namespace fnd
