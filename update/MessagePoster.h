#pragma once

#include <juce_events/juce_events.h>
#include <functional>
#include <memory>

/** Posts calls to the message thread that are dropped once their owner is gone. The owner
    revokes the poster first thing in its destructor (on the message thread, where the calls
    also run), so a call that is still queued then never reaches it. post() may be called from
    any thread. */
class MessagePoster
{
public:
    MessagePoster() = default;
    ~MessagePoster() { revoke(); }

    void post (std::function<void()> call) const
    {
        juce::MessageManager::callAsync ([token = weakToken, call = std::move (call)]
                                         {
                                             if (! token.expired())
                                                 call();
                                         });
    }

    /** Message thread. Drops every call not yet delivered, and every later one. */
    void revoke() { token.reset(); }

private:
    std::shared_ptr<int> token = std::make_shared<int> (0);
    // Copied by posting threads; never written after construction, so they need no lock.
    const std::weak_ptr<int> weakToken = token;

    JUCE_DECLARE_NON_COPYABLE (MessagePoster)
};
