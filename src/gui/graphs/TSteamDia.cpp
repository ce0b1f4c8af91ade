#include "graphs/TSteamDia.h"

#include "drawing/DiagramPictures.h"
#include "drawing/SteamDiagram.h"

DiagramWindowLayout TSteamDia::Layout()
{
    DiagramWindowLayout l;
    l.formName = "TSteamDia";
    l.captionHead = "QUELF Outside Admission      Steam Diagram    ";
    l.client = QSize(kDiagramClientWidth, kDiagramClientHeight);
    // Shown as a normal window: a minimised modal window would leave the
    // program blocked with nothing to see.
    l.start = DiagramWindowLayout::Start::Normal;
    l.closeName = "CloseStm";
    l.closePos = QPoint(408, 8);
    l.barNames = {"SBDynVarST1", "SBDynVarST2", "SBDynVarST3", "SBDynVarST4"};
    l.undoName = "UnDoDnSt";
    l.setRevArmPos = {"SetRevArmPos", "SetRevArmPos"};
    l.reDraw = {"ReDraw", "ReDraw"};
    l.unDo = {"&UnDo", "UnDoSteam"};
    l.dynamicVari = {"DynamicVari", "DynVari"};
    l.pictureName = "steam-diagram";
    l.setUpMenu = {"Se&tUp", "SetUp"};
    return l;
}

TSteamDia::TSteamDia(AppState& s, QWidget* parent) : TDiagramWindow(s, Layout(), parent) {}

void TSteamDia::DrawDiagram(Canvas& c) { DrawSteamDiagram(c, s_); }
