// The tree of values that settings, property lists, notifications and bundle information are made of:
// dictionaries (kept in insertion order), arrays, UTF-8 strings, numbers with their width, bytes,
// dates and opaque in-process pointers. Copies are deep; typed getters answer "absent" (a null
// pointer or an empty optional) for a missing value or one of another type, never throw.
#pragma once

#include "Date.h"
#include "Export.h"
#include "Number.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace fnd {

class Value;
using Array = std::vector<Value>;
using Data = std::vector<std::uint8_t>;

// String-keyed map that keeps keys in the order they were first set. Lookups are linear, which is
// faster than hashing for the few dozen keys a settings file holds.
class FND_EXPORT Dictionary {
public:
    using Entry = std::pair<std::string, Value>;

    Dictionary() = default;
    Dictionary(std::initializer_list<Entry> entries);

    // Defined after Value: an entry can only be touched once Value is a complete type.
    std::size_t size() const;
    bool empty() const;
    std::vector<Entry>::const_iterator begin() const;
    std::vector<Entry>::const_iterator end() const;
    std::vector<Entry>::iterator begin();
    std::vector<Entry>::iterator end();

    // The value under key, or the shared absent value; chain a typed getter: d.get("k").asInt32().
    const Value& get(std::string_view key) const;
    // Null when missing; the pointer stays valid until the dictionary's keys change.
    Value* find(std::string_view key);
    const Value* find(std::string_view key) const;
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    // Replaces an existing value in its place or appends the key. An absent value removes the key.
    void set(std::string_view key, Value value);
    bool remove(std::string_view key);
    void clear();

    // Same keys with equal values; order does not matter.
    friend FND_EXPORT bool operator==(const Dictionary& a, const Dictionary& b);

private:
    std::vector<Entry> entries_;
};

class FND_EXPORT Value {
public:
    enum class Kind : std::uint8_t { Absent, String, Number, Data, Date, Array, Dictionary, Pointer };

    Value() = default;
    Value(std::string s) : v_(std::move(s)) {}
    Value(std::string_view s) : v_(std::string(s)) {}
    Value(const char* s) : v_(std::string(s ? s : "")) {}
    Value(Number n) : v_(n) {}
    template <typename T>
    requires std::is_arithmetic_v<T> &&(!std::is_same_v<T, char>)Value(T n) : v_(Number(n)) {}
    Value(Data d) : v_(std::move(d)) {}
    Value(Date d) : v_(d) {}
    Value(Array a) : v_(std::move(a)) {}
    Value(Dictionary d) : v_(std::move(d)) {}

    // An in-process object address (a window, a record). Never written to a file; equal only to the
    // same address. The value does not own the object.
    static Value pointer(void* address);
    static const Value& absent();

    Kind kind() const { return static_cast<Kind>(v_.index()); }
    bool isAbsent() const { return kind() == Kind::Absent; }

    const std::string* asString() const { return std::get_if<std::string>(&v_); }
    const Number* asNumber() const { return std::get_if<Number>(&v_); }
    const Data* asData() const { return std::get_if<Data>(&v_); }
    std::optional<Date> asDate() const;
    const Array* asArray() const { return std::get_if<Array>(&v_); }
    Array* asArray() { return std::get_if<Array>(&v_); }
    const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&v_); }
    Dictionary* asDictionary() { return std::get_if<Dictionary>(&v_); }
    void* asPointer() const;

    // Numbers of any kind, converted when the value fits the asked type exactly (see Number).
    std::optional<bool> asBool() const;
    std::optional<std::int16_t> asInt16() const;
    std::optional<std::int32_t> asInt32() const;
    std::optional<std::int64_t> asInt64() const;
    std::optional<std::uint16_t> asUInt16() const;
    std::optional<std::uint32_t> asUInt32() const;
    std::optional<std::uint64_t> asUInt64() const;
    std::optional<double> asDouble() const;

    friend FND_EXPORT bool operator==(const Value& a, const Value& b);

private:
    struct Pointer {
        void* address = nullptr;
        friend bool operator==(const Pointer&, const Pointer&) = default;
    };
    // Order matches Kind.
    std::variant<std::monostate, std::string, Number, Data, Date, Array, Dictionary, Pointer> v_;
};

inline std::size_t Dictionary::size() const {
    return entries_.size();
}
inline bool Dictionary::empty() const {
    return entries_.empty();
}
inline std::vector<Dictionary::Entry>::const_iterator Dictionary::begin() const {
    return entries_.begin();
}
inline std::vector<Dictionary::Entry>::const_iterator Dictionary::end() const {
    return entries_.end();
}
inline std::vector<Dictionary::Entry>::iterator Dictionary::begin() {
    return entries_.begin();
}
inline std::vector<Dictionary::Entry>::iterator Dictionary::end() {
    return entries_.end();
}
inline void Dictionary::clear() {
    entries_.clear();
}

} // namespace fnd
