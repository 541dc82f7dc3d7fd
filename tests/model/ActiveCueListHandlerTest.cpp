#include "ListNodes.h"
#include "ModelFixture.h"
#include "model/ActiveCueListHandler.h"
#include "model/CategoryManager.h"
#include <thread>

namespace
{
constexpr int hour = 3600000;

struct ActiveCounter : ActiveCueListHandler::Listener
{
    std::atomic<int> calls { 0 };
    std::atomic<bool> offMessageThread { false };
    void activeCueListChanged() override
    {
        if (! juce::MessageManager::existsAndIsCurrentThread())
            offMessageThread = true;
        ++calls;
    }
};

class ActiveCueListHandlerTest : public test::ModelFixture
{
protected:
    std::shared_ptr<CategoryManager> categories = std::make_shared<CategoryManager>();
    juce::ValueTree cueLists = appData->getOrCreateChild (IDs::CueLists);
    std::shared_ptr<CueListManager> manager;
    std::unique_ptr<ActiveCueListHandler> handler;
    ActiveCounter counter;

    void start (std::initializer_list<juce::ValueTree> nodes)
    {
        for (auto node : nodes)
            cueLists.appendChild (node, nullptr);
        manager = std::make_shared<CueListManager> (cueLists, categories);
        handler = std::make_unique<ActiveCueListHandler> (manager);
        handler->addListener (&counter);
        test::pumpUntil ([&] { return manager->getCueLists().size() == (size_t) cueLists.getNumChildren(); }, 1000);
        test::pumpFor (10);
        undoManager().clearUndoHistory();
        counter.calls = 0;
    }

    juce::String activeName() const
    {
        auto list = handler->getActiveCueList();
        return list != nullptr ? list->getName() : juce::String ("<none>");
    }

    std::shared_ptr<CueList> named (const juce::String& name) const
    {
        for (auto& list : manager->getCueLists())
            if (list->getName() == name)
                return list;
        return {};
    }

    void TearDown() override
    {
        if (handler != nullptr)
            handler->removeListener (&counter);
    }
};
}

TEST_F (ActiveCueListHandlerTest, SelectionByTimeForBothKindsOfClock)
{
    start ({ test::listNode ("T", 0, 86000000, true), test::listNode ("A", hour, 2 * hour),
             test::listNode ("B", 2 * hour, 3 * hour), test::listNode ("C", 4 * hour, 5 * hour) });
    ASSERT_EQ (activeName(), juce::String ("T")) << "the timetable first";

    struct Case { const char* name; int time; bool clock; const char* expected; };
    const Case cases[] = {
        { "before every list", 3000000, false, "T" },
        { "at A's start", hour, false, "A" },
        { "inside A", hour + 1, false, "A" },
        { "at A's end, B's start", 2 * hour, false, "B" },
        { "between B and C", 3 * hour + 10, false, "B" },
        { "at B's end", 3 * hour, false, "B" },
        { "inside C", 4 * hour + 5, false, "C" },
        { "at C's end", 5 * hour, false, "C" },
        { "after every list", 20 * hour, false, "C" },
        { "clock, inside A's span", hour + 1, true, "T" },
        { "timecode again", hour + 1, false, "A" },
        { "clock, late", 23 * hour, true, "T" },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        handler->selectFromTime (c.time, c.clock);
        EXPECT_EQ (activeName(), juce::String (c.expected));
    }
    EXPECT_FALSE (counter.offMessageThread);
}

TEST_F (ActiveCueListHandlerTest, TheSameTimeSwitchesOnce)
{
    start ({ test::listNode ("A", hour, 2 * hour), test::listNode ("B", 2 * hour, 3 * hour) });
    handler->selectFromTime (2 * hour, false);
    handler->selectFromTime (2 * hour, false);
    EXPECT_EQ (counter.calls, 1);

    // A list without cues never holds a time.
    cueLists.appendChild (juce::ValueTree (IDs::CueList).setProperty (IDs::name, "Empty", nullptr), nullptr);
    test::pumpUntil ([&] { return manager->getCueLists().size() == 3; });
    handler->selectFromTime (0, false);
    EXPECT_EQ (activeName(), juce::String ("B"));
}

TEST_F (ActiveCueListHandlerTest, FallsBackWhenTheActiveListGoes)
{
    start ({ test::listNode ("A", hour, 2 * hour), test::listNode ("T", 0, 10, true), test::listNode ("B", 0, 10) });
    handler->setActiveCueList (named ("B"));
    counter.calls = 0;

    manager->deleteCueList (named ("A")->getUuid());
    test::pumpFor (30);
    EXPECT_EQ (counter.calls, 0);
    EXPECT_EQ (activeName(), juce::String ("B"));

    manager->deleteCueList (named ("B")->getUuid());
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.calls > 0; }));
    test::pumpFor (20);
    EXPECT_EQ (counter.calls, 1);
    EXPECT_EQ (activeName(), juce::String ("T"));

    handler->setActiveCueList (handler->getActiveCueList());
    EXPECT_EQ (counter.calls, 2) << "setting the active list again still notifies";
}

TEST_F (ActiveCueListHandlerTest, FirstListOfAnEmptyDocumentBecomesActive)
{
    start ({});
    EXPECT_EQ (handler->getActiveCueList(), nullptr);
    cueLists.appendChild (test::listNode ("A", 0, 10), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.calls > 0; }));
    test::pumpFor (20);
    EXPECT_EQ (counter.calls, 1);
    EXPECT_EQ (activeName(), juce::String ("A"));
}

TEST_F (ActiveCueListHandlerTest, ALoadedDocumentReplacesTheListEvenWithTheSameUuid)
{
    start ({ test::listNode ("Old", 0, 10, false, "shared-uuid") });
    auto old = handler->getActiveCueList();
    ASSERT_NE (old, nullptr);

    juce::ValueTree loaded (IDs::CueLists);
    loaded.appendChild (test::listNode ("Loaded", 0, 10, false, "shared-uuid"), nullptr);
    manager->setState (loaded);
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.calls > 0; }));

    auto now = handler->getActiveCueList();
    ASSERT_NE (now, nullptr);
    EXPECT_NE (now, old);
    EXPECT_EQ (now->getTree(), loaded.getChild (0)) << "edits go to the loaded tree";
}

TEST_F (ActiveCueListHandlerTest, RangesFollowEditsOfTheLists)
{
    start ({ test::listNode ("A", hour, 2 * hour), test::listNode ("B", 5 * hour, 6 * hour) });
    handler->selectFromTime (hour + 10, false);
    ASSERT_EQ (activeName(), juce::String ("A"));

    // Shifting B by an hour puts 4:30 inside it at once.
    named ("B")->setOffset ("-01:00:00:00");
    named ("B")->getCues()[0]->setRange ({ 4.0 * hour, 4.0 * hour }, false);
    ASSERT_TRUE (test::pumpUntil ([&] {
        handler->selectFromTime (4 * hour + 1800000, false);
        return activeName() == "B";
    }));
}

TEST_F (ActiveCueListHandlerTest, ADriverThreadSwitchIsPostedAndNeverWaitsForTheMessageThread)
{
    start ({ test::listNode ("A", hour, 2 * hour), test::listNode ("B", 2 * hour, 3 * hour) });

    // The message thread waits for the driver thread (as when the audio device is reopened)
    // while that thread asks for a switch: it must finish without the message thread's help.
    std::atomic<bool> returned { false };
    std::thread driver ([&] {
        handler->selectFromTime (2 * hour + 5, false);
        handler->selectFromTime (2 * hour + 6, false);
        returned = true;
    });
    const auto until = juce::Time::getMillisecondCounter() + 5000;
    while (! returned && juce::Time::getMillisecondCounter() < until)
        juce::Thread::yield();
    if (returned)
        driver.join();
    else
        driver.detach(); // blocked for good: the failure below ends the test
    ASSERT_TRUE (returned) << "the driver thread blocked on the message thread";
    EXPECT_EQ (activeName(), juce::String ("A")) << "not switched before the message thread runs";

    ASSERT_TRUE (test::pumpUntil ([&] { return activeName() == "B"; }));
    test::pumpFor (20);
    EXPECT_EQ (counter.calls, 1);
    EXPECT_FALSE (counter.offMessageThread);
}

TEST_F (ActiveCueListHandlerTest, DriverThreadRacesListChangesSafely)
{
    start ({ test::listNode ("A", hour, 2 * hour), test::listNode ("B", 2 * hour, 3 * hour),
             test::listNode ("T", 0, 86000000, true) });

    std::atomic<bool> stop { false };
    std::atomic<int> rounds { 0 };
    auto driver = std::thread ([&] {
        for (int i = 0; ! stop; ++i)
        {
            handler->selectFromTime ((i % 2 == 0) ? hour + 10 : 2 * hour + 10, (i % 7) == 0);
            ++rounds;
        }
    });

    // Meanwhile the message thread deletes, restores, re-times and replaces lists.
    for (int round = 0; round < 30; ++round)
    {
        if (auto b = named ("B"))
            manager->deleteCueList (b->getUuid());
        test::pumpFor (2);
        undoManager().undo();
        test::pumpFor (2);
        if (auto a = named ("A"))
            a->setOffset (round % 2 == 0 ? "00:10:00:00" : "00:00:00:00");
        if (round % 10 == 9)
        {
            juce::ValueTree fresh (IDs::CueLists);
            fresh.appendChild (test::listNode ("A", hour, 2 * hour), nullptr);
            fresh.appendChild (test::listNode ("B", 2 * hour, 3 * hour), nullptr);
            manager->setState (fresh);
        }
        test::pumpFor (2);
    }

    stop = true;
    driver.join();
    test::pumpFor (20);
    EXPECT_GT (rounds.load(), 0);
    EXPECT_FALSE (counter.offMessageThread);
    auto active = handler->getActiveCueList();
    ASSERT_NE (active, nullptr);
    EXPECT_EQ (manager->getCueList (active->getUuid()), active);
}

TEST_F (ActiveCueListHandlerTest, ASwitchAskedForBeforeADocumentChangeNeverMakesAClosedDocumentsListLive)
{
    start ({ test::listNode ("A", hour, 2 * hour), test::listNode ("B", 2 * hour, 3 * hour) });
    ASSERT_EQ (activeName(), juce::String ("A"));

    // Every list announced as live must belong to the document open at that moment.
    struct Witness : ActiveCueListHandler::Listener
    {
        ActiveCueListHandler* handler = nullptr;
        CueListManager* manager = nullptr;
        juce::StringArray stale;
        void activeCueListChanged() override
        {
            if (auto list = handler->getActiveCueList(); list != nullptr && manager->getCueList (list->getUuid()) != list)
                stale.add (list->getName());
        }
    } witness;
    witness.handler = handler.get();
    witness.manager = manager.get();
    handler->addListener (&witness);

    // The time asks for B from a driver thread; before the message loop gets to it another
    // document (with lists of its own) is loaded.
    std::thread driver ([&] { handler->selectFromTime (2 * hour + 5, false); });
    driver.join();
    juce::ValueTree loaded (IDs::CueLists);
    loaded.appendChild (test::listNode ("Loaded A", hour, 2 * hour), nullptr);
    loaded.appendChild (test::listNode ("Loaded B", 2 * hour, 3 * hour), nullptr);
    manager->setState (loaded);

    ASSERT_TRUE (test::pumpUntil ([&] { return activeName().startsWith ("Loaded"); }));
    test::pumpFor (20);
    handler->removeListener (&witness);
    EXPECT_TRUE (witness.stale.isEmpty()) << "announced: " << witness.stale.joinIntoString (", ");
    EXPECT_EQ (manager->getCueList (handler->getActiveCueList()->getUuid()), handler->getActiveCueList());
}

TEST_F (ActiveCueListHandlerTest, ALocateBackBeforeThePostedSwitchRunsStaysOnTheLiveList)
{
    // A spans 0-10 s and B 10-20 s. The driver reports 15 s (a switch to B is posted), then
    // 5 s before the message loop got to it, and then the time stops.
    start ({ test::listNode ("A", 0, 10000), test::listNode ("B", 10000, 20000) });
    ASSERT_EQ (activeName(), juce::String ("A"));

    std::thread driver ([&] {
        handler->selectFromTime (15000, false);
        handler->selectFromTime (5000, false);
    });
    driver.join();

    test::pumpFor (50);
    EXPECT_EQ (activeName(), juce::String ("A"));
    EXPECT_EQ (counter.calls, 0);

    // The other way round still switches, once.
    std::thread later ([&] {
        handler->selectFromTime (5000, false);
        handler->selectFromTime (15000, false);
    });
    later.join();
    ASSERT_TRUE (test::pumpUntil ([&] { return activeName() == "B"; }));
    test::pumpFor (20);
    EXPECT_EQ (counter.calls, 1);
}
