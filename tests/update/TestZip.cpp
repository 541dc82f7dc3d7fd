#include "TestZip.h"

#include <zlib.h>

namespace test
{
namespace
{
void put16 (std::string& out, unsigned value)
{
    out += (char) (value & 0xff);
    out += (char) ((value >> 8) & 0xff);
}

void put32 (std::string& out, unsigned long value)
{
    put16 (out, (unsigned) (value & 0xffff));
    put16 (out, (unsigned) ((value >> 16) & 0xffff));
}

unsigned long modeBits (TestZip::Kind kind)
{
    switch (kind)
    {
        case TestZip::Kind::executable: return 0100755ul;
        case TestZip::Kind::symlink: return 0120777ul;
        case TestZip::Kind::folder: return 040755ul;
        case TestZip::Kind::file: break;
    }
    return 0100644ul;
}
}

TestZip& TestZip::add (const std::string& name, const std::string& data, Kind kind)
{
    entries.push_back ({ name, data, kind });
    return *this;
}

TestZip& TestZip::padTo (size_t totalSize)
{
    const std::string name = "padding.bin";
    const auto without = size() + 30 + name.size() + 46 + name.size();
    entries.push_back ({ name, std::string (totalSize > without ? totalSize - without : 0, 'p'), Kind::file });
    return *this;
}

size_t TestZip::size() const
{
    size_t total = 22;
    for (const auto& e : entries)
        total += 30 + 46 + 2 * e.name.size() + e.data.size();
    return total;
}

std::string TestZip::bytes() const
{
    std::string local, central;
    for (const auto& e : entries)
    {
        const auto crc = crc32 (0, reinterpret_cast<const Bytef*> (e.data.data()), (uInt) e.data.size());
        const auto offset = local.size();

        put32 (local, 0x04034b50);
        put16 (local, 10);
        put16 (local, 0);
        put16 (local, 0);                  // stored
        put16 (local, 0);
        put16 (local, 0x21);               // 1980-01-01
        put32 (local, crc);
        put32 (local, e.data.size());
        put32 (local, e.data.size());
        put16 (local, (unsigned) e.name.size());
        put16 (local, 0);
        local += e.name + e.data;

        put32 (central, 0x02014b50);
        put16 (central, (3u << 8) | 20u); // made on Unix: the mode bits count
        put16 (central, 10);
        put16 (central, 0);
        put16 (central, 0);
        put16 (central, 0);
        put16 (central, 0x21);
        put32 (central, crc);
        put32 (central, e.data.size());
        put32 (central, e.data.size());
        put16 (central, (unsigned) e.name.size());
        put16 (central, 0);
        put16 (central, 0);
        put16 (central, 0);
        put16 (central, 0);
        put32 (central, modeBits (e.kind) << 16);
        put32 (central, offset);
        central += e.name;
    }

    std::string end;
    put32 (end, 0x06054b50);
    put16 (end, 0);
    put16 (end, 0);
    put16 (end, (unsigned) entries.size());
    put16 (end, (unsigned) entries.size());
    put32 (end, central.size());
    put32 (end, local.size());
    put16 (end, 0);
    return local + central + end;
}
}
