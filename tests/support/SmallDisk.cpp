#include "support/SmallDisk.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace test
{
SmallDisk::SmallDisk (const juce::File& target, int kilobytes) : folder (target)
{
    folder.createDirectory();
    const auto why = [] (const char* step) { return juce::String (step) + ": " + juce::String (std::strerror (errno)); };

    if (unshare (CLONE_NEWNS) != 0)
        error = why ("unshare");
    else if (mount (nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        error = why ("private mounts");
    else if (mount ("tmpfs", folder.getFullPathName().toRawUTF8(), "tmpfs", 0,
                    ("size=" + juce::String (kilobytes) + "k").toRawUTF8())
             != 0)
        error = why ("mount");
    else
        mounted = true;
}

SmallDisk::~SmallDisk()
{
    if (mounted)
        umount2 (folder.getFullPathName().toRawUTF8(), MNT_DETACH);
}

void SmallDisk::fill()
{
    const auto path = folder.getChildFile ("filler").getFullPathName();
    const int fd = open (path.toRawUTF8(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return;
    char chunk[4096];
    std::memset (chunk, 'f', sizeof (chunk));
    while (write (fd, chunk, sizeof (chunk)) > 0) {}
    // The last pages may take a byte at a time.
    while (write (fd, chunk, 1) > 0) {}
    close (fd);
}

void SmallDisk::free()
{
    folder.getChildFile ("filler").deleteFile();
}
}
