#include "ui/kit/StackBlur.h"

#include <algorithm>
#include <vector>

namespace melatonin::internal
{
namespace
{
/** Blurs `count` vectors of `width` floats (stored one after the other) along the vector
    index: element j of vector i becomes the weighted sum of element j of vectors i-r..i+r.
    Every inner loop runs over a whole contiguous vector, so the compiler can vectorise it. */
void blurAcrossVectors (float* data, int count, int width, int r)
{
    const int ringSize = 2 * r + 1;
    const float divisor = float ((r + 1) * (r + 1));
    std::vector<float> ringStore ((size_t) ringSize * (size_t) width);
    std::vector<float> sums (3 * (size_t) width, 0.0f);
    float* __restrict sum = sums.data();
    float* __restrict sumIn = sum + width;
    float* __restrict sumOut = sumIn + width;

    auto source = [&] (int i) { return data + (size_t) std::min (i, count - 1) * (size_t) width; };
    auto slot = [&] (int i) { return ringStore.data() + (size_t) i * (size_t) width; };

    // The first r + 1 places hold the edge vector (the picture repeats it beyond the edge),
    // the next r places the vectors after it.
    for (int i = 0; i <= r; ++i)
    {
        const float* __restrict v = source (0);
        float* __restrict s = slot (i);
        const float weight = float (i + 1);
        for (int j = 0; j < width; ++j)
        {
            s[j] = v[j];
            sum[j] += v[j] * weight;
            sumOut[j] += v[j];
        }
    }
    for (int i = 1; i <= r; ++i)
    {
        const float* __restrict v = source (i);
        float* __restrict s = slot (i + r);
        const float weight = float (r + 1 - i);
        for (int j = 0; j < width; ++j)
        {
            s[j] = v[j];
            sum[j] += v[j] * weight;
            sumIn[j] += v[j];
        }
    }

    int stackPointer = r;
    for (int i = 0; i < count; ++i)
    {
        float* __restrict out = data + (size_t) i * (size_t) width;
        for (int j = 0; j < width; ++j)
            out[j] = std::trunc (sum[j] / divisor);

        if (i == count - 1)
            break;

        // Only vectors after i are read from here on, so writing vector i in place is safe.
        float* __restrict leaving = slot ((stackPointer + r + 1) % ringSize);
        const float* __restrict incoming = source (i + r + 1);
        stackPointer = (stackPointer + 1) % ringSize;
        const float* __restrict centre = slot (stackPointer);
        for (int j = 0; j < width; ++j)
        {
            const float in = sumIn[j] + incoming[j];
            sum[j] += in - sumOut[j];
            sumOut[j] += centre[j] - leaving[j];
            sumIn[j] = in - centre[j];
            leaving[j] = incoming[j];
        }
    }
}

/** Copies a rows × cols block of floats into cols × rows, tile by tile so both sides stay in
    the cache. */
void transpose (const float* source, float* target, int rows, int cols)
{
    constexpr int tile = 32;
    for (int r0 = 0; r0 < rows; r0 += tile)
        for (int c0 = 0; c0 < cols; c0 += tile)
        {
            const int r1 = std::min (r0 + tile, rows), c1 = std::min (c0 + tile, cols);
            for (int r = r0; r < r1; ++r)
                for (int c = c0; c < c1; ++c)
                    target[(size_t) c * (size_t) rows + (size_t) r] = source[(size_t) r * (size_t) cols + (size_t) c];
        }
}
}

void stackBlur (juce::Image& image, int radius)
{
    if (! image.isValid())
        return;

    jassert (image.getFormat() == juce::Image::SingleChannel);
    const int r = juce::jlimit (1, 254, radius);
    const int w = image.getWidth(), h = image.getHeight();

    juce::Image::BitmapData bitmap (image, juce::Image::BitmapData::readWrite);

    std::vector<float> rows ((size_t) w * (size_t) h), columns ((size_t) w * (size_t) h);
    for (int y = 0; y < h; ++y)
    {
        const auto* line = bitmap.getLinePointer (y);
        float* target = rows.data() + (size_t) y * (size_t) w;
        for (int x = 0; x < w; ++x)
            target[x] = line[(size_t) x * (size_t) bitmap.pixelStride];
    }

    // Rows first: laid out column by column, each vector is one column, so the blur across
    // vectors runs along every row at once. Then the columns, with rows as vectors.
    transpose (rows.data(), columns.data(), h, w);
    blurAcrossVectors (columns.data(), w, h, r);
    transpose (columns.data(), rows.data(), w, h);
    blurAcrossVectors (rows.data(), h, w, r);

    for (int y = 0; y < h; ++y)
    {
        auto* line = bitmap.getLinePointer (y);
        const float* source = rows.data() + (size_t) y * (size_t) w;
        for (int x = 0; x < w; ++x)
            line[(size_t) x * (size_t) bitmap.pixelStride] = (juce::uint8) source[x];
    }
}
}
