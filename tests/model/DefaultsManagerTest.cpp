#include "ModelFixture.h"
#include "model/DefaultsManager.h"
#include "support/HostileFiles.h"

namespace
{
struct FpsCounter : DefaultsManager::Listener
{
    int calls = 0;
    void defaultFpsChanged() override { ++calls; }
};

class DefaultsManagerTest : public test::ModelFixture
{
protected:
    juce::File file() const { return preferencesFile ("defaults.xml"); }
};
}

TEST_F (DefaultsManagerTest, FirstStartWritesThirtyInTheSharedTextForm)
{
    DefaultsManager defaults;
    EXPECT_EQ (defaults.getDefaultFps(), 30);
    EXPECT_EQ (test::readBytes (file()), juce::String ("<Defaults fps=\"30\"/>\r\n"));
}

TEST_F (DefaultsManagerTest, UnreadableFileIsMadeAgainAtOnce)
{
    for (auto* content : { "", "<Defaults fps=\"2", "not xml at all \x01\x02", "<a><b></a>" })
    {
        SCOPED_TRACE (content);
        file().getParentDirectory().createDirectory();
        file().replaceWithText (content);
        DefaultsManager defaults;
        EXPECT_EQ (defaults.getDefaultFps(), 30);
        EXPECT_EQ (test::readBytes (file()), juce::String ("<Defaults fps=\"30\"/>\r\n"));
    }
}

TEST_F (DefaultsManagerTest, StoredRatesAreKeptAsTheyAre)
{
    struct Case { const char* xml; int shown; int usable; };
    const Case cases[] = {
        { "<Defaults/>", 0, 30 },
        { "<Defaults fps=\"0\"/>", 0, 30 },
        { "<Defaults fps=\"-25\"/>", -25, 30 },
        { "<Defaults fps=\"29\"/>", 29, 29 },
        { "<Settings fps=\"25\"/>", 25, 25 }, // any root name is accepted
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.xml);
        file().getParentDirectory().createDirectory();
        file().replaceWithText (c.xml);
        const auto before = test::readBytes (file());
        DefaultsManager defaults;
        EXPECT_EQ (defaults.getDefaultFps(), c.shown);
        EXPECT_EQ (DefaultsManager::usableFps (defaults.getDefaultFps()), c.usable);
        EXPECT_EQ (test::readBytes (file()), before) << "the file is left as it is";
    }
}

TEST_F (DefaultsManagerTest, SetUndoRedoNotifyAndRewrite)
{
    DefaultsManager defaults;
    FpsCounter counter;
    defaults.addListener (&counter);

    defaults.setDefaultFps (25);
    EXPECT_EQ (counter.calls, 1);
    EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Set Default Fps"));
    EXPECT_TRUE (test::readBytes (file()).contains ("fps=\"25\""));

    defaults.setDefaultFps (25); // unchanged: nothing recorded, nobody told
    EXPECT_EQ (counter.calls, 1);

    undoManager().undo();
    EXPECT_EQ (defaults.getDefaultFps(), 30);
    EXPECT_EQ (counter.calls, 2);
    EXPECT_TRUE (test::readBytes (file()).contains ("fps=\"30\""));

    undoManager().redo();
    EXPECT_EQ (defaults.getDefaultFps(), 25);
    EXPECT_EQ (counter.calls, 3);
    EXPECT_TRUE (test::readBytes (file()).contains ("fps=\"25\""));
    defaults.removeListener (&counter);
}

TEST_F (DefaultsManagerTest, HostileFilesGiveThirtyAndAreMadeAgain)
{
    for (const auto& hostile : test::hostileFiles ("<Defaults fps=\"25\"/>\r\n"))
    {
        SCOPED_TRACE (hostile.name);
        test::writeBytes (file(), hostile.bytes);
        DefaultsManager defaults;
        EXPECT_EQ (defaults.getDefaultFps(), hostile.readable ? 25 : 30);
        if (hostile.readable)
            EXPECT_TRUE (test::bytesOf (file()) == hostile.bytes) << "read as it is, and not rewritten";
        else
            EXPECT_EQ (test::readBytes (file()), juce::String ("<Defaults fps=\"30\"/>\r\n"));
    }
}
