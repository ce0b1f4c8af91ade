#include "graphs/TSineDia.h"

#include "drawing/DiagramPictures.h"
#include "drawing/ValveDiagrams.h"

DiagramWindowLayout TSineDia::Layout()
{
    DiagramWindowLayout l;
    l.formName = "TSineDia";
    l.captionHead = "QUELF Outside Admission      Sine Diagram    ";
    l.client = QSize(kDiagramClientWidth, kDiagramClientHeight);
    l.maxWindow = QSize(640, 479);
    l.start = DiagramWindowLayout::Start::Maximised;
    l.closeName = "CloseSin";
    l.closePos = QPoint(408, 8);
    l.barNames = {"SBDynVarS1", "SBDynVarS2", "SBDynVarS3", "SBDynVarS4"};
    l.undoName = "UnDoDnS";
    l.setRevArmPos = {"&SetRevArmPos", "SetRevArmPos"};
    l.reDraw = {"&ReDraw", "ReDraw"};
    l.unDo = {"&UnDo", "UnDoSine"};
    l.dynamicVari = {"&DymamicVariables", "DynVari"};
    l.pictureName = "sine-diagram";
    l.setUpMenu = {"Se&tUp", "SetUp"};
    return l;
}

TSineDia::TSineDia(AppState& s, QWidget* parent) : TDiagramWindow(s, Layout(), parent) {}

void TSineDia::DrawDiagram(Canvas& c) { DrawSineDiagram(c, s_); }
