// Login items are XDG autostart entries, "$XDG_CONFIG_HOME/autostart/<id>.desktop". Ours carry the
// key X-K3100-Helper=true; an autostart file without that mark belongs to someone else and is never
// written over or removed.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ws {

class LoginItems {
public:
    static constexpr char kMarkKey[] = "X-K3100-Helper";
    enum class Result { Done, Unchanged, Foreign, Failed };

    // $XDG_CONFIG_HOME/autostart, with ~/.config for an unset or relative $XDG_CONFIG_HOME.
    static std::filesystem::path folder();

    // id: the program's bundle identifier, the entry's file name without ".desktop".
    explicit LoginItems(std::string id) : id_(std::move(id)) {}
    std::filesystem::path entryPath() const { return folder() / (id_ + ".desktop"); }

    // Our entry is there, is not hidden, and starts program.
    bool contains(const std::filesystem::path& program) const;
    // Writes our entry (atomically) unless it already starts program (Unchanged) or the file is
    // someone else's (Foreign).
    Result add(const std::filesystem::path& program, std::string_view name) const;
    // Removes our entry; Unchanged when there is none, Foreign when the file is someone else's.
    Result remove() const;
    // Removes our marked entries under other names, left by other copies of the program; answers
    // how many went.
    int removeStrays() const;

private:
    std::string id_;
};

} // namespace ws
