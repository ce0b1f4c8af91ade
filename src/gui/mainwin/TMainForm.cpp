#include "mainwin/TMainForm.h"

#include "files/RecentDesigns.h"
#include "files/Recovery.h"
#include "model/Model.h"
#include "model/ProgramVersion.h"
#include "qt/QtCanvas.h"
#include "qt/QtDesktop.h"
#include "qt/QtFonts.h"
#include "qt/QtPictureCommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QIconEngine>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

// ------------------------------------------------------------------ frame area
TFrameArea::TFrameArea(TMainForm* form) : QWidget(form), form_(form)
{
    setObjectName(QStringLiteral("ClientArea"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kClientWidth, kClientHeight);
    setMaximumSize(kFrameWidth, kFrameHeight);
}

void TFrameArea::paintEvent(QPaintEvent* e)
{
    form_->FitFrameToArea();
    QPainter p(this);
    form_->PaintFrame(p, e->region());
}

void TFrameArea::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // The explanation of a clamp keeps to the foot of the area.
    if (!form_->AssemblyText().isEmpty()) form_->ShowAssemblyText();
}

void TFrameArea::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton)
        form_->FormMouseDown(e->button(), static_cast<int>(e->position().x()), static_cast<int>(e->position().y()));
}

// ------------------------------------------------------------------ tool bar pictures
namespace {

// An icon drawn from its picture (in units of its base size) at the size and
// device pixel ratio it is shown at, so that it is as sharp as the rest of
// the window at 150 % or 200 %.
class DrawnIcon : public QIconEngine {
public:
    DrawnIcon(QSize base, std::function<void(QPainter&)> picture) : base_(base), picture_(std::move(picture)) {}

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        return base_.width() <= size.width() && base_.height() <= size.height()
                   ? base_
                   : base_.scaled(size, Qt::KeepAspectRatio);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        // `size` is in device pixels; the picture at `scale` when it fits.
        QSize device = (QSizeF(base_) * scale).toSize();
        if (device.width() > size.width() || device.height() > size.height())
            device = device.scaled(size, Qt::KeepAspectRatio);
        QPixmap pm(device.expandedTo(QSize(1, 1)));
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.scale(static_cast<qreal>(pm.width()) / base_.width(), static_cast<qreal>(pm.height()) / base_.height());
            picture_(p);
        }
        if (mode == QIcon::Disabled || mode == QIcon::Selected) {
            QStyleOption opt;
            opt.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &opt);
        }
        return pm;
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1;
        QPixmap pm = scaledPixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state, ratio);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), pm);
    }
    QIconEngine* clone() const override { return new DrawnIcon(base_, picture_); }

private:
    QSize base_;
    std::function<void(QPainter&)> picture_;
};

// Small pictures of our own for the tool buttons, on a 22 x 22 grid.
void PaintToolPicture(QPainter& p, int kind)
{
    QPen pen(Qt::black, 1.5);
    p.setPen(pen);
    switch (kind) {
    case 1: // open: folder
        p.setBrush(QColor(230, 200, 90));
        p.drawRect(3, 7, 16, 11);
        p.drawRect(3, 5, 7, 3);
        break;
    case 2: // save: disk
        p.setBrush(QColor(70, 90, 160));
        p.drawRect(3, 3, 16, 16);
        p.setBrush(Qt::white);
        p.drawRect(6, 3, 10, 6);
        break;
    case 4: // frame dimensions: crank and rod
        p.drawEllipse(QPointF(7, 14), 5, 5);
        p.setPen(QPen(Qt::red, 2));
        p.drawLine(7, 14, 19, 8);
        break;
    case 5: // cylinder
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(3, 8, 16, 9);
        p.drawRect(9, 4, 6, 4);
        p.setBrush(Qt::black);
        p.drawRect(9, 8, 3, 9);
        break;
    case 6: // driver angle
        p.drawEllipse(QPointF(11, 11), 8, 8);
        p.drawLine(11, 11, 17, 6);
        break;
    case 7: // step angle
        p.drawLine(4, 18, 18, 18);
        p.drawLine(4, 18, 16, 6);
        p.drawArc(QRectF(-2, 12, 12, 12), 0, 45 * 16);
        break;
    case 8: // reverse arm position
        p.setPen(QPen(Qt::red, 2));
        p.drawLine(11, 3, 8, 19);
        p.setPen(pen);
        p.drawLine(2, 19, 20, 19);
        break;
    case 9: // mid gear
        p.drawLine(11, 3, 11, 19);
        p.drawLine(4, 11, 18, 11);
        p.drawEllipse(QPointF(11, 11), 4, 4);
        break;
    case 10: // steam
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 14; ++i) {
            p.setBrush(i % 3 ? QColor(255, 0, 0) : QColor(0, 0, 255));
            p.drawEllipse(QPointF(4 + (i * 7) % 15, 4 + (i * 11) % 15), 1.5, 1.5);
        }
        break;
    case 11: // reference points
        p.drawLine(11, 2, 11, 20);
        p.drawLine(2, 11, 20, 11);
        break;
    case 23: // lines and circles
        p.setPen(QPen(Qt::blue, 1.5));
        p.drawLine(2, 18, 19, 4);
        p.setPen(QPen(QColor(0, 128, 0), 1.5));
        p.drawEllipse(QPointF(13, 13), 6, 6);
        break;
    case 24: // pivot data
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 12), 3, 3);
        p.setPen(QPen(Qt::red, 1.5));
        p.setFont(LayoutFont(QStringLiteral("Arial"), 11));
        p.drawText(QRectF(11, 1, 10, 12), Qt::AlignCenter, QStringLiteral("1"));
        break;
    case 12: // dynamic variables: a small bar
        p.drawRect(2, 8, 18, 6);
        p.setBrush(Qt::gray);
        p.drawRect(9, 8, 4, 6);
        break;
    case 3: { // undo: curved arrow
        QPainterPath path;
        path.moveTo(17, 16);
        path.cubicTo(17, 5, 6, 5, 5, 11);
        p.drawPath(path);
        p.drawLine(5, 11, 3, 6);
        p.drawLine(5, 11, 9, 9);
        break;
    }
    case 13: { // sine diagram
        QPainterPath path;
        path.moveTo(1, 11);
        for (int x = 1; x <= 21; ++x) path.lineTo(x, 11 - 7 * std::sin((x - 1) * 3.14159 / 10));
        p.drawPath(path);
        break;
    }
    case 14: // oval diagram
        p.drawEllipse(QPointF(11, 11), 9, 5);
        break;
    case 15: { // steam diagram: indicator loop
        QPainterPath path;
        path.moveTo(3, 5);
        path.lineTo(9, 5);
        path.cubicTo(13, 10, 16, 15, 19, 16);
        path.lineTo(19, 18);
        path.lineTo(5, 18);
        path.cubicTo(3, 14, 3, 9, 3, 5);
        p.setPen(QPen(QColor(0, 128, 0), 1.5));
        p.drawPath(path);
        break;
    }
    case 16: // port events
        p.drawLine(3, 19, 3, 3);
        p.drawLine(3, 19, 19, 19);
        p.setPen(QPen(Qt::red, 1.5));
        p.drawLine(6, 17, 12, 5);
        p.setPen(QPen(QColor(0, 128, 128), 1.5));
        p.drawLine(10, 17, 18, 7);
        break;
    default: break;
    }
}

QIcon ToolIcon(int kind)
{
    return QIcon(new DrawnIcon(QSize(22, 22), [kind](QPainter& p) { PaintToolPicture(p, kind); }));
}

QIcon ErrorIcon()
{
    return QIcon(new DrawnIcon(QSize(22, 18), [](QPainter& p) {
        p.setBrush(QColor(255, 0, 0));
        p.setPen(Qt::black);
        p.drawPolygon(QPolygonF({QPointF(11, 1), QPointF(21, 17), QPointF(1, 17)}));
        p.setPen(Qt::white);
        p.setFont(LayoutFont(QStringLiteral("Arial"), 11, true));
        p.drawText(QRectF(1, 4, 20, 13), Qt::AlignCenter, QStringLiteral("!"));
    }));
}

} // namespace

// ------------------------------------------------------------------ construction
TMainForm::TMainForm(AppState& state, SoundPort& sound, RandomSource& random, ClockSource& clock, QWidget* parent,
                     FileSystem& files)
    : QMainWindow(parent), state_(state), sound_(sound), random_(random), clock_(clock), files_(files)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowIcon(ProgramIcon()); // the child windows show it too
    area_ = new TFrameArea(this);
    setCentralWidget(area_);
    QFont areaFont = LayoutFont(QStringLiteral("Times New Roman"), 13, true);
    areaFont.setUnderline(true);
    area_->setFont(areaFont);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);

    BuildMenus();
    BuildToolBar();
    BuildControls();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickIntervalMs);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    SetUpRest();

    FormCreate();

    resize(kClientWidth, kClientHeight + std::max(menuBar()->sizeHint().height(), menuBar()->minimumHeight()));
    if (QScreen* scr = QGuiApplication::primaryScreen()) {
        const QRect g = scr->availableGeometry();
        move(g.center() - rect().center());
    }
    SBRevArm->setFocus();
    Timer1->start();
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildMenus()
{
    QMenuBar* mb = menuBar();
    mb->setObjectName(QStringLiteral("MainMenu1"));
    // Eleven menu bar entries share the 632-pixel width of the window, in the
    // menu font the window was laid out for.
    mb->setFont(LayoutFont(QStringLiteral("MS Sans Serif"), 11));
    mb->setStyleSheet(QStringLiteral(
        "QMenuBar { font-size: 11px; spacing: 0px; } QMenuBar::item { padding: 2px 2px; margin: 0px; }"));
    auto item = [this](QMenu* menu, QAction*& a, const char* name, const char* caption, void (TMainForm::*slot)()) {
        a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    File1 = mb->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    item(File1, OpenDimensions, "OpenDimensions", "&OpenDimensions", &TMainForm::OpenDimensionsClick);
    item(File1, OpenDosDimensions, "OpenDosDimensions", "Open&DosDimensions", &TMainForm::OpenDosDimensionsClick);
    item(File1, SaveDimensions, "SaveDimensions", "&Save", &TMainForm::SaveDimensionsClick);
    item(File1, SaveAsDimensions, "SaveAsDimensions", "Save&AsDimensions", &TMainForm::SaveAsDimensionsClick);
    item(File1, ExportDesignJson, "ExportDesignJson", "Export Design as &JSON…", &TMainForm::ExportDesignJsonClick);
    separator(File1, "N7");
    Pictures = new PictureCommands(this, {[this] { return ShownPicture(); }, [] { return std::string("gear"); },
                                          [this] { return state_.display.DataSetName; },
                                          [this]() -> FileSystem& { return files_; }});
    Pictures->AddTo(File1);
    ExportPicture = Pictures->ExportAction();
    CopyPicture = Pictures->CopyAction();
    PrintPicture = Pictures->PrintAction();
    item(File1, DesignReport, "DesignReport", "Design &Report…", &TMainForm::DesignReportClick);
    item(File1, ExportAnimation, "ExportAnimation", "Export A&nimation…", &TMainForm::ExportAnimationClick);
    // "&A" is also "Save&AsDimensions"'s: a key of its own.
    ExportAnimation->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    separator(File1, "N1");
    // The recent designs ("&1 name.vgw", the folder as the tooltip).
    File1->setToolTipsVisible(true);
    for (int k = 1; k <= kRecentDesignsMax; ++k) {
        QAction* a = File1->addAction(QString());
        a->setObjectName(QStringLiteral("RecentDesign%1").arg(k));
        connect(a, &QAction::triggered, this, [this, k] { RecentDesignClick(k); });
        RecentDesign[static_cast<std::size_t>(k)] = a;
    }
    RecentSeparator = File1->addSeparator();
    RecentSeparator->setObjectName(QStringLiteral("RecentSeparator"));
    RefreshRecentDesigns();
    item(File1, Exit1, "Exit1", "E&xit", &TMainForm::Exit1Click);
    // The desktop's standard keys beside the mnemonics.
    OpenDimensions->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveDimensions->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAsDimensions->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    SetUp1 = mb->addMenu(QStringLiteral("&SetUp"));
    SetUp1->setObjectName(QStringLiteral("SetUp1"));
    item(SetUp1, RevArmPos, "RevArmPos", "Set&RevArmPos", &TMainForm::RevArmPosClick);
    item(SetUp1, DriverAng, "DriverAng", "Set&DriverAng", &TMainForm::DriverAngClick);
    item(SetUp1, StepAng1, "StepAng1", "Set&StepAng", &TMainForm::StepAng1Click);
    item(SetUp1, RefPoints1, "RefPoints1", "SetRef&Points", &TMainForm::RefPoints1Click);
    separator(SetUp1, "N2");
    item(SetUp1, LargeFont, "LargeFont", "SetLarge&Font", &TMainForm::LargeFontClick);
    item(SetUp1, FindRevArmCent, "FindRevArmCent", "&CalcCentRevArm", &TMainForm::FindRevArmCentClick);
    item(SetUp1, SetSteam, "SetSteam", "SetS&teamDisp On", &TMainForm::SetSteamClick);
    item(SetUp1, SetBeepOnError, "SetBeepOnError", "Set&ErrorBeep Off", &TMainForm::SetBeepOnErrorClick);
    item(SetUp1, SetLineWidth, "SetLineWidth", "Set&LineWidth 2", &TMainForm::SetLineWidthClick);
    item(SetUp1, SetScreenData, "SetScreenData", "SetScree&nData Off", &TMainForm::SetScreenDataClick);
    item(SetUp1, SetPanZoom, "SetPanZoom", "SetP&anZoom On", &TMainForm::SetPanZoomClick);
    item(SetUp1, FitView, "FitView", "Fit &Gear to Window", &TMainForm::FitViewClick);
    SetPanZoom->setEnabled(false);

    EditDimen1 = mb->addMenu(QStringLiteral("&EditDimen"));
    EditDimen1->setObjectName(QStringLiteral("EditDimen1"));
    item(EditDimen1, FrameDim, "FrameDim", "&FrameDimensions", &TMainForm::FrameDimClick);
    item(EditDimen1, CylDim, "CylDim", "&CylinderDimensions", &TMainForm::CylDimClick);
    item(EditDimen1, BalanceEvents, "BalanceEvents", "&Balance Events…", &TMainForm::BalanceEventsClick);
    item(EditDimen1, DesignCheck, "DesignCheck", "&Design Check…", &TMainForm::DesignCheckClick);
    item(EditDimen1, OptimiseDesign, "OptimiseDesign", "&Optimise Design…", &TMainForm::OptimiseDesignClick);
    item(EditDimen1, Sensitivity, "Sensitivity", "Se&nsitivity…", &TMainForm::SensitivityClick);
    item(EditDimen1, ToleranceStudy, "ToleranceStudy", "&Tolerance Study…", &TMainForm::ToleranceStudyClick);
    item(EditDimen1, ScaleDesign, "ScaleDesign", "&Scale Design…", &TMainForm::ScaleDesignClick);
    separator(EditDimen1, "N3");
    item(EditDimen1, SetGraphicZoom, "SetGraphicZoom", "Set&GraphicZoom", &TMainForm::SetGraphicZoomClick);
    separator(EditDimen1, "N4");
    item(EditDimen1, ResetAll, "ResetAll", "&ResetAllDimensions", &TMainForm::ResetAllClick);
    separator(EditDimen1, "N8");
    // R belongs to ResetAllDimensions.
    item(EditDimen1, ReDo, "ReDo", "R&eDo", &TMainForm::ReDoClick);
    ReDo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    ReDo->setEnabled(false);
    BuildCompareMenus();

    auto command = [this, mb](QAction*& a, const char* name, const char* caption, void (TMainForm::*slot)()) {
        a = mb->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
    };
    command(RefPoints, "RefPoints", "&ReferPoints", &TMainForm::RefPointsClick);
    command(DrawLines1, "DrawLines1", "&DrawLinesCircles", &TMainForm::DrawLines1Click);
    DrawLines1->setEnabled(false);
    command(SetPivotData, "SetPivotData", "Pi&votData", &TMainForm::SetPivotDataClick);
    command(DynamicVariables, "DynamicVariables", "D&ynamicVari", &TMainForm::DynamicVariablesClick);
    command(SetUnDo, "SetUnDo", "&UnDo", &TMainForm::SetUnDoClick);

    DrawGraphs1 = mb->addMenu(QStringLiteral("Draw&Graphs"));
    DrawGraphs1->setObjectName(QStringLiteral("DrawGraphs1"));
    item(DrawGraphs1, SineDiag, "SineDiag", "&SineDiagram", &TMainForm::SineDiagClick);
    item(DrawGraphs1, OvalDiag, "OvalDiag", "&OvalDiagram", &TMainForm::OvalDiagClick);
    item(DrawGraphs1, SteamDiag, "SteamDiag", "S&teamDiagram", &TMainForm::SteamDiagClick);
    item(DrawGraphs1, FourEvents, "FourEvents", "&PortOpenClose", &TMainForm::FourEventsClick);
    item(DrawGraphs1, ValveEventsTable, "ValveEventsTable", "Valve &Events Table", &TMainForm::ValveEventsTableClick);

    Help1 = mb->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    item(Help1, Instructions, "Instructions", "&Instructions", &TMainForm::InstructionsClick);
    Instructions->setShortcut(QKeySequence(Qt::Key_F1));
    item(Help1, SpecInstr, "SpecInstr", "Instructions&Special", &TMainForm::SpecInstrClick);
    separator(Help1, "N6");
    item(Help1, About1, "About1", "&About", &TMainForm::About1Click);

    Error = mb->addAction(ErrorIcon(), QString());
    Error->setObjectName(QStringLiteral("Error"));
    // The picture is taller than the captions: the bar keeps its room all the
    // time, so that the window does not move while the picture blinks.
    mb->setMinimumHeight(mb->sizeHint().height());
    Error->setVisible(false);
    InstallErrorToolTip();
}

void TMainForm::BuildToolBar()
{
    ToolBar1 = new QToolBar(area_);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(22, 22));
    ToolBar1->setGeometry(0, 0, kClientWidth, 24);
    ToolBar1->setStyleSheet(QStringLiteral("QToolBar { border: 0px; background: transparent; spacing: 0px; }"));

    auto button = [this](QToolButton*& b, const char* name, int picture, const char* hint, void (TMainForm::*slot)()) {
        b = new QToolButton(ToolBar1);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(ToolIcon(picture));
        b->setToolTip(QString::fromUtf8(hint));
        b->setStatusTip(QString::fromUtf8(hint));
        b->setAutoRaise(true);
        b->setFixedSize(30, 24);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, slot);
        ToolBar1->addWidget(b);
    };
    button(ToolButton1, "ToolButton1", 1, "Open File: Dimensional Data", &TMainForm::OpenDimensionsClick);
    button(ToolButton2, "ToolButton2", 2, "Save As: Dimensional Data", &TMainForm::SaveAsDimensionsClick);
    ToolBar1->addSeparator();
    button(ToolButton4, "ToolButton4", 4, "Change Frame Dimensions", &TMainForm::FrameDimClick);
    button(ToolButton5, "ToolButton5", 5, "Change Cylinder Dimensions", &TMainForm::CylDimClick);
    ToolBar1->addSeparator();
    button(ToolButton6, "ToolButton6", 6, "Set Driver Angle to Desired Position", &TMainForm::DriverAngClick);
    button(ToolButton7, "ToolButton7", 7, "Set Step Angle to Desired Amount", &TMainForm::StepAng1Click);
    button(ToolButton8, "ToolButton8", 8, "Set Reverse Arm to Desired Position", &TMainForm::RevArmPosClick);
    ToolBar1->addSeparator();
    button(ToolButton9, "ToolButton9", 9, "Calculate Mid Gear Position if Necessary", &TMainForm::FindRevArmCentClick);
    ToolBar1->addSeparator();
    button(ToolButton10, "ToolButton10", 10, "Turn On Steam Display and Sound", &TMainForm::SetSteamClick);
    ToolBar1->addSeparator();
    button(ToolButton11, "ToolButton11", 11, "Turn On Reference Points", &TMainForm::RefPointsClick);
    button(ToolButton23, "ToolButton23", 23, "Draw Lines and Circles", &TMainForm::DrawLines1Click);
    ToolButton23->setEnabled(false);
    button(ToolButton24, "ToolButton24", 24, "Turn On Pivot Data", &TMainForm::SetPivotDataClick);
    button(ToolButton12, "ToolButton12", 12, "Turn On Dynamic Variables", &TMainForm::DynamicVariablesClick);
    button(ToolButton3, "ToolButton3", 3, "Turn On UnDo", &TMainForm::SetUnDoClick);
    ToolBar1->addSeparator();
    button(ToolButton13, "ToolButton13", 13, "View Sine Diagram", &TMainForm::SineDiagClick);
    button(ToolButton14, "ToolButton14", 14, "View Oval Diagram", &TMainForm::OvalDiagClick);
    button(ToolButton15, "ToolButton15", 15, "View Steam Diagram", &TMainForm::SteamDiagClick);
    button(ToolButton16, "ToolButton16", 16, "View Port Events vs Reverse Arm Position", &TMainForm::FourEventsClick);
}

void TMainForm::BuildControls()
{
    auto frame = [this](int k, int x, int y, int w, int h) {
        Panel[k] = new QFrame(area_);
        Panel[k]->setObjectName(QStringLiteral("Panel%1").arg(k));
        Panel[k]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        Panel[k]->setGeometry(x, y, w, h);
        Panel[k]->setAttribute(Qt::WA_TransparentForMouseEvents);
        // Only its edge is the panel's (the picture shows through the rest),
        // so that a change of the picture inside does not paint it again.
        const int e = Panel[k]->frameWidth();
        Panel[k]->setMask(QRegion(0, 0, w, h) - QRegion(e, e, w - 2 * e, h - 2 * e));
    };
    // Frames first, so that the controls lie above them.
    frame(1, 0, 23, 100, 46);
    frame(2, 99, 23, 154, 46);
    frame(3, 252, 23, 206, 46);
    frame(4, 457, 23, 86, 46);
    frame(10, 541, 23, 91, 112);
    frame(12, 0, 68, 252, 1);
    frame(5, 0, 68, 142, 54);
    frame(6, 141, 68, 66, 54);
    frame(11, 206, 68, 46, 54);
    frame(7, 252, 68, 124, 54);
    frame(8, 375, 68, 122, 54);
    frame(9, 496, 68, 49, 54);
    for (int k : {5, 6, 11, 7, 8, 9}) Panel[k]->hide();

    auto bar = [this](QScrollBar*& b, const char* name, const char* hint, int x, int y, int w, int h, int min, int max,
                      int small, int large, int pos) {
        b = new QScrollBar(Qt::Horizontal, area_);
        b->setObjectName(QString::fromLatin1(name));
        if (hint) b->setToolTip(QString::fromUtf8(hint));
        b->setGeometry(x, y, w, h);
        b->setRange(min, max);
        b->setSingleStep(small);
        b->setPageStep(large);
        b->setValue(pos);
    };
    const QFont buttonFont = LayoutFont(QStringLiteral("Times New Roman"), 11, true);
    auto btn = [this, buttonFont](QPushButton*& b, const char* name, const char* caption, const char* hint, int x,
                                  int y, int w, int h, void (TMainForm::*slot)()) {
        b = new QPushButton(QString::fromUtf8(caption), area_);
        b->setObjectName(QString::fromLatin1(name));
        if (hint) b->setToolTip(QString::fromUtf8(hint));
        b->setGeometry(x, y, w, h);
        b->setAutoDefault(false);
        b->setFont(buttonFont);
        connect(b, &QPushButton::clicked, this, slot);
    };

    // View block: presets, "P", "Norm", "RP1", "RP2", pan and zoom bars.
    static const char* kPresetNames[7] = {"Preset0", "Preset1", "Preset2", "Preset3", "Preset4", "Preset5", "Preset6"};
    static const char* kPresetHints[7] = {
        "Select First to Change Presets", "Pan & Zoom to Preset 1", "Pan & Zoom to Preset 2", "Pan & Zoom to Preset 3",
        "Pan & Zoom to Preset 4",         "Pan & Zoom to Preset 5", "Pan & Zoom to Preset 6"};
    void (TMainForm::*presetSlots[7])() = {&TMainForm::Preset0Click, &TMainForm::Preset1Click, &TMainForm::Preset2Click,
                                           &TMainForm::Preset3Click, &TMainForm::Preset4Click, &TMainForm::Preset5Click,
                                           &TMainForm::Preset6Click};
    for (int k = 1; k <= 6; ++k)
        btn(Preset[k], kPresetNames[k], std::to_string(k).c_str(), kPresetHints[k], 2 + (k - 1) * 16, 25, 16, 14,
            presetSlots[k]);
    btn(Preset[0], kPresetNames[0], "P", kPresetHints[0], 2, 40, 16, 14, presetSlots[0]);
    Preset0 = Preset[0];
    btn(NormVHZ, "NormVHZ", "Norm", "Return Pan & Zoom to Normal", 18, 40, 32, 14, &TMainForm::NormVHZClick);
    NormVHZ->setEnabled(false);
    btn(RefPt1, "RefPt1", "RP1", "Pan to Ref Point 1", 50, 40, 24, 14, &TMainForm::RefPt1Click);
    btn(RefPt2, "RefPt2", "RP2", "Pan to Ref Point 2", 74, 40, 24, 14, &TMainForm::RefPt2Click);
    RefPt1->setEnabled(false);
    RefPt2->setEnabled(false);
    bar(SBPanVert, "SBPanVert", "Pan Vertical", 101, 25, 96, 12, -500, 500, 1, 10, 0);
    bar(SBPanHorz, "SBPanHorz", "Pan Horizontal", 101, 39, 96, 12, -500, 500, 1, 10, 0);
    bar(SBZoom, "SBZoom", "Zoom In / Out", 101, 53, 96, 12, -200, 200, 1, 10, 0);
    connect(SBPanVert, &QScrollBar::valueChanged, this, &TMainForm::SBPanVertChange);
    connect(SBPanHorz, &QScrollBar::valueChanged, this, &TMainForm::SBPanHorzChange);
    connect(SBZoom, &QScrollBar::valueChanged, this, &TMainForm::SBZoomChange);

    // Motion block.
    btn(Rev, "Rev", "Rev", "Set Reverse Arm to Normal Reverse", 254, 24, 21, 14, &TMainForm::RevClick);
    btn(Center, "Center", "Cen", "Set Reverse Arm to Mid Gear", 275, 24, 21, 14, &TMainForm::CenterClick);
    btn(Fwd, "Fwd", "Fwd", "Set Reverse Arm to Normal Forward", 296, 24, 21, 14, &TMainForm::FwdClick);
    Center->setEnabled(false);
    btn(Run, "Run", "Stop", "Start / Stop Driver Rotation", 254, 38, 25, 14, &TMainForm::RunClick);
    btn(Deg00, "Deg00", "0.0", "Set Driver to 0 Deg", 279, 38, 19, 14, &TMainForm::Deg00Click);
    btn(Deg180, "Deg180", "180", "Set Driver Angle to 180 Deg", 298, 38, 19, 14, &TMainForm::Deg180Click);
    btn(Step1, "Step1", "1.0", "Set Driver Step Angle to 1 Deg", 254, 52, 21, 14, &TMainForm::Step1Click);
    btn(Step10, "Step10", "10.0", "Set Driver Step Angle to 10 Deg", 275, 52, 21, 14, &TMainForm::Step10Click);
    btn(Step45, "Step45", "45.0", "Set Driver Step Angle to 45 Deg", 296, 52, 21, 14, &TMainForm::Step45Click);
    Step10->setEnabled(false);
    bar(SBRevArm, "SBRevArm", "Set Reverse Arm Between Max & Min", 318, 25, 138, 12, -1300, 1300, 1, 20, 0);
    bar(SBDrvAng, "SBDrvAng", "Set Driver Angle From 0 to 360 Deg", 318, 39, 138, 12, -4000, 40000, 1000, 4500, 1);
    bar(SBStepAng, "SBStepAng", "Set Driver Step Angle to Predefined Values", 318, 53, 138, 12, 0, 14613, 920, 2760,
        12000);
    connect(SBRevArm, &QScrollBar::valueChanged, this, &TMainForm::SBRevArmChange);
    connect(SBDrvAng, &QScrollBar::valueChanged, this, &TMainForm::SBDrvAngChange);
    connect(SBStepAng, &QScrollBar::valueChanged, this, &TMainForm::SBStepAngChange);

    // Reference point block (hidden until the reference points are on).
    bar(SBRef1Vert, "SBRef1Vert", "Change Ref Point 1 Vert", 2, 71, 120, 10, -5000, 5000, 1, 25, 0);
    bar(SBRef1Horz, "SBRef1Horz", "Change Ref Point 1 Horz", 2, 83, 120, 10, -10000, 10000, 1, 25, 0);
    bar(SBRef2Vert, "SBRef2Vert", "Change Ref Point 2 Vert", 2, 95, 120, 10, -5000, 5000, 1, 25, 0);
    bar(SBRef2Horz, "SBRef2Horz", "Change Ref Point 2 Horz", 2, 107, 120, 10, -10000, 10000, 1, 25, 0);
    connect(SBRef1Vert, &QScrollBar::valueChanged, this, &TMainForm::SBRef1VertChange);
    connect(SBRef1Horz, &QScrollBar::valueChanged, this, &TMainForm::SBRef1HorzChange);
    connect(SBRef2Vert, &QScrollBar::valueChanged, this, &TMainForm::SBRef2VertChange);
    connect(SBRef2Horz, &QScrollBar::valueChanged, this, &TMainForm::SBRef2HorzChange);
    btn(RefPt1Zero, "RefPt1Zero", "0", "Zero Reference Point 1", 124, 71, 16, 22, &TMainForm::RefPt1ZeroClick);
    btn(RefPt2Zero, "RefPt2Zero", "0", "Zero Reference Point 2", 124, 95, 16, 22, &TMainForm::RefPt2ZeroClick);
    for (QWidget* w :
         std::initializer_list<QWidget*>{SBRef1Vert, SBRef1Horz, SBRef2Vert, SBRef2Horz, RefPt1Zero, RefPt2Zero})
        w->hide();
    RefPt1Zero->setEnabled(false);
    RefPt2Zero->setEnabled(false);
    btn(DataTableBut, "DataTableBut", "DataTable", nullptr, 80, 126, 62, 16, &TMainForm::DataTableButClick);
    DataTableBut->hide();

    // Dynamic variables and undo.
    static const char* kDynHints[5] = {nullptr, "Change Last Variable Clicked", "Change Next to Last Variable Clicked",
                                       "Change 2nd to Last Variable Clicked", "Change 3rd to Last Variable Clicked"};
    for (int k = 1; k <= 4; ++k) {
        const std::string name = "SBDynVar" + std::to_string(k);
        bar(SBDynVar[k], name.c_str(), kDynHints[k], 253, 72 + 12 * (k - 1), 121, 10, -200, 200, 1, 10, 0);
        SBDynVar[k]->hide();
        connect(SBDynVar[k], &QScrollBar::valueChanged, this, [this, k](int) { SBDynVarChange(k); });
    }
    InstallDynVarBarHooks();
    btn(UnDoDn, "UnDoDn", "UnDo", nullptr, 278, 72, 40, 16, &TMainForm::UnDoDnClick);
    UnDoDn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z)); // only while shown and enabled
    UnDoDn->setEnabled(false);
    UnDoDn->hide();

    AssemblyStatus = new QStatusBar(area_);
    AssemblyStatus->setObjectName(QStringLiteral("AssemblyStatus"));
    AssemblyStatus->setSizeGripEnabled(false);
    AssemblyStatus->setFont(QApplication::font()); // not the frame's underlined one
    AssemblyStatus->setAutoFillBackground(true);
    QPalette tip = AssemblyStatus->palette();
    tip.setColor(QPalette::Window, QColor(255, 255, 225));
    tip.setColor(QPalette::WindowText, Qt::black);
    AssemblyStatus->setPalette(tip);
    AssemblyStatus->hide();
}

void TMainForm::CreateChildWindows()
{
    Forms.DrivAng = NewDrivAng(this);
    Forms.OvalDia = NewOvalDia(this);
    Forms.PortDia = NewPortDia(this);
    Forms.RefPnts = NewRefPnts(this);
    Forms.RevPos = NewRevPos(this);
    Forms.SetRevArm = NewSetRevArm(this);
    Forms.SineDia = NewSineDia(this);
    Forms.SteamDia = NewSteamDia(this);
    Forms.StpAng = NewStpAng(this);
    Forms.AboutBox = NewAboutBox(this);
    Forms.Inst = NewInst(this);
    Forms.QelSpInst = NewQelSpInst(this);
    Forms.FrameDi = NewFrameDi(this);
    Forms.CylDimen = NewCylDimen(this);
    Forms.GraphZoom = NewGraphZoom(this);
    Forms.DrawLines = NewDrawLines(this);
    Forms.DataTable = NewDataTable(this);
    Forms.ValveEvents = NewValveEvents(this);
    Forms.Balance = NewBalance(this);
    Forms.DesignCheck = NewDesignCheck(this);
    Forms.Optimise = NewOptimise(this);
    Forms.Sensitivity = NewSensitivity(this);
    Forms.Tolerance = NewTolerance(this);
    Forms.ScaleDesign = NewScaleDesign(this);
    UpdateCommandStates();
}

void TMainForm::UpdateCommandStates()
{
    auto both = [](QAction* a, QToolButton* b, bool on) {
        if (a) a->setEnabled(on);
        if (b) b->setEnabled(on);
    };
    both(FrameDim, ToolButton4, Forms.FrameDi != nullptr);
    both(CylDim, ToolButton5, Forms.CylDimen != nullptr);
    both(DriverAng, ToolButton6, Forms.DrivAng != nullptr);
    both(StepAng1, ToolButton7, Forms.StpAng != nullptr);
    both(RevArmPos, ToolButton8, Forms.RevPos != nullptr);
    both(SineDiag, ToolButton13, Forms.SineDia != nullptr);
    both(OvalDiag, ToolButton14, Forms.OvalDia != nullptr);
    both(SteamDiag, ToolButton15, Forms.SteamDia != nullptr);
    both(FourEvents, ToolButton16, Forms.PortDia != nullptr);
    ValveEventsTable->setEnabled(Forms.ValveEvents != nullptr);
    BalanceEvents->setEnabled(Forms.Balance != nullptr);
    DesignCheck->setEnabled(Forms.DesignCheck != nullptr);
    OptimiseDesign->setEnabled(Forms.Optimise != nullptr);
    Sensitivity->setEnabled(Forms.Sensitivity != nullptr);
    ToleranceStudy->setEnabled(Forms.Tolerance != nullptr);
    ScaleDesign->setEnabled(Forms.ScaleDesign != nullptr);
    SetGraphicZoom->setEnabled(Forms.GraphZoom != nullptr);
    ResetAll->setEnabled(Forms.FrameDi != nullptr && Forms.CylDimen != nullptr);
    RefPoints1->setEnabled(Forms.RefPnts != nullptr);
    Instructions->setEnabled(Forms.Inst != nullptr);
    SpecInstr->setEnabled(Forms.QelSpInst != nullptr);
    About1->setEnabled(Forms.AboutBox != nullptr);
    if (!Forms.DrawLines) both(DrawLines1, ToolButton23, false);
}

// ------------------------------------------------------------------ life cycle
void TMainForm::FormCreate()
{
    StartupModel(state_);
    MarkDesignSaved();
    SetRevArmBarRange();
    sound_.SetWaveVolume(0x80008000u);
}

void TMainForm::FormActivate()
{
    // The gear starts running; the driver angle bar is only usable while stopped.
    SBDrvAng->setEnabled(false);
}

void TMainForm::FormClose() { sound_.SetWaveVolume(0x80008000u); }

bool TMainForm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && !activatedOnce_) {
        activatedOnce_ = true;
        FormActivate();
    }
    return QMainWindow::event(e);
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    // Cancel keeps the program running as it was.
    if (!SaveChangesIfWanted()) {
        e->ignore();
        return;
    }
    Timer1->stop();
    FormClose();
    // A normal exit leaves no recovery file.
    if (recovery_) {
        recoveryTimer_->stop();
        recovery_->Stop();
    }
    e->accept();
}

bool TMainForm::IsRunning() const { return Run->text() == QLatin1String("Stop"); }

// ------------------------------------------------------------------ the tick
void TMainForm::Timer1Timer()
{
    if (ticking_) return;
    ticking_ = true;
    Tick();
    ticking_ = false;
}

void TMainForm::Tick()
{
    TickModel(state_);
    UpdateAssemblyText();
    DrawFrame();
}

void TMainForm::DrawFrame()
{
    // The frame is composed as a list of drawing operations, painted only
    // when it differs from the one shown, and only the part that changed is
    // repainted on the window.
    FrameEffects fx;
    composed_.Reset(std::min(area_->width(), kFrameWidth), std::min(area_->height(), kFrameHeight));
    {
        QtListCanvas canvas(composed_);
        FrameServices services{sound_, random_};
        ComposeFrame(canvas, state_, services, fx);
    }
    const QRegion changed = frame_.Show(composed_, area_->devicePixelRatio());
    UpdateCaptions();
    if (!changed.isEmpty()) area_->update(changed);
    ApplyFrameEffects(fx);
    if (changed.isEmpty() && FrameStaysStill(state_)) RestTicks();
}

void TMainForm::FitFrameToArea()
{
    frame_.Refit(QSize(std::min(area_->width(), kFrameWidth), std::min(area_->height(), kFrameHeight)),
                 area_->devicePixelRatio());
}

DisplayList TMainForm::ShownPicture() const
{
    DisplayList shown = frame_.Shown();
    shown.Crop(0, 0, std::min(area_->width(), kFrameWidth), std::min(area_->height(), kFrameHeight));
    return shown;
}

void TMainForm::UpdateCaptions()
{
    const QString tail = QString::fromStdString(state_.display.DataSetName) + QStringLiteral("     ") +
                         QString::fromStdString(clock_.ShortDate()) + QStringLiteral("   ") +
                         QString::fromStdString(clock_.ShortTime()) + QStringLiteral("   Version ") +
                         QString::fromLatin1(kProgramVersion);
    setWindowTitle(QStringLiteral("QUELF Outside Admission            ") + tail);
    UpdateGraphCaptions(tail);
    UpdateAidsCaptions(tail);
}

void TMainForm::ApplyFrameEffects(const FrameEffects& fx)
{
    if (fx.errorItem == Vis::Show) Error->setVisible(true);
    if (fx.errorItem == Vis::Hide) Error->setVisible(false);
    ApplyDynVarEffects(fx);
    if (fx.restoreCursor) area_->unsetCursor();
    ApplyHighlightEffects(fx);
}
