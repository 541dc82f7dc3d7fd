#include "ui/kit/ActionDropdown.h"

ActionDropdown::ActionDropdown()
    : juce::Component ("Action")
{
}

void ActionDropdown::setMenu (juce::PopupMenu&& newMenu)
{
    menu = std::move (newMenu);
}

bool ActionDropdown::hasItems() const
{
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (! it.getItem().isSeparator)
            return true;
    return false;
}

void ActionDropdown::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();

    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (getLocalBounds().toFloat(), 6.0f);

    juce::Path arrow;
    arrow.addTriangle (-3.0f, -2.598f, 3.0f, -2.598f, 0.0f, 2.598f);
    g.setColour (juce::Colours::white);
    g.fillPath (arrow, juce::AffineTransform::translation (w - 9.0f, h * 0.5f));

    g.setFont (h * 0.6f);
    g.drawText (getName(), juce::Rectangle<int> (6, 6, juce::jmax (getWidth() - 12, 0), juce::jmax (getHeight() - 12, 0)),
                juce::Justification::left, false);
}

void ActionDropdown::mouseUp (const juce::MouseEvent&)
{
    // The owner (and this button with it) may be gone by the time the menu closes: the
    // callback then does nothing.
    auto chosen = onItemChosen;
    juce::Component::SafePointer<ActionDropdown> self (this);
    menu.showMenuAsync (juce::PopupMenu::Options()
                            .withMinimumWidth (200)
                            .withStandardItemHeight (28)
                            .withTargetComponent (this),
                        [self, chosen] (int id)
                        {
                            if (self != nullptr && chosen)
                                chosen (id);
                        });
}
