#include "app/VantrelController.h"
#include "document/AppData.h"
#include "document/Identifiers.h"
#include "document/PreferencesHandler.h"
#include "model/ActiveCueListHandler.h"
#include "model/ColorMask.h"
#include "model/CueListManager.h"
#include "model/DefaultsManager.h"
#include "model/ListNodes.h"
#include "time/TimeManager.h"
#include "support/MessageLoop.h"
#include "support/ServerTestSupport.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace
{
struct Recorder : VantrelController::Listener
{
    int changed = 0;
    std::vector<bool> saves;
    void documentChanged() override { ++changed; }
    void documentSaveStateChanged (bool saved) override { saves.push_back (saved); }
};

struct ActiveCounter : ActiveCueListHandler::Listener
{
    int calls = 0;
    void activeCueListChanged() override { ++calls; }
};
}

TEST (VantrelController, StartsWithTheDefaultChildrenAndNothingToUndo)
{
    test::TempHome home;
    VantrelController controller;
    auto root = controller.getAppData().getRoot();

    for (auto type : { IDs::Settings, IDs::CueLists, IDs::Servers, IDs::Categories, IDs::ColorMask })
        EXPECT_TRUE (root.getChildWithName (type).isValid()) << type.toString();
    EXPECT_FALSE (AppData::getUndoManager()->canUndo());
    EXPECT_EQ (controller.getDocumentName(), "Untitled Vantrel Document");
}

TEST (VantrelController, AMissingChildIsAddedWithoutAnUndoStep)
{
    test::TempHome home;
    auto folder = home.getSettingsFolder();
    folder.getChildFile ("preferences").createDirectory();
    auto file = folder.getChildFile ("Bare.xml");
    file.replaceWithText ("<Vantrel version=\"1.1.0\"><Notes/></Vantrel>");
    PreferencesHandler().setLastUsedFile (file);

    VantrelController controller;
    EXPECT_TRUE (controller.getAppData().getOrCreateChild (IDs::CueLists).isValid());
    controller.undo();
    EXPECT_TRUE (controller.getAppData().getRoot().getChildWithName (IDs::CueLists).isValid());
}

TEST (VantrelController, CommandsNotifyListeners)
{
    test::TempHome home;
    VantrelController controller;
    Recorder recorder;
    controller.addListener (&recorder);

    controller.getAppData().chooseFileToOpen = [] (auto done) { done (juce::File()); };
    controller.openDocument();
    EXPECT_EQ (recorder.changed, 0) << "a cancelled chooser tells nobody";

    controller.saveDocumentAs ("Gala");
    EXPECT_EQ (recorder.changed, 1);
    EXPECT_EQ (controller.getDocumentName(), "Gala");
    ASSERT_FALSE (recorder.saves.empty());
    EXPECT_FALSE (recorder.saves.back());
    ASSERT_TRUE (test::pumpUntil ([&] { return recorder.saves.back(); }));

    controller.saveDocumentAs ("Gala"); // exists now: refused, but listeners still hear of it
    EXPECT_EQ (recorder.changed, 2);
    EXPECT_EQ (controller.getDocumentName(), "Gala");

    controller.newDocument();
    EXPECT_EQ (recorder.changed, 3);
    EXPECT_EQ (controller.getDocumentName(), "Untitled Vantrel Document");
    controller.removeListener (&recorder);
}

TEST (VantrelController, UndoAndRedo)
{
    test::TempHome home;
    VantrelController controller;
    auto* um = AppData::getUndoManager();
    auto lists = controller.getAppData().getOrCreateChild (IDs::CueLists);

    controller.undo(); // nothing to undo: no effect
    um->beginNewTransaction ("Rename");
    lists.setProperty ("note", "a", um);
    controller.undo();
    EXPECT_FALSE (lists.hasProperty ("note"));
    controller.redo();
    EXPECT_EQ (lists["note"].toString(), "a");
}

TEST (VantrelController, DocumentNames)
{
    const struct
    {
        const char* path;
        const char* name;
    } cases[] = { { "D:\\Events\\Gala.xml", "Gala" }, { "D:\\Events\\.xml", ".xml" }, { "", "" },
                  { "/home/op/Gala.xml", "Gala" },     { "/home/op/show", "show" },   { "/home/op.d/show", "show" },
                  { "/x/a.b.xml", "a.b" } };
    for (const auto& c : cases)
        EXPECT_EQ (VantrelController::documentNameFromPath (c.path), juce::String (c.name)) << c.path;
}

TEST (VantrelController, ADefaultWithoutAUsableRateStartsTheClockAt30)
{
    for (auto defaults : { "<Defaults/>", "<Defaults fps=\"0\"/>", "<Defaults fps=\"-5\"/>" })
    {
        test::TempHome home;
        home.getPreferencesFolder().createDirectory();
        home.getPreferencesFolder().getChildFile ("defaults.xml").replaceWithText (defaults);
        VantrelController controller;
        EXPECT_EQ (controller.timeManager->master.getFps(), 30) << defaults;
        EXPECT_EQ (test::readBytes (home.getPreferencesFolder().getChildFile ("defaults.xml")), defaults)
            << "the stored value is left as it is";
    }
}

TEST (VantrelController, DocumentsComeAndGoWhileTheClockDrivesTheLiveList)
{
    test::TempHome home;
    auto folder = home.getSettingsFolder();
    folder.getChildFile ("preferences").createDirectory();
    const auto port = test::nextCandidatePort();
    const auto write = [&] (const juce::String& name, const juce::String& serverPort)
    {
        auto file = folder.getChildFile (name + ".xml");
        file.replaceWithText ("<Vantrel version=\"1.1.0.643\"><CueLists>"
                              "<CueList uuid=\"" + juce::Uuid().toString() + "\" name=\"" + name + " day\" timetable=\"1\" fps=\"1000\">"
                              "<Cues><cue id=\"t1\" number=\"1\" text=\"Doors\" start=\"0.0\" duration=\"86000000\"/></Cues></CueList>"
                              "<CueList uuid=\"" + juce::Uuid().toString() + "\" name=\"" + name + " show\" offset=\"00:00:00:00\" fps=\"25\" start=\"0\">"
                              "<Cues><cue id=\"s1\" number=\"1\" text=\"Go\" start=\"1000.0\" duration=\"0\"/></Cues></CueList>"
                              "</CueLists><ColorMask/><Servers IP=\"0.0.0.0\"><Server uuid=\"" + juce::Uuid().toString()
                              + "\" port=\"" + serverPort + "\" name=\"Crew\"><ColorMask/></Server></Servers></Vantrel>");
        return file;
    };
    const auto first = write ("First", juce::String (port));
    const auto second = write ("Second", juce::String (port + 1));

    auto controller = std::make_unique<VantrelController>();
    auto& c = *controller;
    c.timeManager->master.setDriver (0); // the computer's clock: its thread asks for the timetable every 10 ms
    ASSERT_TRUE (test::pumpUntil ([&] { return c.timeManager->getTimeInfo().running; }));

    for (int round = 0; round < 6; ++round)
    {
        c.getAppData().loadDocument (round % 2 == 0 ? first : second, {});
        test::pumpFor (15);
        if (round % 3 == 2)
        {
            c.newDocument();
            test::pumpFor (15);
        }
        const auto name = juce::String (round % 2 == 0 ? "First" : "Second") + " day";
        if (round % 3 != 2)
        {
            EXPECT_TRUE (test::pumpUntil ([&] {
                auto live = c.activeCueListHandler->getActiveCueList();
                return live != nullptr && live->getName() == name;
            })) << "round " << round;
        }
    }

    // Gone with the clock still running and the servers still starting.
    controller.reset();
    test::pumpFor (20);
}

TEST (VantrelController, BuildsTheManagersAndRebindsThemToEveryDocument)
{
    test::TempHome home;
    auto controller = std::make_unique<VantrelController>();
    auto& c = *controller;
    ASSERT_NE (c.categoryManager, nullptr);
    ASSERT_NE (c.cueListManager, nullptr);
    ASSERT_NE (c.defaultsManager, nullptr);
    ASSERT_NE (c.colorMask, nullptr);
    ASSERT_NE (c.activeCueListHandler, nullptr);
    ASSERT_NE (c.selectedCueListHandler, nullptr);
    EXPECT_NE (c.activeCueListHandler, c.selectedCueListHandler);
    EXPECT_FALSE (AppData::getUndoManager()->canUndo());
    EXPECT_TRUE (home.getPreferencesFolder().getChildFile ("defaults.xml").existsAsFile());
    EXPECT_EQ (c.defaultsManager->getDefaultFps(), 30);

    // A document holding one list: loading it makes that list live in both handlers.
    juce::ValueTree document (IDs::Vantrel);
    document.setProperty (IDs::version, "1.1.0.643", nullptr);
    juce::ValueTree lists (IDs::CueLists);
    lists.appendChild (test::listNode ("Loaded", 0, 1000), nullptr);
    document.appendChild (lists, nullptr);
    auto file = home.getDocuments().getChildFile ("Show.xml");
    home.getDocuments().createDirectory();
    ASSERT_TRUE (file.replaceWithText (document.createXml()->toString()));

    ActiveCounter counter;
    c.activeCueListHandler->addListener (&counter);
    bool loaded = false;
    c.appData->loadDocument (file, [&] { loaded = true; });
    ASSERT_TRUE (loaded);
    EXPECT_EQ (c.cueListManager->getState(), c.appData->getRoot().getChildWithName (IDs::CueLists));
    EXPECT_EQ (c.colorMask->getState(), c.appData->getRoot().getChildWithName (IDs::ColorMask));
    ASSERT_TRUE (test::pumpUntil ([&] { return c.activeCueListHandler->getActiveCueList() != nullptr; }));
    EXPECT_EQ (c.activeCueListHandler->getActiveCueList()->getName(), juce::String ("Loaded"));
    EXPECT_EQ (c.selectedCueListHandler->getActiveCueList(), c.activeCueListHandler->getActiveCueList());
    EXPECT_FALSE (AppData::getUndoManager()->canUndo()) << "the added children are no step of the user's";

    c.newDocument();
    EXPECT_EQ (c.cueListManager->getState(), c.appData->getRoot().getChildWithName (IDs::CueLists));
    EXPECT_EQ (c.colorMask->getState(), c.appData->getRoot().getChildWithName (IDs::ColorMask));
    ASSERT_TRUE (test::pumpUntil ([&] { return c.activeCueListHandler->getActiveCueList() == nullptr; }));
    c.activeCueListHandler->removeListener (&counter);

    // Destruction with live lists, category links and pending notices.
    c.colorMask->setColors ({ juce::Colours::red });
    controller.reset();
    test::pumpFor (20);
}
