#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

/** A time in milliseconds (or a count derived from one) as an integer of type Int, defined for
    every double: NaN and the infinities count as 0, a finite value is clamped to what Int holds
    and then truncated toward zero. Documents may hold any number ("nan", "1e308"), and a plain
    cast of a value the type cannot hold is undefined. */
template <typename Int = int32_t>
Int toWholeMillis (double ms) noexcept
{
    static_assert (std::numeric_limits<Int>::is_integer, "an integer type");
    using Limits = std::numeric_limits<Int>;
    if (! std::isfinite (ms))
        return 0;
    // The lowest value of a two's complement type is exact as a double; the highest may round
    // up to the next power of two, so anything at or above it is clamped before the cast.
    if (ms <= static_cast<double> (Limits::lowest()))
        return Limits::lowest();
    if (ms >= static_cast<double> (Limits::max()))
        return Limits::max();
    return static_cast<Int> (ms);
}
