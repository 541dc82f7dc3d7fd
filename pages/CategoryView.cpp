#include "pages/CategoryView.h"

#include "BinaryData.h"
#include "model/CategoryManager.h"
#include "pages/CategoryOrganizer.h"
#include "ui/kit/ResizableViewport.h"

CategoryView::CategoryView (std::shared_ptr<CategoryManager> categoryManager)
{
    addAndMakeVisible (panel);
    panel.setName ("Categories");

    auto* viewport = new ResizableViewport();
    organizer = new CategoryOrganizer (categoryManager);
    viewport->setViewedComponent (organizer, true);
    panel.setContent (viewport);
    panel.setIcon (BinaryData::Category_svg, (size_t) BinaryData::Category_svgSize);

    // No transaction of its own: the new category joins the undo step open at that moment.
    panel.onAdd = [categoryManager] { categoryManager->addRandomCategory(); };
}

void CategoryView::resized()
{
    panel.setBounds (0, 0, panelWidth, getHeight());
}
