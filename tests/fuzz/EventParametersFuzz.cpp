// The parameters of an event as the bus hands them over: a first argument that is a dictionary of
// variants (each of any D-Bus type, variants inside variants) or something else, and more arguments.
#include "Parameters.h"

#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

QVariant fuzzedValue(FuzzedDataProvider& in, int depth) {
    switch (in.ConsumeIntegralInRange(0, depth > 3 ? 11 : 14)) {
    case 0:
        return QVariant(in.ConsumeBool());
    case 1:
        return QVariant::fromValue(in.ConsumeIntegral<std::uint8_t>());
    case 2:
        return QVariant::fromValue(in.ConsumeIntegral<std::int16_t>());
    case 3:
        return QVariant::fromValue(in.ConsumeIntegral<std::uint16_t>());
    case 4:
        return QVariant::fromValue(in.ConsumeIntegral<std::int32_t>());
    case 5:
        return QVariant::fromValue(in.ConsumeIntegral<std::uint32_t>());
    case 6:
        return QVariant::fromValue(static_cast<qlonglong>(in.ConsumeIntegral<std::int64_t>()));
    case 7:
        return QVariant::fromValue(static_cast<qulonglong>(in.ConsumeIntegral<std::uint64_t>()));
    case 8:
        return QVariant(in.ConsumeFloatingPoint<double>());
    case 9:
        return QVariant(QString::fromStdString(in.ConsumeRandomLengthString(16)));
    case 10:
        return QVariant::fromValue(QDBusObjectPath(QStringLiteral("/a")));
    case 11:
        return QVariant::fromValue(QDBusSignature(QStringLiteral("a{sv}")));
    case 12:
        return QVariant::fromValue(QDBusVariant(fuzzedValue(in, depth + 1)));
    case 13: {
        QVariantList list;
        for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n)
            list.append(fuzzedValue(in, depth + 1));
        return list;
    }
    default: {
        QVariantMap map;
        for (int n = in.ConsumeIntegralInRange(0, 12); n > 0; --n)
            map.insert(QString::fromStdString(in.ConsumeRandomLengthString(6)), fuzzedValue(in, depth + 1));
        return map;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    QVariantList arguments;
    for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n)
        arguments.append(fuzzedValue(in, 0));
    if (const std::optional<ae::Parameters> parameters = ae::Parameters::fromWire(arguments)) {
        for (const char* keyword : {"Parm", "PmSt", "PmLa", "Rtrn"})
            parameters->int32(QString::fromLatin1(keyword));
        ae::Parameters::fromWire({QVariant(parameters->toWire())});
    }
    return 0;
}
