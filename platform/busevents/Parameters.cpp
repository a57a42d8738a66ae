// Widths map one to one onto the D-Bus integer types (b y n q i u x t), so a receiver sees exactly the
// width that was sent; the lenient 32-bit read is what every handler of these events does.
#include "Parameters.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusVariant>

#include <limits>

namespace ae {
namespace {

QVariant wireValue(const Parameter& p) {
    switch (p.width) {
    case Width::Bool:
        return QVariant::fromValue(p.value != 0);
    case Width::UInt8:
        return QVariant::fromValue(static_cast<std::uint8_t>(p.value));
    case Width::Int16:
        return QVariant::fromValue(static_cast<std::int16_t>(p.value));
    case Width::UInt16:
        return QVariant::fromValue(static_cast<std::uint16_t>(p.value));
    case Width::Int32:
        return QVariant::fromValue(static_cast<std::int32_t>(p.value));
    case Width::UInt32:
        return QVariant::fromValue(static_cast<std::uint32_t>(p.value));
    case Width::Int64:
        return QVariant::fromValue(static_cast<qlonglong>(p.value));
    case Width::UInt64:
        return QVariant::fromValue(static_cast<qulonglong>(p.value));
    }
    return {};
}

std::optional<Parameter> fromVariant(QVariant v) {
    if (v.userType() == qMetaTypeId<QDBusVariant>())
        v = qvariant_cast<QDBusVariant>(v).variant();
    switch (v.typeId()) {
    case QMetaType::Bool:
        return Parameter{Width::Bool, v.toBool() ? 1 : 0};
    case QMetaType::UChar:
        return Parameter{Width::UInt8, v.value<std::uint8_t>()};
    case QMetaType::Short:
        return Parameter{Width::Int16, v.value<std::int16_t>()};
    case QMetaType::UShort:
        return Parameter{Width::UInt16, v.value<std::uint16_t>()};
    case QMetaType::Int:
        return Parameter{Width::Int32, v.value<std::int32_t>()};
    case QMetaType::UInt:
        return Parameter{Width::UInt32, v.value<std::uint32_t>()};
    case QMetaType::LongLong:
        return Parameter{Width::Int64, v.value<qlonglong>()};
    case QMetaType::ULongLong:
        if (v.value<qulonglong>() > static_cast<qulonglong>(std::numeric_limits<std::int64_t>::max()))
            return std::nullopt;
        return Parameter{Width::UInt64, static_cast<std::int64_t>(v.value<qulonglong>())};
    default:
        return std::nullopt;
    }
}

} // namespace

std::int32_t Parameters::int32(const QString& keyword) const {
    const std::optional<Parameter> p = find(keyword);
    if (!p || p->value < std::numeric_limits<std::int32_t>::min() ||
        p->value > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(p->value);
}

std::optional<Parameter> Parameters::find(const QString& keyword) const {
    const auto it = entries_.find(keyword);
    return it == entries_.end() ? std::nullopt : std::optional(it->second);
}

QVariantMap Parameters::toWire() const {
    QVariantMap map;
    for (const auto& [keyword, p] : entries_)
        map.insert(keyword, wireValue(p));
    return map;
}

// A dictionary still in its wire form is read entry by entry, so counting stops at the limit before
// the rest is decoded; one already decoded (a call inside this process) is only counted.
std::optional<Parameters> Parameters::fromWire(const QVariantList& arguments) {
    Parameters out;
    if (arguments.isEmpty())
        return out;
    const QVariant& first = arguments.front();
    if (first.typeId() == QMetaType::QVariantMap) {
        const QVariantMap map = first.toMap();
        if (map.size() > kMaxEntries)
            return std::nullopt;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            if (const std::optional<Parameter> p = fromVariant(it.value()))
                out.set(it.key(), *p);
        return out;
    }
    if (first.userType() != qMetaTypeId<QDBusArgument>())
        return out;
    const QDBusArgument wire = qvariant_cast<QDBusArgument>(first);
    if (wire.currentSignature() != QLatin1String("a{sv}"))
        return out;
    wire.beginMap();
    for (int entries = 0; !wire.atEnd(); ++entries) {
        if (entries == kMaxEntries)
            return std::nullopt;
        QString keyword;
        QDBusVariant value;
        wire.beginMapEntry();
        wire >> keyword >> value;
        wire.endMapEntry();
        if (const std::optional<Parameter> p = fromVariant(value.variant()))
            out.set(keyword, *p);
    }
    wire.endMap();
    return out;
}

} // namespace ae
