// Value and Dictionary operations that need both types complete.
#include "Value.h"

#include <algorithm>
#include <chrono>

namespace fnd {

Date Date::now() {
    using namespace std::chrono;
    return Date{duration<double>(system_clock::now().time_since_epoch()).count()};
}

Dictionary::Dictionary(std::initializer_list<Entry> entries) {
    for (const Entry& e : entries)
        set(e.first, e.second);
}

const Value& Dictionary::get(std::string_view key) const {
    const Value* v = find(key);
    return v ? *v : Value::absent();
}

Value* Dictionary::find(std::string_view key) {
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.first == key; });
    return it == entries_.end() ? nullptr : &it->second;
}

const Value* Dictionary::find(std::string_view key) const {
    return const_cast<Dictionary*>(this)->find(key);
}

void Dictionary::set(std::string_view key, Value value) {
    if (value.isAbsent()) {
        remove(key);
        return;
    }
    if (Value* existing = find(key))
        *existing = std::move(value);
    else
        entries_.emplace_back(std::string(key), std::move(value));
}

bool Dictionary::remove(std::string_view key) {
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.first == key; });
    if (it == entries_.end())
        return false;
    entries_.erase(it);
    return true;
}

bool operator==(const Dictionary& a, const Dictionary& b) {
    if (a.size() != b.size())
        return false;
    return std::all_of(a.begin(), a.end(), [&](const Dictionary::Entry& e) {
        const Value* other = b.find(e.first);
        return other && *other == e.second;
    });
}

Value Value::pointer(void* address) {
    Value v;
    v.v_ = Pointer{address};
    return v;
}

const Value& Value::absent() {
    static const Value none;
    return none;
}

std::optional<Date> Value::asDate() const {
    const Date* d = std::get_if<Date>(&v_);
    return d ? std::optional<Date>(*d) : std::nullopt;
}

void* Value::asPointer() const {
    const Pointer* p = std::get_if<Pointer>(&v_);
    return p ? p->address : nullptr;
}

std::optional<bool> Value::asBool() const {
    const Number* n = asNumber();
    return n ? std::optional<bool>(n->toBool()) : std::nullopt;
}

std::optional<double> Value::asDouble() const {
    const Number* n = asNumber();
    return n ? std::optional<double>(n->toDouble()) : std::nullopt;
}

std::optional<std::int16_t> Value::asInt16() const {
    return asNumber() ? asNumber()->toInt16() : std::nullopt;
}
std::optional<std::int32_t> Value::asInt32() const {
    return asNumber() ? asNumber()->toInt32() : std::nullopt;
}
std::optional<std::int64_t> Value::asInt64() const {
    return asNumber() ? asNumber()->toInt64() : std::nullopt;
}
std::optional<std::uint16_t> Value::asUInt16() const {
    return asNumber() ? asNumber()->toUInt16() : std::nullopt;
}
std::optional<std::uint32_t> Value::asUInt32() const {
    return asNumber() ? asNumber()->toUInt32() : std::nullopt;
}
std::optional<std::uint64_t> Value::asUInt64() const {
    return asNumber() ? asNumber()->toUInt64() : std::nullopt;
}

bool operator==(const Value& a, const Value& b) {
    return a.v_ == b.v_;
}

} // namespace fnd
