#include "dialogs/TClearance.h"

#include "analysis/SweptEnvelope.h"
#include "mainwin/SweptEnvelopeView.h"
#include "model/DesignEdit.h"
#include "model/NumberText.h"
#include "qt/QtEditHooks.h"
#include "qt/QtTableExport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Row k of the notch list is notch kEnvelopeNotchMax - k: reverse full gear first.
int NotchOfRow(int row) { return row - kEnvelopeNotchMax; }

void Fill(QTableWidget* grid, const std::vector<std::vector<std::string>>& rows, const std::vector<int>& numbers)
{
    if (rows.empty()) return;
    QStringList header;
    for (const std::string& h : rows.front()) header << QString::fromStdString(h);
    grid->setColumnCount(header.size());
    grid->setHorizontalHeaderLabels(header);
    grid->setRowCount(static_cast<int>(rows.size()) - 1);
    for (size_t r = 1; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            for (int n : numbers)
                if (static_cast<size_t>(n) == c) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (rows[r][c] == "PASS" || rows[r][c] == "FAIL") {
                const bool pass = rows[r][c] == "PASS";
                item->setTextAlignment(Qt::AlignCenter);
                item->setBackground(pass ? QColor(200, 240, 200) : QColor(250, 190, 190));
                item->setForeground(pass ? QColor(0, 100, 0) : QColor(160, 0, 0));
            }
            grid->setItem(static_cast<int>(r) - 1, static_cast<int>(c), item);
        }
    }
    grid->resizeColumnsToContents();
}

} // namespace

TClearance::TClearance(AppState& state, DesignSession* designSession, QWidget* parent)
    : QDialog(parent), s_(state),
      view_(SweptEnvelopeView::Of(parent ? static_cast<QObject*>(parent) : static_cast<QObject*>(this), state))
{
    (void)designSession;
    setObjectName(QStringLiteral("Clearance"));
    setWindowTitle(CaptionHead());
    setModal(false);

    NotchList = new QListWidget(this);
    NotchList->setObjectName(QStringLiteral("NotchList"));
    for (int row = 0; row < kEnvelopeNotches; ++row) {
        auto* item = new QListWidgetItem(QString::fromStdString(EnvelopeNotchText(NotchOfRow(row))), NotchList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    NotchList->setMaximumWidth(170);
    connect(NotchList, &QListWidget::itemChanged, this, &TClearance::NotchTicked);
    auto* notchLabel = new QLabel(QStringLiteral("&Notches swept"), this);
    notchLabel->setObjectName(QStringLiteral("NotchLabel"));
    notchLabel->setBuddy(NotchList);
    AllBut = new QPushButton(QStringLiteral("&All"), this);
    AllBut->setObjectName(QStringLiteral("AllBut"));
    AllBut->setAutoDefault(false);
    connect(AllBut, &QPushButton::clicked, this, &TClearance::AllButClick);

    LeastEdit = new QLineEdit(this);
    LeastEdit->setObjectName(QStringLiteral("LeastEdit"));
    LeastEdit->setMaximumWidth(80);
    LeastEdit->setContextMenuPolicy(Qt::NoContextMenu);
    LeastEdit->setAcceptDrops(false);
    InstallKeyPress(LeastEdit, [this](QChar& key) { NumericKeyFilter(key, LeastEdit, false); });
    InstallNumberRule(LeastEdit, false);
    connect(LeastEdit, &QLineEdit::textChanged, this, &TClearance::ShowResult);
    LeastLabel = new QLabel(this);
    LeastLabel->setObjectName(QStringLiteral("LeastLabel"));
    LeastLabel->setBuddy(LeastEdit);

    Tabs = new QTabWidget(this);
    Tabs->setObjectName(QStringLiteral("ClearanceTabs"));
    ClearanceGrid = NewTextGrid(this, QStringLiteral("ClearanceGrid"));
    ExtremesGrid = NewTextGrid(this, QStringLiteral("ExtremesGrid"));
    Tabs->addTab(ClearanceGrid, QStringLiteral("&Clearance"));
    Tabs->addTab(ExtremesGrid, QStringLiteral("Pivot e&xtremes"));

    ClearanceText = new QLabel(this);
    ClearanceText->setObjectName(QStringLiteral("ClearanceText"));
    ClearanceText->setWordWrap(true);
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setRange(0, 1000);
    Progress->setTextVisible(false);
    StopBut = new QPushButton(QStringLiteral("&Stop"), this);
    StopBut->setObjectName(QStringLiteral("StopBut"));
    StopBut->setAutoDefault(false);
    connect(StopBut, &QPushButton::clicked, this, &TClearance::StopButClick);
    CloseBut = new QPushButton(QStringLiteral("Cl&ose"), this);
    CloseBut->setObjectName(QStringLiteral("CloseBut"));
    CloseBut->setAutoDefault(false);
    connect(CloseBut, &QPushButton::clicked, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(notchLabel);
    left->addWidget(NotchList, 1);
    left->addWidget(AllBut);
    auto* least = new QHBoxLayout;
    least->addWidget(LeastLabel);
    least->addWidget(LeastEdit);
    least->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addLayout(least);
    right->addWidget(Tabs, 1);
    right->addWidget(ClearanceText);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Progress, 1);
    bottom->addWidget(StopBut);
    bottom->addWidget(CloseBut);
    auto* box = new QVBoxLayout(this);
    box->addLayout(top, 1);
    box->addLayout(bottom);
    resize(900, 520);

    connect(view_, &SweptEnvelopeView::Progressed, this, &TClearance::ShowMeasuring);
    connect(view_, &SweptEnvelopeView::Finished, this, &TClearance::ShowResult);
}

QString TClearance::CaptionHead() { return QStringLiteral("QUELF Outside Admission      Clearance    "); }

void TClearance::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TClearance::hideEvent(QHideEvent* e)
{
    view_->SetWindowOpen(false);
    QDialog::hideEvent(e);
}

void TClearance::FormActivate()
{
    {
        const QSignalBlocker block(NotchList);
        for (int row = 0; row < kEnvelopeNotches; ++row)
            NotchList->item(row)->setCheckState(view_->Settings().Ticked(NotchOfRow(row)) ? Qt::Checked
                                                                                          : Qt::Unchecked);
    }
    // The least clearance to begin with, in the design's unit.
    if (LeastEdit->text().isEmpty() || leastUnit_ != s_.gear.Unit) {
        leastUnit_ = s_.gear.Unit;
        const QSignalBlocker block(LeastEdit);
        LeastEdit->setText(QString::fromStdString(ShortestText(DefaultLeastClearance(leastUnit_))));
    }
    LeastLabel->setText(QStringLiteral("&Least clearance (%1)").arg(QString::fromLatin1(LengthUnitText(s_.gear.Unit))));
    view_->SetWindowOpen(true);
    ShowResult();
}

float TClearance::Least() const { return FieldValue(LeastEdit->text().toStdString()); }

void TClearance::NotchTicked(QListWidgetItem*)
{
    EnvelopeSettings settings = view_->Settings();
    for (int row = 0; row < kEnvelopeNotches; ++row)
        settings.notch[static_cast<size_t>(NotchOfRow(row) + kEnvelopeNotchMax)] =
            NotchList->item(row)->checkState() == Qt::Checked;
    view_->SetSettings(settings);
    ShowResult();
}

void TClearance::AllButClick()
{
    {
        const QSignalBlocker block(NotchList);
        for (int row = 0; row < kEnvelopeNotches; ++row) NotchList->item(row)->setCheckState(Qt::Checked);
    }
    NotchTicked(nullptr);
}

void TClearance::StopButClick() { view_->Stop(); }

void TClearance::ShowMeasuring(int permille)
{
    Progress->setValue(permille);
    StopBut->setEnabled(true);
}

void TClearance::ShowResult()
{
    const bool measuring = view_->Measuring();
    StopBut->setEnabled(measuring);
    if (!measuring) Progress->setValue(0);
    const std::shared_ptr<const SweptEnvelope> e = view_->Result();
    if (!e) {
        ClearanceText->setText(measuring ? QStringLiteral("Sweeping the gear…") : QString());
        return;
    }
    const float least = Least();
    const LengthUnit unit = view_->MeasuredUnit();
    std::vector<std::vector<std::string>> rows = {ClearanceHeader(unit)};
    for (auto& r : ClearanceRows(*e, view_->MeasuredOverlay(), least)) rows.push_back(std::move(r));
    Fill(ClearanceGrid, rows, {1, 3, 4, 5});
    Fill(ExtremesGrid, EnvelopeCsvRows(*e), {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    int failing = 0, measured = 0;
    for (const PartClearance& c : e->clearance) {
        measured += c.measured;
        failing += c.measured && c.distance < least;
    }
    QString text;
    if (e->clearance.empty())
        text = QStringLiteral("No keep-out lines or circles: mark them in Draw Lines (a right click on a row's "
                              "number, or Ctrl+Shift+K).");
    else if (failing == 0)
        text = QStringLiteral("Every part clears every keep-out shape by %1 %2 or more.")
                   .arg(LeastEdit->text(), QString::fromLatin1(LengthUnitText(unit)));
    else
        text = QStringLiteral("%1 of %2 clearances are less than %3 %4.")
                   .arg(failing)
                   .arg(measured)
                   .arg(LeastEdit->text(), QString::fromLatin1(LengthUnitText(unit)));
    if (e->clampedSamples > 0)
        text += QStringLiteral(" The gear cannot be assembled at %1 of the %2 positions swept.")
                    .arg(e->clampedSamples)
                    .arg(e->solves);
    if (measuring) text = QStringLiteral("Sweeping the gear… ") + text;
    ClearanceText->setText(text);
}
