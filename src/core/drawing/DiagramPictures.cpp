#include "drawing/DiagramPictures.h"

#include "drawing/DiagramCommon.h"
#include "drawing/PortDiagram.h"
#include "drawing/RevArmPositions.h"
#include "drawing/SteamDiagram.h"
#include "drawing/ValveDiagrams.h"
#include "platform/DisplayList.h"

#include <string>

int DiagramPictureWidth(DiagramKind) { return kDiagramClientWidth; }

int DiagramPictureHeight(DiagramKind k) { return k == DiagramKind::Oval ? kOvalClientHeight : kDiagramClientHeight; }

void DrawDiagramAsOpened(Canvas& c, AppState& s, DiagramKind k)
{
    std::string undoText;
    // One pass as the window draws it, on a canvas in its first state: the
    // diagram, then the closing panel.
    auto pass = [&](void (*diagram)(Canvas&, AppState&)) {
        c.SetPenWidth(1);
        c.SetPenStyle(PenStyle::Solid);
        c.SetFontSize(0);
        c.SetFontBold(false);
        c.SetPenColour(clBlack);
        c.SetFontColour(clBlack);
        diagram(c, s);
        c.SetPenColour(clBlack);
        c.SetFontColour(clBlack);
        c.SetFontBold(false);
        DrawClosingPanel(c, s, undoText);
    };
    auto clear = [&c] { c.Clear(clWhite); };
    switch (k) {
    case DiagramKind::PortForward:
    case DiagramKind::PortReverse:
        s.graph.PortGraphMode = k == DiagramKind::PortForward ? 'F' : 'R';
        RunPortDraw(s, true, clear, [&] { pass(DrawPortDiagram); });
        return;
    case DiagramKind::PortBoth: RunPortBothGraphs(s, clear, [&] { pass(DrawPortDiagram); }); return;
    case DiagramKind::Steam:
    case DiagramKind::Oval:
    case DiagramKind::Sine: break;
    }
    // The positions dialog shows first and settles the list of positions.
    DisplayList scratch;
    DisplayListCanvas dialog(scratch);
    RevArmLayout layout;
    LayoutRevArmDialog(dialog, s, layout);
    clear();
    pass(k == DiagramKind::Steam ? DrawSteamDiagram : k == DiagramKind::Oval ? DrawOvalDiagram : DrawSineDiagram);
}

DisplayList DiagramPictureOf(AppState& s, DiagramKind k)
{
    DisplayList list(DiagramPictureWidth(k), DiagramPictureHeight(k));
    DisplayListCanvas c(list);
    DrawDiagramAsOpened(c, s, k);
    return list;
}
