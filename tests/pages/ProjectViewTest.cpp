#include "pages/ProjectView.h"

#include "PagesFixture.h"
#include "document/AppData.h"
#include "document/PreferencesHandler.h"
#include "model/CueListManager.h"

namespace
{
using ProjectViewTest = test::PagesFixture;

/** Types into the name label as a user does: a click opens the editor, the text replaces
    what is there, and Return ends the edit. */
void rename (juce::Label& label, const juce::String& text)
{
    label.showEditor();
    auto* editor = label.getCurrentTextEditor();
    ASSERT_NE (editor, nullptr);
    editor->setText (text, false);
    label.hideEditor (false);
}

juce::StringArray filesUnder (const juce::File& folder)
{
    juce::StringArray names;
    for (const auto& f : folder.findChildFiles (juce::File::findFilesAndDirectories, true, "*"))
        names.add (f.getRelativePathFrom (folder));
    names.sort (false);
    return names;
}
}

TEST_F (ProjectViewTest, LaysOutTheBarAndTwoPanels)
{
    ProjectView view (controller);
    const struct
    {
        int width, height;
        juce::Rectangle<int> bar, left, right;
    } cases[] = {
        { 1182, 748, { 0, 0, 1182, 53 }, { 0, 63, 500, 685 }, { 510, 63, 672, 685 } },
        { 800, 400, { 0, 0, 800, 53 }, { 0, 63, 400, 337 }, { 410, 63, 390, 337 } },
        { 1000, 40, { 0, 0, 1000, 40 }, { 0, 40, 500, 0 }, { 510, 40, 490, 0 } },
    };
    for (const auto& c : cases)
    {
        view.setSize (c.width, c.height);
        EXPECT_EQ (view.getDocumentBar().getBounds(), c.bar) << c.width;
        EXPECT_EQ (view.getListsPanel().getBounds(), c.left) << c.width;
        EXPECT_EQ (view.getSelectedListPanel().getBounds(), c.right) << c.width;
    }

    auto& bar = view.getDocumentBar();
    bar.setSize (600, 53);
    EXPECT_EQ (bar.getLoadButton().getBounds(), juce::Rectangle<int> (525, 12, 63, 29));
    EXPECT_EQ (bar.getNewButton().getBounds(), juce::Rectangle<int> (457, 12, 63, 29));
    EXPECT_EQ (bar.getSaveIndicator().getBounds(), juce::Rectangle<int> (432, 12, 15, 29));
    EXPECT_EQ (bar.getNameLabel().getBounds(), juce::Rectangle<int> (12, 12, 410, 29));
    EXPECT_EQ (bar.getNewButton().getName(), "New");
    EXPECT_EQ (bar.getLoadButton().getName(), "Load");
    EXPECT_EQ (view.getListsPanel().getTitleText(), "Cuelists");
    EXPECT_TRUE (view.getListsPanel().actionDropdown.isVisible());
}

TEST_F (ProjectViewTest, ANewNameSavesTheDocumentUnderIt)
{
    ProjectView view (controller);
    auto& label = view.getDocumentBar().getNameLabel();
    EXPECT_EQ (label.getText(), "Untitled Vantrel Document");

    rename (label, "Gala");
    const auto gala = home.getSettingsFolder().getChildFile ("Gala.xml");
    EXPECT_TRUE (gala.existsAsFile());
    EXPECT_EQ (PreferencesHandler().getLastUsedFile(), gala);
    EXPECT_EQ (label.getText(), "Gala");

    rename (label, "Tour.2024");
    EXPECT_EQ (label.getText(), "Tour.2024");
    EXPECT_TRUE (home.getSettingsFolder().getChildFile ("Tour.2024.xml").existsAsFile());
}

TEST_F (ProjectViewTest, RefusedNamesPutTheCurrentNameBack)
{
    ProjectView view (controller);
    auto& label = view.getDocumentBar().getNameLabel();
    rename (label, "Gala");
    home.getSettingsFolder().getChildFile ("Taken.xml").replaceWithText ("<Vantrel/>");
    const auto before = filesUnder (home.getHome());

    const struct
    {
        const char* name;
        const char* dialog;
    } cases[] = {
        { "", "Invalid File Name" },       { "   ", "Invalid File Name" },        { ".", "Invalid File Name" },
        { "..", "Invalid File Name" },     { "../Outside", "Invalid File Name" }, { "a\\b", "Invalid File Name" },
        { "/tmp/x", "Invalid File Name" }, { "Taken", "Duplicate File Name" },
    };
    for (const auto& c : cases)
    {
        rename (label, c.name);
        EXPECT_EQ (shownDialogTitle(), c.dialog) << c.name;
        EXPECT_EQ (label.getText(), "Gala") << c.name;
        EXPECT_EQ (controller.getDocumentName(), "Gala") << c.name;
        DialogPresenter::getInstance()->dismiss();
    }
    EXPECT_EQ (filesUnder (home.getHome()), before) << "nothing was written anywhere";
    EXPECT_FALSE (juce::File ("/tmp/x.xml").existsAsFile());
}

TEST_F (ProjectViewTest, TheSaveMarkFollowsTheAutosaveAndDoesNothingWhenClicked)
{
    ProjectView view (controller);
    auto& mark = view.getDocumentBar().getSaveIndicator();
    EXPECT_FALSE (mark.isVisible());
    bool clicks = true, childClicks = true;
    mark.getInterceptsMouseClicks (clicks, childClicks);
    EXPECT_FALSE (clicks);

    controller.getAppData().getRoot().setProperty ("note", "x", nullptr);
    EXPECT_TRUE (mark.isVisible());
    EXPECT_TRUE (test::pumpUntil ([&] { return ! mark.isVisible(); }));
}

TEST_F (ProjectViewTest, NewAndLoadReplaceTheDocumentShown)
{
    auto view = std::make_unique<ProjectView> (controller);
    auto& bar = view->getDocumentBar();
    rename (bar.getNameLabel(), "Gala");

    bar.getNewButton().triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return bar.getNameLabel().getText() == "Untitled Vantrel Document"; }));

    std::function<void (const juce::File&)> pendingChoice;
    controller.getAppData().chooseFileToOpen = [&pendingChoice] (auto done) { pendingChoice = done; };
    bar.getLoadButton().triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return pendingChoice != nullptr; }));
    pendingChoice (home.getSettingsFolder().getChildFile ("Gala.xml"));
    EXPECT_EQ (bar.getNameLabel().getText(), "Gala");

    // The page goes while the chooser is open: the load still happens, nothing reaches the page.
    controller.newDocument();
    pendingChoice = nullptr;
    view->getDocumentBar().getLoadButton().triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return pendingChoice != nullptr; }));
    view.reset();
    pendingChoice (home.getSettingsFolder().getChildFile ("Gala.xml"));
    EXPECT_EQ (controller.getDocumentName(), "Gala");
}

TEST_F (ProjectViewTest, SetFpsForAllIsOneStepOverTheListsButNotTheTimetable)
{
    addLists();
    ProjectView view (controller);
    ASSERT_EQ (rates(), (std::vector<int> { 1000, 30, 30, 30 }));

    view.menuItemChosen (25);
    EXPECT_EQ (rates(), (std::vector<int> { 1000, 25, 25, 25 }));
    EXPECT_EQ (undo.getUndoDescription(), "Set CueLists Fps");
    controller.undo();
    EXPECT_EQ (rates(), (std::vector<int> { 1000, 30, 30, 30 }));
    EXPECT_FALSE (undo.canUndo());

    for (auto ignored : { 0, 29, 1000, -1 })
        view.menuItemChosen (ignored);
    EXPECT_EQ (rates(), (std::vector<int> { 1000, 30, 30, 30 }));
    EXPECT_FALSE (undo.canUndo());
}

TEST_F (ProjectViewTest, SetOffsetsSpreadsTheListsOverTheDay)
{
    addLists();
    ProjectView view (controller);
    const struct
    {
        int id;
        std::vector<juce::String> offsets;
    } cases[] = { { 15, { "00:15:00:00", "00:30:00:00", "00:45:00:00" } },
                  { 60, { "01:00:00:00", "02:00:00:00", "03:00:00:00" } } };
    for (const auto& c : cases)
    {
        view.menuItemChosen (c.id);
        std::vector<juce::String> offsets;
        for (const auto& list : controller.cueListManager->getCueLists())
            if (! list->isTimetable())
                offsets.push_back (list->getOffset());
        EXPECT_EQ (offsets, c.offsets) << c.id;
    }
}
