// Sine diagram window: valve offset against driver angle.
#pragma once

#include "graphs/TDiagramWindow.h"

class TSineDia : public TDiagramWindow {
    Q_OBJECT
public:
    TSineDia(AppState& s, QWidget* parent = nullptr);
    static DiagramWindowLayout Layout();
    void DrawDiagram(Canvas& c) override;
};
