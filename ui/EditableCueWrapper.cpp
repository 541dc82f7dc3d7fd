#include "ui/EditableCueWrapper.h"

#include "BinaryData.h"
#include "document/AppData.h"
#include "model/CategoryManager.h"
#include "pages/CategoryDropdown.h"

EditableCueWrapper::EditableCueWrapper (std::weak_ptr<CueList> owningList)
    : list (std::move (owningList)), removeButton (BinaryData::Delete_svg, (size_t) BinaryData::Delete_svgSize)
{
    removeButton.setColour (SvgButton::iconColourId, juce::Colour (0xffff0000));
    removeButton.enableHoverFade();
    addAndMakeVisible (removeButton);
    addAndMakeVisible (addSubtract);

    // A row whose cue is already gone (an undo removed it, the rebuild is still to come) does nothing.
    removeButton.onClick = [this]
    {
        auto c = cue.lock();
        auto l = list.lock();
        if (c == nullptr || l == nullptr)
            return;
        if (auto* um = AppData::getUndoManager())
            um->beginNewTransaction ("Remove Cue");
        l->removeCue (*c);
    };
    addSubtract.onAdd = [this] { setOvertime (1); };
    addSubtract.onSubtract = [this] { setOvertime (-1); };
}

EditableCueWrapper::~EditableCueWrapper()
{
    // The members then go in reverse order (controls, chooser), and the base deletes the row.
    if (auto c = cue.lock())
        c->removeListener (this);
}

void EditableCueWrapper::setOvertime (int minutes)
{
    auto c = cue.lock();
    if (auto l = list.lock(); l != nullptr && c != nullptr)
        l->setCuesOvertime (minutes, c);
}

void EditableCueWrapper::cueChanged()
{
    if (cueComponent == nullptr)
        return;

    if (! cueComponent->isNameEditable())
    {
        cueComponent->makeNameEditable ([this] (const juce::String& text)
        {
            auto c = cue.lock();
            if (c == nullptr)
                return;
            if (auto* um = AppData::getUndoManager())
                um->beginNewTransaction ("Change Cue Name");
            c->setText (text);
        });
        cueComponent->makeTimesEditable();
    }

    auto shown = cueComponent->getCue();
    if (shown != cue.lock())
    {
        if (auto old = cue.lock())
            old->removeListener (this);
        cue = shown;
        if (shown != nullptr)
            shown->addListener (this);
        cueCategoryChanged();
    }
}

void EditableCueWrapper::cueCategoryChanged()
{
    auto c = cue.lock();
    if (auto l = list.lock())
        categoryManager = l->getCategoryManager();

    categoryChooser = std::make_unique<CategoryDropdown> (c != nullptr ? c->getCategory() : nullptr,
                                                          categoryManager.get());
    // The chooser has opened "Set Cue Category" by the time it calls this.
    categoryChooser->onChange = [this] (std::shared_ptr<Category> category)
    {
        if (auto row = cue.lock())
            row->setCategory (std::move (category));
    };
    addAndMakeVisible (*categoryChooser);
    resized();
}

void EditableCueWrapper::resized()
{
    const int w = getWidth(), h = getHeight();
    int b = w, c = 0;

    if (categoryChooser != nullptr)
    {
        c = juce::jmin (w, 22);
        categoryChooser->setBounds (0, 15, w < 1 ? 0 : c, h < 31 ? 0 : h - 30);
        b = w - c;
    }

    const bool timetable = cueComponent != nullptr && cueComponent->isTimetable();
    removeButton.setVisible (timetable);
    addSubtract.setVisible (timetable);

    if (removeButton.isVisible())
    {
        const int m = juce::jmin (b, 22);
        b -= m;
        removeButton.setBounds (c + b + 6, 6, m - 12 < 1 ? 0 : m - 12, h < 13 ? 0 : h - 12);
    }
    if (addSubtract.isVisible())
    {
        const int m = juce::jmin (b, 22);
        addSubtract.setBounds (c + b - m, 2, b < 1 ? 0 : m, h < 5 ? 0 : h - 4);
        b -= m;
    }

    if (cueComponent != nullptr)
        cueComponent->setBounds (c, 0, b, h);
}
