#include "document/Identifiers.h"
#include "document/TreeText.h"
#include "document/XmlFile.h"
#include "support/LargeShow.h"

#include <gtest/gtest.h>

namespace
{
/** The text the framework's XML conversion gives, the form every file had so far. */
juce::String viaXml (const juce::ValueTree& tree, const juce::Identifier& leftOut = {})
{
    auto xml = tree.createXml();
    if (leftOut.isValid())
        if (auto* child = xml->getChildByName (leftOut))
            xml->removeChildElement (child, true);
    return XmlFile::toText (*xml);
}

/** The first place two texts differ, for a readable failure on a large document. */
juce::String firstDifference (const juce::String& a, const juce::String& b)
{
    int i = 0;
    while (i < a.length() && i < b.length() && a[i] == b[i])
        ++i;
    return "at " + juce::String (i) + ": [" + a.substring (i - 40, i + 40) + "] vs [" + b.substring (i - 40, i + 40) + "]";
}
}

TEST (TreeText, ALargeGeneratedShowGivesTheSameBytes)
{
    auto show = test::makeLargeShow (20'000, 700);
    // A data child stays out of the text; a second one is an ordinary child.
    show.addChild (juce::ValueTree (IDs::data).setProperty ("x", 1, nullptr), 1, nullptr);
    show.appendChild (juce::ValueTree (IDs::data).setProperty ("second", true, nullptr), nullptr);

    const auto expected = viaXml (show, IDs::data);
    const auto actual = TreeText::toText (show, IDs::data);
    ASSERT_GT (expected.length(), 2'000'000);
    EXPECT_TRUE (actual == expected) << firstDifference (actual, expected);
    EXPECT_TRUE (TreeText::toText (show) == viaXml (show)) << "nothing left out";
}

TEST (TreeText, ValuesThatNeedEscapingWrappingOrConversion)
{
    juce::MemoryBlock bytes;
    bytes.append ("\x01\x02\xff", 3);
    const juce::String longText = juce::String::repeatedString ("long name ", 9);

    const struct
    {
        const char* name;
        juce::var value;
    } values[] = {
        { "markup", "<b> & \"quoted\" 'single' >" },
        { "lines", "one\r\ntwo\nthree\tfour" },
        { "accents", juce::String (juce::CharPointer_UTF8 ("Caf\xc3\xa9 \xe2\x80\x94 \xf0\x9f\x8e\x86")) },
        { "punctuation", "a.b,c;d:e-f(g)h_i+j=k?l!m$n#o@p[q]r/s|t*u%v~w{x}y\\z" },
        { "empty", "" },
        { "integer", -42 },
        { "big", (juce::int64) 1 << 40 },
        { "float", 4.68e7 },
        { "smallFloat", 900000.0 },
        { "fraction", 0.1 },
        { "yes", true },
        { "no", false },
        { "binary", bytes },
        { "long", longText },
        { "after", "wrapped under the first attribute" },
    };

    for (const auto& v : values)
    {
        SCOPED_TRACE (v.name);
        juce::ValueTree one ("Node");
        one.setProperty (v.name, v.value, nullptr);
        EXPECT_EQ (TreeText::toText (one), viaXml (one));
    }

    // All of them on one node, nested, so long lines wrap at every depth.
    juce::ValueTree all ("Outer");
    juce::ValueTree inner ("InnerElementWithALongName");
    for (const auto& v : values)
    {
        all.setProperty (v.name, v.value, nullptr);
        inner.setProperty (v.name, v.value, nullptr);
    }
    inner.appendChild (juce::ValueTree ("Leaf"), nullptr);
    all.appendChild (inner, nullptr);
    all.appendChild (juce::ValueTree ("Empty"), nullptr);
    EXPECT_EQ (TreeText::toText (all), viaXml (all));
}
