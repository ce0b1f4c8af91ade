#include "graphs/TOvalDia.h"

#include "drawing/DiagramPictures.h"
#include "drawing/ValveDiagrams.h"

DiagramWindowLayout TOvalDia::Layout()
{
    DiagramWindowLayout l;
    l.formName = "TOvalDia";
    l.captionHead = "QUELF Outside Admission      Oval Diagram    ";
    l.client = QSize(kDiagramClientWidth, kOvalClientHeight);
    l.start = DiagramWindowLayout::Start::Maximised;
    l.closeName = "CloseOval";
    l.closePos = QPoint(408, 8);
    l.barNames = {"SBDynVarO1", "SBDynVarO2", "SBDynVarO3", "SBDynVarO4"};
    l.undoName = "UnDoDnO";
    l.setRevArmPos = {"SetRevArmPos", "SetRevArmPos1"};
    l.reDraw = {"ReDraw", "ReDraw1"};
    l.unDo = {"&UnDo", "UnDoOval"};
    l.dynamicVari = {"DynamicVari", "DynVar"};
    l.pictureName = "oval-diagram";
    l.setUpMenu = {"Se&tUp", "SetUp"};
    return l;
}

TOvalDia::TOvalDia(AppState& s, QWidget* parent) : TDiagramWindow(s, Layout(), parent) {}

void TOvalDia::DrawDiagram(Canvas& c) { DrawOvalDiagram(c, s_); }
