// Field codes are expanded per argument after the line is split, so a code inside quotes behaves as
// one outside them, and the files themselves are never split or re-read.
#include "ExecLine.h"

namespace ws {
namespace {

enum class FileCodes { None, One, All };

FileCodes fileCodes(const Argv& tokens) {
    for (const std::string& t : tokens) {
        if (t == "%F" || t == "%U")
            return FileCodes::All;
        if (t.find("%f") != std::string::npos || t.find("%u") != std::string::npos)
            return FileCodes::One;
    }
    return FileCodes::None;
}

// Expands the codes of one token that is not a list code standing alone. Absent: drop the token
// (it was only codes and came out empty).
std::optional<std::string> expandToken(const std::string& token, const DesktopEntry& entry,
                                       const std::string* file) {
    std::string out;
    bool hadCode = false;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] != '%' || i + 1 == token.size()) {
            out += token[i];
            continue;
        }
        const char code = token[++i];
        hadCode = hadCode || code != '%';
        if (code == '%')
            out += '%';
        else if ((code == 'f' || code == 'u') && file)
            out += *file;
        else if (code == 'c')
            out += entry.name();
        else if (code == 'k')
            out += entry.file().string();
    }
    if (hadCode && out.empty())
        return std::nullopt;
    return out;
}

Argv expandOnce(const Argv& tokens, const DesktopEntry& entry, const std::vector<std::string>& files,
                const std::string* file) {
    Argv argv;
    for (const std::string& t : tokens) {
        if (t == "%F" || t == "%U") {
            argv.insert(argv.end(), files.begin(), files.end());
        } else if (t == "%i") {
            if (const std::string icon = entry.icon(); !icon.empty())
                argv.insert(argv.end(), {"--icon", icon});
        } else if (std::optional<std::string> arg = expandToken(t, entry, file)) {
            argv.push_back(std::move(*arg));
        }
    }
    return argv;
}

} // namespace

std::optional<Argv> splitExec(std::string_view exec) {
    Argv args;
    std::string current;
    bool inQuotes = false;
    bool haveArg = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (inQuotes && c == '\\' && i + 1 < exec.size() &&
            std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos) {
            current += exec[++i];
        } else if (c == '"') {
            inQuotes = !inQuotes;
            haveArg = true;
        } else if (!inQuotes && (c == ' ' || c == '\t' || c == '\n')) {
            if (haveArg)
                args.push_back(std::move(current));
            current.clear();
            haveArg = false;
        } else {
            current += c;
            haveArg = true;
        }
    }
    if (inQuotes)
        return std::nullopt;
    if (haveArg)
        args.push_back(std::move(current));
    return args;
}

std::vector<Argv> expandExec(const DesktopEntry& entry, const std::vector<std::filesystem::path>& files) {
    const std::optional<Argv> tokens = splitExec(entry.exec());
    if (!tokens || tokens->empty())
        return {};
    std::vector<std::string> names;
    std::error_code ec;
    for (const std::filesystem::path& f : files)
        names.push_back(std::filesystem::absolute(f, ec).string());
    std::vector<Argv> commands;
    if (fileCodes(*tokens) == FileCodes::One && !names.empty())
        for (const std::string& name : names)
            commands.push_back(expandOnce(*tokens, entry, names, &name));
    else
        commands.push_back(expandOnce(*tokens, entry, names, nullptr));
    if (commands.front().empty() || commands.front().front().empty())
        return {};
    return commands;
}

bool takesFiles(const DesktopEntry& entry) {
    const std::optional<Argv> tokens = splitExec(entry.exec());
    return tokens && fileCodes(*tokens) != FileCodes::None;
}

std::string quoteExecArgument(std::string_view argument) {
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`%";
    if (!argument.empty() && argument.find_first_of(reserved) == std::string_view::npos)
        return std::string(argument);
    std::string out = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
        if (c == '%')
            out += '%';
    }
    return out + "\"";
}

} // namespace ws
