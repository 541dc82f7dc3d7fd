#include "pages/TimetableEditorView.h"

#include "BinaryData.h"
#include "document/AppData.h"
#include "model/CueListManager.h"
#include "pages/TimetableEditor.h"
#include "ui/kit/ResizableViewport.h"

TimetableEditorView::TimetableEditorView (std::shared_ptr<CueListManager> lists,
                                          std::shared_ptr<CategoryManager> categories)
    : cueListManager (lists)
{
    auto* viewport = new ResizableViewport();
    editor = new TimetableEditor (std::move (lists), std::move (categories));
    viewport->setViewedComponent (editor, true);
    panel.setContent (viewport);

    panel.setName ("Timetable");
    panel.setIcon (BinaryData::Pages_svg, (size_t) BinaryData::Pages_svgSize);
    addAndMakeVisible (panel);

    panel.onAdd = [this] { addCue(); };

    juce::PopupMenu menu;
    menu.addItem (deleteTimetableId, "Delete Timetable");
    panel.actionDropdown.setMenu (std::move (menu));
    panel.actionDropdown.onItemChosen = [this] (int id) { deleteTimetable (id); };
}

void TimetableEditorView::addCue()
{
    auto* um = AppData::getUndoManager();
    if (auto timetable = cueListManager->getTimetable())
    {
        if (um != nullptr)
            um->beginNewTransaction ("Add Cue");
        timetable->addNewCue();
        return;
    }

    // Nothing changes between the two openings, so the one undo step is "Create Timetable"
    // and takes the first cue away with the timetable.
    if (um != nullptr)
        um->beginNewTransaction ("Add Timetable");
    if (auto made = cueListManager->createTimetable())
        made->addNewCue();
}

void TimetableEditorView::deleteTimetable (int itemId)
{
    if (itemId != deleteTimetableId)
        return;
    // Opens "Delete Cue List".
    if (auto timetable = cueListManager->getTimetable())
        cueListManager->deleteCueList (timetable->getUuid());
}

void TimetableEditorView::resized()
{
    panel.setBounds (0, 0, juce::jmin (getWidth(), maxPanelWidth), getHeight());
}

void TimetableEditorView::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff000000));
}
