#include "pages/PreferencesView.h"

#include "BinaryData.h"

namespace
{
juce::Path outlineOf (const void* svgData, int numBytes)
{
    if (auto drawable = juce::Drawable::createFromImageData (svgData, (size_t) numBytes))
        return drawable->getOutlineAsPath();
    return {};
}
}

PreferencesView::PreferencesView (VantrelController& c)
    : heartButton (BinaryData::Heart_svg, (size_t) BinaryData::Heart_svgSize), controller (c)
{
    addAndMakeVisible (contentHolder);

    const auto pageIcon = outlineOf (BinaryData::Page_svg, BinaryData::Page_svgSize);
    entries = {
        { 0, "PROJECT", pageIcon, &PreferencesPages::project },
        { 1, "TIMETABLE", pageIcon, &PreferencesPages::timetable },
        { 2, "CATEGORIES", outlineOf (BinaryData::Category_svg, BinaryData::Category_svgSize), &PreferencesPages::categories },
        { 3, "WEBCLIENTS", outlineOf (BinaryData::WebClients_svg, BinaryData::WebClients_svgSize), &PreferencesPages::webClients },
        { 4, "DEFAULTS", outlineOf (BinaryData::Defaults_svg, BinaryData::Defaults_svgSize), &PreferencesPages::defaults },
        { 5, "AUDIO", outlineOf (BinaryData::Audio_svg, BinaryData::Audio_svgSize), &PreferencesPages::audio },
        { 6, "UPDATE", outlineOf (BinaryData::Update_svg, BinaryData::Update_svgSize), &PreferencesPages::update },
    };

    for (const auto& entry : entries)
    {
        auto* button = sideBarButtons.add (new SideBarButton (entry.title, entry.icon));
        button->addListener (this);
        addAndMakeVisible (button);
    }

    heartButton.addListener (this);
    addAndMakeVisible (heartButton);

    setSize (1366, 768);

    // Delivered once the message loop runs (and not at all should the view be gone by then),
    // so the first page is built like any other click.
    sideBarButtons.getFirst()->triggerClick();
}

PreferencesView::~PreferencesView()
{
    clearPage();
}

void PreferencesView::clearPage()
{
    for (int i = contentHolder.getNumChildComponents(); --i >= 0;)
    {
        std::unique_ptr<juce::Component> page (contentHolder.getChildComponent (i));
        contentHolder.removeChildComponent (i);
    }
}

void PreferencesView::buttonClicked (juce::Button* button)
{
    clearPage();

    if (selectedButton != nullptr)
        selectedButton->setToggleState (false, juce::dontSendNotification);
    selectedButton = button;
    button->setToggleState (true, juce::dontSendNotification);

    if (button == &heartButton)
    {
        showPage (PreferencesPages::credits (controller));
        return;
    }
    const auto index = sideBarButtons.indexOf (static_cast<SideBarButton*> (button));
    if (index >= 0 && entries[(size_t) index].makePage != nullptr)
        showPage (entries[(size_t) index].makePage (controller));
}

void PreferencesView::showPage (PreferencesPages::Page page)
{
    if (page == nullptr)
        return;
    if (page->getBounds().isEmpty())
        page->setBounds (contentHolder.getLocalBounds());
    else
        page->setTopLeftPosition (0, 0);
    contentHolder.addAndMakeVisible (page.release());
}

void PreferencesView::resized()
{
    const auto w = juce::jmin (sideBarWidth, getWidth());
    const auto h = getHeight();

    separators.clear();
    int top = 0;
    for (int i = 0; i < sideBarButtons.size(); ++i)
    {
        const auto slot = juce::jmin (40, juce::jmax (0, h - top));
        sideBarButtons[i]->setBounds (0, top + 5, w, juce::jmax (0, slot - 10));
        top += slot;
        if (i < sideBarButtons.size() - 1)
        {
            auto* line = separators.add (new LineComponent());
            addAndMakeVisible (line);
            line->setBounds (0, top, w, 1);
        }
    }

    contentHolder.setBounds (w + 10, 10, juce::jmax (0, getWidth() - w - 20), juce::jmax (0, h - 20));
    if (auto* page = getPage())
        page->setBounds (contentHolder.getLocalBounds());

    heartButton.setBounds (10, h - 20, 10, 10);
}

void PreferencesView::paint (juce::Graphics& g)
{
    g.setColour (findColour (juce::ResizableWindow::backgroundColourId));
    g.fillRect (0, 0, juce::jmin (getWidth(), sideBarWidth), getHeight());
}
