// Oval diagram window: valve offset against piston travel.
#pragma once

#include "graphs/TDiagramWindow.h"

class TOvalDia : public TDiagramWindow {
    Q_OBJECT
public:
    TOvalDia(AppState& s, QWidget* parent = nullptr);
    static DiagramWindowLayout Layout();
    void DrawDiagram(Canvas& c) override;
};
