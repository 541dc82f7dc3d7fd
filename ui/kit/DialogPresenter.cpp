#include "ui/kit/DialogPresenter.h"

namespace
{
DialogPresenter* instance = nullptr;
}

DialogPresenter::~DialogPresenter() { dismiss(); }

DialogPresenter* DialogPresenter::getInstance()
{
    if (instance == nullptr)
        instance = new DialogPresenter();
    return instance;
}

void DialogPresenter::setInstance (DialogPresenter* presenter)
{
    auto* old = instance;
    instance = presenter;
    if (old != presenter)
        delete old;
}

void DialogPresenter::show (const juce::String& title, const juce::String& message, const juce::StringArray&,
                            juce::ModalComponentManager::Callback* callback)
{
    std::unique_ptr<juce::ModalComponentManager::Callback> cb (callback);
    if (shownMessage.isNotEmpty() && shownMessage == message)
        return;
    dismiss();
    shownTitle = title;
    shownMessage = message;
    pendingCallback = std::move (cb);
}

void DialogPresenter::showAsync (const juce::String& title, const juce::String& message, const juce::StringArray& buttons,
                                 juce::ModalComponentManager::Callback* callback)
{
    juce::MessageManager::callAsync ([=]
                                     {
                                         if (instance != nullptr)
                                             instance->show (title, message, buttons, callback);
                                         else
                                             delete callback;
                                     });
}

void DialogPresenter::dismiss()
{
    if (pendingCallback != nullptr)
        pendingCallback->modalStateFinished (-1);
    pendingCallback.reset();
    shownMessage = {};
    shownTitle = {};
}
