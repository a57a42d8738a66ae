// Merging only the keys this object changed keeps two writers of one file from undoing each other.
#include "UserDefaults.h"

#include "Bundle.h"
#include "PreferencesFile.h"

#include <algorithm>
#include <cstdio>

namespace fnd {

UserDefaults::UserDefaults(std::string_view bundleId) : path_(PreferencesFile::pathForBundle(bundleId)) {
    values_ = PreferencesFile(path_).values();
}

UserDefaults::~UserDefaults() {
    std::string error;
    if (!changed_.empty() && !synchronize(&error))
        std::fprintf(stderr, "user defaults not saved: %s\n", error.c_str());
}

UserDefaults& UserDefaults::standard() {
    // A program without an identifier keeps its defaults under its own file name.
    static UserDefaults defaults([] {
        const std::string id = Bundle::main().identifier();
        return id.empty() ? Bundle::main().binaryPath().filename().string() : id;
    }());
    return defaults;
}

Value UserDefaults::object(std::string_view key) const {
    std::lock_guard lock(mutex_);
    return values_.get(key);
}

template <typename T>
std::optional<T> UserDefaults::copyOf(std::string_view key, const T* (Value::*get)() const) const {
    std::lock_guard lock(mutex_);
    const T* v = (values_.get(key).*get)();
    return v ? std::optional<T>(*v) : std::nullopt;
}

std::optional<std::string> UserDefaults::string(std::string_view key) const {
    return copyOf(key, &Value::asString);
}
std::optional<Data> UserDefaults::data(std::string_view key) const {
    return copyOf(key, &Value::asData);
}
std::optional<Dictionary> UserDefaults::dictionary(std::string_view key) const {
    return copyOf<Dictionary>(key, &Value::asDictionary);
}
std::optional<Array> UserDefaults::array(std::string_view key) const {
    return copyOf<Array>(key, &Value::asArray);
}

void UserDefaults::set(std::string_view key, Value value) {
    std::lock_guard lock(mutex_);
    values_.set(key, std::move(value));
    changed_.emplace(key);
}

void UserDefaults::setWriteFailureHandler(std::function<void(const std::string& why)> handler) {
    std::lock_guard lock(mutex_);
    writeFailureHandler_ = std::move(handler);
}

bool UserDefaults::synchronize(std::string* error) {
    std::string why;
    std::function<void(const std::string&)> report;
    {
        std::lock_guard lock(mutex_);
        if (synchronizeLocked(why))
            return true;
        report = writeFailureHandler_;
    }
    if (report)
        report(why);
    if (error)
        *error = std::move(why);
    return false;
}

bool UserDefaults::synchronizeLocked(std::string& error) {
    PreferencesFile file(path_);
    if (changed_.empty()) {
        values_ = std::move(file.values());
        return true;
    }
    // Values set again as they were cost no write: callers synchronise after every event, and a
    // rewrite with its flush to disk each time stalls the program.
    const bool same = file.state() != PreferencesFile::State::Damaged &&
                      std::all_of(changed_.begin(), changed_.end(),
                                  [&](const std::string& key) { return file.get(key) == values_.get(key); });
    if (!same) {
        for (const std::string& key : changed_)
            file.set(key, values_.get(key));
        if (!file.save(&error))
            return false;
    }
    values_ = std::move(file.values());
    changed_.clear();
    return true;
}

} // namespace fnd
