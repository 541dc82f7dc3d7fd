#include "ui/ColorMaskWidget.h"

#include "ui/CueDrawing.h"

ColorMaskWidget::ColorMaskWidget (std::shared_ptr<CategoryManager> categories, std::shared_ptr<ColorMask> mask)
    : categoryManager (std::move (categories)),
      colorMask (std::move (mask)),
      arrow (makeTrianglePath (10.0f))
{
    categoryManager->addListener (this);
    colorMask->addListener (this);
}

ColorMaskWidget::~ColorMaskWidget()
{
    colorMask->removeListener (this);
    categoryManager->removeListener (this);
}

void ColorMaskWidget::categoriesChanged()
{
    const bool expanded = isExpanded();
    buttons.clear();

    for (const auto& category : categoryManager->getCategories())
    {
        if (! category->isUsed())
            continue;
        auto* button = buttons.add (std::make_unique<ColorMaskButton> (category));
        button->onClick = [this] { buttonClicked(); };
        // A new colour may or may not be in the mask: the toggles follow it again, while the
        // stored mask keeps what it holds until the next click.
        button->onColourChanged = [this] { colorMaskChanged(); };
    }

    colorMaskChanged();

    for (int i = 0; i < buttons.size(); ++i)
    {
        auto* button = buttons.getUnchecked (i);
        addAndMakeVisible (button);
        button->setBounds (0, headerHeight + rowHeight * i + 10, getWidth(), rowHeight);
    }

    updateAllShown();

    if (expanded)
        setSize (getWidth(), expandedHeight());
}

void ColorMaskWidget::colorMaskChanged()
{
    const auto hidden = colorMask->getColors();
    for (auto* button : buttons)
    {
        bool isHidden = false;
        for (auto c : hidden)
            isHidden = isHidden || c.getARGB() == button->getColour().getARGB();
        button->setToggleState (! isHidden, juce::dontSendNotification);
    }
    updateAllShown();
}

void ColorMaskWidget::buttonClicked()
{
    juce::Array<juce::Colour> hidden;
    for (auto* button : buttons)
        if (! button->getToggleState())
            hidden.add (button->getColour());
    colorMask->setColors (hidden);
}

void ColorMaskWidget::updateAllShown()
{
    bool all = true;
    for (auto* button : buttons)
        all = all && button->getToggleState();

    if (all != allShown)
    {
        allShown = all;
        repaint();
    }
}

void ColorMaskWidget::mouseDown (const juce::MouseEvent&)
{
    setSize (getWidth(), isExpanded() ? headerHeight : expandedHeight());
}

void ColorMaskWidget::paint (juce::Graphics& g)
{
    const int w = getWidth();
    const int h = getHeight();
    const int band = juce::jmin (h, headerHeight);

    g.setColour (getLookAndFeel().findColour (juce::PopupMenu::backgroundColourId));
    g.fillRoundedRectangle (0.0f, 0.0f, (float) w, (float) h, 5.0f);
    g.setColour (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
    g.fillRoundedRectangle (0.0f, 0.0f, (float) w, (float) band, 5.0f);

    g.setFont (juce::Font (15.0f, juce::Font::bold));
    g.setColour (findColour (juce::Label::textColourId));
    g.drawText (getName(), juce::Rectangle<int> (0, 0, juce::jmin (w, 40), band), juce::Justification::centredLeft, false);

    g.setFont (juce::Font (15.0f, juce::Font::italic));
    g.setColour (juce::Colours::white);
    const int r1 = w - juce::jmin (w, 40);
    const int r2 = r1 - juce::jmin (r1, 30);
    const int boxWidth = juce::jmin (r2, 40);
    g.drawText (allShown ? "All" : "Mixed", juce::Rectangle<int> (r2 - boxWidth + juce::jmin (w, 40), 0, boxWidth, band),
                juce::Justification::centredRight, false);

    const float angle = isExpanded() ? 0.0f : juce::MathConstants<float>::halfPi;
    g.fillPath (arrow, juce::AffineTransform::rotation (angle).translated ((float) w - 10.0f, headerHeight / 2.0f));
}
