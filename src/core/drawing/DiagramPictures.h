// The analysis diagrams drawn as their windows draw them when opened, for
// pictures made without a window (the command-line export).
#pragma once

#include "model/AppState.h"
#include "platform/Canvas.h"
#include "platform/DisplayList.h"

// The client area the diagram windows are laid out for; the oval diagram's
// window is a little taller.
inline constexpr int kDiagramClientWidth = 632;
inline constexpr int kDiagramClientHeight = 414;
inline constexpr int kOvalClientHeight = 426;

enum class DiagramKind { PortForward, PortReverse, PortBoth, Steam, Oval, Sine };

// Width and height of the diagram's picture (its window's client area).
int DiagramPictureWidth(DiagramKind k);
int DiagramPictureHeight(DiagramKind k);

// Draws the diagram on a fresh canvas as its window does on opening: the
// steam, oval and sine diagrams over the positions list as the positions
// dialog leaves it, the port graph in the given mode; each pass ends with the
// closing panel. DriverAngle and RevArmPos are as before afterwards.
void DrawDiagramAsOpened(Canvas& c, AppState& s, DiagramKind k);

// The diagram as DrawDiagramAsOpened draws it, recorded into a list of its
// picture's size.
DisplayList DiagramPictureOf(AppState& s, DiagramKind k);
