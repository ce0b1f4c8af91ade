#include "graphs/TPortDia.h"

#include "drawing/DiagramPictures.h"
#include "drawing/PortDiagram.h"
#include "qt/QtPictureCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

DiagramWindowLayout TPortDia::Layout()
{
    DiagramWindowLayout l;
    l.formName = "TPortDia";
    l.captionHead = "QUELF Outside Admission      Port Open/Closed    ";
    l.client = QSize(kDiagramClientWidth, kDiagramClientHeight);
    l.start = DiagramWindowLayout::Start::Normal;
    l.position = QPoint(0, 10);
    l.closeName = "ClosePort";
    l.closePos = QPoint(447, 2);
    l.barNames = {"SBDynVarP1", "SBDynVarP2", "SBDynVarP3", "SBDynVarP4"};
    l.undoName = "UnDoDnP";
    l.reDraw = {"ReDraw", "ReDraw1"};
    l.unDo = {"&UnDo", "UnDoPorts"};
    l.dynamicVari = {"DynamicVari", "DynamicVari1"};
    l.pictureName = "port-graph";
    return l;
}

TPortDia::TPortDia(AppState& s, QWidget* parent) : TDiagramWindow(s, Layout(), parent)
{
    // "SetUp" leads the menu bar, before the frame's items.
    setUp_ = new QMenu("SetUp", Menu());
    setUp_->setObjectName("SetUp");
    forward_ = setUp_->addAction("ForwardGraph");
    forward_->setObjectName("ForwardGraph1");
    reverse_ = setUp_->addAction("ReverseGraph");
    reverse_->setObjectName("ReverseGraph1");
    both_ = setUp_->addAction("BothGraphs");
    both_->setObjectName("BothGraphs1");
    setUp_->addSeparator();
    Pictures()->AddTo(setUp_);
    const QList<QAction*> items = Menu()->actions();
    QAction* setUpAction = items.isEmpty() ? Menu()->addMenu(setUp_) : Menu()->insertMenu(items.first(), setUp_);
    setUpAction->setObjectName("SetUp");
    connect(forward_, &QAction::triggered, this, &TPortDia::ForwardGraph1Click);
    connect(reverse_, &QAction::triggered, this, &TPortDia::ReverseGraph1Click);
    connect(both_, &QAction::triggered, this, &TPortDia::BothGraphs1Click);
}

std::string TPortDia::PictureName() const
{
    switch (s_.graph.PortGraphMode) {
    case 'R': return "port-graph-reverse";
    case 'B': return "port-graph-both";
    default: return "port-graph";
    }
}

void TPortDia::DrawDiagram(Canvas& c) { DrawPortDiagram(c, s_); }

void TPortDia::DrawPass() { TDiagramWindow::Draw(); }

void TPortDia::Draw()
{
    RunPortDraw(
        s_, false, [this] { ClearPicture(); }, [this] { DrawPass(); });
}

void TPortDia::Redraw()
{
    RunPortDraw(
        s_, true, [this] { ClearPicture(); }, [this] { DrawPass(); });
}

void TPortDia::ForwardGraph1Click()
{
    s_.graph.PortGraphMode = 'F';
    Redraw();
}

void TPortDia::ReverseGraph1Click()
{
    s_.graph.PortGraphMode = 'R';
    Redraw();
}

void TPortDia::BothGraphs1Click()
{
    RunPortBothGraphs(
        s_, [this] { ClearPicture(); }, [this] { DrawPass(); });
}
