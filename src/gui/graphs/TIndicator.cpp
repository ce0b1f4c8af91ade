// The indicator window: its construction, the indicator pane, and the
// buttons both panes share (the map pane in TIndicatorMap.cpp).
#include "graphs/TIndicator.h"

#include "analysis/PerformanceText.h"
#include "dialogs/QtSearchRunner.h"
#include "drawing/DimensionEdit.h"
#include "drawing/EnginePictures.h"
#include "model/DesignEdit.h"
#include "model/EngineData.h"
#include "model/NumberText.h"
#include "qt/QtCanvas.h"
#include "qt/QtEditHooks.h"
#include "qt/QtPictureCommands.h"
#include "session/DesignSession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The fastest speed a point may be asked for (rpm).
constexpr double kMaxRpm = 3000;

QString Text(const std::string& s) { return QString::fromStdString(s); }

QLabel* Buddy(QWidget* parent, const char* name, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setBuddy(buddy);
    return l;
}

QComboBox* Choice(QWidget* parent, const char* name, const QStringList& items)
{
    auto* b = new QComboBox(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->addItems(items);
    return b;
}

} // namespace

TIndicator::TIndicator(AppState& state, DesignSession* designSession, QWidget* parent, FileSystem& files)
    : TSearchWindow(CaptionHead(), parent), s_(state), files_(files), mapRunner_(new QtSearchRunner(this))
{
    setObjectName(QStringLiteral("IndicatorDiagram"));
    setModal(false);

    Panes = new QTabWidget(this);
    Panes->setObjectName(QStringLiteral("Panes"));
    Panes->addTab(BuildIndicatorPane(), QStringLiteral("Indicator dia&gram"));
    Panes->addTab(BuildMapPane(), QStringLiteral("Performance &map"));
    connect(Panes, &QTabWidget::currentChanged, this, &TIndicator::PaneChanged);

    AddButton(CopyBut, "CopyBut", QStringLiteral("&Copy"), &TIndicator::CopyButClick);
    AddButton(SaveCsvBut, "SaveCsvBut", QStringLiteral("&Save CSV…"), &TIndicator::SaveCsvButClick);
    AddButton(PrintBut, "PrintBut", QStringLiteral("&Print…"), &TIndicator::PrintButClick);
    AddButton(ExportPictureBut, "ExportPictureBut", QStringLiteral("&Export Picture…"),
              &TIndicator::ExportPictureButClick);
    AddButton(CloseBut, "CloseBut", QStringLiteral("Close"), &TIndicator::CloseButClick);
    auto* print = new QShortcut(QKeySequence::Print, this);
    print->setObjectName(QStringLiteral("PrintShortcut"));
    connect(print, &QShortcut::activated, this, &TIndicator::PrintButClick);
    Pictures = new PictureCommands(this, {[this] { return ShownPicture(); },
                                          [this] { return std::string(OnMap() ? "performance-map" : "indicator"); },
                                          [this] { return s_.display.DataSetName; },
                                          [this]() -> FileSystem& { return files_; }});

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {CopyBut, SaveCsvBut, PrintBut, ExportPictureBut, CloseBut}) buttons->addWidget(b);
    auto* box = new QVBoxLayout(this);
    box->addWidget(Panes, 1);
    box->addLayout(buttons);
    resize(1110, 790);

    if (designSession) {
        designSession->Listen([w = QPointer<TIndicator>(this)](SessionEvent event, int) {
            if (w) w->Follow(event);
        });
    }
    UpdateButtons();
}

TIndicator::~TIndicator() { StopAll(); }

QString TIndicator::CaptionHead() { return QStringLiteral("QUELF Outside Admission      Indicator Diagram    "); }

QWidget* TIndicator::BuildIndicatorPane()
{
    IndicatorPane = new QWidget(this);
    IndicatorPane->setObjectName(QStringLiteral("IndicatorPane"));
    QWidget* p = IndicatorPane;
    QStringList notches{QStringLiteral("normal")};
    for (int k = 0; k < kGraphNotches; ++k) notches << QString::number(k);
    NotchBox = Choice(p, "NotchBox", notches);
    DirectionBox = Choice(p, "DirectionBox", {QStringLiteral("forward"), QStringLiteral("reverse")});
    SpeedEdit = NewNumberEdit(p, QStringLiteral("SpeedEdit"));
    SpeedEdit->setText(Text(DecimalText(kDefaultIndicatorRpm, 0)));
    RoadSpeedEdit = NewNumberEdit(p, QStringLiteral("RoadSpeedEdit"));
    RoadUnitBox = Choice(p, "RoadUnitBox", {QStringLiteral("mph"), QStringLiteral("km/h")});
    IdealBox = new QCheckBox(QStringLiteral("&Ideal diagram"), p);
    IdealBox->setObjectName(QStringLiteral("IdealBox"));
    IdealBox->setChecked(true);
    PressureBox = Choice(p, "PressureBox", {QStringLiteral("absolute"), QStringLiteral("gauge")});
    AxisBox = Choice(p, "AxisBox", {QStringLiteral("volume"), QStringLiteral("% of stroke")});
    for (QLineEdit* e : {SpeedEdit, RoadSpeedEdit}) e->setMaximumWidth(70);
    SpeedEdit->setToolTip(QStringLiteral("Revolutions a minute of the driving wheels."));
    RoadSpeedEdit->setToolTip(QStringLiteral("The speed along the rail that the driving wheel's diameter (Engine "
                                             "Data) gives at that rpm; typing it sets the rpm."));

    connect(NotchBox, &QComboBox::currentIndexChanged, this, &TIndicator::PointSettingChanged);
    connect(DirectionBox, &QComboBox::currentIndexChanged, this, &TIndicator::PointSettingChanged);
    connect(IdealBox, &QCheckBox::toggled, this, &TIndicator::PointSettingChanged);
    connect(SpeedEdit, &QLineEdit::textEdited, this, &TIndicator::SpeedEdited);
    connect(RoadSpeedEdit, &QLineEdit::textEdited, this, &TIndicator::RoadSpeedEdited);
    connect(RoadUnitBox, &QComboBox::currentIndexChanged, this, &TIndicator::SpeedEdited);
    connect(PressureBox, &QComboBox::currentIndexChanged, this, &TIndicator::ViewChanged);
    connect(AxisBox, &QComboBox::currentIndexChanged, this, &TIndicator::ViewChanged);

    auto* controls = new QHBoxLayout;
    const auto add = [controls, p](const char* name, const char* caption, QWidget* w) {
        controls->addWidget(Buddy(p, name, QString::fromUtf8(caption), w));
        controls->addWidget(w);
        controls->addSpacing(8);
    };
    add("NotchLabel", "&Notch", NotchBox);
    add("DirectionLabel", "&Direction", DirectionBox);
    add("SpeedLabel", "&Wheel speed, rpm", SpeedEdit);
    controls->addWidget(Buddy(p, "RoadSpeedLabel", QStringLiteral("Ro&ad speed"), RoadSpeedEdit));
    controls->addWidget(RoadSpeedEdit);
    controls->addWidget(RoadUnitBox);
    controls->addSpacing(8);
    controls->addWidget(IdealBox);
    controls->addSpacing(8);
    add("PressureLabel", "Press&ure", PressureBox);
    add("AxisLabel", "A&xis", AxisBox);
    controls->addStretch(1);

    IndicatorPicture = new QLabel(p);
    IndicatorPicture->setObjectName(QStringLiteral("IndicatorPicture"));
    IndicatorPicture->setFixedSize(kIndicatorPaneWidth, kIndicatorPaneHeight);
    IndicatorText = new QLabel(p);
    IndicatorText->setObjectName(QStringLiteral("IndicatorText"));
    IndicatorText->setWordWrap(true);
    auto* box = new QVBoxLayout(p);
    box->addLayout(controls);
    box->addWidget(IndicatorPicture);
    box->addWidget(IndicatorText);
    box->addStretch(1);
    return p;
}

bool TIndicator::OnMap() const { return Panes->currentWidget() == MapPane; }

bool TIndicator::Computing() const { return runner_->Running() || pointDue_ || Mapping(); }

const DisplayList& TIndicator::ShownPicture() const { return OnMap() ? mapShown_ : indicatorShown_; }

void TIndicator::Follow(SessionEvent event)
{
    switch (event) {
    case SessionEvent::DesignEdited:
    case SessionEvent::UnitsChanged:
    case SessionEvent::Opened:
        mapStale_ = true;
        if (!isVisible()) return;
        RequestPoint();
        RequestMap();
        return;
    default: return;
    }
}

void TIndicator::FormActivate()
{
    RoadUnitBox->blockSignals(true);
    RoadUnitBox->setCurrentIndex(DefaultRoadUnit(s_.gear.Unit) == RoadUnit::Mph ? 0 : 1);
    RoadUnitBox->blockSignals(false);
    SpeedEdited();
    mapStale_ = true;
    RequestMap();
}

void TIndicator::hideEvent(QHideEvent* e)
{
    StopAll();
    pointDue_ = false;
    mapDue_ = false;
    mapStale_ = true;
    TSearchWindow::hideEvent(e);
}

void TIndicator::StopAll()
{
    if (mapControl_) mapControl_->stop.store(true);
    runner_->End();
    mapRunner_->End();
}

// ---------------------------------------------------------------- the point
double TIndicator::WheelMetres() const
{
    const Gear& g = s_.gear;
    return static_cast<double>(static_cast<long double>(EngineDataOf(g).WheelDiameter) *
                               EngineUnitToSI(EngineQuantity::Length, g.Unit));
}

RoadUnit TIndicator::ChosenRoadUnit() const { return RoadUnitBox->currentIndex() == 1 ? RoadUnit::Kmh : RoadUnit::Mph; }

bool TIndicator::ReadPointRequest(IndicatorRequest& r, std::string& why) const
{
    r = IndicatorRequest{};
    r.notch = NotchBox->currentIndex() <= 0 ? kNormalNotch : NotchBox->currentIndex() - 1;
    r.running = DirectionBox->currentIndex() == 1 ? Running::Reverse : Running::Forward;
    r.ideal = IdealBox->isChecked();
    float rpm = 0;
    if (!ReadFieldNumber("The wheel speed", SpeedEdit->text().toStdString(), rpm, why)) return false;
    if (!(rpm > 0) || rpm > kMaxRpm) {
        why = "The wheel speed must be above 0 and at most " + DecimalText(kMaxRpm, 0) + " rpm.";
        return false;
    }
    r.rpm = rpm;
    return true;
}

void TIndicator::PointSettingChanged() { RequestPoint(); }

void TIndicator::SpeedEdited()
{
    // The road speed follows the rpm typed.
    IndicatorRequest r;
    std::string why;
    if (ReadPointRequest(r, why))
        RoadSpeedEdit->setText(Text(DecimalText(RoadSpeed(r.rpm, WheelMetres(), ChosenRoadUnit()), 1)));
    RequestPoint();
}

void TIndicator::RoadSpeedEdited()
{
    // The rpm follows the road speed typed.
    float speed = 0;
    std::string why;
    if (ReadFieldNumber("The road speed", RoadSpeedEdit->text().toStdString(), speed, why) && speed > 0) {
        const double rpm = RpmAtRoadSpeed(speed, WheelMetres(), ChosenRoadUnit());
        SpeedEdit->setText(Text(DecimalText(rpm, rpm < 100 ? 2 : 1)));
    }
    RequestPoint();
}

void TIndicator::RequestPoint()
{
    if (!isVisible()) return;
    IndicatorRequest r;
    std::string why;
    if (!ReadPointRequest(r, why)) {
        IndicatorText->setText(Text(why));
        return;
    }
    if (runner_->Running()) {
        pointDue_ = true;
        return;
    }
    pointDue_ = false;
    const Gear design = s_.gear;
    runner_->Run<IndicatorPoint>([design, r](BalanceControl&) { return RunIndicatorPoint(design, r); }, {},
                                 [this](IndicatorPoint&& point) { PointDone(std::move(point)); });
}

void TIndicator::PointDone(IndicatorPoint&& point)
{
    point_ = std::move(point);
    ShowPoint();
    UpdateButtons();
    // A change came meanwhile: the last one counts.
    if (pointDue_) RequestPoint();
}

void TIndicator::ViewChanged() { ShowPoint(); }

void TIndicator::ShowPoint()
{
    IndicatorView view;
    view.gauge = PressureBox->currentIndex() == 1;
    view.percentStroke = AxisBox->currentIndex() == 1;
    QImage image(kIndicatorPaneWidth, kIndicatorPaneHeight, QImage::Format_RGB32);
    indicatorShown_.Reset(kIndicatorPaneWidth, kIndicatorPaneHeight);
    {
        QtCanvas canvas(image);
        canvas.RecordInto(&indicatorShown_);
        DrawIndicatorPane(canvas, point_, view, ChosenRoadUnit());
    }
    IndicatorPicture->setPixmap(QPixmap::fromImage(image));
    IndicatorText->setText(Text(point_.problem));
}

// ---------------------------------------------------------------- the buttons
void TIndicator::UpdateButtons()
{
    const bool figures = OnMap() ? !mapRows_.empty() : point_.real.ok;
    for (QPushButton* b : {CopyBut, SaveCsvBut, PrintBut}) b->setEnabled(figures);
    ExportPictureBut->setEnabled(!ShownPicture().Empty());
}

void TIndicator::CopyButClick()
{
    if (OnMap()) {
        if (!mapRows_.empty()) CopyTableToClipboard(TabSeparatedText(mapRows_));
        return;
    }
    std::vector<TextRow> rows = IndicatorFigureRows(point_, ChosenRoadUnit());
    if (rows.empty()) return;
    rows.insert(rows.begin(), TextRow{IndicatorCaption(point_.real), "", ""});
    CopyTableToClipboard(TabSeparatedText(rows));
}

void TIndicator::SaveCsvButClick()
{
    if (OnMap()) {
        if (!mapRows_.empty()) SaveCsvWithDialog(this, FileDialogHook, CsvText(mapRows_), files_);
        return;
    }
    if (point_.real.ok)
        SaveCsvWithDialog(this, FileDialogHook, CsvText(IndicatorCsvRows(point_.turn, point_.real, point_.engine.unit)),
                          files_);
}

void TIndicator::PrintButClick()
{
    if (!OnMap()) {
        if (point_.real.ok) Pictures->PrintPicture();
        return;
    }
    if (mapRows_.empty()) return;
    const QString name = Text(s_.display.DataSetName);
    std::vector<TextRow> rows = mapRows_;
    // The units under the header's names: one header row in print.
    for (size_t c = 0; c < rows[0].size() && rows.size() > 1; ++c)
        if (!rows[1][c].empty()) rows[0][c] += " (" + rows[1][c] + ")";
    rows.erase(rows.begin() + 1);
    PrintTextTable(this, CaptionHead().simplified() + QStringLiteral(" - ") + name,
                   name + QStringLiteral("-performance-map"), rows, {[](int c) { return c <= 1; }, {}});
}

void TIndicator::ExportPictureButClick()
{
    if (!ShownPicture().Empty()) Pictures->ExportPicture();
}

void TIndicator::CloseButClick() { reject(); }
