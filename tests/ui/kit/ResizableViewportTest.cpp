#include "ui/kit/ResizableViewport.h"
#include "ui/kit/ResizableViewportChild.h"

#include <gtest/gtest.h>
#include <cstring>
#include <new>

TEST (ResizableViewport, ChildFillsTheViewportOrScrollsWhenTaller)
{
    ResizableViewport viewport;
    ResizableViewportChild child;

    child.setContentHeight (150);
    EXPECT_EQ (child.getHeight(), 0);  // only stored until the viewport is known

    viewport.setViewedComponent (&child, false);
    viewport.setBounds (0, 0, 300, 200);
    EXPECT_EQ (child.getBounds(), juce::Rectangle<int> (0, 0, 300, 200));

    // Taller content brings up the scroll bar; the width gives way to it in the same call.
    child.setContentHeight (500);
    EXPECT_EQ (child.getHeight(), 500);
    EXPECT_EQ (child.getWidth(), 300 - viewport.getScrollBarThickness());
    EXPECT_TRUE (viewport.isVerticalScrollBarShown());

    child.setContentHeight (100);
    EXPECT_EQ (child.getBounds(), juce::Rectangle<int> (0, 0, 300, 200));

    viewport.setSize (250, 400);
    EXPECT_EQ (child.getBounds(), juce::Rectangle<int> (0, 0, 250, 400));
}

TEST (ResizableViewport, AChildReplacedInTheViewportNoLongerFollowsIt)
{
    ResizableViewport viewport;
    ResizableViewportChild first, second;
    viewport.setViewedComponent (&first, false);
    viewport.setBounds (0, 0, 300, 200);
    viewport.setViewedComponent (&second, false);
    viewport.setSize (320, 220);
    EXPECT_EQ (first.getWidth(), 300);
    EXPECT_EQ (second.getWidth(), 320);
}

TEST (ResizableViewport, AChildDeletedFirstLeavesTheViewportsListeners)
{
    ResizableViewport viewport;
    viewport.setBounds (0, 0, 300, 200);

    // The child lives in storage the test controls: once destroyed, its bytes are wiped, so a
    // viewport still calling it would crash instead of silently reading a dead object.
    alignas (ResizableViewportChild) unsigned char storage[sizeof (ResizableViewportChild)];
    auto* child = new (storage) ResizableViewportChild();
    viewport.setViewedComponent (child, false);
    viewport.setSize (310, 210);
    EXPECT_EQ (child->getWidth(), 310);

    child->~ResizableViewportChild();
    std::memset (storage, 0, sizeof (storage));

    viewport.setSize (320, 230);
    SUCCEED();
}
