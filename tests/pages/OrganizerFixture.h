#pragma once

#include "PagesFixture.h"
#include "pages/CueListOrganizer.h"
#include "ui/kit/DialogComponent.h"
#include "ui/kit/DialogPresenter.h"

namespace test
{
/** The show model with the organizer of the project page, laid out as in a 500 px panel. */
struct OrganizerFixture : PagesFixture
{
    juce::File csvFolder { VANTREL_TEST_DATA_DIR "/csv" };

    juce::String csv (const char* name) const { return csvFolder.getChildFile (name).getFullPathName(); }

    /** The names of the lists in document order, as the document's node holds them. */
    juce::StringArray documentOrder() const
    {
        juce::StringArray names;
        for (const auto& child : controller.cueListManager->getState())
            names.add (child[IDs::name].toString());
        return names;
    }

    static juce::StringArray rowNames (const CueListOrganizer& organizer)
    {
        juce::StringArray names;
        for (int i = 0; i < organizer.getNumRows(); ++i)
            names.add (organizer.getRow (i)->getNameLabel().getText());
        return names;
    }

    /** Runs the message loop for a while and returns each dialog message that came up, in order;
        a message counts again only when a new dialog shows it. */
    static juce::StringArray dialogsDuring (int milliseconds)
    {
        juce::StringArray shown;
        const DialogComponent* last = nullptr;
        juce::String lastMessage;
        const auto end = juce::Time::getMillisecondCounterHiRes() + milliseconds;
        while (juce::Time::getMillisecondCounterHiRes() < end)
        {
            juce::MessageManager::getInstance()->runDispatchLoopUntil (2);
            auto* presenter = DialogPresenter::getInstance();
            auto* dialog = presenter->getShownDialog();
            if (dialog != nullptr && (dialog != last || presenter->getShownMessage() != lastMessage))
                shown.add (presenter->getShownMessage());
            last = dialog;
            lastMessage = presenter->getShownMessage();
        }
        return shown;
    }
};
}
