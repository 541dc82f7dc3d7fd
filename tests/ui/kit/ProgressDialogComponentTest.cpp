#include "support/MessageLoop.h"
#include "ui/kit/DialogPresenter.h"
#include "ui/kit/ProgressDialogComponent.h"

#include <gtest/gtest.h>

namespace
{
using Results = std::shared_ptr<std::vector<int>>;

juce::ModalComponentManager::Callback* record (const Results& results)
{
    return juce::ModalCallbackFunction::create ([results] (int r) { results->push_back (r); });
}

class Progress : public ::testing::Test
{
protected:
    Progress() { DialogPresenter::setInstance (new DialogPresenter()); }
    ~Progress() override
    {
        ProgressDialogComponent::close();
        DialogPresenter::setInstance (nullptr);
        test::pumpFor (20);
    }
    Results results = std::make_shared<std::vector<int>>();
};
}

TEST_F (Progress, OpensWithItsTextsAndLayout)
{
    ProgressDialogComponent::setProgress ("Downloading", 0.5); // nothing open: nothing happens
    EXPECT_EQ (ProgressDialogComponent::getOpenDialog(), nullptr);

    ProgressDialogComponent::open (record (results));
    auto* dialog = ProgressDialogComponent::getOpenDialog();
    ASSERT_NE (dialog, nullptr);
    EXPECT_TRUE (dialog->isCurrentlyModal());
    EXPECT_EQ (dialog->getTitle(), "Hang on...");
    EXPECT_EQ (dialog->getStatusText(), "Progressing");
    ASSERT_EQ (dialog->getButtons().size(), 1);
    EXPECT_EQ (dialog->getButtons()[0]->getButtonText(), " Cancel");
    EXPECT_EQ (dialog->getProgress(), 0.0);

    auto* bar = dynamic_cast<juce::Slider*> (dialog->getChildComponent (dialog->getNumChildComponents() - 1));
    ASSERT_NE (bar, nullptr);
    EXPECT_EQ (bar->getBounds(), juce::Rectangle<int> (25, 150, 750, 40));
    bool self = true, children = true;
    bar->getInterceptsMouseClicks (self, children);
    EXPECT_FALSE (self || children);

    // A second open reuses the one dialog.
    ProgressDialogComponent::open (record (results));
    EXPECT_EQ (ProgressDialogComponent::getOpenDialog(), dialog);

    ProgressDialogComponent::setProgress ("Downloading", 0.41);
    EXPECT_EQ (dialog->getStatusText(), "Downloading");
    EXPECT_DOUBLE_EQ (dialog->getProgress(), 0.41);
    ProgressDialogComponent::setProgress ("Unzipping", 1.7);
    EXPECT_DOUBLE_EQ (dialog->getProgress(), 1.0);

    ProgressDialogComponent::close();
    EXPECT_EQ (ProgressDialogComponent::getOpenDialog(), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return results->size() == 2; }));
    EXPECT_EQ (*results, (std::vector<int> { 1, 1 }));
}

TEST_F (Progress, AMessageAboveItHoldsItsProgressBack)
{
    ProgressDialogComponent::open();
    auto* dialog = ProgressDialogComponent::getOpenDialog();
    DialogPresenter::getInstance()->show ("Uh-oh!", "Something else", { "OK" });

    ProgressDialogComponent::setProgress ("Downloading", 0.5);
    EXPECT_EQ (dialog->getStatusText(), "Progressing");
    EXPECT_EQ (dialog->getProgress(), 0.0);

    DialogPresenter::getInstance()->getShownDialog()->getButtons()[0]->triggerClick();
    ASSERT_TRUE (test::pumpUntil ([] { return DialogPresenter::getInstance()->getShownDialog() == nullptr; }));
    test::pumpFor (20);
    ProgressDialogComponent::setProgress ("Downloading", 0.5);
    EXPECT_EQ (dialog->getStatusText(), "Downloading");
    EXPECT_DOUBLE_EQ (dialog->getProgress(), 0.5);
}

TEST_F (Progress, CancelGivesZeroAndLeavesNoDialog)
{
    ProgressDialogComponent::open (record (results));
    ProgressDialogComponent::getOpenDialog()->getButtons()[0]->triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return ! results->empty(); }));
    EXPECT_EQ (*results, std::vector<int> { 0 });
    EXPECT_EQ (ProgressDialogComponent::getOpenDialog(), nullptr);
    EXPECT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
    ProgressDialogComponent::setProgress ("Downloading", 0.5); // nothing to update
}

TEST_F (Progress, HidingTheWindowIsNotACancel)
{
    // The framework ends a hidden window's modal state with 0, the index of " Cancel".
    ProgressDialogComponent::open (record (results));
    ProgressDialogComponent::getOpenDialog()->setVisible (false);
    ASSERT_TRUE (test::pumpUntil ([&] { return ! results->empty(); }));
    EXPECT_EQ (*results, std::vector<int> { -1 });
}
