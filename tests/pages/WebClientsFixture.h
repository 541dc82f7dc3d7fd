#pragma once

#include "CategoriesFixture.h"
#include "document/AppData.h"
#include "pages/ClientOrganizer.h"
#include "pages/PreferencesView.h"
#include "pages/WebClientView.h"
#include "server/WebClientFixture.h"
#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"

namespace test
{
/** A show whose live list uses three categories (Audio twice, Light, Laser; Video and the
    rest unused), with web-client servers on ports of this test process, and the preferences
    window on the WEBCLIENTS page. */
struct WebClientsFixture : WebClientFixture
{
    static constexpr juce::uint32 audio = 0xff3fb6dc, light = 0xffcfb228, laser = 0xff26d256, video = 0xff7540ee;

    int portA = nextCandidatePort();
    int portB = portA + 1;

    std::unique_ptr<DesktopWindow> window;
    PreferencesView* view = nullptr;
    MainComponent* content = nullptr;

    ~WebClientsFixture() override
    {
        juce::PopupMenu::dismissAllActiveMenus();
        window.reset();
        if (auto* presenter = DialogPresenter::getInstance())
            presenter->dismiss();
    }

    static juce::String cueList()
    {
        return R"(
  <CueLists>
    <CueList uuid="11111111111111111111111111111111" name="Show" offset="00:00:00:00" fps="25" start="0">
      <Cues>
        <cue id="a1" number="1" text="Intro" start="1000.0" duration="0" color="ff3fb6dc"/>
        <cue id="a2" number="2" text="Wash" start="2000.0" duration="0" color="ffcfb228"/>
        <cue id="a3" number="3" text="Beam" start="3000.0" duration="0" color="ff26d256"/>
        <cue id="a4" number="4" text="Outro" start="4000.0" duration="0" color="ff3fb6dc"/>
      </Cues>
    </CueList>
  </CueLists>
  <ColorMask/>)";
    }

    /** The show with the given "Server" elements; waits until the categories count their cues. */
    void startShow (const juce::String& servers)
    {
        start (cueList() + "<Servers IP=\"0.0.0.0\">" + servers + "</Servers>");
        ASSERT_NE (waitForLiveList(), nullptr);
        ASSERT_TRUE (pumpUntil ([this] { return usedCount() == 3; }));
        AppData::getUndoManager()->clearUndoHistory();
    }

    void startWithTwoServers (const juce::String& maskOfB = {})
    {
        startShow (serverNode (portA, "A") + serverNode (portB, "B", maskOfB));
    }

    int usedCount() const
    {
        int n = 0;
        for (const auto& c : controller->categoryManager->getCategories())
            n += c->isUsed() ? 1 : 0;
        return n;
    }

    std::shared_ptr<Category> category (juce::uint32 argb) const
    {
        for (const auto& c : controller->categoryManager->getCategories())
            if (c->getColor().getARGB() == argb)
                return c;
        return {};
    }

    /** The preferences window as the application builds it, on the WEBCLIENTS page. */
    WebClientView& openPage()
    {
        view = new PreferencesView (*controller);
        content = new MainComponent (*controller, view);
        window = std::make_unique<DesktopWindow> (content);
        EXPECT_TRUE (activate (*window));
        EXPECT_TRUE (pumpUntil ([this] { return view->getPage() != nullptr; }));
        mouse().click (*view->getSideBarButtons()[3], { 40, 10 });
        EXPECT_TRUE (pumpUntil ([this] { return dynamic_cast<WebClientView*> (view->getPage()) != nullptr; }));
        return *dynamic_cast<WebClientView*> (view->getPage());
    }

    PeerMouse mouse() { return PeerMouse (*window); }

    bool pressControlZ()
    {
        content->focusContent();
        return window->getPeer()->handleKeyPress (juce::KeyPress ('z', juce::ModifierKeys::ctrlModifier, 0));
    }

    /** The server's hidden colours as stored text, sorted. */
    static juce::StringArray masked (const std::shared_ptr<VantrelServer>& server)
    {
        juce::StringArray result;
        for (auto c : server->getColorMask()->getColors())
            result.add (juce::String::toHexString (c.getARGB()));
        result.sort (false);
        return result;
    }
};
}
