#include "ui/kit/SvgButton.h"

#include "BinaryData.h"

namespace
{
juce::Path outlineOf (const void* data, size_t numBytes)
{
    if (auto drawable = juce::Drawable::createFromImageData (data, numBytes))
        return drawable->getOutlineAsPath();
    return {};
}
}

SvgButton::SvgButton (const void* svgData, size_t numBytes)
    : juce::Button ({}), iconPath (outlineOf (svgData, numBytes))
{
}

SvgButton::SvgButton()
    : SvgButton (BinaryData::Drag_svg, (size_t) BinaryData::Drag_svgSize)
{
    toggledIconPath = outlineOf (BinaryData::Drag_Over_svg, (size_t) BinaryData::Drag_Over_svgSize);
}

SvgButton::~SvgButton()
{
    juce::Desktop::getInstance().getAnimator().removeChangeListener (this);
}

void SvgButton::enableHoverFade()
{
    if (hoverFade)
        return;
    hoverFade = true;
    setAlpha (0.2f);
}

void SvgButton::fadeTo (float alpha, int milliseconds)
{
    auto& animator = juce::Desktop::getInstance().getAnimator();
    animator.animateComponent (this, getBounds(), alpha, milliseconds, false, 0.0, 0.0);
    animator.addChangeListener (this);
}

void SvgButton::mouseEnter (const juce::MouseEvent& e)
{
    if (hoverFade)
        fadeTo (1.0f, 100);
    juce::Button::mouseEnter (e);
}

void SvgButton::mouseExit (const juce::MouseEvent& e)
{
    if (hoverFade)
        fadeTo (0.2f, 200);
    juce::Button::mouseExit (e);
}

void SvgButton::mouseDrag (const juce::MouseEvent& e)
{
    if (onMouseDrag)
        onMouseDrag (e);
}

void SvgButton::mouseUp (const juce::MouseEvent& e)
{
    juce::Button::mouseUp (e);
}

void SvgButton::changeListenerCallback (juce::ChangeBroadcaster*)
{
    if (onAlphaChanged)
        onAlphaChanged (getAlpha());
}

void SvgButton::paintButton (juce::Graphics& g, bool highlighted, bool down)
{
    const auto on = getToggleState();
    const auto& path = on && ! toggledIconPath.isEmpty() ? toggledIconPath : iconPath;
    if (path.isEmpty() || g.getClipBounds().isEmpty())
        return;

    auto colour = findColour (on || (down && ! getClickingTogglesState()) ? iconOnColourId : iconColourId);
    if (! isEnabled())
        colour = colour.darker (0.4f);
    else if (highlighted)
        colour = colour.brighter (0.4f);

    g.setColour (colour);
    g.fillPath (path, path.getTransformToScaleToFit (getLocalBounds().toFloat(), true, juce::Justification::centred));
}
