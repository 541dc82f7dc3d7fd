#include "pages/CsvFileComponent.h"

#include "BinaryData.h"
#include "document/AppData.h"
#include "document/Identifiers.h"
#include "model/CueListManager.h"
#include "pages/CueListOrganizer.h"

namespace
{
const juce::Colour selectedFill { 0xff1d1929 };
constexpr float fontHeight = 20.0f;
}

CsvFileComponent::CsvFileComponent (std::shared_ptr<CueListManager> listManager,
                                    std::shared_ptr<ActiveCueListHandler> selectionHandler,
                                    std::shared_ptr<CueList> list)
    : activeIcon (BinaryData::Arrow_Right_svg, (size_t) BinaryData::Arrow_Right_svgSize),
      deleteButton (BinaryData::Delete_svg, (size_t) BinaryData::Delete_svgSize),
      cueList (std::move (list)),
      selection (std::move (selectionHandler)),
      manager (std::move (listManager))
{
    jassert (cueList != nullptr && selection != nullptr && manager != nullptr);
    setName (cueList->getName());
    setComponentID (cueList->getUuid());

    addAndMakeVisible (handle);
    handle.setToggleable (true);

    addAndMakeVisible (nameLabel);
    nameLabel.setEditable (false, true, true);
    nameLabel.setFont (juce::Font (fontHeight, juce::Font::plain));
    nameLabel.setText (cueList->getName(), juce::dontSendNotification);
    nameLabel.addMouseListener (this, false);
    nameLabel.onTextChange = [this] { cueList->setName (nameLabel.getText()); };

    addAndMakeVisible (offsetLabel);
    offsetLabel.setEditable (false, true, true);
    offsetLabel.setFont (juce::Font ("Droid Sans Mono", fontHeight, juce::Font::plain));
    offsetLabel.setText (cueList->getOffset(), juce::dontSendNotification);
    offsetLabel.onTextChange = [this]
    {
        if (auto* um = AppData::getUndoManager())
            um->beginNewTransaction ("Set CueList Offset");
        cueList->setOffset (offsetLabel.getText());
        // A text that normalises to the stored offset changes nothing, so no notice comes
        // back: show what is stored, not what was typed.
        offsetLabel.setText (cueList->getOffset(), juce::dontSendNotification);
    };

    addChildComponent (activeIcon);
    activeIcon.setInterceptsMouseClicks (false, false);
    active = selection->getActiveCueList() == cueList;
    activeIcon.setVisible (active);

    addAndMakeVisible (deleteButton);
    deleteButton.setColour (SvgButton::iconColourId, juce::Colour (0xffff0000));
    deleteButton.enableHoverFade();
    deleteButton.onAlphaChanged = [this] (float alpha)
    {
        if (active)
            activeIcon.setAlpha (1.0f - alpha);
    };
    deleteButton.onClick = [m = std::weak_ptr<CueListManager> (manager), uuid = cueList->getUuid()]
    {
        // The rows are rebuilt on the manager's next notice, not within this click.
        if (auto lists = m.lock())
            lists->deleteCueList (uuid);
    };

    cueList->addListener (this);
    selection->addListener (this);
    handle.onMouseDrag = [this] (const juce::MouseEvent&) { startRowDrag(); };
}

CsvFileComponent::~CsvFileComponent()
{
    selection->removeListener (this);
    cueList->removeListener (this);
}

void CsvFileComponent::startRowDrag()
{
    handle.setToggleState (true, juce::dontSendNotification);
    // While the last drag's image still fades out no new drag starts: no handle stays down.
    auto* organizer = findParentComponentOfClass<CueListOrganizer>();
    if (organizer == nullptr || ! organizer->startRowDrag (*this))
        handle.setToggleState (false, juce::dontSendNotification);
}

void CsvFileComponent::mouseUp (const juce::MouseEvent&)
{
    if (onClick)
        onClick();
}

void CsvFileComponent::resized()
{
    const int w = getWidth(), h = getHeight();
    handle.setBounds (6, 0, juce::jmax (0, juce::jmin (w, 22) - 12), h);

    const juce::Rectangle<int> corner (w - 16, 6, 10, juce::jmax (0, h - 12));
    activeIcon.setBounds (corner);
    deleteButton.setBounds (corner);

    const int m = w - 44;
    const int offsetWidth = juce::jmax (0, juce::jmin (m, 110));
    offsetLabel.setBounds (22 + m - offsetWidth, 0, offsetWidth, h);
    nameLabel.setBounds (22, 0, juce::jmax (0, m - offsetWidth - 6), h);
}

void CsvFileComponent::paint (juce::Graphics& g)
{
    if (! active)
        return;
    const auto w = (float) getWidth(), h = (float) getHeight();
    juce::Path shape;
    shape.addRoundedRectangle (0.0f, 0.0f, w, h, juce::jmin (w / 2.0f, 5.0f), juce::jmin (h / 2.0f, 5.0f),
                               true, false, true, false);
    g.setColour (selectedFill);
    g.fillPath (shape);
}

void CsvFileComponent::cueListNameChanged()
{
    nameLabel.setText (cueList->getName(), juce::dontSendNotification);
}

void CsvFileComponent::cueListOffsetChanged()
{
    offsetLabel.setText (cueList->getOffset(), juce::dontSendNotification);
}

void CsvFileComponent::activeCueListChanged()
{
    active = selection->getActiveCueList() == cueList;
    activeIcon.setVisible (active);
    repaint();
}
