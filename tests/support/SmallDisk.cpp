#include "support/SmallDisk.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace test
{
namespace
{
/** Whether some mount has "/" as its mount point. In a chroot the root is a folder inside
    another mount, and the kernel changes the propagation only of a mount's own root. */
bool rootIsAMountPoint()
{
    std::ifstream mounts ("/proc/self/mountinfo");
    for (std::string line; std::getline (mounts, line);)
    {
        std::istringstream fields (line);
        std::string id, parent, device, root, mountPoint;
        if (fields >> id >> parent >> device >> root >> mountPoint && mountPoint == "/")
            return true;
    }
    return false;
}
}

SmallDisk::SmallDisk (const juce::File& target, int kilobytes) : folder (target)
{
    folder.createDirectory();
    const auto why = [] (const char* step, int code) { return juce::String (step) + ": " + juce::String (std::strerror (code)); };

    // Without private mounts the tmpfs would show up in the mount namespaces this one was
    // copied from, so the test goes without the disk then.
    if (unshare (CLONE_NEWNS) != 0)
    {
        const int code = errno;
        error = why ("unshare", code) + (code == EPERM ? " (mounting needs root)" : "");
    }
    else if (mount (nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    {
        const int code = errno;
        error = why ("private mounts", code);
        if (code == EINVAL && ! rootIsAMountPoint())
            error = "the root file system is not a mount point (a chroot?), so mounts cannot be made private: " + error;
    }
    else if (mount ("tmpfs", folder.getFullPathName().toRawUTF8(), "tmpfs", 0,
                    ("size=" + juce::String (kilobytes) + "k").toRawUTF8())
             != 0)
    {
        error = why ("mount", errno);
    }
    else
    {
        mounted = true;
    }
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
