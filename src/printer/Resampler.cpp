#include "printer/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace quorvel {

namespace {

float sinc(float x) {
    if (x == 0.0f) return 1.0f;
    const float px = x * std::numbers::pi_v<float>;
    return std::sin(px) / px;
}

// Rounds to nearest with halves to even, as the weights are defined.
int roundWeight(float value) {
    return static_cast<int>(std::nearbyint(value));
}

// Mirrors a position outside the source back into it. A filter wider than the source
// would still land outside after one reflection; those positions take the nearest edge.
int mirrored(int k, int size) {
    if (k < 0) k = -k;
    if (k >= size) k = 2 * size - k - 1;
    return std::clamp(k, 0, size - 1);
}

// Target size minus one over source size minus one; a one-pixel source or target has no
// such span, so it scales by the plain ratio (a one-pixel target would otherwise divide
// zero by zero).
float scaleFor(int targetSize, int sourceSize) {
    if (sourceSize == 1) return static_cast<float>(targetSize) / static_cast<float>(sourceSize);
    if (targetSize == 1) return 1.0f;
    return static_cast<float>(targetSize - 1) / static_cast<float>(sourceSize - 1);
}

uint8_t clampChannel(int64_t value) {
    return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
}

}  // namespace

float filterValue(int filter, float x) {
    const float a = std::fabs(x);
    switch (filter) {
        case filterBox: return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f;
        case filterTriangle: return a < 1.0f ? 1.0f - a : 0.0f;
        case filterHermite: return a < 1.0f ? (2.0f * a - 3.0f) * x * x + 1.0f : 0.0f;
        case filterBell:
            if (a < 0.5f) return 0.75f - x * x;
            if (a < 1.5f) return 0.5f * (a - 1.5f) * (a - 1.5f);
            return 0.0f;
        case filterBSpline:
            if (a < 1.0f) return a * a * a / 2.0f - x * x + 2.0f / 3.0f;
            if (a < 2.0f) return (2.0f - a) * (2.0f - a) * (2.0f - a) / 6.0f;
            return 0.0f;
        case filterLanczos3: return a < 3.0f ? sinc(x) * sinc(x / 3.0f) : 0.0f;
        case filterMitchell:
            if (a < 1.0f) return (7.0f * a * a * a - 12.0f * x * x + 16.0f / 3.0f) / 6.0f;
            if (a < 2.0f) {
                return (-7.0f / 3.0f * a * a * a + 12.0f * x * x - 20.0f * a + 32.0f / 3.0f) / 6.0f;
            }
            return 0.0f;
        default: return 0.0f;
    }
}

float defaultSupport(int filter) {
    static constexpr float supports[resampleFilterCount] = {0.5f, 1.0f, 1.0f, 1.5f,
                                                            2.0f, 3.0f, 2.0f};
    return filter >= 0 && filter < resampleFilterCount ? supports[filter] : 0.0f;
}

std::vector<std::vector<Contribution>> buildContributions(int targetSize, int sourceSize,
                                                          float scale, int filter, float support) {
    std::vector<std::vector<Contribution>> lists(static_cast<size_t>(std::max(targetSize, 0)));
    if (sourceSize <= 0) return lists;
    for (int i = 0; i < targetSize; ++i) {
        const float centre = static_cast<float>(i) / scale;
        const bool shrinking = scale < 1.0f;
        const float width = shrinking ? support / scale : support;
        const int first = static_cast<int>(std::floor(centre - width));
        const int last = static_cast<int>(std::ceil(centre + width));
        auto& list = lists[static_cast<size_t>(i)];
        for (int k = first; k <= last; ++k) {
            const float distance = centre - static_cast<float>(k);
            const int weight =
                shrinking ? roundWeight(filterValue(filter, distance * scale) * scale * 256.0f)
                          : roundWeight(filterValue(filter, distance) * 256.0f);
            if (weight == 0) continue;
            list.push_back({mirrored(k, sourceSize), weight});
        }
    }
    return lists;
}

bool resampleBitmap(int newWidth, int newHeight, int filter, float support, const Bitmap& source,
                    Bitmap& destination) {
    if (filter < 0 || filter >= resampleFilterCount) return false;
    if (source.empty()) return true;
    destination.resize(newWidth, newHeight);
    if (destination.empty()) return true;
    if (support <= 0.0f) support = defaultSupport(filter);

    const int sourceWidth = source.width();
    const int sourceHeight = source.height();
    const int width = destination.width();
    const int height = destination.height();

    // Horizontal pass into a work picture of the new width and the old height.
    const auto columns =
        buildContributions(width, sourceWidth, scaleFor(width, sourceWidth), filter, support);
    Bitmap work(width, sourceHeight);
    for (int y = 0; y < sourceHeight; ++y) {
        const uint8_t* from = source.row(y);
        uint8_t* to = work.row(y);
        for (int i = 0; i < width; ++i) {
            int64_t red = 0, green = 0, blue = 0, sum = 0;
            for (const Contribution& c : columns[static_cast<size_t>(i)]) {
                const uint8_t* p = from + c.pixel * 3;
                red += int64_t{c.weight} * p[0];
                green += int64_t{c.weight} * p[1];
                blue += int64_t{c.weight} * p[2];
                sum += c.weight;
            }
            if (sum == 0) sum = 256;
            to[i * 3] = clampChannel(red / sum);
            to[i * 3 + 1] = clampChannel(green / sum);
            to[i * 3 + 2] = clampChannel(blue / sum);
        }
    }

    // Vertical pass from the work picture into the destination.
    const auto rows =
        buildContributions(height, sourceHeight, scaleFor(height, sourceHeight), filter, support);
    std::vector<int64_t> red(static_cast<size_t>(width)), green(red.size()), blue(red.size());
    for (int j = 0; j < height; ++j) {
        std::fill(red.begin(), red.end(), 0);
        std::fill(green.begin(), green.end(), 0);
        std::fill(blue.begin(), blue.end(), 0);
        int64_t sum = 0;
        for (const Contribution& c : rows[static_cast<size_t>(j)]) {
            const uint8_t* p = work.row(c.pixel);
            for (int i = 0; i < width; ++i) {
                red[static_cast<size_t>(i)] += int64_t{c.weight} * p[i * 3];
                green[static_cast<size_t>(i)] += int64_t{c.weight} * p[i * 3 + 1];
                blue[static_cast<size_t>(i)] += int64_t{c.weight} * p[i * 3 + 2];
            }
            sum += c.weight;
        }
        if (sum == 0) sum = 256;
        uint8_t* to = destination.row(j);
        for (int i = 0; i < width; ++i) {
            to[i * 3] = clampChannel(red[static_cast<size_t>(i)] / sum);
            to[i * 3 + 1] = clampChannel(green[static_cast<size_t>(i)] / sum);
            to[i * 3 + 2] = clampChannel(blue[static_cast<size_t>(i)] / sum);
        }
    }
    return true;
}

}  // namespace quorvel
