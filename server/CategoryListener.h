#pragma once

#include "model/Category.h"
#include <functional>
#include <memory>

/** Forwards the colour changes of one category to a web-client server, and keeps that
    category alive while it exists. */
class CategoryListener : private Category::Listener
{
public:
    explicit CategoryListener (std::shared_ptr<Category> category);
    ~CategoryListener() override;

    std::function<void()> callback;
    const std::shared_ptr<Category>& getCategory() const { return category; }

private:
    std::shared_ptr<Category> category;

    void categoryColorChanged() override;

    JUCE_DECLARE_NON_COPYABLE (CategoryListener)
};
