// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/warping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace dictora {

namespace {

enum Step : uint8_t { Diagonal = 0, Down = 1, Right = 2 };

float distance(const float* a, const float* b)
{
    float sum = 0;
    for (int d = 0; d < kFeatureSize; ++d) {
        const float difference = a[d] - b[d];
        sum += difference * difference;
    }
    return std::sqrt(sum);
}

WarpWindow halveWindow(const WarpWindow& window, int rows, int columns)
{
    WarpWindow half;
    half.lo.assign(size_t(rows), std::numeric_limits<int>::max());
    half.hi.assign(size_t(rows), -1);
    for (int i = 0; i < window.rows(); ++i) {
        const size_t r = size_t(std::min(i / 2, rows - 1));
        half.lo[r] = std::min(half.lo[r], window.lo[size_t(i)] / 2);
        half.hi[r] = std::max(half.hi[r], window.hi[size_t(i)] / 2);
    }
    half.normalise(columns);
    return half;
}

WarpWindow intersect(const WarpWindow& a, const WarpWindow& b, int columns)
{
    WarpWindow both = a;
    for (int i = 0; i < both.rows(); ++i) {
        both.lo[size_t(i)] = std::max(a.lo[size_t(i)], b.lo[size_t(i)]);
        both.hi[size_t(i)] = std::min(a.hi[size_t(i)], b.hi[size_t(i)]);
    }
    both.normalise(columns);
    return both;
}

} // namespace

long long WarpWindow::cells() const
{
    long long total = 0;
    for (size_t i = 0; i < lo.size(); ++i)
        total += hi[i] - lo[i] + 1;
    return total;
}

void WarpWindow::normalise(int columns)
{
    const int n = rows();
    if (n == 0 || columns <= 0)
        return;
    for (int i = 0; i < n; ++i) {
        lo[size_t(i)] = std::clamp(lo[size_t(i)], 0, columns - 1);
        hi[size_t(i)] = std::clamp(hi[size_t(i)], 0, columns - 1);
    }
    lo[0] = 0;
    hi[size_t(n) - 1] = columns - 1;
    for (int i = 1; i < n; ++i)
        lo[size_t(i)] = std::max(lo[size_t(i)], lo[size_t(i) - 1]);
    for (int i = n - 2; i >= 0; --i)
        hi[size_t(i)] = std::min(hi[size_t(i)], hi[size_t(i) + 1]);
    for (int i = 0; i < n; ++i) {
        hi[size_t(i)] = std::max(hi[size_t(i)], lo[size_t(i)]);
        if (i > 0 && lo[size_t(i)] > hi[size_t(i) - 1] + 1)
            lo[size_t(i)] = hi[size_t(i) - 1] + 1;
    }
}

WarpWindow WarpWindow::full(int rows, int columns)
{
    WarpWindow window;
    window.lo.assign(size_t(rows), 0);
    window.hi.assign(size_t(rows), columns - 1);
    return window;
}

WarpWindow WarpWindow::band(int rows, int columns, int radius)
{
    WarpWindow window;
    for (int i = 0; i < rows; ++i) {
        const int centre = rows > 1 ? int((long long)i * (columns - 1) / (rows - 1)) : 0;
        window.lo.push_back(centre - radius);
        window.hi.push_back(centre + radius);
    }
    window.normalise(columns);
    return window;
}

WarpPath warpInWindow(const FeatureTrack& rows, const FeatureTrack& columns,
                      const WarpWindow& window, const WarpProgress& progress)
{
    const int n = rows.frameCount();
    const int m = columns.frameCount();
    WarpPath path;
    if (n == 0 || m == 0 || window.rows() != n)
        return path;
    constexpr float kFar = std::numeric_limits<float>::infinity();

    std::vector<size_t> rowStart(size_t(n) + 1, 0);
    for (int i = 0; i < n; ++i)
        rowStart[size_t(i) + 1] =
            rowStart[size_t(i)] + size_t(window.hi[size_t(i)] - window.lo[size_t(i)] + 1);
    std::vector<uint8_t> steps(rowStart[size_t(n)]);
    std::vector<float> previous, current;
    int previousLo = 0, previousHi = -1;
    const int reportEvery = std::max(1, n / 200);

    for (int i = 0; i < n; ++i) {
        const int lo = window.lo[size_t(i)], hi = window.hi[size_t(i)];
        current.assign(size_t(hi - lo + 1), kFar);
        uint8_t* rowSteps = steps.data() + rowStart[size_t(i)];
        const float* a = rows.frame(i);
        for (int j = lo; j <= hi; ++j) {
            const float d = distance(a, columns.frame(j));
            float best = kFar;
            uint8_t step = Right;
            if (i == 0 && j == 0) {
                best = 0;
                step = Diagonal;
            }
            if (i > 0 && j > 0 && j - 1 >= previousLo && j - 1 <= previousHi &&
                previous[size_t(j - 1 - previousLo)] < best) {
                best = previous[size_t(j - 1 - previousLo)];
                step = Diagonal;
            }
            if (i > 0 && j >= previousLo && j <= previousHi &&
                previous[size_t(j - previousLo)] < best) {
                best = previous[size_t(j - previousLo)];
                step = Down;
            }
            if (j > lo && current[size_t(j - 1 - lo)] < best) {
                best = current[size_t(j - 1 - lo)];
                step = Right;
            }
            current[size_t(j - lo)] = best + d;
            rowSteps[j - lo] = step;
        }
        std::swap(previous, current);
        previousLo = lo;
        previousHi = hi;
        if (progress && i % reportEvery == 0 && !progress(double(i) / n))
            return {};
    }

    path.first.assign(size_t(n), m);
    path.last.assign(size_t(n), -1);
    std::vector<double> costSum(size_t(n), 0.0);
    std::vector<int> costCount(size_t(n), 0);
    int i = n - 1, j = m - 1;
    while (true) {
        path.first[size_t(i)] = std::min(path.first[size_t(i)], j);
        path.last[size_t(i)] = std::max(path.last[size_t(i)], j);
        costSum[size_t(i)] += distance(rows.frame(i), columns.frame(j));
        ++costCount[size_t(i)];
        if (i == 0 && j == 0)
            break;
        const uint8_t step = steps[rowStart[size_t(i)] + size_t(j - window.lo[size_t(i)])];
        if (step == Diagonal) {
            --i;
            --j;
        } else if (step == Down) {
            --i;
        } else {
            --j;
        }
        if (i < 0 || j < 0)
            break; // cannot happen in a normalised window
    }
    path.cost.resize(size_t(n));
    for (int r = 0; r < n; ++r)
        path.cost[size_t(r)] =
            costCount[size_t(r)] ? float(costSum[size_t(r)] / costCount[size_t(r)]) : 0.0f;
    if (progress && !progress(1.0))
        return {};
    return path;
}

FeatureTrack halveTrack(const FeatureTrack& track)
{
    FeatureTrack half;
    const int frames = track.frameCount();
    const int count = (frames + 1) / 2;
    half.reserve(count);
    for (int k = 0; k < count; ++k) {
        const int a = 2 * k, b = std::min(2 * k + 1, frames - 1);
        for (int d = 0; d < kFeatureSize; ++d)
            half.values.push_back((track.frame(a)[d] + track.frame(b)[d]) * 0.5f);
        half.energyDb.push_back(std::max(track.energyDb[size_t(a)], track.energyDb[size_t(b)]));
    }
    return half;
}

WarpWindow projectPath(const WarpPath& coarse, int rows, int columns, int radius)
{
    WarpWindow window;
    window.lo.assign(size_t(rows), std::numeric_limits<int>::max());
    window.hi.assign(size_t(rows), -1);
    for (size_t c = 0; c < coarse.first.size(); ++c) {
        for (const int r : {int(2 * c), int(2 * c + 1)}) {
            if (r >= rows)
                continue;
            window.lo[size_t(r)] = std::min(window.lo[size_t(r)], 2 * coarse.first[c]);
            window.hi[size_t(r)] = std::max(window.hi[size_t(r)], 2 * coarse.last[c] + 1);
        }
    }
    // Rows past twice the coarse rows (an odd count) follow the last one.
    for (int r = 1; r < rows; ++r) {
        if (window.hi[size_t(r)] < 0) {
            window.lo[size_t(r)] = window.lo[size_t(r) - 1];
            window.hi[size_t(r)] = window.hi[size_t(r) - 1];
        }
    }
    // Widen by radius in both directions: a row may take the bounds of the
    // rows within radius of it, and radius more columns.
    WarpWindow wide = window;
    for (int r = 0; r < rows; ++r) {
        int lo = window.lo[size_t(r)], hi = window.hi[size_t(r)];
        for (int d = std::max(0, r - radius); d <= std::min(rows - 1, r + radius); ++d) {
            lo = std::min(lo, window.lo[size_t(d)]);
            hi = std::max(hi, window.hi[size_t(d)]);
        }
        wide.lo[size_t(r)] = lo - radius;
        wide.hi[size_t(r)] = hi + radius;
    }
    wide.normalise(columns);
    return wide;
}

WarpPath warpMultiScale(const FeatureTrack& rows, const FeatureTrack& columns,
                        const MultiScaleOptions& options, const WarpProgress& progress)
{
    const int n = rows.frameCount(), m = columns.frameCount();
    if (n == 0 || m == 0)
        return {};
    // Scales: 0 is the tracks themselves, each next one halves both.
    std::vector<FeatureTrack> rowScales, columnScales;
    std::vector<WarpWindow> limits;
    rowScales.push_back(rows);
    columnScales.push_back(columns);
    limits.push_back(options.limit ? *options.limit : WarpWindow::full(n, m));
    if (options.limit)
        limits.back().normalise(m);
    while (limits.back().cells() > options.coarsestCells && rowScales.back().frameCount() > 2 &&
           columnScales.back().frameCount() > 2) {
        rowScales.push_back(halveTrack(rowScales.back()));
        columnScales.push_back(halveTrack(columnScales.back()));
        limits.push_back(halveWindow(limits.back(), rowScales.back().frameCount(),
                                     columnScales.back().frameCount()));
    }
    const int scales = int(rowScales.size());

    // The work of each scale is about its cell count; progress is shared
    // out in that proportion, estimating finer scales from length x band.
    std::vector<double> work(static_cast<size_t>(scales));
    work[size_t(scales) - 1] = double(limits.back().cells());
    for (int s = scales - 2; s >= 0; --s)
        work[size_t(s)] = double(rowScales[size_t(s)].frameCount()) * (4.0 * options.radius + 6);
    double total = 0;
    for (const double w : work)
        total += w;
    double doneBefore = 0;

    WarpPath path;
    for (int s = scales - 1; s >= 0; --s) {
        const FeatureTrack& a = rowScales[size_t(s)];
        const FeatureTrack& b = columnScales[size_t(s)];
        WarpWindow window =
            s == scales - 1
                ? limits[size_t(s)]
                : intersect(projectPath(path, a.frameCount(), b.frameCount(), options.radius),
                            limits[size_t(s)], b.frameCount());
        const double share = work[size_t(s)] / total;
        const WarpProgress scaleProgress =
            progress
                ? WarpProgress([&](double done) { return progress(doneBefore + share * done); })
                : WarpProgress();
        path = warpInWindow(a, b, window, scaleProgress);
        if (path.first.empty())
            return {};
        doneBefore += share;
        // The coarser tracks are no longer needed.
        if (s > 0) {
            rowScales[size_t(s)] = {};
            columnScales[size_t(s)] = {};
        }
    }
    return path;
}

} // namespace dictora
