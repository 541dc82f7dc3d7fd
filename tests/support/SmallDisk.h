#pragma once

#include <juce_core/juce_core.h>

namespace test
{
/** A small tmpfs mounted over a folder, in a mount namespace of the calling thread's own so
    that nothing outside the test sees it. Tests run as root, where file permissions never
    make a write fail; a full disk does. The mount needs the right to mount (root or
    CAP_SYS_ADMIN) and a root file system that is a mount point (not a chroot): check
    isMounted and skip with getError otherwise. Message thread (the test's thread)
    only: other threads stay outside the namespace. */
class SmallDisk
{
public:
    SmallDisk (const juce::File& folder, int kilobytes);
    ~SmallDisk();

    bool isMounted() const { return mounted; }
    juce::String getError() const { return error; }

    /** Writes a filler file until the disk takes no more. */
    void fill();
    /** Deletes the filler file. */
    void free();

private:
    juce::File folder;
    bool mounted = false;
    juce::String error;

    JUCE_DECLARE_NON_COPYABLE (SmallDisk)
};
}
