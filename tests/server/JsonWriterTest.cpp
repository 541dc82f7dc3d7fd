#include "server/JsonWriter.h"

#include <gtest/gtest.h>
#include <limits>

namespace
{
juce::var object (std::initializer_list<std::pair<const char*, juce::var>> members)
{
    auto* o = new juce::DynamicObject();
    for (const auto& [name, value] : members)
        o->setProperty (name, value);
    return juce::var (o);
}
}

TEST (JsonWriter, CompactObjectsInInsertionOrder)
{
    const auto misc = object ({ { "type", "misc" }, { "version", "1.1.0.643" }, { "name", "New Server" } });
    EXPECT_EQ (JsonWriter::toString (misc), R"({"type":"misc","version":"1.1.0.643","name":"New Server"})");

    juce::Array<juce::var> data { 1, -2, 255 };
    const auto nested = object ({ { "z", juce::var() }, { "a", juce::var (data) }, { "b", true }, { "c", false } });
    EXPECT_EQ (JsonWriter::toString (nested), R"({"z":null,"a":[1,-2,255],"b":true,"c":false})");
    EXPECT_EQ (JsonWriter::toString (juce::var (juce::Array<juce::var>())), "[]");
}

TEST (JsonWriter, NumberForms)
{
    const struct
    {
        juce::var value;
        const char* text;
    } cases[] = {
        { 1500.0, "1500.0" },
        { 50000.0, "50000.0" },
        { 3600000.0, "3.6e6" },
        { 87300000.0, "8.73e7" },
        { 1966.5, "1966.5" },
        { -250.0, "-250.0" },
        { std::numeric_limits<double>::infinity(), "null" },
        { std::numeric_limits<double>::quiet_NaN(), "null" },
        { 2000, "2000" },
        { -1, "-1" },
        { (juce::int64) 88200000, "88200000" },
    };
    for (const auto& c : cases)
        EXPECT_EQ (JsonWriter::toString (c.value), juce::String (c.text));
}

TEST (JsonWriter, StringEscapesAndUtf8)
{
    const auto text = juce::String::fromUTF8 ("Q\"B\\\b\t\n\f\r\x01\x1f caf\xc3\xa9 \xf0\x9f\x8e\xb5 /");
    EXPECT_EQ (JsonWriter::toString (text),
               juce::String::fromUTF8 ("\"Q\\\"B\\\\\\b\\t\\n\\f\\r\\u0001\\u001f caf\xc3\xa9 \xf0\x9f\x8e\xb5 /\""));
    EXPECT_EQ (JsonWriter::toString (juce::String()), "\"\"");
}
