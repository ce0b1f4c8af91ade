// A drawing for CAD programs as plain data: layers and the lines, circles,
// arcs and polylines on them, in the design's unit at full size (y up). The
// pictures that leave the program as DXF are built as one of these
// (drawing/GearDxf) and written by files/DxfFile.
#pragma once

#include "model/AppState.h"

#include <string>
#include <vector>

// Colours of the AutoCAD colour index, as every CAD program reads them.
namespace dxf_colour {
inline constexpr int kRed = 1;
inline constexpr int kYellow = 2;
inline constexpr int kGreen = 3;
inline constexpr int kCyan = 4;
inline constexpr int kBlue = 5;
inline constexpr int kMagenta = 6;
inline constexpr int kBlackOrWhite = 7; // black on a white sheet, white on a dark one
inline constexpr int kGrey = 8;
} // namespace dxf_colour

struct DxfLayer {
    std::string name;
    int colour = dxf_colour::kBlackOrWhite;
};

struct DxfPoint {
    double x = 0, y = 0;
};

struct DxfEntity {
    enum class Kind { Line, Circle, Arc, Polyline };
    Kind kind = Kind::Line;
    int layer = 0;                // index into DxfDrawing::layers
    std::vector<DxfPoint> points; // Line: the two ends; Circle, Arc: the centre; Polyline: its vertices
    double radius = 0;            // Circle, Arc
    double startDeg = 0;          // Arc, counter-clockwise from startDeg
    double endDeg = 0;            // to endDeg
    bool closed = false;          // Polyline
};

struct DxfDrawing {
    LengthUnit unit = LengthUnit::Unspecified; // the header's $INSUNITS
    std::vector<DxfLayer> layers;
    std::vector<DxfEntity> entities;

    // The layer named `name`, added with `colour` when it is not there yet.
    int Layer(const std::string& name, int colour)
    {
        for (size_t i = 0; i < layers.size(); ++i)
            if (layers[i].name == name) return static_cast<int>(i);
        layers.push_back({name, colour});
        return static_cast<int>(layers.size()) - 1;
    }
};
