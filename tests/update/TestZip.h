#pragma once

#include <juce_core/juce_core.h>
#include <string>
#include <vector>

namespace test
{
/** Builds zip archives byte by byte (stored entries), including what ordinary tools refuse
    to make: symbolic links, names that climb out of the folder, exact total sizes. */
class TestZip
{
public:
    enum class Kind { file, executable, symlink, folder };

    TestZip& add (const std::string& name, const std::string& data, Kind kind = Kind::file);
    /** Adds a last file entry that pads the archive to exactly the given size. */
    TestZip& padTo (size_t totalSize);

    std::string bytes() const;
    size_t size() const;

private:
    struct Entry
    {
        std::string name, data;
        Kind kind;
    };
    std::vector<Entry> entries;
};
}
