#pragma once

#include "ui/kit/ActionDropdown.h"
#include "ui/kit/AddButton.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

/** A titled panel: a header strip with an icon, a title, an optional add button and an
    optional action drop-down, above one content component. */
class HeaderTab : public juce::Component
{
public:
    HeaderTab();
    ~HeaderTab() override;

    /** Run by the add button; the button is shown only while this is set. */
    std::function<void()> onAdd;

    /** Shown only while its menu holds items. */
    ActionDropdown actionDropdown;

    /** Sets the title (the component's own name stays as it was). */
    void setName (const juce::String& title) override;
    juce::String getTitleText() const { return titleLabel.getText(); }

    /** Parses the SVG and shows its outline as the icon (fitted at the next layout). */
    void setIcon (const void* svgData, size_t numBytes);

    /** Takes ownership of the content, replacing (and deleting) the previous one. */
    void setContent (juce::Component* newContent);
    juce::Component* getContent() const { return content.get(); }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    std::unique_ptr<juce::Component> content;
    juce::DrawablePath icon;
    juce::Label titleLabel;

public:
    AddButton addButton;
    int headerHeight = 36;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HeaderTab)
};
