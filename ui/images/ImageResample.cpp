#include "ui/images/ImageResample.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace SkinUI {

namespace {

struct Tap {
    int index;
    float weight;
};

// The source pixels and weights that make each of `target` pixels of an
// axis of `source` pixels.
std::vector<std::vector<Tap>> AxisTaps(int source, int target)
{
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(target));
    const double step = static_cast<double>(source) / target;
    for (int i = 0; i < target; ++i) {
        std::vector<Tap>& out = taps[static_cast<size_t>(i)];
        if (target >= source) {
            const double centre = std::clamp((i + 0.5) * step - 0.5, 0.0, static_cast<double>(source - 1));
            const int left = static_cast<int>(std::floor(centre));
            const double fraction = centre - left;
            out.push_back({left, static_cast<float>(1.0 - fraction)});
            if (fraction > 0.0 && left + 1 < source) out.push_back({left + 1, static_cast<float>(fraction)});
        } else {
            const double begin = i * step;
            const double end = (i + 1) * step;
            for (int s = static_cast<int>(std::floor(begin)); s < source && s < end; ++s) {
                const double covered = std::min<double>(s + 1, end) - std::max<double>(s, begin);
                if (covered > 0.0) out.push_back({s, static_cast<float>(covered / step)});
            }
        }
    }
    return taps;
}

}  // namespace

std::vector<uint32_t> ResamplePremultiplied(const std::vector<uint32_t>& source, int width, int height,
                                            int targetWidth, int targetHeight)
{
    if (width <= 0 || height <= 0 || targetWidth <= 0 || targetHeight <= 0) return {};
    if (source.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return {};
    const auto columns = AxisTaps(width, targetWidth);
    const auto rows = AxisTaps(height, targetHeight);

    // Rows first, into floats with four channels.
    std::vector<float> wide(static_cast<size_t>(targetWidth) * height * 4, 0.0f);
    for (int y = 0; y < height; ++y) {
        const uint32_t* line = source.data() + static_cast<size_t>(y) * width;
        float* out = wide.data() + static_cast<size_t>(y) * targetWidth * 4;
        for (int x = 0; x < targetWidth; ++x) {
            for (const Tap& tap : columns[static_cast<size_t>(x)]) {
                const uint32_t p = line[tap.index];
                for (int c = 0; c < 4; ++c) out[x * 4 + c] += tap.weight * static_cast<float>((p >> (8 * c)) & 0xFF);
            }
        }
    }

    std::vector<uint32_t> target(static_cast<size_t>(targetWidth) * targetHeight, 0);
    for (int y = 0; y < targetHeight; ++y) {
        for (int x = 0; x < targetWidth; ++x) {
            float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            for (const Tap& tap : rows[static_cast<size_t>(y)]) {
                const float* in = wide.data() + (static_cast<size_t>(tap.index) * targetWidth + x) * 4;
                for (int c = 0; c < 4; ++c) sum[c] += tap.weight * in[c];
            }
            uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c) {
                const long value = std::lround(sum[c]);
                pixel |= static_cast<uint32_t>(std::clamp<long>(value, 0, 255)) << (8 * c);
            }
            target[static_cast<size_t>(y) * targetWidth + x] = pixel;
        }
    }
    return target;
}

}  // namespace SkinUI
