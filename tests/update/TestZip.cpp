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

/** Raw deflate data for the given number of zero bytes. Every megabyte is compressed once
    and ends in a full flush, after which the next block refers to nothing before it, so
    the same bytes can simply be repeated. */
std::string deflatedZeros (unsigned long long count)
{
    constexpr size_t unit = 1 << 20;
    const std::string zeros (unit, '\0');
    z_stream z {};
    deflateInit2 (&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    auto compress = [&z] (const std::string& in, size_t length, int flush)
    {
        std::string out;
        z.next_in = reinterpret_cast<Bytef*> (const_cast<char*> (in.data()));
        z.avail_in = (uInt) length;
        char chunk[16384];
        do
        {
            z.next_out = reinterpret_cast<Bytef*> (chunk);
            z.avail_out = sizeof (chunk);
            deflate (&z, flush);
            out.append (chunk, sizeof (chunk) - z.avail_out);
        } while (z.avail_out == 0);
        return out;
    };
    const auto block = compress (zeros, unit, Z_FULL_FLUSH);
    std::string out;
    for (unsigned long long i = 0; i < count / unit; ++i)
        out += block;
    out += compress (zeros, (size_t) (count % unit), Z_FINISH);
    deflateEnd (&z);
    return out;
}

unsigned long zerosCrc (unsigned long long count)
{
    constexpr size_t unit = 1 << 20;
    const std::string zeros (unit, '\0');
    const auto block = crc32 (0, reinterpret_cast<const Bytef*> (zeros.data()), (uInt) unit);
    auto crc = crc32 (0, nullptr, 0);
    for (unsigned long long i = 0; i < count / unit; ++i)
        crc = crc32_combine (crc, block, (z_off_t) unit);
    return crc32 (crc, reinterpret_cast<const Bytef*> (zeros.data()), (uInt) (count % unit));
}
}

TestZip& TestZip::add (const std::string& name, const std::string& data, Kind kind)
{
    const auto crc = crc32 (0, reinterpret_cast<const Bytef*> (data.data()), (uInt) data.size());
    entries.push_back ({ name, data, kind, false, crc, (unsigned long) data.size() });
    return *this;
}

TestZip& TestZip::addZeros (const std::string& name, unsigned long long unpacked, long long claimed)
{
    entries.push_back ({ name, deflatedZeros (unpacked), Kind::file, true, zerosCrc (unpacked),
                         (unsigned long) (claimed >= 0 ? (unsigned long long) claimed : unpacked) });
    return *this;
}

TestZip& TestZip::padTo (size_t totalSize)
{
    const std::string name = "padding.bin";
    const auto without = size() + 30 + name.size() + 46 + name.size();
    return add (name, std::string (totalSize > without ? totalSize - without : 0, 'p'));
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
        const auto offset = local.size();
        const unsigned method = e.deflated ? 8 : 0;

        put32 (local, 0x04034b50);
        put16 (local, e.deflated ? 20 : 10);
        put16 (local, 0);
        put16 (local, method);
        put16 (local, 0);
        put16 (local, 0x21);               // 1980-01-01
        put32 (local, e.crc);
        put32 (local, e.data.size());
        put32 (local, e.size);
        put16 (local, (unsigned) e.name.size());
        put16 (local, 0);
        local += e.name + e.data;

        put32 (central, 0x02014b50);
        put16 (central, (3u << 8) | 20u); // made on Unix: the mode bits count
        put16 (central, e.deflated ? 20 : 10);
        put16 (central, 0);
        put16 (central, method);
        put16 (central, 0);
        put16 (central, 0x21);
        put32 (central, e.crc);
        put32 (central, e.data.size());
        put32 (central, e.size);
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
