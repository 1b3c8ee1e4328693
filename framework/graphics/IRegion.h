#pragma once

#include <algorithm>
#include <cstdint>

// An integer rectangle in editor pixels, origin at the editor's top-left
// corner, y growing downwards; right and bottom are exclusive.
struct IRegion
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr IRegion() = default;
    constexpr IRegion(int32_t l, int32_t t, int32_t r, int32_t b)
        : left(l), top(t), right(r), bottom(b)
    {
    }

    constexpr int32_t Width() const { return right - left; }
    constexpr int32_t Height() const { return bottom - top; }

    // Only the all-zero rectangle is empty. A degenerate rectangle such as
    // (5, 5, 5, 9) is not: the redraw and clipping rules are built on this
    // test, and the hit test of a control with a zero rectangle relies on it.
    constexpr bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

    constexpr bool Contains(int32_t x, int32_t y) const
    {
        return !IsEmpty() && left <= x && x < right && top <= y && y < bottom;
    }

    // One-sided on purpose: this region's right and bottom edges compare with
    // >=, its left and top edges with <. A region whose right edge touches the
    // other's left edge overlaps it, but not the reverse. Repaints take the
    // dirty region on the left-hand side, so a control that touches it from
    // the right or below is not repainted, while the clipping of a bitmap
    // draw (taken on the draw's rectangle) yields a zero-width blit.
    constexpr bool Overlaps(const IRegion& other) const
    {
        return !IsEmpty() && !other.IsEmpty() && right >= other.left && left < other.right &&
               bottom >= other.top && top < other.bottom;
    }

    // Taken on this region: a touching pair gives a zero-width or zero-height
    // rectangle that is not IsEmpty.
    constexpr IRegion Intersect(const IRegion& other) const
    {
        if (!Overlaps(other))
        {
            return {};
        }
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }

    constexpr IRegion Union(const IRegion& other) const
    {
        if (IsEmpty())
        {
            return other;
        }
        if (other.IsEmpty())
        {
            return *this;
        }
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }

    constexpr bool operator==(const IRegion& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    constexpr bool operator!=(const IRegion& o) const { return !(*this == o); }
};
static_assert(sizeof(IRegion) == 16, "IRegion is four int32 fields");
