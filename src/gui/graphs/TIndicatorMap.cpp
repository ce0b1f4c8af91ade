// The indicator window's performance map pane.
#include "graphs/TIndicator.h"

#include "analysis/PerformanceText.h"
#include "dialogs/QtSearchRunner.h"
#include "drawing/DimensionEdit.h"
#include "drawing/EnginePictures.h"
#include "model/NumberText.h"
#include "qt/QtCanvas.h"
#include "qt/QtEditHooks.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

// The notch of row k of the list: "normal" first, then 0 .. 18.
int NotchOfRow(int k) { return k == 0 ? kNormalNotch : k - 1; }

} // namespace

QWidget* TIndicator::BuildMapPane()
{
    MapPane = new QWidget(this);
    MapPane->setObjectName(QStringLiteral("MapPane"));
    QWidget* p = MapPane;
    TopSpeedEdit = NewNumberEdit(p, QStringLiteral("TopSpeedEdit"));
    TopSpeedEdit->setText(Text(DecimalText(kDefaultTopRpm, 0)));
    TopSpeedEdit->setToolTip(QStringLiteral("The fastest speed of the map, rpm of the driving wheels; the map runs "
                                            "from 10 % of it."));
    SpeedsEdit = NewNumberEdit(p, QStringLiteral("SpeedsEdit"));
    SpeedsEdit->setText(QString::number(kDefaultMapSpeeds));
    for (QLineEdit* e : {TopSpeedEdit, SpeedsEdit}) e->setMaximumWidth(70);
    MapForward = new QCheckBox(QStringLiteral("&Forward"), p);
    MapForward->setObjectName(QStringLiteral("MapForward"));
    MapReverse = new QCheckBox(QStringLiteral("Re&verse"), p);
    MapReverse->setObjectName(QStringLiteral("MapReverse"));
    MapNotches = new QListWidget(p);
    MapNotches->setObjectName(QStringLiteral("MapNotches"));
    const std::vector<int> ticked = DefaultMapNotches();
    for (int k = 0; k <= kGraphNotches; ++k) {
        const int notch = NotchOfRow(k);
        auto* item = new QListWidgetItem(Text(NotchName(notch)), MapNotches);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(std::count(ticked.begin(), ticked.end(), notch) ? Qt::Checked : Qt::Unchecked);
    }
    MapNotches->setFixedWidth(90);
    MapNotches->setCurrentRow(0);
    AddButton(MapRunBut, "MapRunBut", QStringLiteral("&Run"), &TIndicator::MapRunButClick);
    AddButton(MapStopBut, "MapStopBut", QStringLiteral("St&op"), &TIndicator::MapStopButClick);
    MapStopBut->setEnabled(false);
    Progress = NewProgress();
    MapPicture = new QLabel(p);
    MapPicture->setObjectName(QStringLiteral("MapPicture"));
    MapPicture->setFixedSize(kMapPictureWidth, kMapPictureHeight);
    MapGrid = NewTextGrid(p, QStringLiteral("MapGrid"));
    MapText = new QLabel(p);
    MapText->setObjectName(QStringLiteral("MapText"));
    MapText->setWordWrap(true);

    for (QCheckBox* b : {MapForward, MapReverse}) {
        b->setChecked(true);
        connect(b, &QCheckBox::toggled, this, &TIndicator::MapSettingChanged);
    }
    connect(TopSpeedEdit, &QLineEdit::textEdited, this, &TIndicator::MapSettingChanged);
    connect(SpeedsEdit, &QLineEdit::textEdited, this, &TIndicator::MapSettingChanged);
    connect(MapNotches, &QListWidget::itemChanged, this, &TIndicator::MapSettingChanged);

    const auto buddy = [p](const char* name, const QString& text, QWidget* w) {
        auto* l = new QLabel(text, p);
        l->setObjectName(QString::fromLatin1(name));
        l->setBuddy(w);
        return l;
    };
    auto* controls = new QHBoxLayout;
    controls->addWidget(buddy("TopSpeedLabel", QStringLiteral("&Top speed, rpm"), TopSpeedEdit));
    controls->addWidget(TopSpeedEdit);
    controls->addSpacing(8);
    controls->addWidget(buddy("SpeedsLabel", QStringLiteral("Num&ber of speeds"), SpeedsEdit));
    controls->addWidget(SpeedsEdit);
    controls->addSpacing(8);
    controls->addWidget(MapForward);
    controls->addWidget(MapReverse);
    controls->addSpacing(8);
    controls->addWidget(MapRunBut);
    controls->addWidget(MapStopBut);
    controls->addWidget(Progress, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(buddy("NotchesLabel", QStringLiteral("Notc&hes"), MapNotches));
    left->addWidget(MapNotches, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(MapPicture);
    right->addWidget(MapText);
    right->addWidget(MapGrid, 1);
    auto* panes = new QHBoxLayout;
    panes->addLayout(left);
    panes->addLayout(right, 1);
    auto* box = new QVBoxLayout(p);
    box->addLayout(controls);
    box->addLayout(panes, 1);
    return p;
}

bool TIndicator::Mapping() const { return mapRunner_->Running() || mapDue_; }

bool TIndicator::ReadMapRequest(EngineMapRequest& r, std::string& why) const
{
    r = EngineMapRequest{};
    float top = 0;
    if (!ReadFieldNumber("The top speed", TopSpeedEdit->text().toStdString(), top, why)) return false;
    r.topRpm = top;
    std::uint64_t speeds = 0;
    if (!ReadWholeNumber(SpeedsEdit->text().trimmed().toStdString(), speeds) ||
        speeds > static_cast<std::uint64_t>(kMaxMapSpeeds)) {
        why = "The number of speeds must be a whole number from 2 to " + std::to_string(kMaxMapSpeeds) + ".";
        return false;
    }
    r.speeds = static_cast<int>(speeds);
    r.notches.clear();
    for (int k = 0; k < MapNotches->count(); ++k)
        if (MapNotches->item(k)->checkState() == Qt::Checked) r.notches.push_back(NotchOfRow(k));
    r.directions.clear();
    if (MapForward->isChecked()) r.directions.push_back(Running::Forward);
    if (MapReverse->isChecked()) r.directions.push_back(Running::Reverse);
    why = CheckMapRequest(r);
    return why.empty();
}

void TIndicator::PaneChanged()
{
    UpdateButtons();
    if (OnMap() && mapStale_) RequestMap();
}

void TIndicator::MapSettingChanged()
{
    mapStale_ = true;
    RequestMap();
}

void TIndicator::MapRunButClick() { RequestMap(true); }

void TIndicator::MapStopButClick()
{
    if (mapControl_) mapControl_->stop.store(true);
    mapRunner_->Stop();
    mapDue_ = false;
}

void TIndicator::RequestMap(bool asked)
{
    // Worked out while its pane is shown; otherwise when it is next shown.
    if (!isVisible() || !OnMap() || (!mapStale_ && !asked)) return;
    EngineMapRequest r;
    std::string why;
    if (!ReadMapRequest(r, why)) {
        MapText->setText(Text(why));
        return;
    }
    if (mapRunner_->Running()) {
        // The running map is of an older design or setting: it ends, and
        // the map starts again.
        mapDue_ = true;
        if (mapControl_) mapControl_->stop.store(true);
        return;
    }
    mapDue_ = false;
    mapStale_ = false;
    const EngineDesigns designs = EngineDesignsOf(s_);
    referenceName_ = designs.referenceName;
    auto control = std::make_shared<MapControl>();
    mapControl_ = control;
    const int points = MapPointCount(r, designs.reference.has_value());
    const int total = std::max(1, points);
    MapText->setText(QStringLiteral("Working out %1 points…").arg(points));
    Progress->setValue(0);
    MapRunBut->setEnabled(false);
    MapStopBut->setEnabled(true);
    mapRunner_->Run<EngineMaps>(
        [designs, r, control](BalanceControl&) {
            return RunEngineMaps(designs.design, designs.reference, r, control.get());
        },
        [this, control, total](int) { Progress->setValue(static_cast<int>(1000LL * control->done.load() / total)); },
        [this](EngineMaps&& maps) { MapDone(std::move(maps)); });
}

void TIndicator::MapDone(EngineMaps&& maps)
{
    MapRunBut->setEnabled(true);
    MapStopBut->setEnabled(false);
    if (mapDue_) {
        // Stopped for a change: the map of the design as it is now.
        mapStale_ = true;
        RequestMap();
        return;
    }
    maps_ = std::move(maps);
    if (maps_.stopped) Progress->setValue(0);
    ShowMap();
    UpdateButtons();
}

void TIndicator::ShowMap()
{
    QImage image(kMapPictureWidth, kMapPictureHeight, QImage::Format_RGB32);
    mapShown_.Reset(kMapPictureWidth, kMapPictureHeight);
    {
        QtCanvas canvas(image);
        canvas.RecordInto(&mapShown_);
        DrawPerformanceMap(canvas, kMapPictureWidth, kMapPictureHeight, maps_, referenceName_);
    }
    MapPicture->setPixmap(QPixmap::fromImage(image));

    const LengthUnit unit = maps_.design.engine.unit;
    mapRows_ = maps_.design.points.empty() ? std::vector<TextRow>{} : PerformanceCsvRows(maps_.design.points, unit);
    MapGrid->setUpdatesEnabled(false);
    MapGrid->clear();
    MapGrid->setRowCount(0);
    MapGrid->setColumnCount(0);
    if (mapRows_.size() > 2) {
        const TextRow &header = mapRows_[0], &units = mapRows_[1];
        MapGrid->setColumnCount(static_cast<int>(header.size()));
        QStringList labels;
        for (size_t c = 0; c < header.size(); ++c)
            labels << Text(units[c].empty() ? header[c] : header[c] + "\n" + units[c]);
        MapGrid->setHorizontalHeaderLabels(labels);
        MapGrid->setRowCount(static_cast<int>(mapRows_.size()) - 2);
        for (size_t r = 2; r < mapRows_.size(); ++r)
            for (size_t c = 0; c < mapRows_[r].size(); ++c) {
                auto* item = new QTableWidgetItem(Text(mapRows_[r][c]));
                item->setTextAlignment(c <= 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
                MapGrid->setItem(static_cast<int>(r) - 2, static_cast<int>(c), item);
            }
        MapGrid->resizeColumnsToContents();
    }
    MapGrid->setUpdatesEnabled(true);

    int failed = 0, done = 0;
    for (const PointResult& p : maps_.design.points) (p.ok ? done : failed) += 1;
    QString text;
    if (!maps_.design.problem.empty())
        text = Text("The engine cannot run: " + maps_.design.problem + ".");
    else if (maps_.stopped)
        text = QStringLiteral("Stopped: %1 of %2 points worked out.").arg(done).arg(done + failed);
    else if (failed > 0)
        text = QStringLiteral("%1 points; %2 could not be run (the gear cannot be assembled there).")
                   .arg(done + failed)
                   .arg(failed);
    else
        text = QStringLiteral("%1 points.").arg(done);
    if (maps_.reference) text += QStringLiteral(" The reference in grey.");
    MapText->setText(text);
}
