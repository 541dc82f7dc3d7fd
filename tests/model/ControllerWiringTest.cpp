#include "ListNodes.h"
#include "app/VantrelController.h"
#include "document/AppData.h"
#include "model/ActiveCueListHandler.h"
#include "model/ColorMask.h"
#include "model/CueListManager.h"
#include "model/DefaultsManager.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include <gtest/gtest.h>

namespace
{
struct ActiveCounter : ActiveCueListHandler::Listener
{
    int calls = 0;
    void activeCueListChanged() override { ++calls; }
};
}

TEST (ControllerWiring, BuildsTheManagersAndRebindsThemToEveryDocument)
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
