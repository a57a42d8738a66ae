// Parameters keep the width they were sent with, and a handler's 32-bit read is lenient: any
// integer width widens, and what is missing or cannot be read reads 0.
#include "Parameters.h"
#include "EventNames.h"

#include <gtest/gtest.h>

#include <QVariantList>

using ae::Parameters;
using ae::Width;

TEST(Parameters, WidthsSurviveTheWireForm) {
    Parameters sent;
    sent.setInt16(ae::kParam, -3);
    sent.setInt32(ae::kParamStatus, 70000);
    const Parameters got = Parameters::fromWire({sent.toWire()}).value();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got.find(ae::kParam)->width, Width::Int16);
    EXPECT_EQ(got.find(ae::kParam)->value, -3);
    EXPECT_EQ(got.find(ae::kParamStatus)->width, Width::Int32);
    EXPECT_EQ(got.int32(ae::kParamStatus), 70000);
}

TEST(Parameters, LenientReadsWidenAnyIntegerAndReadZeroForTheRest) {
    QVariantMap wire;
    wire.insert("Byte", QVariant::fromValue<std::uint8_t>(200));
    wire.insert("UInt", QVariant::fromValue<std::uint32_t>(4000000000u));
    wire.insert("Long", QVariant::fromValue<qlonglong>(-5));
    wire.insert("Huge", QVariant::fromValue<qlonglong>(qlonglong(1) << 40));
    wire.insert("Flag", QVariant::fromValue(true));
    wire.insert("Text", QVariant::fromValue(QStringLiteral("7")));
    const Parameters p = Parameters::fromWire({wire, QVariant::fromValue(12)}).value();
    EXPECT_EQ(p.int32("Byte"), 200);
    EXPECT_EQ(p.find("Byte")->width, Width::UInt8);
    EXPECT_EQ(p.int32("Long"), -5);
    EXPECT_EQ(p.int32("Flag"), 1);
    EXPECT_EQ(p.int32("UInt"), 0);
    EXPECT_EQ(p.int32("Huge"), 0);
    EXPECT_FALSE(p.find("Text"));
    EXPECT_EQ(p.int32("Text"), 0);
    EXPECT_EQ(p.int32(ae::kParam), 0);
}

TEST(Parameters, AnythingButADictionaryCarriesNoParameters) {
    EXPECT_EQ(Parameters::fromWire({}).value().size(), 0u);
    EXPECT_EQ(Parameters::fromWire({QVariant::fromValue(1), QVariantMap{{"Parm", 1}}}).value().size(), 0u);
}

TEST(EventNames, ObjectPathFollowsTheBundleId) {
    EXPECT_EQ(ae::objectPath("com.orvikElectronics.tollivar"), "/com/orvikElectronics/tollivar");
    EXPECT_EQ(ae::objectPath("org.example.k3100-helper"), "/org/example/k3100_helper");
    EXPECT_EQ(ae::interfaceName("com.orvikElectronics.tollivar", ae::kClassQS),
              "com.orvikElectronics.tollivar.thQS");
}
