#include "pages/CategoryComponent.h"

#include "BinaryData.h"
#include "document/AppData.h"
#include "model/CategoryManager.h"

CategoryComponent::CategoryComponent (std::shared_ptr<CategoryManager> manager)
    : categoryManager (manager)
{
    addAndMakeVisible (handle);

    nameLabel.setFont (juce::Font (20.0f));
    nameLabel.setEditable (false, true, true);
    nameLabel.onTextChange = [this]
    {
        if (category == nullptr)
            return;
        AppData::getUndoManager()->beginNewTransaction ("Rename Category");
        category->setName (nameLabel.getText());
    };
    addAndMakeVisible (nameLabel);

    dot.setClickingTogglesState (false);
    dot.setToggleState (true, juce::dontSendNotification);
    dot.onClick = [this]
    {
        if (onColourClicked)
            onColourClicked (dot.getScreenBounds());
    };
    addAndMakeVisible (dot);
}

CategoryComponent::~CategoryComponent()
{
    if (category != nullptr)
        category->removeListener (this);
}

void CategoryComponent::setCategory (std::shared_ptr<Category> newCategory)
{
    if (category != nullptr)
        category->removeListener (this);
    category = std::move (newCategory);
    if (category != nullptr)
        category->addListener (this);

    categoryNameChanged();
    dot.setCategory (category);
    updateRemoveButton();

    handle.onMouseDrag = [this] (const juce::MouseEvent& e) { startRowDrag (e); };
    handle.setToggleState (false, juce::dontSendNotification);
    resized();
}

void CategoryComponent::updateRemoveButton()
{
    if (category == nullptr || category->isUsed())
    {
        removeButton.reset();
        return;
    }
    // A row that is re-targeted keeps its button, so a hovered button does not fade out
    // and back in on every change of the categories.
    if (removeButton != nullptr)
        return;

    removeButton = std::make_unique<SvgButton> (BinaryData::Delete_svg, (size_t) BinaryData::Delete_svgSize);
    removeButton->setColour (SvgButton::iconColourId, juce::Colour (0xffff0000));
    removeButton->enableHoverFade();
    removeButton->onClick = [this] { removeClicked(); };
    addAndMakeVisible (*removeButton);
}

void CategoryComponent::removeClicked()
{
    // The button follows the category's use only at the next change notice: a cue that
    // linked it since must still keep its category.
    if (category == nullptr || category->isUsed())
        return;
    AppData::getUndoManager()->beginNewTransaction ("Remove Category");
    if (auto manager = categoryManager.lock())
        manager->removeCategory (*category);
}

void CategoryComponent::startRowDrag (const juce::MouseEvent&)
{
    handle.setToggleState (true, juce::dontSendNotification);
    auto* container = juce::DragAndDropContainer::findParentDragContainerFor (this);
    if (container == nullptr || category == nullptr)
        return;
    const auto node = category->getState();
    const auto index = node.getParent().indexOf (node);
    container->startDragging (index, this, juce::ScaledImage(), false);
}

void CategoryComponent::categoryNameChanged()
{
    nameLabel.setText (category != nullptr ? category->getName() : juce::String(), juce::dontSendNotification);
}

void CategoryComponent::resized()
{
    const auto w = getWidth(), h = getHeight();
    const auto c = juce::jmin (w, 22);
    const auto d = juce::jmin (w - c, 22);
    const auto e = w - c - d;
    const auto f = juce::jmin (e, h);

    handle.setBounds (6, 0, juce::jmax (0, c - 12), juce::jmax (0, h));
    if (removeButton != nullptr)
        removeButton->setBounds (w - d + 6, 6, juce::jmax (0, d - 12), juce::jmax (0, h - 12));
    dot.setBounds (c + 2, 2, juce::jmax (0, f - 4), juce::jmax (0, h - 4));
    nameLabel.setBounds (c + 2 + f, 0, juce::jmax (0, e - f - 4), juce::jmax (0, h));
}
