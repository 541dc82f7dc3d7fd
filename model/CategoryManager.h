#pragma once

#include "model/Category.h"
#include <map>
#include <memory>
#include <vector>

/** The application-wide categories, kept in "categories.xml" beside the preferences file and
    written after each coalesced change. Starts with eight defaults when the file is missing
    or unreadable. */
class CategoryManager : private juce::ValueTree::Listener,
                        private Category::Listener,
                        private juce::AsyncUpdater
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        virtual void categoriesChanged() = 0;
    };

    CategoryManager();
    ~CategoryManager() override;

    /** In list order; children without a map entry are skipped. */
    std::vector<std::shared_ptr<Category>> getCategories() const;
    std::shared_ptr<Category> getCategory (const juce::String& uuid) const;

    /** The category with exactly this ARGB colour (smallest uuid first), else a new one
        appended through the undo manager into the transaction open at the time. */
    std::shared_ptr<Category> getOrCreateCategoryForColor (juce::Colour colour);
    void addRandomCategory();

    /** These write through the undo manager and open no transaction. */
    void removeCategory (const Category& category);
    void moveCategory (int from, int to);

    void save();
    juce::File getSettingsFile() const { return settingsFile; }
    juce::ValueTree getState() const { return tree; }

    void addListener (Listener* l) { listeners.add (l); }
    void removeListener (Listener* l) { listeners.remove (l); }

private:
    juce::ValueTree tree;
    juce::File settingsFile;
    std::map<juce::String, std::shared_ptr<Category>> categories;
    juce::ListenerList<Listener> listeners;

    void addEntry (juce::ValueTree child);
    void makeDefaults();

    void valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier&) override;
    void valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree& child) override;
    void valueTreeChildRemoved (juce::ValueTree& parent, juce::ValueTree& child, int) override;
    void valueTreeChildOrderChanged (juce::ValueTree&, int, int) override;
    void categoryUsageChanged() override;
    void handleAsyncUpdate() override;

    JUCE_DECLARE_NON_COPYABLE (CategoryManager)
};
