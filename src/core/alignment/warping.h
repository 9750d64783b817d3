// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/alignment/speech_features.h"

#include <functional>
#include <vector>

namespace dictora {

// The cells a warping path may visit: for each row (a frame of the synthetic
// speech) the first and last column (a frame of the recording), inclusive.
struct WarpWindow {
    std::vector<int> lo;
    std::vector<int> hi;

    int rows() const { return int(lo.size()); }
    long long cells() const;
    // Makes the window one that a path from (0, 0) to (rows-1, columns-1)
    // can cross with steps right, down and diagonal: bounds inside the
    // columns, both bounds never falling, every row reachable from the row
    // before it, the corners included.
    void normalise(int columns);
    // Every column of every row.
    static WarpWindow full(int rows, int columns);
    // Band of half-width `radius` around the line from corner to corner.
    static WarpWindow band(int rows, int columns, int radius);
};

// Where each row of the path starts and ends: the recording frames matched
// to each synthetic frame (first <= last, both falling never).
struct WarpPath {
    std::vector<int> first;
    std::vector<int> last;
    std::vector<float> cost; // mean distance of the cells on each row
};

// Reports the share of the work done (0..1); false stops the work.
using WarpProgress = std::function<bool(double done)>;

// Dynamic time warping of rows against columns inside the window, steps
// right, down and diagonal, each cell costing the Euclidean distance of the
// two frames. Memory is one byte per window cell. An empty path when
// stopped.
WarpPath warpInWindow(const FeatureTrack& rows, const FeatureTrack& columns,
                      const WarpWindow& window, const WarpProgress& progress = {});

struct MultiScaleOptions {
    // Cells allowed at the coarsest scale, where the whole allowed area is
    // searched; the tracks are halved until it fits.
    long long coarsestCells = 24'000'000;
    // How far, in frames of each finer scale, the path may leave the path
    // found one scale coarser.
    int radius = 12;
    // Optional: the area the path must keep to at full scale (same rows and
    // columns as the tracks), e.g. a search window around stated times.
    const WarpWindow* limit = nullptr;
};

// Warping of long tracks in steps: both tracks are halved (neighbouring
// frames averaged) until the coarsest fits, warped there in full (or in the
// limit), and each finer scale searches only a band around the coarser path.
// Time and memory grow with the length times the radius, not with the
// square of the length.
WarpPath warpMultiScale(const FeatureTrack& rows, const FeatureTrack& columns,
                        const MultiScaleOptions& options, const WarpProgress& progress = {});

// Halves a track: frame k is the mean of frames 2k and 2k+1 (the last alone
// when the count is odd).
FeatureTrack halveTrack(const FeatureTrack& track);

// The window at twice the scale around a coarse path, widened by radius
// cells each way, for `rows` by `columns` fine frames.
WarpWindow projectPath(const WarpPath& coarse, int rows, int columns, int radius);

} // namespace dictora
