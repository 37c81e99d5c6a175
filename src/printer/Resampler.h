#pragma once

#include <vector>

#include "platform/Bitmap.h"

namespace quorvel {

// The filters of the resampler, by the number callers pass.
enum ResampleFilter : int {
    filterBox = 0,
    filterTriangle = 1,
    filterHermite = 2,
    filterBell = 3,
    filterBSpline = 4,
    filterLanczos3 = 5,
    filterMitchell = 6,
};
constexpr int resampleFilterCount = 7;

// The filter's value at distance x (0 outside its support), and its default support.
// Unknown filters give 0.
float filterValue(int filter, float x);
float defaultSupport(int filter);

// One source pixel's share in a target pixel: weights are the filter value times 256.
struct Contribution {
    int pixel = 0;
    int weight = 0;
};

// The contribution list of every target pixel along one axis, for a source of
// `sourceSize` pixels and the given scale (target per source pixel).
std::vector<std::vector<Contribution>> buildContributions(int targetSize, int sourceSize,
                                                          float scale, int filter, float support);

// Resizes `source` into `destination`, which takes the new size, with a separable filter
// (a horizontal pass, then a vertical one). A support of 0 means the filter's default.
// An empty source leaves the destination untouched. False, with nothing changed, for an
// unknown filter.
bool resampleBitmap(int newWidth, int newHeight, int filter, float support, const Bitmap& source,
                    Bitmap& destination);

}  // namespace quorvel
