#include "pages/PreferencesPages.h"

#include "BinaryData.h"
#include "app/VantrelController.h"
#include "pages/CategoryView.h"
#include "pages/CreditsComponent.h"
#include "pages/DefaultsView.h"
#include "pages/ProjectView.h"
#include "pages/TimetableEditorView.h"
#include "pages/WebClientView.h"
#include "time/AudioSettingsComponent.h"
#include "time/MasterTimeDriver.h"
#include "time/TimeManager.h"
#include "update/UpdateComponent.h"
#include "ui/kit/HeaderTab.h"

PreferencesPages::Page PreferencesPages::panel (const juce::String& title, const void* svgData, int svgSize,
                                                int width, int height, juce::Component* content)
{
    auto tab = std::make_unique<HeaderTab>();
    tab->setName (title);
    tab->setIcon (svgData, (size_t) svgSize);
    tab->setContent (content);
    tab->setSize (width, height);
    return tab;
}

PreferencesPages::Page PreferencesPages::project (VantrelController& controller)
{
    return std::make_unique<ProjectView> (controller);
}

PreferencesPages::Page PreferencesPages::timetable (VantrelController& controller)
{
    return std::make_unique<TimetableEditorView> (controller.cueListManager, controller.categoryManager);
}

PreferencesPages::Page PreferencesPages::categories (VantrelController& controller)
{
    return std::make_unique<CategoryView> (controller.categoryManager);
}

PreferencesPages::Page PreferencesPages::webClients (VantrelController& controller)
{
    return std::make_unique<WebClientView> (controller.serverManager, controller.categoryManager);
}

PreferencesPages::Page PreferencesPages::defaults (VantrelController& controller)
{
    return std::make_unique<DefaultsView> (controller.defaultsManager);
}

PreferencesPages::Page PreferencesPages::audio (VantrelController& controller)
{
    // The LTC reader's own device: every change here is what the show listens to.
    auto* deviceManager = controller.timeManager->master.getAudioDeviceManager();
    return panel ("Audio", BinaryData::Audio_svg, BinaryData::Audio_svgSize, 900, 278,
                  deviceManager != nullptr ? new AudioSettingsComponent (*deviceManager) : nullptr);
}

PreferencesPages::Page PreferencesPages::update (VantrelController&)
{
    return panel ("Update", BinaryData::Update_svg, BinaryData::Update_svgSize, 400, 100, new UpdateComponent());
}

PreferencesPages::Page PreferencesPages::credits (VantrelController&)
{
    return panel ("Credits", BinaryData::Heart_svg, BinaryData::Heart_svgSize, 600, 300, new CreditsComponent());
}
