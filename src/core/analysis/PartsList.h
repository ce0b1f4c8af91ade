// The parts to make: the sizes a workshop needs from a design, measured on the
// gear solved at driver angle 0 with the reverse arm at mid gear (on a copy of
// the design, at the mid gear it holds).
//
// - Each link with its pin centres and the distances between them: a link of
//   two pins by the distance of its centres; a link of more (the eccentric
//   strap, the reverse head, the rocker) also with the place of every other
//   pin in the link's own frame: from its first pin, "along" the line to its
//   second pin and "across" it (to the left, looking along).
// - The eccentric throw, the valve's laps (steam lap and exhaust lap of each
//   end, as the valve events are computed from them) and the port widths.
// - The fixed pivots and centre lines, from the driver centre: x forward
//   (towards the cylinder), y up.
// Every length is in the design's unit; for a design in inches each is also
// given to the nearest 1/64 in.
#pragma once

#include "model/AppState.h"

#include <string>
#include <vector>

struct PartsListRow {
    std::string part; // "Rocker"
    std::string item; // "upper pin (P16), across"
    long double value = 0;
};

std::vector<PartsListRow> BuildPartsList(const Gear& design);

// "2 23/64", "5/8", "-1 1/2", "14": the nearest 1/64 as a whole number and a
// fraction in its lowest terms; empty for a value that is not a finite number.
std::string NearestSixtyFourth(long double v);

// The list as table cells: the header Part, Item, Value (in), and for a design
// in inches Nearest 1/64 in; values with 4 decimals.
std::vector<std::vector<std::string>> PartsListCells(const std::vector<PartsListRow>& rows, LengthUnit unit);
