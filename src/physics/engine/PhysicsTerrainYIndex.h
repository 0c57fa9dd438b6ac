#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// The y range of terrain a box from minimumY to maximumY can touch: a triangle whose y range misses
// the box by more than this gap (plus a share of the coordinates' size) lies beyond the shape
// tests' own safety gap, so they could not touch it.
inline void TerrainReachY(float minimumY, float maximumY, float& lowY, float& highY)
{
    constexpr float kGap = 0.05f;
    constexpr float kRelativeGap = 1.0e-3f;
    const float gap = kGap + kRelativeGap * std::fmax(std::fabs(minimumY), std::fabs(maximumY));
    lowY = minimumY - gap;
    highY = maximumY + gap;
}

// Where one of a leaf's triangles lies along y, where it stands in the leaf's list and which
// triangle it is.
struct PhysicsTerrainSpan {
    float minimumY = 0.0f;
    float maximumY = 0.0f;
    int32_t position = 0;
    int32_t triangle = 0;
};

// A leaf's triangles ordered by their lowest y, with the first span of each band of y, so that a
// query finds where to start without a search. The leaf's allocator owns both arrays.
struct PhysicsTerrainYIndex {
    PhysicsTerrainSpan* spans = nullptr;  // count entries, by minimumY, then by position
    int32_t* bandStarts = nullptr;        // bandCount entries: the first span of each band or a later band
    int32_t count = 0;
    int32_t bandCount = 0;
    float originY = 0.0f;      // the lowest minimumY
    float bandsPerUnit = 0.0f;
    float widestSpanY = 0.0f;  // the largest y extent of a span

    // Fills the bands of the sorted spans; bandStarts holds room for bandCount entries.
    void FillBands();

    // The band of y (monotonic in y; out-of-range and NaN y fall in the end bands).
    int32_t BandOf(float y) const
    {
        const float band = (y - originY) * bandsPerUnit;
        if (!(band > 0.0f)) return 0;
        if (band >= static_cast<float>(bandCount - 1)) return bandCount - 1;
        return static_cast<int32_t>(band);
    }

    // The first span that can reach y or above: every span before it ends below y. A span
    // reaching y starts at most the widest span below it. The spans before the band of that start
    // all start below it, those after the band above it: only the band is searched.
    const PhysicsTerrainSpan* FirstReaching(float y) const
    {
        const float from = y - widestSpanY;
        const int32_t band = BandOf(from);
        const PhysicsTerrainSpan* const first = spans + bandStarts[band];
        const PhysicsTerrainSpan* const last = band + 1 < bandCount ? spans + bandStarts[band + 1] : End();
        return std::lower_bound(first, last, from,
                                [](const PhysicsTerrainSpan& span, float value) { return span.minimumY < value; });
    }
    const PhysicsTerrainSpan* End() const { return spans + count; }

    // The spans that meet lowY to highY, in the leaf's own order (the order the whole walk takes
    // them in), into meeting (cleared first; it allocates only when it must grow).
    void SpansMeeting(float lowY, float highY, std::vector<const PhysicsTerrainSpan*>& meeting) const
    {
        meeting.clear();
        for (const PhysicsTerrainSpan* span = FirstReaching(lowY); span != End() && span->minimumY <= highY; ++span)
            if (span->maximumY >= lowY) meeting.push_back(span);
        std::sort(meeting.begin(), meeting.end(),
                  [](const PhysicsTerrainSpan* a, const PhysicsTerrainSpan* b) { return a->position < b->position; });
    }

    // Asks the memory for what FirstReaching(y) reads: its band's start, then, once that is at
    // hand, its first span. Nothing without spans.
    void PrefetchBand(float y) const
    {
        if (bandStarts) __builtin_prefetch(&bandStarts[BandOf(y - widestSpanY)]);
    }
    void PrefetchFirstReaching(float y) const
    {
        if (bandStarts) __builtin_prefetch(spans + bandStarts[BandOf(y - widestSpanY)]);
    }
};
