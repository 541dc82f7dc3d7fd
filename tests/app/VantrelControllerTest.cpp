#include "app/VantrelController.h"
#include "document/AppData.h"
#include "document/Identifiers.h"
#include "document/PreferencesHandler.h"
#include "model/ActiveCueListHandler.h"
#include "model/CategoryManager.h"
#include "model/ColorMask.h"
#include "model/CueListManager.h"
#include "model/DefaultsManager.h"
#include "model/ListNodes.h"
#include "time/TimeManager.h"
#include "support/MessageLoop.h"
#include "support/ServerTestSupport.h"
#include "support/SmallDisk.h"
#include "support/TempHome.h"
#include "ui/kit/DialogPresenter.h"

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

TEST (VantrelController, BuildingTheModelLeavesNothingToUndo)
{
    // A cue whose colour no category has: building the model makes a category for it and
    // links the cue, both through the undo manager. None of that is the user's step.
    test::TempHome home;
    auto folder = home.getSettingsFolder();
    folder.getChildFile ("preferences").createDirectory();
    auto file = folder.getChildFile ("Show.xml");
    file.replaceWithText ("<Vantrel version=\"1.1.0.643\"><CueLists>"
                          "<CueList uuid=\"11111111111111111111111111111111\" name=\"Show\" offset=\"00:00:00:00\" fps=\"25\">"
                          "<Cues><cue id=\"c1\" number=\"1\" text=\"Go\" start=\"0.0\" duration=\"0\" color=\"ff123456\"/></Cues>"
                          "</CueList></CueLists><ColorMask/><Servers IP=\"0.0.0.0\"/></Vantrel>");
    PreferencesHandler().setLastUsedFile (file);

    VantrelController controller;
    ASSERT_EQ (controller.categoryManager->getCategories().size(), 9u) << "the eight defaults and one made for the cue";
    EXPECT_FALSE (AppData::getUndoManager()->canUndo());
    controller.undo();
    EXPECT_EQ (controller.categoryManager->getCategories().size(), 9u) << "the made category stays";
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

TEST (VantrelController, DocumentNamesAreFileNamesWithoutTheExtension)
{
    // The last used file is reopened at start: its name is the document's name.
    const struct
    {
        const char* relativePath;
        const char* name;
    } cases[] = { { "Gala.xml", "Gala" },       { "Tour.2024.xml", "Tour.2024" }, { "Tour", "Tour" },
                  { ".xml", ".xml" },           { "op.d/show", "show" },          { "back\\slash.xml", "back\\slash" } };
    for (const auto& c : cases)
    {
        test::TempHome home;
        auto folder = home.getSettingsFolder();
        folder.getChildFile ("preferences").createDirectory();
        auto file = folder.getChildFile (c.relativePath);
        file.getParentDirectory().createDirectory();
        file.replaceWithText ("<Vantrel version=\"1.1.0\"/>");
        PreferencesHandler().setLastUsedFile (file);

        VantrelController controller;
        ASSERT_EQ (controller.getAppData().getDocumentFile(), file) << c.relativePath;
        EXPECT_EQ (controller.getDocumentName(), juce::String (c.name)) << c.relativePath;
    }
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

TEST (VantrelController, AQuitWithAFailingWriteStaysOpenOnceAndAFreedDiskTakesTheEdit)
{
    test::TempHome home;
    test::SmallDisk disk (home.getHome().getChildFile ("shows"), 64);
    if (! disk.isMounted())
        GTEST_SKIP() << "no small disk: " << disk.getError();
    const auto file = home.getHome().getChildFile ("shows/Show.xml");
    file.replaceWithText ("<Vantrel version=\"1.1.0.643\"><CueLists/><ColorMask/><Servers IP=\"0.0.0.0\"/></Vantrel>");
    PreferencesHandler().setLastUsedFile (file);

    auto controller = std::make_unique<VantrelController>();
    auto* um = AppData::getUndoManager();
    auto lists = controller->getAppData().getOrCreateChild (IDs::CueLists);
    const auto shown = [] { return DialogPresenter::getInstance()->getShownMessage(); };

    // The disk fills up under an edit; the operator frees space and quits.
    disk.fill();
    um->beginNewTransaction ("Edit");
    lists.setProperty ("note", "one", um);
    ASSERT_TRUE (test::pumpUntil ([&] { return shown().contains ("disk full"); }));
    DialogPresenter::getInstance()->dismiss();
    EXPECT_FALSE (controller->mayQuit()) << "the edit exists only in memory";
    EXPECT_TRUE (shown().contains ("disk full")) << "the quit says why it did not happen";
    disk.free();
    EXPECT_TRUE (controller->mayQuit());
    EXPECT_TRUE (test::readBytes (file).contains ("note=\"one\""));

    // A second quit request while the write still fails quits; the last attempt at the end
    // of the run still finds the freed space.
    disk.fill();
    lists.setProperty ("note", "two", um);
    ASSERT_TRUE (test::pumpUntil ([&] { return ! controller->getAppData().getWriteFailure().isEmpty(); }));
    EXPECT_FALSE (controller->mayQuit());
    EXPECT_TRUE (controller->mayQuit());
    disk.free();
    controller.reset();
    EXPECT_TRUE (test::readBytes (file).contains ("note=\"two\""));
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
