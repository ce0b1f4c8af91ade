#include "mainwin/TMainForm.h"

#include "aids/TAboutBox.h"
#include "aids/TDataTable.h"
#include "aids/TDrawLines.h"
#include "aids/TInst.h"
#include "aids/TQelSpInst.h"
#include "dialogs/DialogCommon.h"
#include "dialogs/TBalance.h"
#include "dialogs/TClearance.h"
#include "dialogs/TCylDimen.h"
#include "dialogs/TDesignCheck.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TEngineData.h"
#include "dialogs/TFrameDi.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TRevPos.h"
#include "dialogs/TScaleDesign.h"
#include "dialogs/TSensitivity.h"
#include "dialogs/TStpAng.h"
#include "dialogs/TTolerance.h"
#include "drawing/ViewOps.h"
#include "files/RecentDesigns.h"
#include "graphs/TIndicator.h"
#include "graphs/TOvalDia.h"
#include "graphs/TPortDia.h"
#include "graphs/TSetRevArm.h"
#include "graphs/TSineDia.h"
#include "graphs/TSteamDia.h"
#include "graphs/TValveEvents.h"
#include "mainwin/TGraphZoom.h"
#include "mainwin/TMotionControls.h"
#include "mainwin/TRefPnts.h"
#include "mainwin/WorkshopCommands.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "model/PointIndex.h"
#include "model/ProgramVersion.h"
#include "qt/QtActionToolTip.h"
#include "qt/QtBarGestures.h"
#include "qt/QtCanvas.h"
#include "qt/QtDesignExports.h"
#include "qt/QtDesktop.h"
#include "qt/QtFonts.h"
#include "qt/QtPictureCommands.h"
#include "qt/QtToolIcons.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

// ------------------------------------------------------------------ construction
TMainForm::TMainForm(AppState& state, SoundPort& sound, RandomSource& random, ClockSource& clock, QWidget* parent,
                     FileSystem& files)
    : QMainWindow(parent), state_(state), sound_(sound), random_(random), clock_(clock), files_(files),
      session_(state, files)
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
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (ticking_) return;
        ticking_ = true;
        Tick();
        ticking_ = false;
    });
    rest_ = new TTickRest(this, Timer1, kTickIntervalMs, [this] { UpdateCaptions(); });

    session_.SetQuestions(this);
    session_.Listen([this](SessionEvent e, int value) { FollowSession(e, value); });
    session_.Start();
    motion_->SetRevArmBarRange();
    sound_.SetWaveVolume(0x80008000u);

    resize(kClientWidth, kClientHeight + std::max(menuBar()->sizeHint().height(), menuBar()->minimumHeight()));
    if (QScreen* scr = QGuiApplication::primaryScreen()) {
        const QRect g = scr->availableGeometry();
        move(g.center() - rect().center());
    }
    motion_->ArmBar()->setFocus();
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
    auto item = [this](QWidget* menu, const char* name, const char* caption, std::function<void()> slot,
                       QKeySequence key = {}) {
        auto* a = new QAction(QString::fromUtf8(caption), menu);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) a->setShortcut(key);
        menu->addAction(a);
        connect(a, &QAction::triggered, this, std::move(slot));
        return a;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };
    auto menu = [mb](const char* name, const char* caption) {
        QMenu* m = mb->addMenu(QString::fromLatin1(caption));
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    // The command of a window kept in forms_ (null until it is made).
    auto modal = [](auto* const& d) { return [&d] { ShowModal(d); }; };
    const auto ctrl = [](Qt::Key key, Qt::KeyboardModifiers more = {}) {
        return QKeySequence(QKeyCombination(Qt::ControlModifier | more, key));
    };

    File1 = menu("File1", "&File");
    item(
        File1, "OpenDimensions", "&OpenDimensions", [this] { OpenClick("OpenDialogWin"); }, ctrl(Qt::Key_O));
    item(File1, "OpenDosDimensions", "Open&DosDimensions", [this] { OpenClick("OpenDialogDos"); });
    item(
        File1, "SaveDimensions", "&Save", [this] { session_.Save(); }, ctrl(Qt::Key_S));
    item(
        File1, "SaveAsDimensions", "Save&AsDimensions", [this] { session_.SaveAs(); },
        ctrl(Qt::Key_S, Qt::ShiftModifier));
    item(File1, "ExportDesignJson", "Export Design as &JSON…", [this] { ExportDesignJsonClick(); });
    separator(File1, "N7");
    Pictures = new PictureCommands(this, {[this] { return ShownPicture(); }, [] { return std::string("gear"); },
                                          [this] { return state_.display.DataSetName; },
                                          [this]() -> FileSystem& { return files_; }});
    Pictures->AddTo(File1);
    item(File1, "DesignReport", "Design &Report…", [this] { SaveDesignReport(this, *Pictures, state_, clock_); });
    // "&A" is also "Save&AsDimensions"'s: a key of its own.
    const auto animation = [this] {
        SaveMainAnimation(this, *Pictures, state_, std::min(area_->width(), kFrameWidth),
                          std::min(area_->height(), kFrameHeight));
    };
    item(File1, "ExportAnimation", "Export A&nimation…", animation, ctrl(Qt::Key_E, Qt::ShiftModifier));
    separator(File1, "N1");
    // The recent designs ("&1 name.vgw", the folder as the tooltip).
    File1->setToolTipsVisible(true);
    for (int k = 1; k <= kRecentDesignsMax; ++k) {
        RecentDesign[static_cast<size_t>(k)] = item(File1, "", "", [this, k] { RecentDesignClick(k); });
        RecentDesign[static_cast<size_t>(k)]->setObjectName(QStringLiteral("RecentDesign%1").arg(k));
    }
    RecentSeparator = File1->addSeparator();
    RecentSeparator->setObjectName(QStringLiteral("RecentSeparator"));
    RefreshRecentDesigns();
    item(
        File1, "Exit1", "E&xit", [this] { close(); }, ctrl(Qt::Key_Q));

    QMenu* setUp = menu("SetUp1", "&SetUp");
    item(setUp, "RevArmPos", "Set&RevArmPos", modal(forms_.RevPos));
    item(setUp, "DriverAng", "Set&DriverAng", modal(forms_.DrivAng));
    item(setUp, "StepAng1", "Set&StepAng", modal(forms_.StpAng));
    RefPoints1 = item(setUp, "RefPoints1", "SetRef&Points", modal(forms_.RefPnts));
    separator(setUp, "N2");
    item(setUp, "LargeFont", "SetLarge&Font", [this] { LargeFontClick(); });
    item(setUp, "FindRevArmCent", "&CalcCentRevArm", [this] {
        RecomputeRevArmCentre(state_.gear);
        motion_->NotchClick(0);
    });
    item(setUp, "SetSteam", "SetS&teamDisp On", [this] {
        ToggleSwitch(Child<QAction>("SetSteam"), state_.display.SteamDisplayOn, "SetS&teamDisp Off",
                     "SetS&teamDisp On");
    });
    item(setUp, "SetBeepOnError", "Set&ErrorBeep Off", [this] {
        ToggleSwitch(Child<QAction>("SetBeepOnError"), state_.gear.ErrorBeepOn, "Set&ErrorBeep Off",
                     "Set&ErrorBeep On");
    });
    item(setUp, "SetLineWidth", "Set&LineWidth 2", [this] {
        int& w = state_.display.LineWidth;
        w = w == 1 ? 2 : 1;
        Child<QAction>("SetLineWidth")
            ->setText(w == 2 ? QStringLiteral("Set&LineWidth 1") : QStringLiteral("Set&LineWidth 2"));
    });
    item(setUp, "SetScreenData", "SetScree&nData Off", [this] { SetScreenDataClick(); });
    SetPanZoom = item(setUp, "SetPanZoom", "SetP&anZoom On", [this] { SetPanZoomClick(); });
    item(setUp, "FitView", "Fit &Gear to Window", [this] { FitViewClick(); });
    SetPanZoom->setEnabled(false);
    AddWorkshopCommands(this, state_, setUp, *Pictures, forms_.Clearance);

    EditDimen1 = menu("EditDimen1", "&EditDimen");
    item(EditDimen1, "FrameDim", "&FrameDimensions", modal(forms_.FrameDi));
    item(EditDimen1, "CylDim", "&CylinderDimensions", modal(forms_.CylDimen));
    item(EditDimen1, "EngineData", "Eng&ine Data…", modal(forms_.EngineData));
    item(EditDimen1, "BalanceEvents", "&Balance Events…", modal(forms_.Balance));
    // Not modal (nor the indicator window): it stays beside the main window and follows the design.
    item(EditDimen1, "DesignCheck", "&Design Check…", [this] { ShowBeside(forms_.DesignCheck); });
    item(EditDimen1, "OptimiseDesign", "&Optimise Design…", modal(forms_.Optimise));
    item(EditDimen1, "Sensitivity", "Se&nsitivity…", modal(forms_.Sensitivity));
    item(EditDimen1, "ToleranceStudy", "&Tolerance Study…", modal(forms_.Tolerance));
    item(EditDimen1, "ScaleDesign", "&Scale Design…", modal(forms_.ScaleDesign));
    separator(EditDimen1, "N3");
    item(EditDimen1, "SetGraphicZoom", "Set&GraphicZoom", modal(forms_.GraphZoom));
    separator(EditDimen1, "N4");
    item(EditDimen1, "ResetAll", "&ResetAllDimensions", [this] { ResetAllClick(); });
    separator(EditDimen1, "N8");
    // R belongs to ResetAllDimensions.
    ReDo = item(EditDimen1, "ReDo", "R&eDo", [this] { UndoRedoClick(true); });
    ReDo->setShortcuts({ctrl(Qt::Key_Z, Qt::ShiftModifier), ctrl(Qt::Key_Y)});
    ReDo->setEnabled(false);
    BuildCompareMenus();

    item(mb, "RefPoints", "&ReferPoints", [this] { RefPointsClick(); });
    DrawLines1 = item(mb, "DrawLines1", "&DrawLinesCircles", [this] { DrawLines1Click(); });
    DrawLines1->setEnabled(false);
    item(mb, "SetPivotData", "Pi&votData", [this] { SetPivotDataClick(); });
    item(mb, "DynamicVariables", "D&ynamicVari", [this] { DynamicVariablesClick(); });
    item(mb, "SetUnDo", "&UnDo", [this] { SetUnDoClick(); });

    QMenu* graphs = menu("DrawGraphs1", "Draw&Graphs");
    item(graphs, "SineDiag", "&SineDiagram", [this] { ShowDiagram(forms_.SineDia); });
    item(graphs, "OvalDiag", "&OvalDiagram", [this] { ShowDiagram(forms_.OvalDia); });
    item(graphs, "SteamDiag", "S&teamDiagram", [this] { ShowDiagram(forms_.SteamDia); });
    // The port graph always opens in forward mode.
    item(graphs, "FourEvents", "&PortOpenClose", [this] {
        if (!forms_.PortDia) return;
        state_.graph.PortGraphMode = 'F';
        ShowDiagram(forms_.PortDia);
    });
    // Modal like the pivot data table: the animation runs on underneath.
    item(graphs, "ValveEventsTable", "Valve &Events Table", modal(forms_.ValveEvents));
    item(graphs, "IndicatorDiagram", "&Indicator Diagram…", [this] { ShowBeside(forms_.Indicator); });

    QMenu* help = menu("Help1", "&Help");
    item(help, "Instructions", "&Instructions", modal(forms_.Inst), QKeySequence(Qt::Key_F1));
    item(help, "SpecInstr", "Instructions&Special", modal(forms_.QelSpInst));
    separator(help, "N6");
    item(help, "About1", "&About", modal(forms_.AboutBox));

    Error = mb->addAction(ErrorIcon(), QString());
    Error->setObjectName(QStringLiteral("Error"));
    // The picture is taller than the captions: the bar keeps its room all the
    // time, so that the window does not move while the picture blinks.
    mb->setMinimumHeight(mb->sizeHint().height());
    Error->setVisible(false);
    ShowActionToolTip(mb, Error);
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
    // Each button does what the menu item of the same name does; 0: a separator.
    const struct {
        int picture;
        const char* hint;
        const char* item;
    } kButtons[] = {
        {1, "Open File: Dimensional Data", "OpenDimensions"},
        {2, "Save As: Dimensional Data", "SaveAsDimensions"},
        {0, nullptr, nullptr},
        {4, "Change Frame Dimensions", "FrameDim"},
        {5, "Change Cylinder Dimensions", "CylDim"},
        {0, nullptr, nullptr},
        {6, "Set Driver Angle to Desired Position", "DriverAng"},
        {7, "Set Step Angle to Desired Amount", "StepAng1"},
        {8, "Set Reverse Arm to Desired Position", "RevArmPos"},
        {0, nullptr, nullptr},
        {9, "Calculate Mid Gear Position if Necessary", "FindRevArmCent"},
        {0, nullptr, nullptr},
        {10, "Turn On Steam Display and Sound", "SetSteam"},
        {0, nullptr, nullptr},
        {11, "Turn On Reference Points", "RefPoints"},
        {23, "Draw Lines and Circles", "DrawLines1"},
        {24, "Turn On Pivot Data", "SetPivotData"},
        {12, "Turn On Dynamic Variables", "DynamicVariables"},
        {3, "Turn On UnDo", "SetUnDo"},
        {0, nullptr, nullptr},
        {13, "View Sine Diagram", "SineDiag"},
        {14, "View Oval Diagram", "OvalDiag"},
        {15, "View Steam Diagram", "SteamDiag"},
        {16, "View Port Events vs Reverse Arm Position", "FourEvents"},
    };
    for (const auto& k : kButtons) {
        if (k.picture == 0) {
            ToolBar1->addSeparator();
            continue;
        }
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QStringLiteral("ToolButton%1").arg(k.picture));
        b->setIcon(ToolIcon(k.picture));
        b->setToolTip(QString::fromUtf8(k.hint));
        b->setStatusTip(QString::fromUtf8(k.hint));
        b->setAutoRaise(true);
        b->setFixedSize(30, 24);
        b->setFocusPolicy(Qt::NoFocus);
        QAction* a = Child<QAction>(k.item);
        // The action's own trigger, even while the item is disabled.
        connect(b, &QToolButton::clicked, this, [a] { emit a->triggered(false); });
        ToolBar1->addWidget(b);
    }
    ToolButton23 = Child<QToolButton>("ToolButton23");
    ToolButton23->setEnabled(false);
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
    for (const auto& [k, x, y, w, h] : {std::array{1, 0, 23, 100, 46},
                                        {2, 99, 23, 154, 46},
                                        {3, 252, 23, 206, 46},
                                        {4, 457, 23, 86, 46},
                                        {10, 541, 23, 91, 112},
                                        {12, 0, 68, 252, 1},
                                        {5, 0, 68, 142, 54},
                                        {6, 141, 68, 66, 54},
                                        {11, 206, 68, 46, 54},
                                        {7, 252, 68, 124, 54},
                                        {8, 375, 68, 122, 54},
                                        {9, 496, 68, 49, 54}})
        frame(k, x, y, w, h);
    for (int k : {5, 6, 11, 7, 8, 9}) Panel[k]->hide();

    auto bar = [this](QScrollBar*& b, const QString& name, const char* hint, QRect at, int min, int max, int small,
                      int large, int pos, std::function<void()> changed) {
        b = new QScrollBar(Qt::Horizontal, area_);
        b->setObjectName(name);
        if (hint) b->setToolTip(QString::fromUtf8(hint));
        b->setGeometry(at);
        b->setRange(min, max);
        b->setSingleStep(small);
        b->setPageStep(large);
        b->setValue(pos);
        connect(b, &QScrollBar::valueChanged, this, std::move(changed));
    };
    const QFont buttonFont = LayoutFont(QStringLiteral("Times New Roman"), 11, true);
    auto btn = [this, buttonFont](QPushButton*& b, const QString& name, const char* caption, const char* hint, QRect at,
                                  std::function<void()> slot) {
        b = new QPushButton(QString::fromUtf8(caption), area_);
        b->setObjectName(name);
        if (hint) b->setToolTip(QString::fromUtf8(hint));
        b->setGeometry(at);
        b->setAutoDefault(false);
        b->setFont(buttonFont);
        connect(b, &QPushButton::clicked, this, std::move(slot));
    };

    // View block: presets, "P", "Norm", "RP1", "RP2", pan and zoom bars.
    for (int k = 1; k <= 6; ++k)
        btn(Preset[k], QStringLiteral("Preset%1").arg(k), std::to_string(k).c_str(),
            QStringLiteral("Pan & Zoom to Preset %1").arg(k).toUtf8().constData(), {2 + (k - 1) * 16, 25, 16, 14},
            [this, k] { PresetClick(k); });
    btn(Preset[0], "Preset0", "P", "Select First to Change Presets", {2, 40, 16, 14}, [this] { PresetClick(0); });
    btn(NormVHZ, "NormVHZ", "Norm", "Return Pan & Zoom to Normal", {18, 40, 32, 14}, [this] { NormVHZClick(); });
    NormVHZ->setEnabled(false);
    btn(RefPt1, "RefPt1", "RP1", "Pan to Ref Point 1", {50, 40, 24, 14}, [this] { RefPtClick(kRefPoint1); });
    btn(RefPt2, "RefPt2", "RP2", "Pan to Ref Point 2", {74, 40, 24, 14}, [this] { RefPtClick(kRefPoint2); });
    RefPt1->setEnabled(false);
    RefPt2->setEnabled(false);
    View& v = state_.view;
    bar(SBPanVert, "SBPanVert", "Pan Vertical", {101, 25, 96, 12}, -500, 500, 1, 10, 0,
        [this, &v] { StepperChange(SBPanVert, v.PanVertLast, v.PanVertPrev, PanVertical); });
    bar(SBPanHorz, "SBPanHorz", "Pan Horizontal", {101, 39, 96, 12}, -500, 500, 1, 10, 0,
        [this, &v] { StepperChange(SBPanHorz, v.PanHorzLast, v.PanHorzPrev, PanHorizontal); });
    bar(SBZoom, "SBZoom", "Zoom In / Out", {101, 53, 96, 12}, -200, 200, 1, 10, 0,
        [this, &v] { StepperChange(SBZoom, v.ZoomLast, v.ZoomPrev, ZoomStep); });

    // Motion block.
    motion_ = new TMotionControls(area_, session_, buttonFont);

    // Reference point block (hidden until the reference points are on).
    const char* kRefNames[4] = {"SBRef1Vert", "SBRef1Horz", "SBRef2Vert", "SBRef2Horz"};
    const char* kRefHints[4] = {"Change Ref Point 1 Vert", "Change Ref Point 1 Horz", "Change Ref Point 2 Vert",
                                "Change Ref Point 2 Horz"};
    for (int k = 0; k < 4; ++k) {
        const int range = k % 2 ? 10000 : 5000;
        bar(SBRef[k], kRefNames[k], kRefHints[k], {2, 71 + 12 * k, 120, 10}, -range, range, 1, 25, 0,
            [this, k] { SBRefChange(k); });
    }
    btn(RefPtZero[1], "RefPt1Zero", "0", "Zero Reference Point 1", {124, 71, 16, 22}, [this] { RefPtZeroClick(1); });
    btn(RefPtZero[2], "RefPt2Zero", "0", "Zero Reference Point 2", {124, 95, 16, 22}, [this] { RefPtZeroClick(2); });
    for (QWidget* w : {SBRef[0], SBRef[1], SBRef[2], SBRef[3]}) w->hide();
    for (int ref : {1, 2}) {
        RefPtZero[ref]->hide();
        RefPtZero[ref]->setEnabled(false);
    }
    btn(DataTableBut, "DataTableBut", "DataTable", nullptr, {80, 126, 62, 16}, [this] { ShowModal(forms_.DataTable); });
    DataTableBut->hide();

    // Dynamic variables and undo.
    static const char* kDynHints[5] = {nullptr, "Change Last Variable Clicked", "Change Next to Last Variable Clicked",
                                       "Change 2nd to Last Variable Clicked", "Change 3rd to Last Variable Clicked"};
    auto* gestures = new BarGestures(
        this, [this](int k) { DynBarEnter(state_, k); }, [this](int k) { SBDynVarScroll(k); });
    for (int k = 1; k <= 4; ++k) {
        bar(SBDynVar[k], QStringLiteral("SBDynVar%1").arg(k), kDynHints[k], {253, 72 + 12 * (k - 1), 121, 10}, -200,
            200, 1, 10, 0, [this, k] { SBDynVarChange(k); });
        SBDynVar[k]->hide();
        gestures->Watch(SBDynVar[k], k);
    }
    btn(UnDoDn, "UnDoDn", "UnDo", nullptr, {278, 72, 40, 16}, [this] { UndoRedoClick(false); });
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
    ChildWindows& f = forms_;
    AppState& s = state_;
    DesignSession* session = &session_;
    f.DrivAng = new TDrivAng(s, session, this);
    f.OvalDia = new TOvalDia(s, this);
    f.PortDia = new TPortDia(s, this);
    f.RefPnts = new TRefPnts(s, this);
    f.RefPnts->RunSwitch = [this] { RefPointsClick(); };
    f.RefPnts->EnableZero = [this](int ref, bool on) { RefPtZero[ref == 1 ? 1 : 2]->setEnabled(on); };
    f.RevPos = new TRevPos(s, session, this);
    f.SetRevArm = new TSetRevArm(s, this);
    f.SineDia = new TSineDia(s, this);
    f.SteamDia = new TSteamDia(s, this);
    f.StpAng = new TStpAng(s, session, this);
    f.AboutBox = new TAboutBox(this);
    f.Inst = new TInst(this);
    f.QelSpInst = new TQelSpInst(this);
    f.FrameDi = new TFrameDi(s, session, this);
    f.CylDimen = new TCylDimen(s, session, this);
    f.GraphZoom = new TGraphZoom(s, this);
    f.DrawLines = new TDrawLines(s, &sound_, this);
    f.DataTable = new TDataTable(s, clock_, this, files_);
    f.ValveEvents = new TValveEvents(s, this, files_);
    f.Balance = new TBalance(s, session, this);
    f.DesignCheck = new TDesignCheck(s, session, this);
    f.Optimise = new TOptimise(s, session, this);
    f.Sensitivity = new TSensitivity(s, session, this, files_);
    f.Sensitivity->SetPartners(f.Balance, f.Optimise);
    f.Tolerance = new TTolerance(s, session, this, files_);
    f.ScaleDesign = new TScaleDesign(s, session, this);
    f.EngineData = new TEngineData(s, session, this);
    f.Indicator = new TIndicator(s, session, this, files_);
    f.Clearance = new TClearance(s, session, this);
    // A diagram window stops the animation while open, and its "DynamicVari"
    // menu and undo button act on this window's bars, panels and "UnDo".
    for (TDiagramWindow* w : std::initializer_list<TDiagramWindow*>{f.OvalDia, f.PortDia, f.SineDia, f.SteamDia}) {
        DiagramHost& h = w->Host();
        h.files = [this]() -> FileSystem& { return files_; };
        h.setTimerEnabled = [this](bool on) {
            if (on) WakeTicks();
            on ? Timer1->start() : Timer1->stop();
        };
        h.setDynBarsVisible = [this](bool on) {
            for (int k = 1; k <= 4; ++k) SBDynVar[static_cast<size_t>(k)]->setVisible(on);
            for (int k = 7; k <= 9; ++k) Panel[static_cast<size_t>(k)]->setVisible(on);
        };
        h.setUndoDnEnabled = [this](bool on) {
            UnDoDn->setEnabled(on);
            // After an undo there that put the reverse arm back.
            if (state_.dyn.Undo[0].RestoresArm) motion_->ShowRevArmOfModel();
        };
    }
    UpdateCommandStates();
}

void TMainForm::UpdateCommandStates()
{
    // Each command (and its tool button) is usable while its window is there.
    const ChildWindows& f = forms_;
    const struct {
        const char* item;
        int button;
        bool there;
    } kCommands[] = {
        {"FrameDim", 4, f.FrameDi != nullptr},         {"CylDim", 5, f.CylDimen != nullptr},
        {"DriverAng", 6, f.DrivAng != nullptr},        {"StepAng1", 7, f.StpAng != nullptr},
        {"RevArmPos", 8, f.RevPos != nullptr},         {"SineDiag", 13, f.SineDia != nullptr},
        {"OvalDiag", 14, f.OvalDia != nullptr},        {"SteamDiag", 15, f.SteamDia != nullptr},
        {"FourEvents", 16, f.PortDia != nullptr},      {"ValveEventsTable", 0, f.ValveEvents != nullptr},
        {"BalanceEvents", 0, f.Balance != nullptr},    {"DesignCheck", 0, f.DesignCheck != nullptr},
        {"OptimiseDesign", 0, f.Optimise != nullptr},  {"Sensitivity", 0, f.Sensitivity != nullptr},
        {"ToleranceStudy", 0, f.Tolerance != nullptr}, {"ScaleDesign", 0, f.ScaleDesign != nullptr},
        {"EngineData", 0, f.EngineData != nullptr},    {"IndicatorDiagram", 0, f.Indicator != nullptr},
        {"SetGraphicZoom", 0, f.GraphZoom != nullptr}, {"ResetAll", 0, f.FrameDi && f.CylDimen},
        {"RefPoints1", 0, f.RefPnts != nullptr},       {"Instructions", 0, f.Inst != nullptr},
        {"SpecInstr", 0, f.QelSpInst != nullptr},      {"ClearanceReport", 0, f.Clearance != nullptr},
        {"About1", 0, f.AboutBox != nullptr},
    };
    for (const auto& c : kCommands) {
        Child<QAction>(c.item)->setEnabled(c.there);
        if (c.button) findChild<QToolButton*>(QStringLiteral("ToolButton%1").arg(c.button))->setEnabled(c.there);
    }
    if (!f.DrawLines) {
        DrawLines1->setEnabled(false);
        ToolButton23->setEnabled(false);
    }
}

// ------------------------------------------------------------------ the session's news
void TMainForm::FollowSession(SessionEvent event, int value)
{
    motion_->Follow(event, value);
    switch (event) {
    case SessionEvent::LinesReplaced: FollowLines(true); break;
    case SessionEvent::LinesChanged: FollowLines(false); break;
    case SessionEvent::Remembered: RememberDesign(); break;
    case SessionEvent::FileChanged: UpdateCaptions(); break;
    case SessionEvent::UnitsChanged: UpdateComparisonItems(); break;
    case SessionEvent::AssemblyChanged: ShowAssemblyText(); break;
    default: break; // the motion block's
    }
}

// ------------------------------------------------------------------ life cycle
bool TMainForm::event(QEvent* e)
{
    // The gear starts running; the driver angle bar is only usable while stopped.
    if (e->type() == QEvent::WindowActivate && !activatedOnce_) {
        activatedOnce_ = true;
        motion_->DriverBar()->setEnabled(false);
    }
    return QMainWindow::event(e);
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    // Cancel keeps the program running as it was.
    if (!session_.SaveChangesIfWanted()) {
        e->ignore();
        return;
    }
    Timer1->stop();
    sound_.SetWaveVolume(0x80008000u);
    // A normal exit leaves no recovery file.
    if (recoveryTimer_) recoveryTimer_->stop();
    session_.StopRecovery();
    e->accept();
}

// ------------------------------------------------------------------ the tick
void TMainForm::Tick()
{
    TickModel(state_);
    session_.AfterTick();
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
    if (changed.isEmpty() && FrameStaysStill(state_)) rest_->Rest();
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
    const QString name = QString::fromStdString(state_.display.DataSetName);
    const QString rest = QStringLiteral("     ") + QString::fromStdString(clock_.ShortDate()) + QStringLiteral("   ") +
                         QString::fromStdString(clock_.ShortTime()) + QStringLiteral("   Version ") +
                         QString::fromLatin1(kProgramVersion);
    // The mark of unsaved changes follows the design's name in the title.
    setWindowTitle(QStringLiteral("QUELF Outside Admission            ") + name + QStringLiteral("[*]") + rest);
    setWindowModified(session_.Changed());
    UpdateGraphCaptions(name + rest);
    UpdateAidsCaptions(name + rest);
}

void TMainForm::ApplyFrameEffects(const FrameEffects& fx)
{
    if (fx.errorItem == Vis::Show) Error->setVisible(true);
    if (fx.errorItem == Vis::Hide) Error->setVisible(false);
    ApplyDynVarEffects(fx);
    if (fx.restoreCursor) area_->unsetCursor();
    ApplyHighlightEffects(fx);
}
