// Typed access, widths, deep copies and equality of the value tree.
#include "Value.h"

#include <gtest/gtest.h>

#include <limits>

using namespace fnd;

TEST(Value, TypedGettersAnswerAbsentForOtherTypes) {
    const Dictionary d{{"name", "K3100"}, {"count", std::int32_t{7}}, {"blob", Data{1, 2}}};
    EXPECT_EQ(*d.get("name").asString(), "K3100");
    EXPECT_EQ(d.get("name").asInt32(), std::nullopt);
    EXPECT_EQ(d.get("count").asString(), nullptr);
    EXPECT_EQ(d.get("count").asData(), nullptr);
    EXPECT_EQ(d.get("blob").asDictionary(), nullptr);
    EXPECT_EQ(d.get("missing").asBool(), std::nullopt);
    EXPECT_TRUE(d.get("missing").isAbsent());
    EXPECT_EQ(Value::pointer(nullptr).asDate(), std::nullopt);
}

TEST(Value, NumbersKeepKindAndConvertOnlyWhenExact) {
    EXPECT_EQ(Value(std::uint16_t{5}).asNumber()->kind(), Number::Kind::UInt16);
    EXPECT_EQ(Value(std::int8_t{-5}).asNumber()->kind(), Number::Kind::Int16);
    EXPECT_EQ(Value(2.5f).asNumber()->kind(), Number::Kind::Float);
    EXPECT_EQ(Value(true).asNumber()->kind(), Number::Kind::Bool);

    EXPECT_EQ(Value(std::int64_t{300}).asInt16(), 300);
    EXPECT_EQ(Value(std::int64_t{70000}).asInt16(), std::nullopt);
    EXPECT_EQ(Value(std::int32_t{-1}).asUInt32(), std::nullopt);
    EXPECT_EQ(Value(std::numeric_limits<std::uint64_t>::max()).asInt64(), std::nullopt);
    EXPECT_EQ(Value(std::numeric_limits<std::uint64_t>::max()).asUInt64(),
              std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(Value(2.5).asInt32(), std::nullopt);
    EXPECT_EQ(Value(3.0).asInt32(), 3);
    EXPECT_EQ(Value(1e300).asInt64(), std::nullopt);
    EXPECT_EQ(Value(std::uint32_t{0}).asBool(), false);
}

TEST(Value, NumbersCompareByValueButBoolsOnlyWithBools) {
    EXPECT_EQ(Value(std::int16_t{5}), Value(std::uint64_t{5}));
    EXPECT_EQ(Value(std::int32_t{5}), Value(5.0));
    EXPECT_NE(Value(std::int64_t{-1}), Value(std::numeric_limits<std::uint64_t>::max()));
    EXPECT_NE(Value(true), Value(std::int32_t{1}));
    EXPECT_NE(Value("5"), Value(std::int32_t{5}));
}

TEST(Value, CopiesAreDeep) {
    Dictionary original{{"Result", Dictionary{{"Code", std::uint16_t{0}}}}, {"list", Array{1, 2}}};
    Dictionary copy = original;
    copy.find("Result")->asDictionary()->set("Code", std::uint16_t{1});
    copy.find("list")->asArray()->push_back("three");

    EXPECT_EQ(original.get("Result").asDictionary()->get("Code").asInt32(), 0);
    EXPECT_EQ(original.get("list").asArray()->size(), 2u);
    EXPECT_NE(Value(copy), Value(original));
}

TEST(Dictionary, KeepsInsertionOrderAndComparesWithoutIt) {
    Dictionary d;
    d.set("b", 1);
    d.set("a", 2);
    d.set("c", 3);
    d.set("a", 20); // replaced in place
    std::string order;
    for (const auto& [key, value] : d)
        order += key;
    EXPECT_EQ(order, "bac");
    EXPECT_EQ(d.get("a").asInt32(), 20);

    EXPECT_EQ(d, (Dictionary{{"c", 3}, {"a", 20}, {"b", 1}}));
    EXPECT_NE(d, (Dictionary{{"c", 3}, {"a", 20}}));

    d.set("b", Value()); // an absent value removes the key
    EXPECT_FALSE(d.contains("b"));
    EXPECT_FALSE(d.remove("b"));
}

TEST(Value, PointersCompareByAddress) {
    int a = 0, b = 0;
    EXPECT_EQ(Value::pointer(&a), Value::pointer(&a));
    EXPECT_NE(Value::pointer(&a), Value::pointer(&b));
    EXPECT_EQ(Value::pointer(&a).asPointer(), &a);
    EXPECT_EQ(Value("x").asPointer(), nullptr);
}
