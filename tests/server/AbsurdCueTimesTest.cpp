#include "WebClientFixture.h"

#include "document/Identifiers.h"
#include "server/VantrelServer.h"
#include "ui/MainCueView.h"
#include "ui/kit/VantrelLookAndFeel.h"

#include <limits>

using test::RawClient;

namespace
{
/** Cue times a document may hold that no show has: each must give some display and some
    message, never undefined arithmetic (the sanitizer stage halts on any). */
struct AbsurdTime
{
    const char* stored;
    const char* shown; // the start as the row writes it at 25 fps; null where any text will do
};

const AbsurdTime absurdTimes[] = {
    { "nan", "00:00:00:00" },    // not a number counts as 0
    { "-nan", "00:00:00:00" },
    { "inf", "00:00:00:00" },
    { "1e308", "03:14:07:11" },  // the seconds stop at what 32 bits hold
    { "-1e308", nullptr },
    { "9e15", "03:14:07:02" },
};

class AbsurdCueTimes : public test::WebClientFixture
{
protected:
    VantrelLookAndFeel lookAndFeel;
    int port = test::nextCandidatePort();

    AbsurdCueTimes() { juce::Desktop::getInstance().setDefaultLookAndFeel (&lookAndFeel); }
    ~AbsurdCueTimes() override
    {
        controller.reset();
        juce::Desktop::getInstance().setDefaultLookAndFeel (nullptr);
    }

    void startWithAbsurdCues()
    {
        juce::String cues;
        int number = 1;
        for (const auto& t : absurdTimes)
        {
            cues << "<cue id=\"c" << number << "\" number=\"" << number << "\" text=\"" << t.stored << "\" start=\""
                 << t.stored << "\" duration=\"" << (number % 2 == 0 ? t.stored : "1000") << "\" color=\"ff3fb6dc\"/>";
            ++number;
        }
        start ("<CueLists><CueList uuid=\"11111111111111111111111111111111\" name=\"Absurd\" offset=\"00:00:00:00\""
               " fps=\"25\" start=\"nan\"><Cues>" + cues + "</Cues></CueList></CueLists><ColorMask/>"
               "<Servers IP=\"0.0.0.0\">" + serverNode (port) + "</Servers>");
    }
};

TEST_F (AbsurdCueTimes, AreShownByTheMainViewAndSentToBrowsers)
{
    startWithAbsurdCues();
    auto list = waitForLiveList();
    ASSERT_NE (list, nullptr);
    auto server = waitForServing();
    ASSERT_TRUE (server != nullptr && server->isServing());

    // The main view: the rows show each start, then count down, with the timecode display,
    // through times around the cues, painted each time.
    MainCueView view (*controller);
    view.setSize (640, 1080);
    constexpr auto numCues = (int) std::size (absurdTimes);
    ASSERT_TRUE (test::pumpUntil ([&] { return view.getCueRows().getNumRows() == numCues; }));
    auto& rows = view.getCueRows();
    for (int i = 0; i < rows.getNumRows(); ++i)
    {
        const auto* row = rows.getRow (i)->getCueComponent();
        for (const auto& t : absurdTimes)
        {
            if (t.shown != nullptr && row->getNameLabel().getText() == t.stored)
            {
                EXPECT_EQ (row->getTimeLabel().getText(), juce::String (t.shown)) << t.stored;
            }
        }
    }

    const int times[] = { 0, 3000, 86399999, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min() };
    for (const auto time : times)
    {
        view.timeChanged ({ time, 25, true, false });
        test::pumpFor (20);
        (void) view.createComponentSnapshot (view.getLocalBounds());
    }

    // A browser: its greeting carries every cue, and time messages go out at every time.
    RawClient client;
    ASSERT_TRUE (client.connect (port));
    ASSERT_TRUE (client.upgrade ("/"));
    std::vector<std::string> greeting;
    while (greeting.size() < 4)
    {
        auto text = nextText (client);
        ASSERT_TRUE (text.has_value());
        greeting.push_back (*text);
    }
    const auto cuelist = juce::JSON::parse (juce::String (greeting[0]));
    ASSERT_EQ (typeOf (greeting[0]), "cuelist");
    ASSERT_NE (cuelist["cues"].getArray(), nullptr) << greeting[0];
    EXPECT_EQ (cuelist["cues"].getArray()->size(), numCues);
    for (const auto time : times)
    {
        const auto message = server->createTimeMessage ({ time, 25, true, false });
        EXPECT_EQ (typeOf (message.toStdString()), "time") << message;
        server->getSocketServer()->broadcastText (message);
    }
    int timeMessages = 0;
    while (timeMessages < (int) std::size (times))
    {
        auto text = nextText (client);
        ASSERT_TRUE (text.has_value());
        if (typeOf (*text) == "time")
            ++timeMessages;
    }

    // Nothing rewrote the stored times.
    const auto cuesNode = list->getTree().getChildWithName (IDs::Cues);
    for (int i = 0; i < numCues; ++i)
        EXPECT_EQ (cuesNode.getChildWithProperty (IDs::id, "c" + juce::String (i + 1))[IDs::start].toString(),
                   absurdTimes[i].stored);
}
}
