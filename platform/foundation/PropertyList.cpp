// Converts between Value trees and libplist nodes. Every libplist node and buffer is owned by a
// unique_ptr, so an early return on bad input frees everything.
#include "PropertyList.h"

#include <algorithm>

#include "PropertyListCheck.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace fnd::plist {
namespace {

struct NodeFree {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Node = std::unique_ptr<void, NodeFree>;

struct CFree {
    void operator()(void* p) const { std::free(p); }
};

// Property lists count time from 2001-01-01 UTC.
constexpr double kEpochOffset = 978307200.0; // s
// Deeper trees are refused, so hostile input cannot exhaust the stack.
constexpr int kMaxDepth = 256;

bool setError(std::string* error, std::string text) {
    if (error)
        *error = std::move(text);
    return false;
}

Node fromDate(Date d, std::string* error) {
    const double t = d.secondsSince1970 - kEpochOffset;
    double whole = std::floor(t);
    double micro = std::round((t - whole) * 1e6);
    if (micro >= 1e6) {
        whole += 1;
        micro = 0;
    }
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max())) {
        setError(error, "date out of range");
        return nullptr;
    }
    return Node(plist_new_date(static_cast<std::int32_t>(whole), static_cast<std::int32_t>(micro)));
}

Node fromNumber(const Number& n, std::string* error) {
    if (n.isBool())
        return Node(plist_new_bool(n.toBool() ? 1 : 0));
    if (n.isReal())
        return Node(plist_new_real(n.toDouble()));
    // The XML writer prints integers as signed, so a larger unsigned value would come back negative.
    const std::optional<std::int64_t> i = n.toInt64();
    if (!i) {
        setError(error, "unsigned number above 2^63-1");
        return nullptr;
    }
    return Node(plist_new_uint(static_cast<std::uint64_t>(*i)));
}

bool hasNul(const std::string& s) {
    return s.find('\0') != std::string::npos;
}

Node toNode(const Value& v, int depth, std::string* error);

Node fromArray(const Array& a, int depth, std::string* error) {
    Node node(plist_new_array());
    for (const Value& item : a) {
        Node child = toNode(item, depth + 1, error);
        if (!child)
            return nullptr;
        plist_array_append_item(node.get(), child.release());
    }
    return node;
}

Node fromDictionary(const Dictionary& d, int depth, std::string* error) {
    Node node(plist_new_dict());
    for (const auto& [key, item] : d) {
        if (hasNul(key)) {
            setError(error, "key with a NUL byte");
            return nullptr;
        }
        Node child = toNode(item, depth + 1, error);
        if (!child)
            return nullptr;
        plist_dict_set_item(node.get(), key.c_str(), child.release());
    }
    return node;
}

Node toNode(const Value& v, int depth, std::string* error) {
    if (depth > kMaxDepth) {
        setError(error, "nested too deeply");
        return nullptr;
    }
    switch (v.kind()) {
    case Value::Kind::String:
        if (hasNul(*v.asString())) {
            setError(error, "string with a NUL byte");
            return nullptr;
        }
        return Node(plist_new_string(v.asString()->c_str()));
    case Value::Kind::Number:
        return fromNumber(*v.asNumber(), error);
    case Value::Kind::Data:
        return Node(plist_new_data(reinterpret_cast<const char*>(v.asData()->data()), v.asData()->size()));
    case Value::Kind::Date:
        return fromDate(*v.asDate(), error);
    case Value::Kind::Array:
        return fromArray(*v.asArray(), depth, error);
    case Value::Kind::Dictionary:
        return fromDictionary(*v.asDictionary(), depth, error);
    case Value::Kind::Absent:
    case Value::Kind::Pointer:
        break;
    }
    setError(error, v.isAbsent() ? "absent value" : "pointer value");
    return nullptr;
}

std::optional<Value> fromNode(plist_t node, int depth);

std::optional<Value> fromArrayNode(plist_t node, int depth) {
    Array a;
    const std::uint32_t n = plist_array_get_size(node);
    a.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        std::optional<Value> item = fromNode(plist_array_get_item(node, i), depth + 1);
        if (!item)
            return std::nullopt;
        a.push_back(std::move(*item));
    }
    return Value(std::move(a));
}

std::optional<Value> fromDictNode(plist_t node, int depth) {
    Dictionary d;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(node, &it);
    std::unique_ptr<void, CFree> iterOwner(it);
    for (;;) {
        char* rawKey = nullptr;
        plist_t child = nullptr;
        plist_dict_next_item(node, it, &rawKey, &child);
        std::unique_ptr<char, CFree> key(rawKey);
        if (!child)
            return Value(std::move(d));
        std::optional<Value> item = fromNode(child, depth + 1);
        if (!item || !key)
            return std::nullopt;
        d.set(key.get(), std::move(*item));
    }
}

std::optional<Value> fromScalarNode(plist_t node) {
    std::uint64_t length = 0;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN:
        return Value(plist_bool_val_is_true(node) != 0);
    case PLIST_UINT:
    case PLIST_UID: {
        std::uint64_t u = 0;
        plist_get_uint_val(node, &u);
        return Value(static_cast<std::int64_t>(u));
    }
    case PLIST_REAL: {
        double r = 0;
        plist_get_real_val(node, &r);
        return Value(r);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        const char* s = plist_get_string_ptr(node, &length);
        return s ? Value(std::string(s, length)) : Value(std::string());
    }
    case PLIST_DATA: {
        const auto* p = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
        return Value(p ? Data(p, p + length) : Data());
    }
    case PLIST_DATE: {
        std::int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return Value(Date{sec + usec / 1e6 + kEpochOffset});
    }
    default:
        return std::nullopt;
    }
}

std::optional<Value> fromNode(plist_t node, int depth) {
    if (!node || depth > kMaxDepth)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
        return fromArrayNode(node, depth);
    case PLIST_DICT:
        return fromDictNode(node, depth);
    default:
        return fromScalarNode(node);
    }
}

} // namespace

std::optional<Value> parse(std::span<const std::uint8_t> bytes, std::string* error) {
    if (bytes.empty() || bytes.size() > kMaxFileBytes) {
        setError(error, bytes.empty() ? "empty property list" : "property list too large");
        return std::nullopt;
    }
    if (binaryHasNulInStrings(bytes)) {
        setError(error, "string with a NUL byte");
        return std::nullopt;
    }
    // The library's binary reader and its release of a tree recurse once per level, so a deep file
    // would take the stack with it.
    const bool binary = bytes.size() >= 6 && std::memcmp(bytes.data(), "bplist", 6) == 0;
    if (binary ? binaryNestsTooDeeply(bytes, kMaxDepth) : xmlNestsTooDeeply(bytes, kMaxDepth)) {
        setError(error, "nested too deeply");
        return std::nullopt;
    }
    plist_t raw = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(bytes.data()), static_cast<std::uint32_t>(bytes.size()),
                      &raw);
    Node root(raw);
    std::optional<Value> v = fromNode(root.get(), 0);
    if (!v)
        setError(error, "not a property list");
    return v;
}

std::optional<std::string> toXml(const Value& value, std::string* error) {
    Node root = toNode(value, 0, error);
    if (!root)
        return std::nullopt;
    char* raw = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &raw, &length);
    std::unique_ptr<char, CFree> text(raw);
    if (!text) {
        setError(error, "cannot serialise");
        return std::nullopt;
    }
    return std::string(text.get(), length);
}

std::optional<std::vector<std::uint8_t>> toBinary(const Value& value, std::string* error) {
    Node root = toNode(value, 0, error);
    if (!root)
        return std::nullopt;
    char* raw = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root.get(), &raw, &length);
    std::unique_ptr<char, CFree> bytes(raw);
    if (!bytes) {
        setError(error, "cannot serialise");
        return std::nullopt;
    }
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.get());
    return std::vector<std::uint8_t>(p, p + length);
}

namespace {

// Characters below the space other than tab, line feed and carriage return have no place in XML 1.0.
bool hasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 && u != '\t' && u != '\n' && u != '\r';
    });
}

bool holdsControlCharacters(const Value& value) {
    if (const std::string* text = value.asString())
        return hasControlCharacter(*text);
    if (const Array* array = value.asArray())
        return std::any_of(array->begin(), array->end(), holdsControlCharacters);
    if (const Dictionary* dictionary = value.asDictionary())
        return std::any_of(dictionary->begin(), dictionary->end(), [](const Dictionary::Entry& entry) {
            return hasControlCharacter(entry.first) || holdsControlCharacters(entry.second);
        });
    return false;
}

} // namespace

FileContents readFile(const std::filesystem::path& path) {
    FileContents out;
    std::vector<std::uint8_t> bytes;
    out.status = readWholeFile(path, bytes, kMaxFileBytes, &out.error);
    if (out.status != ReadStatus::Ok)
        return out;
    std::optional<Value> v = parse(bytes, &out.error);
    out.malformed = !v;
    if (v)
        out.value = std::move(*v);
    else
        out.error += ": " + path.string();
    return out;
}

bool writeFile(const std::filesystem::path& path, const Value& value, std::string* error) {
    if (holdsControlCharacters(value)) {
        const std::optional<std::vector<std::uint8_t>> binary = toBinary(value, error);
        return binary && writeFileAtomically(path, *binary, error);
    }
    std::optional<std::string> xml = toXml(value, error);
    if (!xml)
        return false;
    const auto* p = reinterpret_cast<const std::uint8_t*>(xml->data());
    return writeFileAtomically(path, std::span<const std::uint8_t>(p, xml->size()), error);
}

} // namespace fnd::plist
