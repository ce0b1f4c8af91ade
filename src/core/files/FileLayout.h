// Where each field of the design file records lives in the state, shared by
// the native writer and reader and the older-file import.
#pragma once

#include "model/AppState.h"

#include <array>
#include <cmath>
#include <type_traits>

namespace file_layout {

inline constexpr int kFields = 5;
// Records 1..70 map onto state fields; record 71 is handled on its own.
inline constexpr int kLaidOutRecords = 70;
inline constexpr int kOverlayFirstRecord = 19;

// Pointer to each field of records 1..70 (index r-1). `S` is AppState or
// const AppState; where a value has several fields, they point to the same
// place, so the writer repeats it and the reader keeps the last one.
template <class S>
auto NativeFields(S& s)
{
    using P = std::conditional_t<std::is_const_v<S>, const float*, float*>;
    std::array<std::array<P, kFields>, kLaidOutRecords> t{};
    auto& g = s.gear;
    auto& v = s.view;
    auto& c = g.CylDims;
    t[0] = {&g.CrankDiskDia, &g.Stroke, &g.EccCircleDiam, &g.EccentricDiam, &g.EccAngleDeg};
    t[1] = {&g.MainRodLength, &g.EccRodLength, &g.ValveRodLength, &g.RevHeadUpper, &g.RevHeadArmLower};
    t[2] = {&g.EccStrapLower, &g.EccStrapHorz, &g.EccStrapUpper, &g.RockerUpperVert, &g.RockerUpperHorz};
    t[3] = {&g.RockerLower, &g.PointY[15], &g.PointY[15], &g.PointY[15], &g.PointX[15]};
    t[4] = {&g.PointX[8], &g.PointY[8], &g.PointX[9], &g.PointY[9], &g.PointY[9]};
    t[5] = {&g.PointY[3], &c[0], &c[1], &c[2], &c[3]};
    t[6] = {&c[4], &c[5], &c[6], &c[7], &c[8]};
    t[7] = {&c[9], &c[10], &c[11], &c[12], &c[13]};
    t[8] = {&c[14], &c[15], &c[16], &c[17], &c[18]};
    t[9] = {&c[19], &c[20], &c[21], &g.RevArm[0], &g.PointY[4]};
    t[10] = {&v.ViewScale, &v.ViewOffsetX, &v.GraphicZoom, &v.ViewOffsetY, &g.RevArmNormal};
    t[11] = {&g.RevArmMax, &g.RevArmPos, &s.graph.GraphRevArmPos, &s.graph.GraphRevArmPos, &s.graph.GraphVerticalScale};
    for (int k = 0; k < 21; ++k) t[12 + k / kFields][k % kFields] = &v.PresetTable[k];
    for (int k = 1; k <= 9; ++k) t[12 + (20 + k) / kFields][(20 + k) % kFields] = &g.RevArm[k];

    // The overlay block: thirteen runs of four records, one item field per
    // run, items 1..20 in order, five to a record.
    using Item = OverlayItem;
    constexpr float Item::*kOverlayFields[] = {&Item::X1,         &Item::Y1,       &Item::X2,        &Item::Y2,
                                               &Item::Pivot1X0,   &Item::Pivot1Y0, &Item::Pivot2X0,  &Item::Pivot2Y0,
                                               &Item::Kind,       &Item::Colour,   &Item::Reference, &Item::Pivot1Index,
                                               &Item::Pivot2Index};
    int r = kOverlayFirstRecord - 1;
    for (float Item::*field : kOverlayFields)
        for (int q = 0; q < 4; ++q, ++r)
            for (int f = 0; f < kFields; ++f) t[r][f] = &(s.overlay.Item[q * kFields + f + 1].*field);
    return t;
}

// The first 12 records as the older layout has them: record 11 field 3 is a
// second ViewOffsetX (where the native file keeps GraphicZoom), record 12
// field 2 is not used (null). Records past 12 are not part of that layout.
template <class S>
auto OlderFields(S& s)
{
    auto t = NativeFields(s);
    t[10][2] = &s.view.ViewOffsetX;
    t[11][1] = nullptr;
    return t;
}

// The current item number a file's real names: rounded, within 1..20
// (anything that is not a number gives 1).
inline int ItemNumber(float holder)
{
    if (!(holder >= 1.0f)) return 1;
    if (holder >= static_cast<float>(kOverlayItems)) return kOverlayItems;
    return static_cast<int>(std::lround(holder));
}

} // namespace file_layout
