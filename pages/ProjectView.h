#pragma once

#include "pages/FileComponent.h"
#include "ui/kit/HeaderTab.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class CueListComponent;
class CueListManager;
class CueListOrganizer;
class VantrelController;

/** The project page: the document bar above the "Cuelists" panel, whose action menu sets the
    frame rate of every list or spreads their offsets, and the panel of the selected list. */
class ProjectView : public juce::Component
{
public:
    /** Item ids of the "Cuelists" action menu: frame rates and offset steps in minutes. */
    enum MenuIds { fps24 = 24, fps25 = 25, fps30 = 30, everyHour = 60, every15Minutes = 15 };

    explicit ProjectView (VantrelController& controller);
    ~ProjectView() override;

    /** The action menu's result (0 when it was dismissed). */
    void menuItemChosen (int id);

    void resized() override;
    void paint (juce::Graphics& g) override;

    FileComponent& getDocumentBar() { return documentBar; }
    HeaderTab& getListsPanel() { return *leftPanel; }
    HeaderTab& getSelectedListPanel() { return *rightPanel; }
    CueListOrganizer& getOrganizer();
    CueListComponent& getSelectedListComponent();

private:
    std::shared_ptr<CueListManager> cueLists;
    FileComponent documentBar;
    std::unique_ptr<HeaderTab> leftPanel;
    std::unique_ptr<HeaderTab> rightPanel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProjectView)
};
