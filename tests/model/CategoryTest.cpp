#include "ModelFixture.h"
#include "document/Identifiers.h"
#include "document/XmlFile.h"
#include "model/CategoryManager.h"
#include "model/RandomName.h"
#include "support/HostileFiles.h"

namespace
{
struct CategoriesCounter : CategoryManager::Listener
{
    int calls = 0;
    void categoriesChanged() override { ++calls; }
};

struct CategoryCounter : Category::Listener
{
    int colours = 0, names = 0, usages = 0;
    void categoryColorChanged() override { ++colours; }
    void categoryNameChanged() override { ++names; }
    void categoryUsageChanged() override { ++usages; }
};

class CategoryTest : public test::ModelFixture
{
protected:
    juce::File file() const { return preferencesFile ("categories.xml"); }

    void writeFile (const juce::String& text)
    {
        file().getParentDirectory().createDirectory();
        file().replaceWithText (text);
    }

    static void expectDefaults (const CategoryManager& manager)
    {
        const std::pair<const char*, juce::uint32> expected[] = {
            { "ALL", 0xffd52fd5 },   { "Audio", 0xff3fb6dc }, { "Light", 0xffcfb228 }, { "Video", 0xff7540ee },
            { "Laser", 0xff26d256 }, { "SFX", 0xffff7052 },   { "PYRO", 0xffd52f3f },  { "Performance", 0xff2f61d5 },
        };
        const auto categories = manager.getCategories();
        ASSERT_EQ (categories.size(), std::size (expected));
        for (size_t i = 0; i < categories.size(); ++i)
        {
            EXPECT_EQ (categories[i]->getName(), juce::String (expected[i].first));
            EXPECT_EQ (categories[i]->getColor().getARGB(), expected[i].second);
            EXPECT_EQ (categories[i]->getState()[IDs::color].toString(),
                       juce::String::toHexString ((int) expected[i].second));
            EXPECT_EQ (categories[i]->getUuid().length(), 32);
        }
    }
};
}

TEST_F (CategoryTest, FirstStartMakesTheEightDefaultsAndWritesOnlyAfterAChange)
{
    CategoryManager manager;
    expectDefaults (manager);
    EXPECT_FALSE (undoManager().canUndo());

    test::pumpFor (50);
    EXPECT_FALSE (file().exists()) << "no write before the first change";

    undoManager().beginNewTransaction ("Rename Category");
    manager.getCategories()[1]->setName ("Sound");
    ASSERT_TRUE (test::pumpUntil ([&] { return file().existsAsFile(); }));

    const auto text = test::readBytes (file());
    EXPECT_TRUE (text.startsWith ("<Categories>\r\n  <Category uuid=\"")) << text;
    EXPECT_TRUE (text.endsWith ("</Categories>\r\n"));
    auto xml = XmlFile::read (file());
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getNumChildElements(), 8);
    EXPECT_EQ (xml->getChildElement (1)->getStringAttribute ("name"), juce::String ("Sound"));
    EXPECT_EQ (xml->getChildElement (1)->getAttributeName (0), juce::String ("uuid"));
    EXPECT_EQ (xml->getChildElement (1)->getAttributeName (1), juce::String ("color"));
    EXPECT_EQ (xml->getChildElement (1)->getAttributeName (2), juce::String ("name"));
}

TEST_F (CategoryTest, CorruptFileGivesTheDefaultsAndIsRewrittenAtTheNextChange)
{
    for (auto* content : { "", "<Categories><Category uuid=\"a\" color=\"ff", "\xef\xbb\xbf\x01\x02 garbage", "<<>>" })
    {
        SCOPED_TRACE (content);
        writeFile (content);
        {
            CategoryManager manager;
            expectDefaults (manager);
            test::pumpFor (20);
            EXPECT_EQ (test::readBytes (file()), juce::String (content)) << "left alone until a change";

            manager.addRandomCategory();
            ASSERT_TRUE (test::pumpUntil ([&] { return XmlFile::read (file()) != nullptr; }));
        }
        CategoryManager reread;
        EXPECT_EQ (reread.getCategories().size(), 9u);
    }
}

TEST_F (CategoryTest, FileIsReadBackAsStored)
{
    writeFile ("<Categories>"
               "<Category uuid=\"bb\" color=\"ff010203\" name=\"Two\"/>"
               "<Category uuid=\"aa\" color=\"FF010203\" name=\"One\"/>"
               "<Category uuid=\"bb\" color=\"ff040506\" name=\"Later\"/>"
               "</Categories>");
    CategoryManager manager;
    const auto categories = manager.getCategories();
    ASSERT_EQ (categories.size(), 3u);
    EXPECT_EQ (categories[0]->getName(), juce::String ("Later")) << "a later duplicate uuid wins";
    EXPECT_EQ (categories[1]->getName(), juce::String ("One"));
    EXPECT_EQ (categories[2], categories[0]);

    // Two categories share a colour: the smaller uuid text is found.
    EXPECT_EQ (manager.getOrCreateCategoryForColor (juce::Colour (0xff010203))->getName(), juce::String ("One"));
}

TEST_F (CategoryTest, UnknownColourGetsANewCategoryInTheOpenTransaction)
{
    CategoryManager manager;
    CategoriesCounter counter;
    manager.addListener (&counter);

    undoManager().beginNewTransaction ("Add Cue");
    auto made = manager.getOrCreateCategoryForColor (juce::Colour (0x80d52fd5));
    ASSERT_NE (made, nullptr);
    EXPECT_EQ (made->getColor().getARGB(), 0x80d52fd5u) << "alpha counts";
    EXPECT_EQ (manager.getCategories().size(), 9u);
    EXPECT_EQ (manager.getCategories().back(), made);
    EXPECT_EQ (manager.getCategory (made->getUuid()), made);
    EXPECT_EQ (made->getName().removeCharacters ("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").length(), 1)
        << "two words";
    EXPECT_EQ (manager.getOrCreateCategoryForColor (juce::Colour (0x80d52fd5)), made);
    EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Add Cue"));
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.calls > 0; }));

    undoManager().undo();
    EXPECT_EQ (manager.getCategories().size(), 8u);
    EXPECT_EQ (manager.getCategory (made->getUuid()), nullptr);
    EXPECT_EQ (made->getName().isNotEmpty(), true) << "holders keep the object";

    undoManager().redo();
    EXPECT_EQ (manager.getCategories().size(), 9u);
    EXPECT_EQ (manager.getCategories().back()->getUuid(), made->getUuid());
    manager.removeListener (&counter);
}

TEST_F (CategoryTest, NamedStepsUndoAndRedo)
{
    CategoryManager manager;
    auto audio = manager.getCategories()[1];
    CategoryCounter counter;
    audio->addListener (&counter);

    struct Step
    {
        const char* name;
        std::function<void()> edit;
        std::function<bool()> done;
    };
    const Step steps[] = {
        { "Rename Category", [&] { audio->setName ("Sound"); }, [&] { return audio->getName() == "Sound"; } },
        { "Set Category Color", [&] { audio->setColor (juce::Colour (0xff123456)); },
          [&] { return audio->getColor().getARGB() == 0xff123456; } },
        { "Move Category", [&] { manager.moveCategory (1, 99); },
          [&] { return manager.getCategories().back() == audio; } },
        { "Remove Category", [&] { manager.removeCategory (*audio); },
          [&] { return manager.getCategory (audio->getUuid()) == nullptr; } },
    };

    for (const auto& step : steps)
    {
        SCOPED_TRACE (step.name);
        undoManager().beginNewTransaction (step.name);
        step.edit();
        EXPECT_TRUE (step.done());
        EXPECT_EQ (undoManager().getUndoDescription(), juce::String (step.name));
        undoManager().undo();
        EXPECT_FALSE (step.done());
        undoManager().redo();
        EXPECT_TRUE (step.done());
    }

    // Name and colour notices are synchronous, also for undo and redo.
    EXPECT_EQ (counter.names, 3);
    EXPECT_EQ (counter.colours, 3);
    audio->removeListener (&counter);
}

TEST_F (CategoryTest, ChangesAreCoalescedIntoOneNoticeAndOneWrite)
{
    CategoryManager manager;
    CategoriesCounter counter;
    manager.addListener (&counter);

    undoManager().beginNewTransaction ("Rename Category");
    for (const auto& category : manager.getCategories())
        category->setName (category->getName() + "!");
    EXPECT_EQ (counter.calls, 0);
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.calls > 0; }));
    test::pumpFor (20);
    EXPECT_EQ (counter.calls, 1);
    EXPECT_TRUE (test::readBytes (file()).contains ("name=\"ALL!\""));
    manager.removeListener (&counter);
}

TEST_F (CategoryTest, UsageIsCountedAndAnnouncedOnceLater)
{
    CategoryManager manager;
    auto light = manager.getCategories()[2];
    CategoryCounter counter;
    CategoriesCounter managerCounter;
    light->addListener (&counter);
    manager.addListener (&managerCounter);

    light->addUsage();
    light->addUsage();
    light->removeUsage();
    EXPECT_TRUE (light->isUsed());
    EXPECT_EQ (counter.usages, 0);
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.usages > 0; }));
    test::pumpFor (20);
    EXPECT_EQ (counter.usages, 1);
    EXPECT_GE (managerCounter.calls, 1);

    light->removeUsage();
    EXPECT_FALSE (light->isUsed());
    light->removeListener (&counter);
    manager.removeListener (&managerCounter);
}

TEST (RandomName, WordsAreCapitalisedAdjectivesEndingInANoun)
{
    EXPECT_EQ (RandomName::getAdjectives().size(), 1001);
    EXPECT_EQ (RandomName::getNouns().size(), 876);
    EXPECT_TRUE (RandomName::getAdjectives().contains ("sedate"));
    EXPECT_TRUE (RandomName::getNouns().contains ("pencil"));

    EXPECT_EQ (makeRandomName (0), juce::String());
    EXPECT_EQ (makeRandomName (-2), juce::String());

    for (int count = 1; count <= 3; ++count)
    {
        juce::StringArray words;
        words.addTokens (makeRandomName (count), " ", "");
        ASSERT_EQ (words.size(), count);
        for (int i = 0; i < count; ++i)
        {
            EXPECT_TRUE (juce::CharacterFunctions::isUpperCase (words[i][0])) << words[i];
            const auto& list = (i == count - 1) ? RandomName::getNouns() : RandomName::getAdjectives();
            EXPECT_TRUE (list.contains (words[i].toLowerCase())) << words[i];
        }
    }
}

TEST_F (CategoryTest, HostileFilesGiveTheDefaultsAndAreLeftUntilAChange)
{
    const juce::String sample = "<Categories>\r\n  <Category uuid=\"0123456789abcdef0123456789abcdef\" color=\"ff112233\" name=\"Crew\"/>\r\n"
                                "</Categories>\r\n";
    for (const auto& hostile : test::hostileFiles (sample))
    {
        SCOPED_TRACE (hostile.name);
        test::writeBytes (file(), hostile.bytes);
        {
            CategoryManager manager;
            if (hostile.readable)
            {
                ASSERT_EQ (manager.getCategories().size(), 1u);
                EXPECT_EQ (manager.getCategories()[0]->getName(), juce::String ("Crew"));
            }
            else
            {
                expectDefaults (manager);
            }
            test::pumpFor (50);
        }
        EXPECT_TRUE (test::bytesOf (file()) == hostile.bytes) << "nothing is written before a change";
    }
}
