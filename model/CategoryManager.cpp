#include "model/CategoryManager.h"

#include "document/AppData.h"
#include "document/Identifiers.h"
#include "document/PreferencesHandler.h"
#include "document/XmlFile.h"

namespace
{
struct DefaultCategory
{
    const char* name;
    juce::uint32 argb;
};

const DefaultCategory defaultCategories[] = {
    { "ALL", 0xffd52fd5 },   { "Audio", 0xff3fb6dc }, { "Light", 0xffcfb228 }, { "Video", 0xff7540ee },
    { "Laser", 0xff26d256 }, { "SFX", 0xffff7052 },   { "PYRO", 0xffd52f3f },  { "Performance", 0xff2f61d5 },
};
}

CategoryManager::CategoryManager()
    : settingsFile (PreferencesHandler::getPreferencesFile().getParentDirectory().getChildFile ("categories.xml"))
{
    // An empty, truncated or foreign-format file reads as missing: the defaults come back
    // and the file is written again at the first change.
    if (auto xml = XmlFile::read (settingsFile))
        tree = juce::ValueTree::fromXml (*xml);

    if (! tree.isValid())
        makeDefaults();

    tree.addListener (this);
    for (const auto& child : tree)
        addEntry (child);
}

CategoryManager::~CategoryManager()
{
    cancelPendingUpdate();
    tree.removeListener (this);
    for (auto& [uuid, category] : categories)
        category->removeListener (this);
}

void CategoryManager::makeDefaults()
{
    tree = juce::ValueTree (IDs::Categories);
    for (const auto& d : defaultCategories)
    {
        Category category (juce::Colour (d.argb));
        category.getState().setProperty (IDs::name, d.name, nullptr);
        tree.appendChild (category.getState(), nullptr);
    }
}

void CategoryManager::addEntry (juce::ValueTree child)
{
    const auto uuid = child[IDs::uuid].toString();
    if (auto old = categories.find (uuid); old != categories.end())
        old->second->removeListener (this);

    auto category = std::make_shared<Category> (child);
    category->addListener (this);
    categories[uuid] = category;
}

std::vector<std::shared_ptr<Category>> CategoryManager::getCategories() const
{
    std::vector<std::shared_ptr<Category>> result;
    for (const auto& child : tree)
        if (auto found = categories.find (child[IDs::uuid].toString()); found != categories.end())
            result.push_back (found->second);
    return result;
}

std::shared_ptr<Category> CategoryManager::getCategory (const juce::String& uuid) const
{
    if (auto found = categories.find (uuid); found != categories.end())
        return found->second;
    return {};
}

std::shared_ptr<Category> CategoryManager::getOrCreateCategoryForColor (juce::Colour colour)
{
    for (const auto& [uuid, category] : categories)
        if (category->getColor().getARGB() == colour.getARGB())
            return category;

    juce::String uuid;
    {
        Category made (colour);
        uuid = made.getUuid();
        tree.appendChild (made.getState(), AppData::getUndoManager());
    }

    // An append refused by the undo manager (during an undo or redo) adds nothing.
    if (auto added = getCategory (uuid))
        return added;
    return {};
}

void CategoryManager::addRandomCategory()
{
    std::vector<juce::uint32> used;
    for (const auto& [uuid, category] : categories)
        used.push_back (category->getColor().getARGB());

    juce::Random random;
    juce::Colour colour;
    do
    {
        colour = juce::Colour ((juce::uint8) random.nextInt (256), (juce::uint8) random.nextInt (256),
                               (juce::uint8) random.nextInt (256));
    } while (std::find (used.begin(), used.end(), colour.getARGB()) != used.end());

    getOrCreateCategoryForColor (colour);
}

void CategoryManager::removeCategory (const Category& category)
{
    const int index = tree.indexOf (category.getState());
    if (index >= 0)
        tree.removeChild (index, AppData::getUndoManager());
}

void CategoryManager::moveCategory (int from, int to)
{
    const int count = tree.getNumChildren();
    if (from == to || from < 0 || from >= count)
        return;
    if (to < 0 || to >= count)
        to = count - 1;
    if (from != to)
        tree.moveChild (from, to, AppData::getUndoManager());
}

void CategoryManager::save()
{
    if (auto xml = tree.createXml())
        XmlFile::write (*xml, settingsFile);
}

void CategoryManager::valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier&)
{
    triggerAsyncUpdate();
}

void CategoryManager::valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree& child)
{
    if (parent != tree)
        return;
    addEntry (child);
    triggerAsyncUpdate();
}

void CategoryManager::valueTreeChildRemoved (juce::ValueTree& parent, juce::ValueTree& child, int)
{
    if (parent != tree)
        return;
    const auto uuid = child[IDs::uuid].toString();
    if (auto found = categories.find (uuid); found != categories.end())
    {
        found->second->removeListener (this);
        categories.erase (found);
    }
    triggerAsyncUpdate();
}

void CategoryManager::valueTreeChildOrderChanged (juce::ValueTree&, int, int)
{
    triggerAsyncUpdate();
}

void CategoryManager::categoryUsageChanged()
{
    listeners.call ([] (Listener& l) { l.categoriesChanged(); });
}

void CategoryManager::handleAsyncUpdate()
{
    listeners.call ([] (Listener& l) { l.categoriesChanged(); });
    save();
}
