#include "ListNodes.h"
#include "ModelFixture.h"
#include "model/CategoryManager.h"
#include "model/CueListManager.h"
#include "ui/kit/DialogPresenter.h"

namespace
{
struct ListsCounter : CueListManager::Listener
{
    int calls = 0;
    void cueListsChanged() override { ++calls; }
};

class CueListManagerTest : public test::ModelFixture
{
protected:
    std::shared_ptr<CategoryManager> categories = std::make_shared<CategoryManager>();
    juce::ValueTree cueLists = appData->getOrCreateChild (IDs::CueLists);
    std::shared_ptr<CueListManager> manager;
    ListsCounter counter;

    void start (std::initializer_list<juce::ValueTree> nodes)
    {
        for (auto node : nodes)
            cueLists.appendChild (node, nullptr);
        manager = std::make_shared<CueListManager> (cueLists, categories);
        manager->addListener (&counter);
        settle();
        undoManager().clearUndoHistory();
        counter.calls = 0;
    }

    void settle()
    {
        const int before = counter.calls;
        test::pumpUntil ([&] { return counter.calls > before; }, 500);
        test::pumpFor (10);
    }

    juce::StringArray names() const
    {
        juce::StringArray result;
        for (const auto& list : manager->getCueLists())
            result.add (list != nullptr ? list->getName() : juce::String ("<null>"));
        return result;
    }

    void TearDown() override
    {
        if (manager != nullptr)
            manager->removeListener (&counter);
    }
};
}

TEST_F (CueListManagerTest, TimetableComesFirstAndMovesFollowTheNode)
{
    start ({ test::listNode ("A", 0, 10), test::listNode ("T", 0, 10, true), test::listNode ("B", 0, 10) });
    EXPECT_EQ (names(), juce::StringArray ({ "T", "A", "B" }));
    EXPECT_EQ (manager->getTimetable()->getName(), juce::String ("T"));

    manager->moveCueList (2, 0);
    EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Move CueList"));
    settle();
    EXPECT_EQ (names(), juce::StringArray ({ "T", "B", "A" }));

    manager->moveCueList (0, 99); // past the end means the last place
    settle();
    EXPECT_EQ (cueLists.getChild (2)[IDs::name].toString(), juce::String ("B"));

    undoManager().undo();
    undoManager().undo();
    settle();
    EXPECT_EQ (cueLists.getChild (0)[IDs::name].toString(), juce::String ("A"));
    EXPECT_EQ (counter.calls, 3) << "two undos in one turn give one notice";
}

TEST_F (CueListManagerTest, ChangesInOneTurnGiveOneNotice)
{
    start ({ test::listNode ("A", 0, 10) });
    cueLists.appendChild (test::listNode ("B", 0, 10), nullptr);
    cueLists.appendChild (test::listNode ("C", 0, 10), nullptr);
    cueLists.moveChild (0, 2, nullptr);
    EXPECT_NE (manager->getCueList (cueLists.getChild (0)[IDs::uuid]), nullptr) << "the map follows at once";
    EXPECT_EQ (names(), juce::StringArray ({ "A" })) << "the order on the next turn";
    settle();
    test::pumpFor (20);
    EXPECT_EQ (counter.calls, 1);
    EXPECT_EQ (names(), juce::StringArray ({ "B", "C", "A" }));
}

TEST_F (CueListManagerTest, DeleteAndItsUndo)
{
    start ({ test::listNode ("A", 0, 10) });
    const auto uuid = manager->getCueLists()[0]->getUuid();

    manager->deleteCueList ("no such uuid");
    EXPECT_FALSE (undoManager().canUndo());

    manager->deleteCueList (uuid);
    EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Delete Cue List"));
    settle();
    EXPECT_TRUE (manager->getCueLists().empty());
    EXPECT_EQ (counter.calls, 1);

    undoManager().undo();
    settle();
    EXPECT_EQ (names(), juce::StringArray ({ "A" }));
    EXPECT_EQ (manager->getCueLists()[0]->getCues().size(), 1u);
}

TEST_F (CueListManagerTest, CreateTimetable)
{
    start ({ test::listNode ("A", 0, 10) });
    auto timetable = manager->createTimetable();
    ASSERT_NE (timetable, nullptr);
    EXPECT_EQ (timetable->getName(), juce::String ("Empty List"));
    EXPECT_EQ (timetable->getFps(), 1000);
    EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Create Timetable"));
    settle();
    EXPECT_EQ (manager->getCueLists()[0], timetable);

    undoManager().undo();
    settle();
    EXPECT_EQ (manager->getTimetable(), nullptr);
    EXPECT_EQ (names(), juce::StringArray ({ "A" }));
}

TEST_F (CueListManagerTest, OffsetsInStepsSkipTheTimetableAndWrapAtADay)
{
    start ({ test::listNode ("T", 0, 10, true), test::listNode ("A", 0, 10), test::listNode ("B", 0, 10) });
    manager->setOffsetsIncrementally (15);
    EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Set Offsets Incrementally"));
    const auto lists = manager->getCueLists();
    EXPECT_EQ (lists[0]->getOffset(), juce::String ("00:00:00:00"));
    EXPECT_EQ (lists[1]->getOffset(), juce::String ("00:15:00:00"));
    EXPECT_EQ (lists[2]->getOffset(), juce::String ("00:30:00:00"));
    undoManager().undo();
    EXPECT_EQ (lists[2]->getOffset(), juce::String ("00:00:00:00"));

    for (int i = 0; i < 23; ++i)
        cueLists.appendChild (test::listNode ("L" + juce::String (i), 0, 10), nullptr);
    settle();
    manager->setOffsetsIncrementally (60);
    const auto many = manager->getCueLists();
    ASSERT_EQ (many.size(), 26u);
    EXPECT_EQ (many[24]->getOffset(), juce::String ("00:00:00:00")) << "the 24th";
    EXPECT_EQ (many[25]->getOffset(), juce::String ("01:00:00:00")) << "the 25th";
}

TEST_F (CueListManagerTest, DuplicateUuidsAndForeignChildrenNeverGiveAnEmptyEntry)
{
    auto first = test::listNode ("First", 0, 10, false, "same");
    auto second = test::listNode ("Second", 0, 10, false, "same");
    juce::ValueTree notes ("Notes");
    start ({ first, notes, second, test::listNode ("Other", 0, 10) });

    EXPECT_EQ (names(), juce::StringArray ({ "Second", "Other" }));

    // Removing the child the map wraps brings the other one back.
    cueLists.removeChild (second, nullptr);
    settle();
    EXPECT_EQ (names(), juce::StringArray ({ "First", "Other" }));

    // Removing the child the map does not wrap leaves the map alone.
    cueLists.appendChild (test::listNode ("Third", 0, 10, false, "same"), nullptr);
    settle();
    cueLists.removeChild (first, nullptr);
    settle();
    EXPECT_EQ (names(), juce::StringArray ({ "Other", "Third" }));
    for (const auto& list : manager->getCueLists())
        EXPECT_NE (list, nullptr);
}

TEST_F (CueListManagerTest, SetStateRebindsToAnotherDocument)
{
    start ({ test::listNode ("Old", 0, 10) });
    juce::ValueTree other (IDs::CueLists);
    other.appendChild (test::listNode ("New", 0, 10), nullptr);

    manager->setState (other);
    EXPECT_NE (manager->getCueList (other.getChild (0)[IDs::uuid]), nullptr);
    EXPECT_EQ (names(), juce::StringArray ({ "Old" }));
    settle();
    EXPECT_EQ (names(), juce::StringArray ({ "New" }));

    cueLists.appendChild (test::listNode ("Ignored", 0, 10), nullptr);
    test::pumpFor (20);
    EXPECT_EQ (names(), juce::StringArray ({ "New" }));
}

TEST_F (CueListManagerTest, ImportInsertsAtTheIndexAndAFailedImportAddsNothing)
{
    start ({ test::listNode ("A", 0, 10), test::listNode ("B", 0, 10) });
    auto folder = home.getHome().getChildFile ("drops");
    folder.createDirectory();
    auto good = folder.getChildFile ("Act 1.csv");
    good.replaceWithText ("Start\n00:00:01:00\n");
    auto bad = folder.getChildFile ("bad.csv");
    bad.replaceWithText ("Name\nx\n");

    undoManager().beginNewTransaction ("Add New CueList");
    manager->importCsv (1, good, 25);
    settle();
    EXPECT_EQ (names(), juce::StringArray ({ "A", "Act 1", "B" }));
    EXPECT_EQ (manager->getCueLists()[1]->getCues().size(), 1u);

    manager->importCsv (-1, bad, 25);
    test::pumpFor (20);
    EXPECT_EQ (cueLists.getNumChildren(), 3);
    DialogPresenter::getInstance()->dismiss();

    manager->importCsv (99, good, 25);
    settle();
    EXPECT_EQ (names(), juce::StringArray ({ "A", "Act 1", "B", "Act 1" }));

    undoManager().undo();
    settle();
    EXPECT_EQ (names(), juce::StringArray ({ "A", "B" }));
    undoManager().redo();
    settle();
    EXPECT_EQ (names(), juce::StringArray ({ "A", "Act 1", "B", "Act 1" }));
}
