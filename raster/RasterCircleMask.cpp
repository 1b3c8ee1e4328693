#include "RasterCircleMask.h"

namespace
{
// Rings one pixel wide centred on the middle of each mask. The graded ones
// hold the share of a 4 x 4 grid of sample points inside the ring; the solid
// ones are full wherever the pixel centre is within half a pixel of the
// radius. The solid ring of radius 2 sits in a 6 x 6 mask whose last row and
// column stay empty.
// clang-format off
constexpr uint8_t kSoftRing2[25] = {
    48, 191, 255, 191, 48,
    191, 128, 0, 128, 191,
    255, 0, 0, 0, 255,
    191, 128, 0, 128, 191,
    48, 191, 255, 191, 48,
};
constexpr uint8_t kSolidRing2[36] = {
    0, 255, 255, 255, 0, 0,
    255, 0, 0, 0, 255, 0,
    255, 0, 0, 0, 255, 0,
    255, 0, 0, 0, 255, 0,
    0, 255, 255, 255, 0, 0,
    0, 0, 0, 0, 0, 0,
};
constexpr uint8_t kSoftRing2_5[36] = {
    0, 143, 239, 239, 143, 0,
    143, 159, 16, 16, 159, 143,
    239, 16, 0, 0, 16, 239,
    239, 16, 0, 0, 16, 239,
    143, 159, 16, 16, 159, 143,
    0, 143, 239, 239, 143, 0,
};
constexpr uint8_t kSolidRing2_5[36] = {
    0, 255, 255, 255, 255, 0,
    255, 255, 0, 0, 255, 255,
    255, 0, 0, 0, 0, 255,
    255, 0, 0, 0, 0, 255,
    255, 255, 0, 0, 255, 255,
    0, 255, 255, 255, 255, 0,
};
constexpr uint8_t kSoftRing3[49] = {
    0, 80, 223, 255, 223, 80, 0,
    80, 207, 64, 0, 64, 207, 80,
    223, 64, 0, 0, 0, 64, 223,
    255, 0, 0, 0, 0, 0, 255,
    223, 64, 0, 0, 0, 64, 223,
    80, 207, 64, 0, 64, 207, 80,
    0, 80, 223, 255, 223, 80, 0,
};
constexpr uint8_t kSolidRing3[49] = {
    0, 0, 255, 255, 255, 0, 0,
    0, 255, 0, 0, 0, 255, 0,
    255, 0, 0, 0, 0, 0, 255,
    255, 0, 0, 0, 0, 0, 255,
    255, 0, 0, 0, 0, 0, 255,
    0, 255, 0, 0, 0, 255, 0,
    0, 0, 255, 255, 255, 0, 0,
};
constexpr uint8_t kSoftRing3_5[64] = {
    0, 48, 175, 255, 255, 175, 48, 0,
    48, 239, 112, 16, 16, 112, 239, 48,
    175, 112, 0, 0, 0, 0, 112, 175,
    255, 16, 0, 0, 0, 0, 16, 255,
    255, 16, 0, 0, 0, 0, 16, 255,
    175, 112, 0, 0, 0, 0, 112, 175,
    48, 239, 112, 16, 16, 112, 239, 48,
    0, 48, 175, 255, 255, 175, 48, 0,
};
constexpr uint8_t kSolidRing3_5[64] = {
    0, 0, 255, 255, 255, 255, 0, 0,
    0, 255, 0, 0, 0, 0, 255, 0,
    255, 0, 0, 0, 0, 0, 0, 255,
    255, 0, 0, 0, 0, 0, 0, 255,
    255, 0, 0, 0, 0, 0, 0, 255,
    255, 0, 0, 0, 0, 0, 0, 255,
    0, 255, 0, 0, 0, 0, 255, 0,
    0, 0, 255, 255, 255, 255, 0, 0,
};
constexpr uint8_t kSoftRing4[81] = {
    0, 16, 128, 223, 255, 223, 128, 16, 0,
    16, 207, 175, 32, 0, 32, 175, 207, 16,
    128, 175, 0, 0, 0, 0, 0, 175, 128,
    223, 32, 0, 0, 0, 0, 0, 32, 223,
    255, 0, 0, 0, 0, 0, 0, 0, 255,
    223, 32, 0, 0, 0, 0, 0, 32, 223,
    128, 175, 0, 0, 0, 0, 0, 175, 128,
    16, 207, 175, 32, 0, 32, 175, 207, 16,
    0, 16, 128, 223, 255, 223, 128, 16, 0,
};
constexpr uint8_t kSolidRing4[81] = {
    0, 0, 255, 255, 255, 255, 255, 0, 0,
    0, 255, 255, 0, 0, 0, 255, 255, 0,
    255, 255, 0, 0, 0, 0, 0, 255, 255,
    255, 0, 0, 0, 0, 0, 0, 0, 255,
    255, 0, 0, 0, 0, 0, 0, 0, 255,
    255, 0, 0, 0, 0, 0, 0, 0, 255,
    255, 255, 0, 0, 0, 0, 0, 255, 255,
    0, 255, 255, 0, 0, 0, 255, 255, 0,
    0, 0, 255, 255, 255, 255, 255, 0, 0,
};
// clang-format on

const RasterCircleMask kSoft[] = {
    {kSoftRing2, 5}, {kSoftRing2_5, 6}, {kSoftRing3, 7}, {kSoftRing3_5, 8}, {kSoftRing4, 9}};
const RasterCircleMask kSolid[] = {
    {kSolidRing2, 6}, {kSolidRing2_5, 6}, {kSolidRing3, 7}, {kSolidRing3_5, 8}, {kSolidRing4, 9}};
} // namespace

const RasterCircleMask* RasterCircleMask::Find(float radius, bool antialias)
{
    const float radii[] = {2.0f, 2.5f, 3.0f, 3.5f, 4.0f};
    for (int i = 0; i < 5; ++i)
    {
        if (radius == radii[i])
        {
            return antialias ? &kSoft[i] : &kSolid[i];
        }
    }
    return nullptr;
}
