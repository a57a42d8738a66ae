// The parameters of an event or a reply: integers under four-letter keywords, each with the width it
// was sent with ("shor" = 16 bits, "long" = 32 bits). On the bus they travel as one a{sv} argument
// whose variants carry the D-Bus integer type of that width.
#pragma once

#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <cstdint>
#include <map>
#include <optional>

namespace ae {

enum class Width : std::uint8_t { Bool, UInt8, Int16, UInt16, Int32, UInt32, Int64, UInt64 };

struct Parameter {
    Width width = Width::Int32;
    std::int64_t value = 0;
};

class Parameters {
public:
    void setInt16(const QString& keyword, std::int16_t value) { set(keyword, {Width::Int16, value}); }
    void setInt32(const QString& keyword, std::int32_t value) { set(keyword, {Width::Int32, value}); }
    void set(const QString& keyword, Parameter parameter) { entries_[keyword] = parameter; }

    // As a handler reads a parameter: any integer width is widened; a missing parameter, or one
    // that is no integer or does not fit 32 bits, reads 0.
    std::int32_t int32(const QString& keyword) const;
    std::optional<Parameter> find(const QString& keyword) const;
    std::size_t size() const { return entries_.size(); }

    // The most entries a dictionary from the bus may have: the events carry at most three, and a larger
    // one is refused before its values are decoded, so a hostile sender cannot make us decode millions.
    static constexpr int kMaxEntries = 8;

    QVariantMap toWire() const;
    // From a message's arguments: the first, when it is a dictionary of variants; entries that are
    // not integers are left out, and so is everything when the first argument is something else.
    // None when the dictionary holds more than kMaxEntries entries.
    static std::optional<Parameters> fromWire(const QVariantList& arguments);

private:
    std::map<QString, Parameter> entries_;
};

} // namespace ae
