#include "server/CategoryListener.h"

CategoryListener::CategoryListener (std::shared_ptr<Category> c) : category (std::move (c))
{
    category->addListener (this);
}

CategoryListener::~CategoryListener()
{
    category->removeListener (this);
}

void CategoryListener::categoryColorChanged()
{
    if (callback)
        callback();
}
