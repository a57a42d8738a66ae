// Property lists: every value kind survives XML and binary round trips, values a property list cannot
// hold are refused before any file is touched, and damaged input is rejected without harm.
#include "PropertyList.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace fnd;

namespace {

std::span<const std::uint8_t> bytesOf(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// One of every kind, nested inside arrays and dictionaries.
Dictionary everyKind() {
    Dictionary inner{{"empty dict", Dictionary{}}, {"empty array", Array{}}, {"no bytes", Data{}}};
    return Dictionary{
        {"text", "Grüße <&> \"quoted\" ✓"},
        {"empty text", ""},
        {"yes", true},
        {"no", false},
        {"int16", std::int16_t{-32768}},
        {"int32", std::int32_t{-123456}},
        {"int64", std::numeric_limits<std::int64_t>::min()},
        {"uint16", std::uint16_t{65535}},
        {"uint32", std::uint32_t{4000000000u}},
        {"uint64", std::uint64_t{std::numeric_limits<std::int64_t>::max()}},
        {"float", 0.1f},
        {"double", -1.0 / 3.0},
        {"data", Data{0, 1, 0xFF, 0, 0x80}},
        {"date", Date{1700000000.0}},
        {"old date", Date{-946684800.0}}, // 1940
        {"list", Array{1, "two", Array{3.5, Dictionary{{"deep", inner}}}}},
        {"inner", inner},
    };
}

std::vector<std::string> keysOf(const Value& v) {
    std::vector<std::string> keys;
    for (const auto& entry : *v.asDictionary())
        keys.push_back(entry.first);
    return keys;
}

} // namespace

TEST(PropertyList, XmlRoundTripKeepsEveryKindAndTheKeyOrder) {
    const Value original(everyKind());
    std::optional<std::string> xml = plist::toXml(original);
    ASSERT_TRUE(xml);
    std::optional<Value> back = plist::parse(bytesOf(*xml));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, original);
    EXPECT_EQ(keysOf(*back), keysOf(original));
    // Widths are not stored, only whether the number is a bool, an integer or a real.
    EXPECT_EQ(back->asDictionary()->get("int16").asNumber()->kind(), Number::Kind::Int64);
    EXPECT_EQ(back->asDictionary()->get("float").asNumber()->kind(), Number::Kind::Double);
    EXPECT_EQ(back->asDictionary()->get("yes").asNumber()->kind(), Number::Kind::Bool);
}

TEST(PropertyList, BinaryRoundTripKeepsEveryKindAndSubSecondDates) {
    Dictionary d = everyKind();
    d.set("date", Date{1700000000.25});
    std::optional<std::vector<std::uint8_t>> bin = plist::toBinary(Value(d));
    ASSERT_TRUE(bin);
    std::optional<Value> back = plist::parse(*bin);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, Value(d));
}

TEST(PropertyList, ReadsAFileWrittenByAnotherTool) {
    const std::string xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>CapDataVersion</key><string>1</string>
  <key>CapData</key><data>AAEC/w==</data>
  <key>Frame</key><array><integer>-4</integer><real>2.5</real><true/></array>
  <key>When</key><date>2001-01-01T00:00:10Z</date>
</dict></plist>)";
    std::optional<Value> v = plist::parse(bytesOf(xml));
    ASSERT_TRUE(v);
    const Dictionary& d = *v->asDictionary();
    EXPECT_EQ(*d.get("CapDataVersion").asString(), "1");
    EXPECT_EQ(*d.get("CapData").asData(), (Data{0, 1, 2, 0xFF}));
    EXPECT_EQ(*d.get("Frame").asArray(), (Array{-4, 2.5, true}));
    EXPECT_EQ(d.get("When").asDate()->secondsSince1970, 978307210.0);
}

TEST(PropertyList, RefusesValuesItCannotHoldWithoutTouchingTheFile) {
    TempFolder dir;
    const auto file = dir / "keep.plist";
    writeText(file, "old");
    const Value unwritable[] = {
        Value(),
        Value(Dictionary{{"window", Value::pointer(&dir)}}),
        Value(Array{std::numeric_limits<std::uint64_t>::max()}),
        Value(std::string("a\0b", 3)),
        Value(Date{1e12}),
    };
    for (const Value& v : unwritable) {
        std::string error;
        EXPECT_FALSE(plist::toXml(v, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(plist::writeFile(file, v));
    }
    EXPECT_EQ(readText(file), "old");
}

TEST(PropertyList, RejectsDamagedInput) {
    std::optional<std::vector<std::uint8_t>> bin = plist::toBinary(Value(everyKind()));
    ASSERT_TRUE(bin);
    const std::string truncatedBinary(bin->begin(), bin->begin() + static_cast<long>(bin->size() / 2));
    const std::string damaged[] = {
        "",
        "hello, world",
        "<?xml version=\"1.0\"?><plist><dict><key>a</key><integer>12</int",
        "bplist00\xff\xff\xff",
        truncatedBinary,
    };
    for (const std::string& bytes : damaged)
        EXPECT_FALSE(plist::parse(bytesOf(bytes))) << bytes;
}

TEST(PropertyList, RejectsABinaryKeyHoldingANul) {
    // The property-list library would abort on such a key instead of reporting it.
    std::optional<std::vector<std::uint8_t>> bin = plist::toBinary(Value(Dictionary{{"ab", 1}}));
    ASSERT_TRUE(bin);
    const std::uint8_t key[] = {0x52, 'a', 'b'}; // ASCII string object of length 2
    auto at = std::search(bin->begin(), bin->end(), std::begin(key), std::end(key));
    ASSERT_NE(at, bin->end());
    at[2] = 0;
    std::string error;
    EXPECT_FALSE(plist::parse(*bin, &error));
    EXPECT_NE(error.find("NUL"), std::string::npos);
}

namespace {

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint64_t value, unsigned width) {
    for (unsigned i = width; i-- > 0;)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A binary property list of count arrays, each holding refsEach references to the next one, the
// last empty; references and offsets are 4 bytes wide.
std::vector<std::uint8_t> chainOfArrays(std::uint32_t count, unsigned refsEach) {
    std::vector<std::uint8_t> out{'b', 'p', 'l', 'i', 's', 't', '0', '0'};
    std::vector<std::uint64_t> offsets;
    for (std::uint32_t i = 0; i <= count; ++i) {
        offsets.push_back(out.size());
        const unsigned refs = i == count ? 0 : refsEach;
        out.push_back(static_cast<std::uint8_t>(0xA0 | refs));
        for (unsigned r = 0; r < refs; ++r)
            appendBigEndian(out, i + 1, 4);
    }
    const std::uint64_t table = out.size();
    for (const std::uint64_t offset : offsets)
        appendBigEndian(out, offset, 4);
    out.insert(out.end(), 6, 0);
    out.push_back(4); // offset width
    out.push_back(4); // reference width
    appendBigEndian(out, offsets.size(), 8);
    appendBigEndian(out, 0, 8); // the top object
    appendBigEndian(out, table, 8);
    return out;
}

std::string nestedXmlArrays(int count) {
    std::string xml = "<plist version=\"1.0\">";
    for (int level = 0; level < count; ++level)
        xml += level % 2 ? "<array>" : "<array >";
    for (int level = 0; level < count; ++level)
        xml += "</array>";
    return xml + "</plist>";
}

Value nestedArrays(int count) {
    Value value{Array{}};
    for (int level = 1; level < count; ++level)
        value = Value(Array{value});
    return value;
}

} // namespace

// The library's binary reader, and its release of a tree read from XML, recurse once per level: a deep
// file is refused before it reaches them, and so is a shared array multiplying into a vast tree.
TEST(PropertyList, RefusesNestingThatWouldExhaustTheStack) {
    std::string error;
    EXPECT_FALSE(plist::parse(chainOfArrays(100000, 1), &error));
    EXPECT_NE(error.find("deep"), std::string::npos) << error;
    EXPECT_FALSE(plist::parse(chainOfArrays(60, 2)));
    EXPECT_FALSE(plist::parse(bytesOf(nestedXmlArrays(1000000))));
    EXPECT_EQ(plist::parse(chainOfArrays(200, 1)), nestedArrays(201));
    EXPECT_EQ(plist::parse(bytesOf(nestedXmlArrays(200))), nestedArrays(200));
}

TEST(PropertyList, ReadFileTellsMissingFromMalformed) {
    TempFolder dir;
    EXPECT_EQ(plist::readFile(dir / "none.plist").status, ReadStatus::Missing);

    writeText(dir / "bad.plist", "<plist><dict>");
    plist::FileContents bad = plist::readFile(dir / "bad.plist");
    EXPECT_EQ(bad.status, ReadStatus::Ok);
    EXPECT_TRUE(bad.malformed);
    EXPECT_FALSE(bad.ok());

    ASSERT_TRUE(plist::writeFile(dir / "good.plist", Value(everyKind())));
    plist::FileContents good = plist::readFile(dir / "good.plist");
    ASSERT_TRUE(good.ok());
    EXPECT_EQ(good.value, Value(everyKind()));
}

// A string or key with a control character that XML cannot carry makes the file binary, which reads back
// the same; a plain one stays XML.
TEST(PropertyList, ControlCharactersAreWrittenInTheBinaryForm) {
    TempFolder dir;
    const Value plain(Dictionary{{"Name", "Office"}, {"Note", "tab\there\nand lines"}});
    const Value odd(Dictionary{{"Name", "Off\x01ice"}, {"List", Value(Array{Value("a\x1b[0m")})}});
    const Value oddKey(Dictionary{{"K\x07", 1}});
    ASSERT_TRUE(plist::writeFile(dir / "plain.plist", plain));
    EXPECT_EQ(readText(dir / "plain.plist").rfind("<?xml", 0), 0u);
    for (const Value& value : {odd, oddKey}) {
        ASSERT_TRUE(plist::writeFile(dir / "odd.plist", value));
        EXPECT_EQ(readText(dir / "odd.plist").rfind("bplist00", 0), 0u);
        const plist::FileContents back = plist::readFile(dir / "odd.plist");
        ASSERT_TRUE(back.ok()) << back.error;
        EXPECT_EQ(back.value, value);
    }
}
