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
    std::vector<float> ring ((size_t) ringSize * (size_t) width);
    std::vector<float> sum ((size_t) width, 0.0f), sumIn ((size_t) width, 0.0f), sumOut ((size_t) width, 0.0f);

    auto source = [&] (int i) { return data + (size_t) std::min (i, count - 1) * (size_t) width; };
    auto slot = [&] (int i) { return ring.data() + (size_t) i * (size_t) width; };

    // The first r + 1 places hold the edge vector (the picture repeats it beyond the edge),
    // the next r places the vectors after it.
    for (int i = 0; i <= r; ++i)
    {
        const float* v = source (0);
        float* s = slot (i);
        const float weight = float (i + 1);
        for (int j = 0; j < width; ++j)
        {
            s[j] = v[j];
            sum[(size_t) j] += v[j] * weight;
            sumOut[(size_t) j] += v[j];
        }
    }
    for (int i = 1; i <= r; ++i)
    {
        const float* v = source (i);
        float* s = slot (i + r);
        const float weight = float (r + 1 - i);
        for (int j = 0; j < width; ++j)
        {
            s[j] = v[j];
            sum[(size_t) j] += v[j] * weight;
            sumIn[(size_t) j] += v[j];
        }
    }

    int stackPointer = r;
    for (int i = 0; i < count; ++i)
    {
        float* out = data + (size_t) i * (size_t) width;
        for (int j = 0; j < width; ++j)
            out[j] = std::trunc (sum[(size_t) j] / divisor);

        if (i == count - 1)
            break;

        // Only vectors after i are read from here on, so writing vector i in place is safe.
        float* leaving = slot ((stackPointer + r + 1) % ringSize);
        const float* incoming = source (i + r + 1);
        for (int j = 0; j < width; ++j)
        {
            sum[(size_t) j] -= sumOut[(size_t) j];
            sumOut[(size_t) j] -= leaving[j];
            leaving[j] = incoming[j];
            sumIn[(size_t) j] += incoming[j];
            sum[(size_t) j] += sumIn[(size_t) j];
        }

        stackPointer = (stackPointer + 1) % ringSize;
        const float* centre = slot (stackPointer);
        for (int j = 0; j < width; ++j)
        {
            sumOut[(size_t) j] += centre[j];
            sumIn[(size_t) j] -= centre[j];
        }
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

    // Rows first: lay the picture out column by column, so each vector is one column and the
    // blur across vectors runs along every row at once.
    std::vector<float> columns ((size_t) w * (size_t) h);
    for (int y = 0; y < h; ++y)
    {
        const auto* line = bitmap.getLinePointer (y);
        for (int x = 0; x < w; ++x)
            columns[(size_t) x * (size_t) h + (size_t) y] = line[(size_t) x * (size_t) bitmap.pixelStride];
    }
    blurAcrossVectors (columns.data(), w, h, r);

    // Then columns: back to rows as vectors.
    std::vector<float> rows ((size_t) w * (size_t) h);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            rows[(size_t) y * (size_t) w + (size_t) x] = columns[(size_t) x * (size_t) h + (size_t) y];
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
