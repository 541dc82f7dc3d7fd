#pragma once

#include "app/VantrelController.h"
#include "document/AppData.h"
#include "document/Identifiers.h"
#include "model/CueListManager.h"
#include "model/ListNodes.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include "ui/kit/DialogPresenter.h"
#include <gtest/gtest.h>

namespace test
{
/** A fresh home with the whole show model built in it, as the application has it. */
struct PagesFixture : ::testing::Test
{
    TempHome home;
    VantrelController controller;
    juce::UndoManager& undo = *AppData::getUndoManager();

    ~PagesFixture() override
    {
        if (auto* presenter = DialogPresenter::getInstance())
            presenter->dismiss();
    }

    /** A timetable and three lists at 30 fps, not undoable. */
    void addLists()
    {
        auto lists = controller.cueListManager->getState();
        lists.appendChild (listNode ("Day", 0, 3600000, true), nullptr);
        for (auto name : { "Act 1", "Act 2", "Act 3" })
        {
            auto list = listNode (name, 0, 60000);
            list.setProperty (IDs::fps, 30, nullptr);
            lists.appendChild (list, nullptr);
        }
        ASSERT_TRUE (pumpUntil ([this] { return controller.cueListManager->getCueLists().size() == 4; }));
        undo.clearUndoHistory();
    }

    /** Frame rates of the lists in display order (the timetable first). */
    std::vector<int> rates() const
    {
        std::vector<int> result;
        for (const auto& list : controller.cueListManager->getCueLists())
            result.push_back (list->getFps());
        return result;
    }

    juce::String shownDialogTitle() const { return DialogPresenter::getInstance()->getShownTitle(); }
};
}
