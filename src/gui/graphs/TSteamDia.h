// Steam diagram window: pressure loops of both cylinder ends for each reverse
// arm position of the graph list.
#pragma once

#include "graphs/TDiagramWindow.h"

class TSteamDia : public TDiagramWindow {
    Q_OBJECT
public:
    TSteamDia(AppState& s, QWidget* parent = nullptr);
    static DiagramWindowLayout Layout();
    void DrawDiagram(Canvas& c) override;
};
