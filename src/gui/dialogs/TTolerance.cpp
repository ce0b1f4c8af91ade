#include "dialogs/TTolerance.h"

#include "analysis/BalanceText.h"
#include "dialogs/QtSearchRunner.h"
#include "drawing/DimensionEdit.h"
#include "drawing/SpreadPlot.h"
#include "model/DesignEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "qt/QtCanvas.h"
#include "qt/QtEditHooks.h"
#include "qt/QtPictureCommands.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <exception>

namespace {

constexpr int kPlotWidth = 560, kPlotHeight = 250;
// The window's size: it fits a screen of 1024 x 768 with a task bar.
constexpr int kWindowWidth = 1024, kWindowHeight = 700;
// The columns of the list of dimensions.
enum ListColumn : int { lcDimension, lcValue, lcTolerance, lcUnit, lcNotes, kListColumns };

QString Text(const std::string& s) { return QString::fromStdString(s); }

// Columns of the result that hold words: direction, notch, event, worst part.
bool IsWordColumn(int column) { return column <= 2 || column == 10; }

QLabel* Buddy(QWidget* parent, const char* name, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setBuddy(buddy);
    return l;
}

} // namespace

TTolerance::TTolerance(AppState& state, DesignSession* designSession, QWidget* parent, FileSystem& files)
    : TSearchWindow(CaptionHead(), parent), s_(state), files_(files)
{
    (void)designSession;
    setObjectName(QStringLiteral("ToleranceStudy"));
    setModal(true);

    LengthTolerance = NewNumberEdit(this, QStringLiteral("LengthTolerance"));
    LengthTolerance->setText(QStringLiteral("0.005"));
    connect(LengthTolerance, &QLineEdit::textEdited, this, &TTolerance::LengthToleranceEdited);
    PinClearance = NewNumberEdit(this, QStringLiteral("PinClearance"));
    PinClearance->setText(QStringLiteral("0"));
    Samples = NewNumberEdit(this, QStringLiteral("Samples"));
    Samples->setText(QString::number(kDefaultSamples));
    Seed = NewNumberEdit(this, QStringLiteral("Seed"));
    Seed->setText(QStringLiteral("1"));
    for (QLineEdit* e : {LengthTolerance, PinClearance, Samples, Seed}) e->setMaximumWidth(90);

    ToleranceGrid = NewTextGrid(this, QStringLiteral("ToleranceGrid"));
    ToleranceGrid->verticalHeader()->setDefaultSectionSize(ToleranceGrid->fontMetrics().height() + 8);
    ToleranceGrid->setColumnCount(kListColumns);
    ToleranceGrid->setHorizontalHeaderLabels({QStringLiteral("Dimension"), QStringLiteral("Value"),
                                              QStringLiteral("± tolerance"), QStringLiteral("Unit"),
                                              QStringLiteral("Notes")});
    const std::vector<int> codes = ToleranceDimensionCodes();
    ToleranceGrid->setRowCount(static_cast<int>(codes.size()));
    for (size_t k = 0; k < codes.size(); ++k) {
        const int r = static_cast<int>(k);
        QLineEdit* e = NewNumberEdit(ToleranceGrid, QStringLiteral("Tolerance_") + Text(DimensionName(codes[k])));
        e->setFrame(false);
        e->setText(IsToleranceAngle(codes[k]) ? QStringLiteral("0") : LengthTolerance->text());
        ToleranceGrid->setCellWidget(r, lcTolerance, e);
        ToleranceEdit.push_back(e);
        ToleranceGrid->setItem(r, lcDimension, new QTableWidgetItem(Text(BalanceDimensionLabel(codes[k]))));
        ToleranceGrid->setItem(
            r, lcNotes, new QTableWidgetItem(IsPinnedLink(codes[k]) ? QStringLiteral("+ pin clearance") : QString()));
    }
    ToleranceGrid->horizontalHeader()->setSectionResizeMode(lcDimension, QHeaderView::ResizeToContents);

    AddButton(RunBut, "RunBut", QStringLiteral("&Run"), &TTolerance::RunButClick);
    AddButton(StopBut, "StopBut", QStringLiteral("St&op"), &TTolerance::StopButClick);
    AddButton(CopyBut, "CopyBut", QStringLiteral("&Copy"), &TTolerance::CopyButClick);
    AddButton(SaveCsvBut, "SaveCsvBut", QStringLiteral("&Save CSV…"), &TTolerance::SaveCsvButClick);
    AddButton(PrintBut, "PrintBut", QStringLiteral("&Print…"), &TTolerance::PrintButClick);
    AddButton(ExportPictureBut, "ExportPictureBut", QStringLiteral("&Export Picture…"),
              &TTolerance::ExportPictureButClick);
    AddButton(CloseBut, "CloseBut", QStringLiteral("Close"), &TTolerance::CloseButClick);
    RunBut->setDefault(true);
    auto* print = new QShortcut(QKeySequence::Print, this);
    print->setObjectName(QStringLiteral("PrintShortcut"));
    connect(print, &QShortcut::activated, this, &TTolerance::PrintButClick);

    Progress = NewProgress();

    SpreadGrid = NewTextGrid(this, QStringLiteral("SpreadGrid"));
    SpreadPlot = new QLabel(this);
    SpreadPlot->setObjectName(QStringLiteral("SpreadPlot"));
    SpreadPlot->setFixedSize(kPlotWidth, kPlotHeight);
    ResultText = new QLabel(this);
    ResultText->setObjectName(QStringLiteral("ResultText"));
    ResultText->setWordWrap(true);
    ResultText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ResultText->setMinimumHeight(ResultText->fontMetrics().height() * 3);
    ResultText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Pictures = new PictureCommands(this, {[this] { return shown_; }, [] { return std::string("tolerance-spread"); },
                                          [this] { return s_.display.DataSetName; },
                                          [this]() -> FileSystem& { return files_; }});

    auto* settings = new QGridLayout;
    settings->addWidget(Buddy(this, "LengthToleranceLabel", QStringLiteral("All &lengths ±"), LengthTolerance), 0, 0);
    settings->addWidget(LengthTolerance, 0, 1);
    settings->addWidget(Buddy(this, "PinClearanceLabel", QStringLiteral("Pin cle&arance"), PinClearance), 0, 2);
    settings->addWidget(PinClearance, 0, 3);
    settings->addWidget(Buddy(this, "SamplesLabel", QStringLiteral("Sa&mples"), Samples), 1, 0);
    settings->addWidget(Samples, 1, 1);
    settings->addWidget(Buddy(this, "SeedLabel", QStringLiteral("See&d"), Seed), 1, 2);
    settings->addWidget(Seed, 1, 3);
    auto* left = new QVBoxLayout;
    left->addLayout(settings);
    left->addWidget(Buddy(this, "ToleranceLabel", QStringLiteral("&Tolerances of the dimensions"), ToleranceGrid));
    left->addWidget(ToleranceGrid, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(Buddy(this, "SpreadLabel", QStringLiteral("&Figures"), SpreadGrid));
    right->addWidget(SpreadGrid, 1);
    auto* under = new QHBoxLayout;
    under->addWidget(SpreadPlot);
    under->addWidget(ResultText, 1);
    right->addLayout(under);
    // The panes scroll inside the window, which fits a small screen; the
    // buttons stay in view under them.
    auto* inside = new QWidget;
    inside->setObjectName(QStringLiteral("Panes"));
    auto* panes = new QHBoxLayout(inside);
    panes->setContentsMargins(0, 0, 0, 0);
    panes->addLayout(left);
    panes->addLayout(right, 1);
    Scroll = new QScrollArea(this);
    Scroll->setObjectName(QStringLiteral("PanesScroll"));
    Scroll->setWidgetResizable(true);
    Scroll->setFrameShape(QFrame::NoFrame);
    Scroll->setWidget(inside);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(RunBut);
    buttons->addWidget(StopBut);
    buttons->addWidget(Progress, 1);
    buttons->addWidget(CopyBut);
    buttons->addWidget(SaveCsvBut);
    buttons->addWidget(PrintBut);
    buttons->addWidget(ExportPictureBut);
    buttons->addWidget(CloseBut);
    auto* box = new QVBoxLayout(this);
    box->addWidget(Scroll, 1);
    box->addLayout(buttons);
    resize(kWindowWidth, kWindowHeight);

    SetBusy(false);
}

QString TTolerance::CaptionHead() { return QStringLiteral("QUELF Outside Admission      Tolerance Study    "); }

bool TTolerance::Running() const { return runner_->Running(); }

void TTolerance::FormActivate()
{
    const Gear& design = s_.gear;
    const std::vector<int> codes = ToleranceDimensionCodes();
    for (size_t k = 0; k < codes.size(); ++k) {
        const int r = static_cast<int>(k);
        ToleranceGrid->setItem(r, lcValue, new QTableWidgetItem(Text(ShortestText(GetDimension(design, codes[k])))));
        ToleranceGrid->item(r, lcValue)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ToleranceGrid->setItem(r, lcUnit,
                               new QTableWidgetItem(IsToleranceAngle(codes[k])
                                                        ? QStringLiteral("deg")
                                                        : QString::fromLatin1(LengthUnitText(design.Unit))));
    }
    ToleranceGrid->resizeColumnsToContents();
    ToleranceGrid->setColumnWidth(lcTolerance, 90);
    int width = ToleranceGrid->verticalScrollBar()->sizeHint().width() + 2 * ToleranceGrid->frameWidth();
    for (int c = 0; c < kListColumns; ++c) width += ToleranceGrid->columnWidth(c);
    ToleranceGrid->setMinimumWidth(width);
    result_ = ToleranceResult{};
    text_.clear();
    ShowResult();
    Progress->setValue(0);
    SetBusy(false);
    LengthTolerance->setFocus(Qt::OtherFocusReason);
}

void TTolerance::LengthToleranceEdited()
{
    const std::vector<int> codes = ToleranceDimensionCodes();
    for (size_t k = 0; k < codes.size(); ++k)
        if (!IsToleranceAngle(codes[k])) ToleranceEdit[k]->setText(LengthTolerance->text());
}

bool TTolerance::ReadSettings(ToleranceSettings& settings, std::string& error) const
{
    settings = ToleranceSettings{};
    // Each field whole: a text that is no number is said so, never read in part.
    const auto read = [&error](QLineEdit* e, const std::string& what, float& v) {
        const bool ok = ReadFieldNumber(what, e->text().toStdString(), v, error);
        if (!ok) e->setFocus(Qt::OtherFocusReason);
        return ok;
    };
    const std::vector<int> codes = ToleranceDimensionCodes();
    for (size_t k = 0; k < ToleranceEdit.size(); ++k) {
        float tolerance = 0;
        if (!read(ToleranceEdit[k], "The tolerance of " + BalanceDimensionLabel(codes[k]), tolerance)) return false;
        settings.tolerance.push_back(tolerance);
    }
    if (!read(PinClearance, "The pin clearance", settings.pinClearance)) return false;
    std::uint64_t n = 0;
    if (!ReadWholeNumber(Samples->text().toStdString(), n) || n < 1 || n > static_cast<std::uint64_t>(kMaxSamples)) {
        error = "The samples must be a whole number from 1 to " + std::to_string(kMaxSamples) + ".";
        return false;
    }
    settings.samples = static_cast<int>(n);
    if (!ReadWholeNumber(Seed->text().toStdString(), settings.seed)) {
        error = "The seed must be a whole number of 0 or more.";
        return false;
    }
    error = CheckToleranceSettings(settings);
    return error.empty();
}

void TTolerance::RunButClick()
{
    if (Running()) return;
    ToleranceSettings settings;
    std::string error;
    if (!ReadSettings(settings, error)) {
        ResultText->setText(Text(error));
        return;
    }
    result_ = ToleranceResult{};
    text_.clear();
    ShowResult();
    studied_ = s_.gear;
    ResultText->setText(QStringLiteral("Studying %1 samples…").arg(settings.samples));
    Progress->setValue(0);
    SetBusy(true);
    studying_.start();
    runner_->Run<ToleranceResult>(
        [design = studied_, settings](BalanceControl& control) {
            try {
                return RunToleranceStudy(design, settings, &control);
            } catch (const std::exception& e) {
                ToleranceResult r;
                r.error = std::string("The study failed: ") + e.what();
                return r;
            }
        },
        [this, samples = settings.samples](int progress) { ShowProgress(samples, progress); },
        [this](ToleranceResult&& r) { StudyDone(std::move(r)); });
}

void TTolerance::ShowProgress(int samples, int progress)
{
    Progress->setValue(progress);
    long double left = 0;
    if (StudySecondsLeft(studying_.elapsed() / 1000.0L, progress, left))
        ResultText->setText(QStringLiteral("Studying %1 samples: about %2 left.")
                                .arg(samples)
                                .arg(QString::fromStdString(DurationText(left))));
}

void TTolerance::StudyDone(ToleranceResult&& r)
{
    result_ = std::move(r);
    const bool figures =
        result_.outcome == ToleranceOutcome::Done || result_.outcome == ToleranceOutcome::NoValidSample;
    text_ = figures ? ToleranceTableRows(studied_, result_) : std::vector<TextRow>{};
    ShowResult();
    SetBusy(false);
    if (result_.outcome == ToleranceOutcome::Stopped) Progress->setValue(0);
    RunBut->setFocus(Qt::OtherFocusReason);
}

void TTolerance::StopButClick() { runner_->Stop(); }

void TTolerance::ShowResult()
{
    SpreadGrid->setUpdatesEnabled(false);
    SpreadGrid->clear();
    SpreadGrid->setRowCount(0);
    SpreadGrid->setColumnCount(0);
    if (!text_.empty()) {
        const TextRow& header = text_[0];
        SpreadGrid->setColumnCount(static_cast<int>(header.size()));
        QStringList labels;
        for (const std::string& h : header) labels << Text(h);
        SpreadGrid->setHorizontalHeaderLabels(labels);
        SpreadGrid->setRowCount(static_cast<int>(text_.size()) - 1);
        for (size_t r = 1; r < text_.size(); ++r)
            for (size_t c = 0; c < text_[r].size(); ++c) {
                auto* item = new QTableWidgetItem(Text(text_[r][c]));
                item->setTextAlignment(IsWordColumn(static_cast<int>(c)) ? Qt::AlignLeft | Qt::AlignVCenter
                                                                         : Qt::AlignRight | Qt::AlignVCenter);
                SpreadGrid->setItem(static_cast<int>(r) - 1, static_cast<int>(c), item);
            }
        SpreadGrid->resizeColumnsToContents();
    }
    SpreadGrid->setUpdatesEnabled(true);
    ShowPlot();

    QString text;
    switch (result_.outcome) {
    case ToleranceOutcome::Done: text = Text(ToleranceSummary(result_)); break;
    case ToleranceOutcome::NoValidSample:
        text = QStringLiteral("Every sample clamped or lost an event: no spread. ") + Text(ToleranceSummary(result_));
        break;
    case ToleranceOutcome::Stopped: text = QStringLiteral("Stopped before the study was done."); break;
    case ToleranceOutcome::Invalid: text = Text(result_.error); break;
    }
    ResultText->setText(text);
}

void TTolerance::ShowPlot()
{
    QImage image(kPlotWidth, kPlotHeight, QImage::Format_RGB32);
    shown_.Reset(kPlotWidth, kPlotHeight);
    {
        QtCanvas canvas(image);
        canvas.RecordInto(&shown_);
        DrawSpreadPlot(canvas, kPlotWidth, kPlotHeight, result_);
    }
    SpreadPlot->setPixmap(QPixmap::fromImage(image));
}

void TTolerance::SetBusy(bool busy)
{
    for (QWidget* w : std::initializer_list<QWidget*>{LengthTolerance, PinClearance, Samples, Seed, ToleranceGrid})
        w->setEnabled(!busy);
    RunBut->setEnabled(!busy);
    StopBut->setEnabled(busy);
    const bool figures = !busy && !text_.empty();
    for (QPushButton* b : {CopyBut, SaveCsvBut, PrintBut, ExportPictureBut}) b->setEnabled(figures);
    if (busy) StopBut->setFocus(Qt::OtherFocusReason);
}

void TTolerance::CopyButClick()
{
    if (!text_.empty()) CopyTableToClipboard(TabSeparatedText(text_));
}

void TTolerance::SaveCsvButClick()
{
    if (!text_.empty()) SaveCsvWithDialog(this, FileDialogHook, CsvText(text_), files_);
}

void TTolerance::PrintButClick()
{
    if (text_.empty()) return;
    const QString name = Text(s_.display.DataSetName);
    PrintTextTable(this,
                   CaptionHead().simplified() + QStringLiteral(" - ") + name + QStringLiteral(" - ") +
                       Text(ToleranceSummary(result_)),
                   name + QStringLiteral("-tolerance-study"), text_, {IsWordColumn, {}});
}

void TTolerance::ExportPictureButClick()
{
    if (!text_.empty()) Pictures->ExportPicture();
}

void TTolerance::CloseButClick() { reject(); }
