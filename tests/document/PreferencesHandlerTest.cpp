#include "document/PreferencesHandler.h"
#include "support/HostileFiles.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace
{
juce::File prefsFile (const test::TempHome& home)
{
    return home.getPreferencesFolder().getChildFile ("preferences.xml");
}
}

TEST (PreferencesHandler, FirstRunCreatesTheFoldersAndWritesTheVersion)
{
    test::TempHome home;
    PreferencesHandler prefs;

    EXPECT_TRUE (home.getSettingsFolder().isDirectory());
    EXPECT_EQ (test::readBytes (prefsFile (home)), "<preferences>\r\n  <app version=\"1.1.0.643\"/>\r\n</preferences>\r\n");
    EXPECT_EQ (prefs.getLastUsedFile(), juce::File());
    EXPECT_EQ (prefs.getBrowseFolder(), home.getSettingsFolder());
}

TEST (PreferencesHandler, VersionIsRewrittenOnlyWhenItDiffers)
{
    test::TempHome home;
    home.getPreferencesFolder().createDirectory();

    // Same version, LF line ends: a rewrite would turn them into CR LF.
    const juce::String current = "<preferences>\n<app version=\"1.1.0.643\"/>\n</preferences>\n";
    prefsFile (home).replaceWithText (current, false, false, "\n");
    { PreferencesHandler prefs; }
    EXPECT_EQ (test::readBytes (prefsFile (home)), current);

    prefsFile (home).replaceWithText ("<preferences><app version=\"1.0.9.1\"/></preferences>");
    { PreferencesHandler prefs; }
    EXPECT_EQ (test::readBytes (prefsFile (home)), "<preferences>\r\n  <app version=\"1.1.0.643\"/>\r\n</preferences>\r\n");
}

TEST (PreferencesHandler, BrokenFilesAreTreatedAsEmpty)
{
    for (auto content : { "", "<preferences><app", "not xml at all", "\xff\xfe\x00" })
    {
        test::TempHome home;
        home.getPreferencesFolder().createDirectory();
        prefsFile (home).replaceWithText (content);
        PreferencesHandler prefs;
        EXPECT_EQ (test::readBytes (prefsFile (home)), "<preferences>\r\n  <app version=\"1.1.0.643\"/>\r\n</preferences>\r\n");
    }
}

TEST (PreferencesHandler, InstancesNeverDropEachOthersChanges)
{
    test::TempHome home;
    PreferencesHandler documentData;
    PreferencesHandler updateChecker;

    const auto doc = home.getSettingsFolder().getChildFile ("Show.xml");
    doc.create();

    updateChecker.setSkippedVersion ("2.0.0");
    documentData.setLastUsedFile (doc); // this instance has not seen the skip yet
    updateChecker.setSkippedVersion ("2.0.1");

    PreferencesHandler fresh;
    EXPECT_TRUE (fresh.isSkippedVersion ("2.0.1"));
    EXPECT_EQ (fresh.getLastUsedFile(), doc);
}

TEST (PreferencesHandler, LookupRules)
{
    test::TempHome home;
    home.getPreferencesFolder().createDirectory();
    const auto folder = home.getSettingsFolder().getChildFile ("AFolder");
    folder.createDirectory();
    prefsFile (home).replaceWithText ("<preferences><app version=\"1.1.0.643\"/><Skip version=\"3.0\"/>"
                                      "<lastusedfile fullpathname=\"" + folder.getFullPathName() + "\"/></preferences>");
    PreferencesHandler prefs;

    EXPECT_TRUE (prefs.isSkippedVersion ("3.0")) << "child names match without regard to case";
    EXPECT_FALSE (prefs.isSkippedVersion ("3.0.0"));
    EXPECT_FALSE (prefs.isSkippedVersion (""));
    EXPECT_EQ (prefs.getLastUsedFile(), juce::File()) << "a folder is not a document";
    EXPECT_EQ (prefs.getBrowseFolder(), home.getSettingsFolder());
}

TEST (PreferencesHandler, HostileFilesAreReadAsEmptyAndRewritten)
{
    const juce::String sample = "<preferences>\r\n  <app version=\"1.1.0.643\"/>\r\n</preferences>\r\n";
    for (const auto& hostile : test::hostileFiles (sample))
    {
        SCOPED_TRACE (hostile.name);
        test::TempHome home;
        test::writeBytes (prefsFile (home), hostile.bytes);
        PreferencesHandler prefs;
        if (hostile.readable)
            EXPECT_TRUE (test::bytesOf (prefsFile (home)) == hostile.bytes) << "read as it is, and not rewritten";
        else
            EXPECT_EQ (test::readBytes (prefsFile (home)), sample);
        EXPECT_EQ (prefs.getLastUsedFile(), juce::File());
    }
}
