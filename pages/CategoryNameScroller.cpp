#include "pages/CategoryNameScroller.h"

CategoryNameScroller::CategoryNameScroller (std::shared_ptr<CategoryManager> manager)
    : categoryManager (std::move (manager))
{
    rebuild();
    categoryManager->addListener (this);
}

CategoryNameScroller::~CategoryNameScroller()
{
    categoryManager->removeListener (this);
}

void CategoryNameScroller::rebuild()
{
    labels.clear();
    for (const auto& category : categoryManager->getCategories())
        if (category->isUsed())
            addAndMakeVisible (labels.add (std::make_unique<CategoryLabel> (category)));

    const auto width = labelSpacing * labels.size();
    if (getWidth() == width && getHeight() == scrollerHeight)
        resized();
    else
        setBounds (getX(), getY(), width, scrollerHeight);
}

void CategoryNameScroller::resized()
{
    const juce::Font font (18.0f);
    for (int i = 0; i < labels.size(); ++i)
    {
        auto* label = labels.getUnchecked (i);
        label->setBounds (0, 0, 200, 50);
        if (label->getFont() != font)
            label->setFont (font);
        // Rising to the upper right from the foot of column i.
        label->setTransform (juce::AffineTransform::rotation (-0.7853982f).translated (50.0f * (float) i, 120.0f));
    }
}
