// A small recursive-descent reader for the text form: quoted (or bare) key, '=', quoted text, ';'.
#include "StringTable.h"

#include "FileIO.h"
#include "PropertyList.h"

#include <cctype>
#include <cstdio>

namespace fnd {
namespace {

// Largest table file read (bytes).
constexpr std::uintmax_t kMaxTableBytes = 16u << 20;

class TextReader {
public:
    explicit TextReader(std::string_view text) : text_(text) {}

    // Reads the next entry; false at the end or on an error (then error() is set).
    bool next(std::string& key, std::string& value) {
        skipSpace();
        if (pos_ >= text_.size())
            return false;
        entryLine_ = line_;
        if (!token(key) || !expect('=') || !token(value) || !expect(';'))
            return false;
        return true;
    }
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& why) {
        if (error_.empty())
            error_ = "line " + std::to_string(entryLine_) + ": " + why;
        pos_ = text_.size();
        return false;
    }
    char peek(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    void advance() {
        if (text_[pos_++] == '\n')
            ++line_;
    }

    void skipSpace() {
        while (pos_ < text_.size()) {
            if (std::isspace(static_cast<unsigned char>(peek()))) {
                advance();
            } else if (peek() == '/' && peek(1) == '/') {
                while (pos_ < text_.size() && peek() != '\n')
                    advance();
            } else if (peek() == '/' && peek(1) == '*') {
                const std::size_t end = text_.find("*/", pos_ + 2);
                while (pos_ < text_.size() && pos_ < (end == std::string_view::npos ? text_.size() : end + 2))
                    advance();
            } else {
                return;
            }
        }
    }

    bool expect(char c) {
        skipSpace();
        if (peek() != c)
            return fail(std::string("expected '") + c + "'");
        advance();
        return true;
    }

    bool token(std::string& out) {
        skipSpace();
        out.clear();
        if (peek() == '"')
            return quoted(out);
        while (pos_ < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(peek())) || peek() == '_' || peek() == '.'))
            out += text_[pos_++];
        return out.empty() ? fail("expected a quoted string") : true;
    }

    bool quoted(std::string& out) {
        advance(); // opening quote
        while (pos_ < text_.size() && peek() != '"') {
            if (peek() != '\\') {
                out += peek();
                advance();
                continue;
            }
            advance();
            if (!escape(out))
                return false;
        }
        if (pos_ >= text_.size())
            return fail("unterminated string");
        advance(); // closing quote
        return true;
    }

    bool escape(std::string& out) {
        const char c = peek();
        if (pos_ >= text_.size())
            return fail("unterminated string");
        advance();
        switch (c) {
        case 'n':
            out += '\n';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 'U':
        case 'u':
            return unicode(out);
        default:
            out += c;
            return true;
        }
    }

    // \Uxxxx: a UTF-16 unit written out as UTF-8 (the basic plane, which is what tables hold).
    bool unicode(std::string& out) {
        unsigned cp = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = peek();
            if (!std::isxdigit(static_cast<unsigned char>(h)))
                return fail("bad \\U escape");
            cp = cp * 16 + static_cast<unsigned>(
                               std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (h | 0x20) - 'a' + 10);
            advance();
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int entryLine_ = 1; // errors name the line where the broken entry starts
    std::string error_;
};

bool looksLikePropertyList(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos &&
           (text.substr(start, 5) == "<?xml" || text.substr(start, 6) == "<plist" ||
            text.substr(start, 6) == "bplist");
}

} // namespace

StringTable StringTable::parse(std::string_view text, std::string* error) {
    StringTable table;
    TextReader reader(text);
    std::string key, value;
    while (reader.next(key, value))
        table.texts_[key] = value;
    if (error)
        *error = reader.error();
    return table;
}

StringTable StringTable::load(const std::filesystem::path& file) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (readWholeFile(file, bytes, kMaxTableBytes, &error) == ReadStatus::Missing)
        return {};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    StringTable table;
    if (error.empty() && looksLikePropertyList(text)) {
        const std::optional<Value> v = plist::parse(bytes, &error);
        if (const Dictionary* d = v ? v->asDictionary() : nullptr) {
            for (const auto& [key, item] : *d)
                if (const std::string* s = item.asString())
                    table.texts_[key] = *s;
        } else if (error.empty()) {
            error = "not a dictionary";
        }
    } else if (error.empty()) {
        table = parse(text, &error);
    }
    if (!error.empty())
        std::fprintf(stderr, "string table %s: %s\n", file.c_str(), error.c_str());
    return table;
}

std::string StringTable::lookup(std::string_view key) const {
    const std::string* text = find(key);
    return text ? *text : std::string(key);
}

const std::string* StringTable::find(std::string_view key) const {
    const auto it = texts_.find(std::string(key));
    return it == texts_.end() ? nullptr : &it->second;
}

} // namespace fnd
