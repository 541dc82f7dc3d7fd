#include "pages/ProjectView.h"

#include "BinaryData.h"
#include "app/VantrelController.h"
#include "document/AppData.h"
#include "pages/CueListComponent.h"
#include "pages/CueListOrganizer.h"
#include "ui/kit/ResizableViewport.h"

ProjectView::ProjectView (VantrelController& controller)
    : cueLists (controller.cueListManager), documentBar (controller),
      leftPanel (std::make_unique<HeaderTab>()), rightPanel (std::make_unique<HeaderTab>())
{
    addAndMakeVisible (documentBar);

    juce::PopupMenu fpsMenu;
    fpsMenu.addItem (fps24, "24 FPS");
    fpsMenu.addItem (fps25, "25 FPS");
    fpsMenu.addItem (fps30, "30 FPS");
    juce::PopupMenu offsetsMenu;
    offsetsMenu.addItem (everyHour, "Every Hour");
    offsetsMenu.addItem (every15Minutes, "Every 15 mins");
    juce::PopupMenu menu;
    menu.addSubMenu ("Set FPS For All", fpsMenu);
    menu.addSubMenu ("Set Offsets", offsetsMenu);
    leftPanel->actionDropdown.setMenu (std::move (menu));

    // A menu closes on its own time: its result must not reach a page that is gone.
    leftPanel->actionDropdown.onItemChosen = [self = juce::Component::SafePointer<ProjectView> (this)] (int id)
    {
        if (self != nullptr)
            self->menuItemChosen (id);
    };
    auto* viewport = new ResizableViewport();
    viewport->setViewedComponent (new CueListOrganizer (controller), true);
    leftPanel->setContent (viewport);
    leftPanel->setName ("Cuelists");
    leftPanel->setIcon (BinaryData::Pages_svg, (size_t) BinaryData::Pages_svgSize);
    addAndMakeVisible (*leftPanel);

    // The selected list's panel names itself after that list.
    rightPanel->setContent (new CueListComponent (*controller.selectedCueListHandler));
    rightPanel->setIcon (BinaryData::List_svg, (size_t) BinaryData::List_svgSize);
    addAndMakeVisible (*rightPanel);
}

ProjectView::~ProjectView() = default;

CueListOrganizer& ProjectView::getOrganizer()
{
    auto* viewport = dynamic_cast<juce::Viewport*> (leftPanel->getContent());
    jassert (viewport != nullptr);
    return *dynamic_cast<CueListOrganizer*> (viewport->getViewedComponent());
}

CueListComponent& ProjectView::getSelectedListComponent()
{
    return *dynamic_cast<CueListComponent*> (rightPanel->getContent());
}

void ProjectView::menuItemChosen (int id)
{
    switch (id)
    {
        case everyHour:
        case every15Minutes:
            cueLists->setOffsetsIncrementally (id);
            break;
        case fps24:
        case fps25:
        case fps30:
            // One undo step for all lists.
            if (auto* um = AppData::getUndoManager())
                um->beginNewTransaction ("Set CueLists Fps");
            for (const auto& list : cueLists->getCueLists())
                if (! list->isTimetable())
                    list->setFps (id);
            break;
        default:
            break;
    }
}

void ProjectView::resized()
{
    const auto w = getWidth(), h = getHeight();
    documentBar.setBounds (0, 0, w, juce::jmin (h, 53));

    const auto top = juce::jmin (h, 63);
    const auto rest = h - top;
    const auto c = juce::jmin (w / 2, 500);
    leftPanel->setBounds (0, top, c, rest);
    const auto gap = juce::jmin (w - c, 10);
    rightPanel->setBounds (c + gap, top, w - c - gap, rest);
}

void ProjectView::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}
