// Indexes into the point table (PointX/PointY) as the pivot aids use them:
// the two reference points, indexes held as reals, and the nearest solved
// point to a reference point.
#pragma once

#include "model/AppState.h"

// Reference point 1 and 2 live in the point table.
inline constexpr int kRefPoint1 = 19;
inline constexpr int kRefPoint2 = 20;

// A point index held as a real (pivot slots, overlay items, values from a
// file): the rounded index when it names an entry of PointX/PointY, else -1.
int SafePointIndex(float index);
// As SafePointIndex, but an index that names no point becomes 0 (the origin,
// the point an unassigned slot shows).
int PointIndexOrOrigin(float index);

// Nearest solved point to reference point `ref` (19 or 20) by the sum of the
// absolute coordinate differences, searching first..last upwards and skipping
// the two reference points. The search starts at a distance of 10000 and only
// a strictly smaller one replaces the best, so the lowest index wins a tie;
// 0 when no point is nearer than 10000.
int FindNearestPivot(const Gear& g, int ref, int first, int last);
// The mouse's range (points 1..18) and the line dialog's (1..26).
inline int NearestPivotForMouse(const Gear& g) { return FindNearestPivot(g, kRefPoint1, 1, 18); }
inline int NearestPivotForDialog(const Gear& g, int ref) { return FindNearestPivot(g, ref, 1, 26); }
