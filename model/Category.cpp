#include "model/Category.h"

#include "document/AppData.h"
#include "document/Identifiers.h"
#include "model/RandomName.h"

Category::Category (juce::ValueTree node) : tree (node)
{
    tree.addListener (this);
}

Category::Category (juce::Colour colour) : tree (IDs::Category)
{
    tree.setProperty (IDs::uuid, juce::Uuid().toString(), nullptr);
    tree.setProperty (IDs::color, colour.toString(), nullptr);
    tree.addListener (this);
    tree.setProperty (IDs::name, makeRandomName (2), nullptr);
}

Category::~Category()
{
    cancelPendingUpdate();
    tree.removeListener (this);
}

juce::String Category::getName() const { return tree[IDs::name].toString(); }
juce::String Category::getUuid() const { return tree[IDs::uuid].toString(); }
juce::Colour Category::getColor() const { return juce::Colour::fromString (tree[IDs::color].toString()); }

void Category::setName (const juce::String& name)
{
    tree.setProperty (IDs::name, name, AppData::getUndoManager());
}

void Category::setColor (juce::Colour colour)
{
    tree.setProperty (IDs::color, colour.toString(), AppData::getUndoManager());
}

void Category::addUsage()
{
    ++usageCount;
    triggerAsyncUpdate();
}

void Category::removeUsage()
{
    --usageCount;
    triggerAsyncUpdate();
}

void Category::valueTreePropertyChanged (juce::ValueTree& node, const juce::Identifier& property)
{
    if (node != tree)
        return;
    if (property == IDs::name)
        listeners.call ([] (Listener& l) { l.categoryNameChanged(); });
    else if (property == IDs::color)
        listeners.call ([] (Listener& l) { l.categoryColorChanged(); });
}

void Category::handleAsyncUpdate()
{
    listeners.call ([] (Listener& l) { l.categoryUsageChanged(); });
}
