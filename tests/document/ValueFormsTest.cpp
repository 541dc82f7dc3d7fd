#include "document/Identifiers.h"
#include "document/XmlFile.h"

#include <gtest/gtest.h>
#include <juce_data_structures/juce_data_structures.h>
#include <juce_graphics/juce_graphics.h>

// The stored text forms of the document: what a property holds is what the file shows,
// and reading the text back gives the same value.
TEST (ValueForms, NumbersBooleansColoursRoundTrip)
{
    juce::ValueTree cue (IDs::cue);
    cue.setProperty (IDs::start, 46800000.0, nullptr);
    cue.setProperty (IDs::duration, 900000.0, nullptr);
    cue.setProperty (IDs::number, 30, nullptr);
    cue.setProperty (IDs::timetable, true, nullptr);
    cue.setProperty (IDs::color, juce::Colour (0xff3fb6dcu).toString(), nullptr);
    cue.setProperty (IDs::displayColor, juce::Colour (0x00ff0000u).toString(), nullptr);

    auto xml = cue.createXml();
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getStringAttribute ("start"), "4.68e7");
    EXPECT_EQ (xml->getStringAttribute ("duration"), "900000.0");
    EXPECT_EQ (xml->getStringAttribute ("number"), "30");
    EXPECT_EQ (xml->getStringAttribute ("timetable"), "1");
    EXPECT_EQ (xml->getStringAttribute ("color"), "ff3fb6dc");
    EXPECT_EQ (xml->getStringAttribute ("displayColor"), "ff0000"); // no leading zeros

    // After a load every property is text; times are read as doubles.
    auto loaded = juce::ValueTree::fromXml (*xml);
    EXPECT_EQ ((double) loaded[IDs::start], 46800000.0);
    EXPECT_EQ ((int) loaded[IDs::start], 4) << "an integer read of the text stops at the dot";
    EXPECT_TRUE ((bool) loaded[IDs::timetable]);
    EXPECT_EQ (juce::Colour::fromString (loaded[IDs::displayColor].toString()).getARGB(), 0x00ff0000u);
    EXPECT_EQ (juce::Colour::fromString ("#ff3fb6dc").getARGB(), 0xff3fb6dcu); // other characters skipped
}

TEST (ValueForms, UuidsAre32LowerCaseHexDigits)
{
    const auto id = juce::Uuid().toString();
    EXPECT_EQ (id.length(), 32);
    EXPECT_TRUE (id.containsOnly ("0123456789abcdef"));
}

TEST (XmlFile, TextFormHasNoDeclarationWrapsAt60AndEndsLinesWithCrLf)
{
    juce::XmlElement root ("Vantrel");
    root.setAttribute ("version", "1.1.0.643");
    auto* list = root.createNewChildElement ("CueList");
    list->setAttribute ("uuid", "0123456789abcdef0123456789abcdef");
    list->setAttribute ("name", "A & B <list>");
    list->setAttribute ("offset", "00:00:00:00");
    list->setAttribute ("fps", 30);

    EXPECT_EQ (XmlFile::toText (root),
               "<Vantrel version=\"1.1.0.643\">\r\n"
               "  <CueList uuid=\"0123456789abcdef0123456789abcdef\" name=\"A &amp; B &lt;list&gt;\"\r\n"
               "           offset=\"00:00:00:00\" fps=\"30\"/>\r\n"
               "</Vantrel>\r\n");
}

class XmlFileOnDisk : public ::testing::Test
{
protected:
    juce::TemporaryFile folderHolder;
    juce::File folder = folderHolder.getFile();
    void SetUp() override { folder.createDirectory(); }
    void TearDown() override { folder.deleteRecursively(); }
};

TEST_F (XmlFileOnDisk, WriteReplacesTheTargetAndLeavesNoTemporaryFile)
{
    const auto target = folder.getChildFile ("doc.xml");
    target.replaceWithText ("old");
    juce::XmlElement root ("Defaults");
    root.setAttribute ("fps", 30);

    ASSERT_TRUE (XmlFile::write (root, target));
    EXPECT_EQ (target.loadFileAsString(), "<Defaults fps=\"30\"/>\r\n");
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
}

TEST_F (XmlFileOnDisk, ReadRefusesMissingEmptyAndBrokenFiles)
{
    EXPECT_EQ (XmlFile::read (folder.getChildFile ("missing.xml")), nullptr);

    const struct
    {
        const char* name;
        const char* content;
    } bad[] = { { "empty.xml", "" }, { "truncated.xml", "<Vantrel version=\"1\"><CueLists>" }, { "text.xml", "hello" } };
    for (const auto& b : bad)
    {
        const auto file = folder.getChildFile (b.name);
        file.replaceWithText (b.content);
        EXPECT_EQ (XmlFile::read (file), nullptr) << b.name;
    }
}

TEST_F (XmlFileOnDisk, WriteToAFolderOrUnwritablePlaceFails)
{
    juce::XmlElement root ("Defaults");
    const auto sub = folder.getChildFile ("sub");
    sub.createDirectory();
    EXPECT_FALSE (XmlFile::write (root, sub));
    EXPECT_FALSE (XmlFile::write (root, juce::File()));
}

TEST_F (XmlFileOnDisk, ReadFetchesNothingAFileNames)
{
    // An external DTD whose entity expands into itself: fetched and expanded, it would
    // recurse until the stack overflows.
    folder.getChildFile ("outside.dtd").replaceWithText ("<!ENTITY e \"<a>&e;</a>\">");
    const auto file = folder.getChildFile ("show.xml");
    file.replaceWithText ("<!DOCTYPE r SYSTEM \"outside.dtd\"><r>&e;</r>");

    auto xml = XmlFile::read (file);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getChildByName ("a"), nullptr) << "no element from the other file";
    EXPECT_EQ (xml->getAllSubText(), "e");
}
