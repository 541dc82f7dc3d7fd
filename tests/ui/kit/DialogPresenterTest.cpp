#include "support/MessageLoop.h"
#include "ui/kit/DialogComponent.h"
#include "ui/kit/DialogPresenter.h"

#include <gtest/gtest.h>
#include <thread>

namespace
{
/** Collects what the dialogs' callbacks receive. Shared, so a callback arriving after the
    test body cannot write to a dead object. */
using Results = std::shared_ptr<std::vector<int>>;

juce::ModalComponentManager::Callback* record (const Results& results)
{
    return juce::ModalCallbackFunction::create ([results] (int r) { results->push_back (r); });
}

/** Counts how often it was deleted, to see a callback dropped without a call. */
struct Tracked : juce::ModalComponentManager::Callback
{
    explicit Tracked (std::shared_ptr<int> d) : deleted (std::move (d)) {}
    ~Tracked() override { ++*deleted; }
    void modalStateFinished (int) override { ADD_FAILURE() << "an ignored request's callback was called"; }
    std::shared_ptr<int> deleted;
};

class Presenter : public ::testing::Test
{
protected:
    Presenter() { DialogPresenter::setInstance (new DialogPresenter()); }
    ~Presenter() override { DialogPresenter::setInstance (nullptr); }

    DialogPresenter& presenter() { return *DialogPresenter::getInstance(); }
    Results results = std::make_shared<std::vector<int>>();

    bool waitForResults (size_t count)
    {
        return test::pumpUntil ([&] { return results->size() >= count; }, 5000);
    }

    void press (int index)
    {
        auto* dialog = presenter().getShownDialog();
        ASSERT_NE (dialog, nullptr);
        dialog->getButtons()[index]->triggerClick();
    }
};
}

TEST_F (Presenter, ARepeatIsIgnoredUntilTheDialogIsAnswered)
{
    presenter().show ("Error", "Disk full", { "OK" }, record (results));
    auto* first = presenter().getShownDialog();
    ASSERT_NE (first, nullptr);
    EXPECT_TRUE (first->isCurrentlyModal());

    // Same message, even under another title: the request and its callback are dropped.
    auto deleted = std::make_shared<int> (0);
    presenter().show ("Another title", "Disk full", { "Retry" }, new Tracked (deleted));
    EXPECT_EQ (*deleted, 1);
    EXPECT_EQ (presenter().getShownDialog(), first);
    EXPECT_EQ (presenter().getShownTitle(), "Error");
    EXPECT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 1);

    press (0);
    ASSERT_TRUE (waitForResults (1));
    EXPECT_EQ (*results, std::vector<int> { 0 });
    EXPECT_EQ (presenter().getShownDialog(), nullptr);
    EXPECT_EQ (presenter().getShownMessage(), "");

    // Answered: the same message comes up again.
    presenter().show ("Error", "Disk full", { "OK" }, record (results));
    EXPECT_NE (presenter().getShownDialog(), nullptr);
    EXPECT_EQ (presenter().getShownMessage(), "Disk full");
}

TEST_F (Presenter, ADifferentMessageReplacesTheDialogAndTheOldCallbackGetsMinusOne)
{
    auto resultsA = std::make_shared<std::vector<int>>();
    presenter().show ("A", "Message A", { "OK" }, record (resultsA));
    presenter().show ("B", "Message B", { "OK", "Cancel" }, record (results));
    EXPECT_EQ (presenter().getShownMessage(), "Message B");
    EXPECT_EQ (presenter().getShownTitle(), "B");

    ASSERT_TRUE (test::pumpUntil ([&] { return ! resultsA->empty(); }));
    EXPECT_EQ (*resultsA, std::vector<int> { -1 });
    // The replaced dialog's late notice must not take the new dialog with it, even though the
    // new one was very likely built at the old one's address.
    test::pumpFor (50);
    ASSERT_NE (presenter().getShownDialog(), nullptr);
    EXPECT_TRUE (presenter().getShownDialog()->isShowing());
    EXPECT_TRUE (presenter().getShownDialog()->isCurrentlyModal());
    EXPECT_TRUE (results->empty());

    // A third request with B's message is ignored.
    auto deleted = std::make_shared<int> (0);
    presenter().show ("B again", "Message B", { "OK" }, new Tracked (deleted));
    EXPECT_EQ (*deleted, 1);

    press (1);
    ASSERT_TRUE (waitForResults (1));
    EXPECT_EQ (*results, std::vector<int> { 1 });
    EXPECT_EQ (presenter().getShownMessage(), "");
}

TEST_F (Presenter, AnAnswerToTheNewDialogIsNotCreditedToTheReplacedOne)
{
    auto resultsA = std::make_shared<std::vector<int>>();
    presenter().show ("A", "Message A", { "OK" }, record (resultsA));
    presenter().show ("B", "Message B", { "OK" }, record (results));
    // Answered before the replaced dialog's notice went out (it is still queued).
    auto* dialog = presenter().getShownDialog();
    dialog->buttonClicked (dialog->getButtons()[0]);
    ASSERT_TRUE (waitForResults (1));
    ASSERT_TRUE (test::pumpUntil ([&] { return ! resultsA->empty(); }));
    EXPECT_EQ (*resultsA, std::vector<int> { -1 });
    EXPECT_EQ (*results, std::vector<int> { 0 });
}

TEST_F (Presenter, ACallbackMayShowTheNextDialog)
{
    presenter().show ("First", "One", { "Next" }, juce::ModalCallbackFunction::create ([this] (int r) {
                          results->push_back (r);
                          presenter().show ("Second", "Two", { "OK" });
                      }));
    press (0);
    ASSERT_TRUE (waitForResults (1));
    EXPECT_EQ (presenter().getShownMessage(), "Two");
    ASSERT_NE (presenter().getShownDialog(), nullptr);
    EXPECT_TRUE (presenter().getShownDialog()->isCurrentlyModal());
}

TEST_F (Presenter, DismissAndHidingGiveMinusOne)
{
    presenter().show ("T", "Dismissed", { "OK" }, record (results));
    presenter().dismiss();
    EXPECT_EQ (presenter().getShownDialog(), nullptr);
    EXPECT_EQ (presenter().getShownMessage(), "");
    ASSERT_TRUE (waitForResults (1));
    EXPECT_EQ (results->back(), -1);
    presenter().dismiss(); // nothing shown: nothing happens

    // A dialog whose window goes away (minimised) was not answered: not the first button's 0.
    presenter().show ("T", "Hidden", { "Delete everything", "Cancel" }, record (results));
    presenter().getShownDialog()->setVisible (false);
    ASSERT_TRUE (waitForResults (2));
    EXPECT_EQ (results->back(), -1);
    EXPECT_EQ (presenter().getShownDialog(), nullptr);
}

TEST_F (Presenter, WithoutButtonsTheDialogStaysUntilReplaced)
{
    presenter().show ("Working", "Please wait", {}, record (results));
    test::pumpFor (50);
    EXPECT_EQ (presenter().getShownMessage(), "Please wait");
    EXPECT_TRUE (results->empty());
    presenter().show ("Done", "Finished", { "OK" });
    ASSERT_TRUE (waitForResults (1));
    EXPECT_EQ (results->back(), -1);
}

TEST_F (Presenter, DeletingThePresenterClosesItsDialogAndLateNoticesFindNothing)
{
    presenter().show ("T", "Going away", { "OK" }, record (results));
    auto* dialog = presenter().getShownDialog();
    dialog->buttonClicked (dialog->getButtons()[0]); // the modal notice is now on its way...
    DialogPresenter::setInstance (new DialogPresenter()); // ...and its presenter is gone before it arrives
    ASSERT_TRUE (waitForResults (1));
    EXPECT_EQ (results->back(), 0);
    EXPECT_EQ (presenter().getShownDialog(), nullptr);

    presenter().show ("T", "Open at shutdown", { "OK" }, record (results));
    DialogPresenter::setInstance (nullptr);
    ASSERT_TRUE (waitForResults (2));
    EXPECT_EQ (results->back(), -1);
    EXPECT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
}

TEST_F (Presenter, ShowAsyncFromAnotherThreadReachesThePresenterOfTheMomentOfDelivery)
{
    std::thread sender ([this] { DialogPresenter::showAsync ("Server", "Port in use", { "OK" }, record (results)); });
    sender.join();
    // Not shown until the message thread delivers it; by then the presenter was replaced.
    EXPECT_EQ (presenter().getShownMessage(), "");
    DialogPresenter::setInstance (new DialogPresenter());
    ASSERT_TRUE (test::pumpUntil ([&] { return presenter().getShownMessage() == "Port in use"; }));
    EXPECT_EQ (presenter().getShownTitle(), "Server");

    // Many threads at once: one dialog, the last message delivered on screen.
    std::vector<std::thread> senders;
    for (int i = 0; i < 4; ++i)
        senders.emplace_back ([i] { DialogPresenter::showAsync ("Server", "Error " + juce::String (i), { "OK" }); });
    for (auto& t : senders)
        t.join();
    ASSERT_TRUE (test::pumpUntil ([&] { return presenter().getShownMessage().startsWith ("Error"); }));
    test::pumpFor (50);
    EXPECT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 1);
    ASSERT_TRUE (waitForResults (1));
    EXPECT_EQ (results->back(), -1); // "Port in use" was replaced
}
