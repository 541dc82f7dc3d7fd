#include "CueViewFixture.h"
#include "app/VantrelController.h"
#include "model/CueListManager.h"
#include "time/InternalClockReader.h"
#include "time/TimeManager.h"
#include "ui/AnimatedCueView.h"
#include "ui/MainCueView.h"
#include "ui/TimetableCueComponent.h"

namespace
{
constexpr int hour = 3600000, minute = 60000, second = 1000;
constexpr juce::uint32 orange = 0xffee8800;

/** A timetable of one cue and a row that shows it at the timetable's rate. */
struct TimetableRow
{
    std::shared_ptr<CueList> list;
    TimetableCueComponent row;

    TimetableRow (double start, double end)
        : list (test::makeCueList ({ { 1, "Doors", start, end - start, orange } }, 1000, true))
    {
        row.setFps (list->getFps());
        row.setCue (list->getCues().front());
        row.setSize (600, 50);
    }

    /** The cue's own span, as the cue view hands it to its rows. */
    juce::Range<int> span() const
    {
        const auto r = list->getCues().front()->getRange();
        return { (int) r.getStart(), juce::jmax ((int) r.getStart(), (int) r.getEnd()) };
    }

    void showAt (int time) { row.update ({ time, 1000, true, true }, span()); }
};

using TimetableCueComponentTest = test::GuiFixture;
}

TEST (TimetableCueRules, TimesOfDayAreTakenOnlyAsTheLabelShowsThem)
{
    const struct
    {
        const char* text;
        double expected; // -1: refused
    } cases[] = {
        { "14:30", 14 * hour + 30 * minute },
        { "9:05", 9 * hour + 5 * minute },
        { "00:00", 0 },
        { "23:59", 23 * hour + 59 * minute },
        { " 7:45 ", 7 * hour + 45 * minute },
        { "9.30", -1 },
        { "abc", -1 },
        { "25:99", -1 },
        { "", -1 },
        { "24:00", -1 },
        { "12:60", -1 },
        { "12:5", -1 },
        { "123:00", -1 },
        { "-1:00", -1 },
        { "12:30:00", -1 },
        { ":30", -1 },
        { "12:3x", -1 },
    };
    for (const auto& c : cases)
    {
        const auto parsed = TimetableCueComponent::parseTimeOfDay (c.text, 1000);
        if (c.expected < 0)
            EXPECT_FALSE (parsed.has_value()) << '"' << c.text << '"';
        else
            EXPECT_EQ (parsed.value_or (-1), c.expected) << '"' << c.text << '"';
    }
}

TEST_F (TimetableCueComponentTest, StartAndEndAsHoursAndMinutesAndACountdownToTheEnd)
{
    const struct
    {
        double start, end;
        int time;
        const char* expected;
    } cases[] = {
        // Across midnight: under way before and after it.
        { 23 * hour + 30 * minute, 24 * hour + 15 * minute, 23 * hour + 50 * minute, "-25:00" },
        { 23 * hour + 30 * minute, 24 * hour + 15 * minute, 10 * minute, "-05:00" },
        { 23 * hour + 30 * minute, 24 * hour + 15 * minute, 12 * hour, "00:15" },
        { 23 * hour + 30 * minute, 24 * hour + 15 * minute, 15 * minute, "00:15" },
        // Minutes and seconds under an hour, hours and minutes from an hour on.
        { 13 * hour, 15 * hour, 13 * hour + 30 * minute, "-01:30" },
        { 13 * hour, 15 * hour, 15 * hour - 7 * second, "-00:07" },
        { 13 * hour, 15 * hour, 13 * hour - second, "15:00" },
    };
    for (const auto& c : cases)
    {
        TimetableRow t (c.start, c.end);
        EXPECT_EQ (t.row.getTimeLabel().getText(), Timecode::fromMillis (c.end, 1000).toString (4).substring (0, 5));
        EXPECT_EQ (t.row.getNumberLabel().getText(), Timecode::fromMillis (c.start, 1000).toString (4).substring (0, 5));

        t.showAt (c.time);
        EXPECT_EQ (t.row.getTimeLabel().getText(), c.expected) << c.time;
        // The time field stays, dimmed once the cue is over.
        EXPECT_TRUE (t.row.getTimeLabel().isVisible());
        EXPECT_FLOAT_EQ (t.row.getTimeLabel().getAlpha(), t.row.isFinished() ? 0.2f : 0.8f) << c.time;
    }
}

TEST_F (TimetableCueComponentTest, TheStartTakesThePlaceOfTheNumber)
{
    TimetableRow t (23 * hour + 30 * minute, 24 * hour + 15 * minute);
    const auto& number = t.row.getNumberLabel();
    EXPECT_EQ (number.getText(), "23:30");
    EXPECT_EQ (number.findColour (juce::Label::textColourId), juce::Colours::white.withAlpha ((juce::uint8) 204));
    EXPECT_EQ (number.getJustificationType(), juce::Justification::centredLeft);
    EXPECT_EQ (number.getX(), 10);
    EXPECT_GT (number.getWidth(), 38) << "as wide as its text, not the plain rows' 38 px";
    EXPECT_GE (t.row.getNameLabel().getX(), number.getRight() + 10) << "the name follows the start";
}

TEST_F (TimetableCueComponentTest, TheBarShrinksFromTheLeftAsTheCueRuns)
{
    TimetableRow t (13 * hour, 15 * hour);
    t.showAt (14 * hour);
    ASSERT_FLOAT_EQ (t.row.getProgress(), 0.5f);

    const auto image = t.row.createComponentSnapshot (t.row.getLocalBounds(), true, 1.0f);
    const auto dark = juce::Colour (orange).withBrightness (0.1f);
    EXPECT_TRUE (test::near (image.getPixelAt (150, 40), dark)) << image.getPixelAt (150, 40).toDisplayString (true);
    EXPECT_TRUE (test::near (image.getPixelAt (450, 40), juce::Colour (orange))) << image.getPixelAt (450, 40).toDisplayString (true);
}

TEST_F (TimetableCueComponentTest, TheShowScreenCountsDownTimetableCuesAcrossMidnight)
{
    AnimatedCueView view;
    view.setSize (640, 400);
    auto list = test::makeCueList ({ { 1, "Doors", 23 * hour + 30 * minute, 45 * minute, orange },
                                     { 2, "Night", 24 * hour + 30 * minute, 30 * minute, orange } },
                                   1000, true);
    view.setCueList (list, {});
    ASSERT_EQ (view.getNumRows(), 2);
    auto* row = dynamic_cast<TimetableCueComponent*> (view.getRow (0)->getCueComponent());
    ASSERT_NE (row, nullptr);
    EXPECT_EQ (row->getNumberLabel().getText(), "23:30");
    EXPECT_EQ (row->getTimeLabel().getText(), "00:15");
    // A first paint: from then on time updates refresh the rows in view.
    view.createComponentSnapshot (view.getLocalBounds(), true, 1.0f);

    view.timeChanged ({ 23 * hour + 50 * minute, 1000, true, true }, false);
    EXPECT_EQ (row->getTimeLabel().getText(), "-25:00");
    view.timeChanged ({ 10 * minute, 1000, true, true }, false);
    EXPECT_EQ (row->getTimeLabel().getText(), "-05:00");
    EXPECT_EQ (view.getCurrentIndex(), 0);
}

TEST_F (TimetableCueComponentTest, TheMainViewShowsTheLiveTimetableOnTheComputersClock)
{
    // The computer's clock reads 13:00 local time for as long as the test takes, however slowly
    // the machine runs; a cue from 12:00 to 15:00.
    const juce::Time oneOClock (2026, 5, 1, 13, 0, 0, 0, true);
    VantrelController controller (std::make_unique<MasterTimeDriver> (
        std::make_unique<InternalClockReader> ([oneOClock] { return oneOClock; }), std::make_unique<LTCReader>()));
    const int start = 12 * hour;
    auto node = test::makeCueList ({ { 1, "Doors", (double) start, 3.0 * hour, orange } }, 1000, true)->getTree();
    controller.cueListManager->getState().appendChild (node, nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return controller.cueListManager->getTimetable() != nullptr; }));

    auto view = std::make_unique<MainCueView> (controller);
    auto& rows = view->getCueRows();
    // Rows are built anew whenever the view follows the list again: look each time.
    auto row = [&rows]
    {
        return rows.getNumRows() == 1 ? dynamic_cast<TimetableCueComponent*> (rows.getRow (0)->getCueComponent()) : nullptr;
    };
    ASSERT_TRUE (test::pumpUntil ([&] { return row() != nullptr; }));
    EXPECT_EQ (row()->getNumberLabel().getText(), Timecode::fromMillis (start, 1000).toString (4).substring (0, 5));

    // Off screen nothing paints; a paint lets time updates refresh the rows in view. The first
    // one (fonts, the rows' pictures) takes seconds on a loaded machine: made before the waits,
    // it cannot use up their time before the clock's first time arrives.
    auto paint = [&rows] { rows.createComponentSnapshot (rows.getLocalBounds(), true, 1.0f); };
    paint();

    controller.timeManager->master.setDriver (0);
    // The time manager publishes the clock's time as soon as it sees it arrive.
    ASSERT_TRUE (test::pumpUntil ([&] { return controller.timeManager->getTimeInfo().running; }));

    // Two hours remain: never the "-00:00" of a countdown to the start.
    juce::String text;
    EXPECT_TRUE (test::pumpUntil ([&] {
        paint();
        text = row() != nullptr ? row()->getTimeLabel().getText() : juce::String();
        return text == "-02:00";
    })) << text;

    view.reset();
    controller.timeManager->master.stop();
}
