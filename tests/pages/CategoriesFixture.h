#pragma once

#include "PagesFixture.h"
#include "model/CategoryManager.h"
#include "ui/PeerInput.h"

namespace test
{
/** Makes this process the active application, as a window manager does when the user clicks
    one of its windows. Pop-up menus close themselves at once while the application is not
    active, and on a display shared by several test processes nothing else activates it
    reliably. */
inline bool activate (juce::Component& topLevel)
{
    return pumpUntil ([&topLevel]
                      {
                          topLevel.toFront (true);
                          return juce::Process::isForegroundProcess();
                      });
}

/** The whole show model in a fresh home, plus what the category tests read and drive. */
struct CategoriesFixture : PagesFixture
{
    CategoryManager& categories = *controller.categoryManager;

    juce::File categoriesFile() const { return home.getPreferencesFolder().getChildFile ("categories.xml"); }

    /** One attribute of every "Category" element of "categories.xml", in file order. */
    juce::StringArray fromFile (const char* attribute) const
    {
        juce::StringArray values;
        if (auto xml = juce::XmlDocument::parse (categoriesFile()))
            for (auto* e : xml->getChildWithTagNameIterator ("Category"))
                values.add (e->getStringAttribute (attribute));
        return values;
    }

    juce::StringArray names() const
    {
        juce::StringArray result;
        for (const auto& c : categories.getCategories())
            result.add (c->getName());
        return result;
    }

    std::shared_ptr<Category> named (const juce::String& name) const
    {
        for (const auto& c : categories.getCategories())
            if (c->getName() == name)
                return c;
        return {};
    }

    static juce::StringArray defaultNames()
    {
        return { "ALL", "Audio", "Light", "Video", "Laser", "SFX", "PYRO", "Performance" };
    }

    /** The framework names its pop-up menu windows "menu". */
    static juce::Component* findMenuWindow()
    {
        auto& desktop = juce::Desktop::getInstance();
        for (int i = desktop.getNumComponents(); --i >= 0;)
            if (auto* c = desktop.getComponent (i); c != nullptr && c->getName() == "menu" && c->isVisible())
                return c;
        return nullptr;
    }

    static juce::Component* waitForMenuWindow()
    {
        juce::Component* menu = nullptr;
        pumpUntil ([&menu] { return (menu = findMenuWindow()) != nullptr; });
        return menu;
    }

    static bool closeMenus()
    {
        juce::PopupMenu::dismissAllActiveMenus();
        return pumpUntil ([] { return findMenuWindow() == nullptr; });
    }
};

/** A plain top-level window around one component, so mouse input goes through a real peer. */
struct TestWindow
{
    juce::Component window;

    explicit TestWindow (juce::Component& content, juce::Rectangle<int> bounds = { 100, 100, 500, 500 })
    {
        window.setBounds (bounds);
        window.addAndMakeVisible (content);
        content.setBounds (window.getLocalBounds());
        window.addToDesktop (0);
        window.setVisible (true);
        activate (window);
    }
    ~TestWindow() { window.removeAllChildren(); }

    PeerMouse mouse() { return PeerMouse (window); }
};
}
