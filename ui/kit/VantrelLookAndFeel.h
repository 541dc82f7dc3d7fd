#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The application's dark style: its palette, the embedded Figtree and monospaced faces, and
    the drawing of switches, text fields, pop-up menus, combo boxes and labels. One instance is
    the desktop's default look-and-feel for the life of the windows. */
class VantrelLookAndFeel : public juce::LookAndFeel_V4
{
public:
    VantrelLookAndFeel();

    static constexpr juce::uint32 accentArgb = 0xff0681ff;
    const juce::Colour accentColour { accentArgb };

    // juce::LookAndFeel
    juce::Typeface::Ptr getTypefaceForFont (const juce::Font& font) override;
    juce::Path getTickShape (float height) override;

    // juce::Button::LookAndFeelMethods
    juce::Font getTextButtonFont (juce::TextButton& button, int buttonHeight) override;
    void drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool highlighted, bool down) override;

    // juce::TextEditor::LookAndFeelMethods
    void fillTextEditorBackground (juce::Graphics& g, int width, int height, juce::TextEditor& editor) override;
    void drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor) override;

    // juce::PopupMenu::LookAndFeelMethods
    void drawPopupMenuBackground (juce::Graphics& g, int width, int height) override;
    void drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator, bool isActive,
                            bool isHighlighted, bool isTicked, bool hasSubMenu, const juce::String& text,
                            const juce::String& shortcutKeyText, const juce::Drawable* icon,
                            const juce::Colour* textColour) override;

    // juce::ComboBox::LookAndFeelMethods
    void drawComboBox (juce::Graphics& g, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                       int buttonW, int buttonH, juce::ComboBox& box) override;

    // juce::Label::LookAndFeelMethods
    void drawLabel (juce::Graphics& g, juce::Label& label) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VantrelLookAndFeel)
};
