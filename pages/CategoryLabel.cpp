#include "pages/CategoryLabel.h"

CategoryLabel::CategoryLabel (std::shared_ptr<Category> c)
    : juce::Label ({}, {}), category (std::move (c))
{
    category->addListener (this);
    setText (category->getName(), juce::dontSendNotification);
}

CategoryLabel::~CategoryLabel()
{
    category->removeListener (this);
}

void CategoryLabel::categoryNameChanged()
{
    setText (category->getName(), juce::dontSendNotification);
}
