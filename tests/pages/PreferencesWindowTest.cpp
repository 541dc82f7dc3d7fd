#include "pages/PreferencesView.h"

#include "PagesFixture.h"
#include "PreferencesWindows.h"
#include "document/PreferencesHandler.h"
#include "pages/ProjectView.h"
#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"
#include "ui/PeerInput.h"

// The preferences window as the application builds it, driven through its native window.
namespace
{
struct PreferencesWindowTest : test::WithPreferencesWindows<test::PagesFixture>
{
    ProjectView& projectPage()
    {
        EXPECT_TRUE (test::pumpUntil ([this] { return dynamic_cast<ProjectView*> (view->getPage()) != nullptr; }));
        return *dynamic_cast<ProjectView*> (view->getPage());
    }

    void type (const juce::String& text)
    {
        for (auto c : text)
            peer().handleKeyPress (juce::KeyPress ((int) c, {}, c));
    }

    // The framework names its popup menu windows "menu".
    static juce::Component* findMenuWindow()
    {
        auto& desktop = juce::Desktop::getInstance();
        for (int i = desktop.getNumComponents(); --i >= 0;)
            if (auto* c = desktop.getComponent (i); c != nullptr && c->getName() == "menu")
                return c;
        return nullptr;
    }
};
}

TEST_F (PreferencesWindowTest, TypingANameAndReturnRenamesTheDocumentEverywhere)
{
    ASSERT_NE (prefsWindow.getPeer(), nullptr);
    auto& label = projectPage().getDocumentBar().getNameLabel();

    // The window manager activating the window.
    peer().handleFocusGain();
    mouse.click (label, { 20, 10 });
    auto* editor = label.getCurrentTextEditor();
    ASSERT_NE (editor, nullptr) << "a single click edits";
    ASSERT_TRUE (editor->hasKeyboardFocus (false));
    editor->selectAll();
    type ("Gala");
    EXPECT_EQ (editor->getText(), "Gala");
    peer().handleKeyPress (juce::KeyPress (juce::KeyPress::returnKey));
    ASSERT_TRUE (test::pumpUntil ([&] { return label.getCurrentTextEditor() == nullptr; })) << "Return ends the edit";

    const auto gala = home.getSettingsFolder().getChildFile ("Gala.xml");
    EXPECT_TRUE (gala.existsAsFile());
    EXPECT_EQ (PreferencesHandler().getLastUsedFile(), gala);
    EXPECT_EQ (label.getText(), "Gala");
    EXPECT_EQ (mainContent->titleBar.getName(), "Gala");
    EXPECT_EQ (prefsContent->titleBar.getName(), "Gala");
    EXPECT_EQ (MainComponent::nativeTitleFor (controller), "Gala - Vantrel");
}

TEST_F (PreferencesWindowTest, SetFpsForAllFromTheMenuIsUndoneByOneControlZ)
{
    addLists();
    auto& dropdown = projectPage().getListsPanel().actionDropdown;
    ASSERT_TRUE (dropdown.isShowing());

    mouse.click (dropdown, { 10, 10 });
    juce::Component* menu = nullptr;
    ASSERT_TRUE (test::pumpUntil ([&] { return (menu = findMenuWindow()) != nullptr; }));

    // "Set FPS For All", into its sub-menu, down to "25 FPS".
    menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
    menu->keyPressed (juce::KeyPress (juce::KeyPress::rightKey));
    juce::Component* subMenu = nullptr;
    ASSERT_TRUE (test::pumpUntil ([&] { return (subMenu = findMenuWindow()) != nullptr && subMenu != menu; }));
    subMenu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
    subMenu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    ASSERT_TRUE (test::pumpUntil ([&] { return rates() == std::vector<int> { 1000, 25, 25, 25 }; }))
        << rates()[1];

    ASSERT_TRUE (test::pumpUntil ([] { return findMenuWindow() == nullptr; }));
    prefsContent->focusContent();
    EXPECT_TRUE (peer().handleKeyPress (juce::KeyPress ('z', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_EQ (rates(), (std::vector<int> { 1000, 30, 30, 30 }));
}
