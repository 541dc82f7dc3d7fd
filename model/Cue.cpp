#include "model/Cue.h"

#include "document/Identifiers.h"
#include "model/CategoryManager.h"
#include "model/ModelUndo.h"
#include "time/Timecode.h"

#include <cmath>
#include <limits>

namespace
{
juce::Colour colourFromText (const juce::var& text)
{
    return juce::Colour::fromString (text.toString());
}
}

Cue::Cue (juce::ValueTree node, CategoryManager* cm) : tree (node), categoryManager (cm)
{
    linkCategoryForDisplayColor();
    tree.addListener (this);
}

Cue::Cue (int number, const juce::String& text, int startMs, int durationMs, juce::Colour colour, CategoryManager* cm)
    : tree (IDs::cue), categoryManager (cm)
{
    tree.setProperty (IDs::id, juce::Uuid().toString(), nullptr);
    tree.setProperty (IDs::number, number, nullptr);
    tree.setProperty (IDs::text, text, nullptr);
    tree.setProperty (IDs::start, startMs, nullptr);
    tree.setProperty (IDs::duration, durationMs, nullptr);
    tree.setProperty (IDs::color, colour.toString(), nullptr);
    linkCategoryForDisplayColor();
    tree.addListener (this);
}

Cue::Cue (const juce::String& number, const juce::String& text, const juce::String& timecodeText, juce::Colour colour,
          CategoryManager* cm)
    : tree (IDs::cue), categoryManager (cm)
{
    tree.setProperty (IDs::id, juce::Uuid().toString(), nullptr);
    tree.setProperty (IDs::number, number, nullptr);
    tree.setProperty (IDs::text, text, nullptr);
    tree.setProperty (IDs::tc, timecodeText, nullptr);
    tree.setProperty (IDs::color, colour.toString(), nullptr);
    linkCategoryForDisplayColor();
    tree.addListener (this);
}

Cue::~Cue()
{
    cancelPendingUpdate();
    tree.removeListener (this);
    if (linkedCategory != nullptr)
    {
        linkedCategory->removeListener (this);
        linkedCategory->removeUsage();
    }
}

void Cue::linkCategoryForDisplayColor()
{
    if (categoryManager != nullptr)
        setCategory (categoryManager->getOrCreateCategoryForColor (getDisplayColor()));
}

int Cue::getNumber() const { return static_cast<int> (tree[IDs::number]); }
juce::String Cue::getText() const { return tree[IDs::text].toString(); }
juce::String Cue::getTimecodeText() const { return tree[IDs::tc].toString(); }
juce::Colour Cue::getColor() const { return colourFromText (tree[IDs::color]); }

juce::Colour Cue::getDisplayColor() const
{
    return colourFromText (tree.hasProperty (IDs::displayColor) ? tree[IDs::displayColor] : tree[IDs::color]);
}

juce::Range<double> Cue::getRange() const
{
    const double start = tree.hasProperty (IDs::millis) ? (double) tree[IDs::millis] : (double) tree[IDs::start];
    const double duration = tree[IDs::duration];
    // A negative (or unreadable) length gives a cue that ends where it starts.
    return { start, start + (duration > 0.0 ? duration : 0.0) };
}

void Cue::setText (const juce::String& text)
{
    if (tree.isValid())
        tree.setProperty (IDs::text, text, ModelUndo::forNode (tree));
}

void Cue::setRange (juce::Range<double> range, bool resort)
{
    if (! tree.isValid())
        return;
    if (resort)
        setBits (resortBit);

    auto* um = ModelUndo::forNode (tree);
    tree.setProperty (tree.hasProperty (IDs::millis) ? IDs::millis : IDs::start, range.getStart(), um);
    tree.setProperty (IDs::duration, range.getEnd() - range.getStart(), um);
}

void Cue::setStartFromTimecode (int fps, double offsetMs)
{
    // Cues made in the program (timetable cues) have no timecode: recomputing would move
    // them all to the offset.
    if (! tree.isValid() || ! tree.hasProperty (IDs::tc))
        return;
    const auto ms = Timecode::fromString (getTimecodeText()).toMillis (fps > 0 ? fps : 30) + offsetMs;
    tree.setProperty (IDs::start, ms, ModelUndo::forNode (tree));
}

void Cue::setCategory (std::shared_ptr<Category> category)
{
    if (category == linkedCategory)
        return;

    if (linkedCategory != nullptr)
    {
        linkedCategory->removeUsage();
        linkedCategory->removeListener (this);
    }

    linkedCategory = std::move (category);
    if (linkedCategory == nullptr)
        return;

    linkedCategory->addUsage();
    linkedCategory->addListener (this);

    if (tree.isValid() && ! ModelUndo::isUndoingOrRedoing())
    {
        auto* um = ModelUndo::forNode (tree);
        tree.setProperty (IDs::category, linkedCategory->getUuid(), um);
        tree.setProperty (IDs::displayColor, linkedCategory->getColor().toString(), um);
    }
}

float Cue::getProgress (int time, juce::Range<int>) const
{
    const double s = getRange().getStart();
    // A start that is not a number never fills the bar (and must not spread into drawing).
    if (std::isnan (s) || s - 3000.0 > time)
        return 0.0f;
    if (time > s)
        return 1.0f;
    return (float) ((time - (s - 3000.0)) / 3000.0);
}

bool Cue::isAfter (int time, juce::Range<int>) const
{
    return getRange().getStart() > time;
}

bool Cue::compareByTime (const Cue& a, const Cue& b)
{
    const auto ra = a.getRange();
    const auto rb = b.getRange();
    // Exact on purpose: a strict order that only falls back to the length on a true tie.
    if (std::not_equal_to<double>() (ra.getStart(), rb.getStart()))
        return ra.getStart() < rb.getStart();
    return ra.getLength() < rb.getLength();
}

void Cue::setBits (uint32_t bits)
{
    const juce::ScopedLock sl (changeLock);
    pendingChanges |= bits;
}

void Cue::valueTreePropertyChanged (juce::ValueTree& node, const juce::Identifier& property)
{
    if (node != tree)
        return;

    if (property == IDs::text)
        setBits (textBit);
    else if (property == IDs::millis || property == IDs::start || property == IDs::duration)
    {
        setBits (timeBit);
        // An undo or redo restores the order itself; a re-sort asked for earlier must not
        // follow it and write a new step.
        if (ModelUndo::isUndoingOrRedoing())
        {
            const juce::ScopedLock sl (changeLock);
            pendingChanges &= ~(uint32_t) resortBit;
        }
    }
    else if (property == IDs::displayColor)
        setBits (displayColorBit);
    else if (property == IDs::category)
    {
        setCategory (categoryManager != nullptr ? categoryManager->getCategory (tree[IDs::category].toString())
                                                : nullptr);
        setBits (categoryBit);
    }

    triggerAsyncUpdate();
}

void Cue::categoryColorChanged()
{
    if (linkedCategory != nullptr && tree.isValid() && ! ModelUndo::isUndoingOrRedoing())
        tree.setProperty (IDs::displayColor, linkedCategory->getColor().toString(), ModelUndo::forNode (tree));
}

void Cue::handleAsyncUpdate()
{
    uint32_t changes;
    {
        const juce::ScopedLock sl (changeLock);
        changes = pendingChanges;
        pendingChanges = 0;
    }

    if (changes & textBit)
        listeners.call ([] (Listener& l) { l.cueTextChanged(); });
    if (changes & timeBit)
    {
        const bool resort = (changes & resortBit) != 0;
        listeners.call ([this, resort] (Listener& l) { l.cueTimeChanged (this, resort); });
    }
    if (changes & displayColorBit)
        listeners.call ([] (Listener& l) { l.cueDisplayColorChanged(); });
    if (changes & categoryBit)
        listeners.call ([] (Listener& l) { l.cueCategoryChanged(); });
}
