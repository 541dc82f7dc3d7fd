#pragma once

#include <juce_core/juce_core.h>
#include <string>
#include <vector>

namespace test
{
/** Builds zip archives byte by byte, including what ordinary tools refuse to make: symbolic
    links, names that climb out of the folder, exact total sizes, entries that lie about the
    size they unpack to. */
class TestZip
{
public:
    enum class Kind { file, executable, symlink, folder };

    TestZip& add (const std::string& name, const std::string& data, Kind kind = Kind::file);
    /** Adds a deflated file entry of zero bytes that unpacks to the given size but declares
        the claimed one (its true size when negative). A gigabyte costs about a megabyte. */
    TestZip& addZeros (const std::string& name, unsigned long long unpacked, long long claimed = -1);
    /** Adds a last file entry that pads the archive to exactly the given size. */
    TestZip& padTo (size_t totalSize);

    std::string bytes() const;
    size_t size() const;

private:
    struct Entry
    {
        std::string name, data; // data as stored in the archive
        Kind kind;
        bool deflated = false;
        unsigned long crc = 0, size = 0; // of the unpacked data, as declared
    };
    std::vector<Entry> entries;
};
}
