// Port open/close graph window: the port events against reverse arm setting
// for forward gear, reverse gear or both.
#pragma once

#include "graphs/TDiagramWindow.h"

class QMenu;

class TPortDia : public TDiagramWindow {
    Q_OBJECT
public:
    TPortDia(AppState& s, QWidget* parent = nullptr);
    static DiagramWindowLayout Layout();

    void DrawDiagram(Canvas& c) override;
    // "port-graph", "port-graph-reverse" or "port-graph-both" by the mode.
    std::string PictureName() const override;
    // Every request to draw follows the graph mode: in "BothGraphs" mode
    // both passes are drawn again.
    void Draw() override;
    void Redraw() override;

    // "SetUp" menu.
    void ForwardGraph1Click();
    void ReverseGraph1Click();
    void BothGraphs1Click();

    QMenu* SetUpMenu() const { return setUp_; }
    QAction* ForwardGraphAction() const { return forward_; }
    QAction* ReverseGraphAction() const { return reverse_; }
    QAction* BothGraphsAction() const { return both_; }

private:
    void DrawPass();

    QMenu* setUp_ = nullptr;
    QAction* forward_ = nullptr;
    QAction* reverse_ = nullptr;
    QAction* both_ = nullptr;
};
