#include "dialogs/TBalance.h"

#include "analysis/BalanceText.h"
#include "dialogs/DialogCommon.h"
#include "dialogs/QtSearchRunner.h"
#include "drawing/DimensionEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "qt/QtEditHooks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <exception>
#include <tuple>

namespace {

QString RangeText(float v) { return QString::fromStdString(BoundFieldText(v)); }

QComboBox* TargetCombo(QWidget* parent, const char* name, BalanceTarget chosen)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    for (int k = 0; k < kBalanceTargets; ++k)
        c->addItem(QString::fromStdString(TargetCaption(static_cast<BalanceTarget>(k))), k);
    c->setCurrentIndex(static_cast<int>(chosen));
    return c;
}

QComboBox* DimensionCombo(QWidget* parent, const char* name, int chosen)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    for (int code : BalanceDimensionCodes()) c->addItem(QString::fromStdString(BalanceDimensionLabel(code)), code);
    c->setCurrentIndex(c->findData(chosen));
    c->setMaxVisibleItems(22);
    return c;
}

QLineEdit* RangeEdit(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setContextMenuPolicy(Qt::NoContextMenu);
    e->setAcceptDrops(false);
    e->setMaximumWidth(90);
    return e;
}

} // namespace

TBalance::TBalance(AppState& state, DesignSession* designSession, QWidget* parent)
    : TDesignSearch(CaptionHead(), state, designSession, parent)
{
    setObjectName(QStringLiteral("Balance"));
    setModal(true);

    TargetBox = TargetCombo(this, "TargetBox", BalanceTarget::Lead);
    DimensionBox = DimensionCombo(this, "DimensionBox", 20);
    RangeLo = RangeEdit(this, "RangeLo");
    RangeHi = RangeEdit(this, "RangeHi");
    SecondBox = new QCheckBox(QStringLiteral("&Second target at once"), this);
    SecondBox->setObjectName(QStringLiteral("SecondBox"));
    Target2Box = TargetCombo(this, "Target2Box", BalanceTarget::CutOffForward);
    Dimension2Box = DimensionCombo(this, "Dimension2Box", 10);
    Range2Lo = RangeEdit(this, "Range2Lo");
    Range2Hi = RangeEdit(this, "Range2Hi");

    auto* grid = new QGridLayout;
    auto label = [this](const char* name, const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label("TargetLabel", QStringLiteral("&Target"), TargetBox), 0, 0);
    grid->addWidget(TargetBox, 0, 1, 1, 5);
    grid->addWidget(label("DimensionLabel", QStringLiteral("&Adjust"), DimensionBox), 1, 0);
    grid->addWidget(DimensionBox, 1, 1);
    grid->addWidget(label("RangeLabel", QStringLiteral("fro&m"), RangeLo), 1, 2);
    grid->addWidget(RangeLo, 1, 3);
    grid->addWidget(label("RangeToLabel", QStringLiteral("to"), RangeHi), 1, 4);
    grid->addWidget(RangeHi, 1, 5);
    grid->addWidget(SecondBox, 2, 0, 1, 6);
    grid->addWidget(label("Target2Label", QStringLiteral("Ta&rget"), Target2Box), 3, 0);
    grid->addWidget(Target2Box, 3, 1, 1, 5);
    grid->addWidget(label("Dimension2Label", QStringLiteral("A&djust"), Dimension2Box), 4, 0);
    grid->addWidget(Dimension2Box, 4, 1);
    grid->addWidget(label("Range2Label", QStringLiteral("fr&om"), Range2Lo), 4, 2);
    grid->addWidget(Range2Lo, 4, 3);
    grid->addWidget(label("Range2ToLabel", QStringLiteral("to"), Range2Hi), 4, 4);
    grid->addWidget(Range2Hi, 4, 5);
    grid->setColumnStretch(1, 1);

    for (QLineEdit* e : {RangeLo, RangeHi, Range2Lo, Range2Hi}) {
        InstallKeyPress(e, [this, e](QChar& key) {
            if (key == QChar(13)) { // Enter: find
                key = QChar();
                QTimer::singleShot(0, this, &TBalance::FindButClick);
                return;
            }
        });
    }
    connect(DimensionBox, &QComboBox::currentIndexChanged, this, [this] { FillRange(0); });
    connect(Dimension2Box, &QComboBox::currentIndexChanged, this, [this] { FillRange(1); });
    connect(SecondBox, &QCheckBox::toggled, this, [this] { SetBusy(false); });

    auto* box = new QVBoxLayout(this);
    box->addLayout(grid);
    box->addLayout(ButtonRow());
    box->addWidget(ResultGrid, 1);
    box->addWidget(ResultText);
    resize(620, 560);

    setTabOrder(TargetBox, DimensionBox);
    setTabOrder(DimensionBox, RangeLo);
    setTabOrder(RangeLo, RangeHi);
    setTabOrder(RangeHi, SecondBox);
    setTabOrder(SecondBox, Target2Box);
    setTabOrder(Target2Box, Dimension2Box);
    setTabOrder(Dimension2Box, Range2Lo);
    setTabOrder(Range2Lo, Range2Hi);
    setTabOrder(Range2Hi, FindBut);
    setTabOrder(FindBut, StopBut);
    setTabOrder(StopBut, ApplyBut);
    setTabOrder(ApplyBut, CancelBut);
    setTabOrder(CancelBut, ResultGrid);

    FillRange(0);
    FillRange(1);
    SetBusy(false);
}

QString TBalance::CaptionHead() { return QStringLiteral("QUELF Outside Admission      Balance Events    "); }

void TBalance::FormActivate()
{
    FillRange(0);
    FillRange(1);
    result_ = BalanceResult{};
    goals_.clear();
    ResultGrid->setRowCount(0);
    ResultText->clear();
    Progress->setValue(0);
    SetBusy(false);
    TargetBox->setFocus(Qt::OtherFocusReason);
}

void TBalance::ChooseDimension(int code, BalanceTarget target)
{
    TargetBox->setCurrentIndex(TargetBox->findData(static_cast<int>(target)));
    DimensionBox->setCurrentIndex(DimensionBox->findData(code));
    SecondBox->setChecked(false);
}

void TBalance::FillRange(int which)
{
    QComboBox* box = which == 0 ? DimensionBox : Dimension2Box;
    float lo = 0, hi = 0;
    DefaultBalanceRange(s_.gear, box->currentData().toInt(), lo, hi);
    (which == 0 ? RangeLo : Range2Lo)->setText(RangeText(lo));
    (which == 0 ? RangeHi : Range2Hi)->setText(RangeText(hi));
}

bool TBalance::ReadGoals(std::vector<BalanceGoal>& goals, std::string& error) const
{
    goals.clear();
    // Each field whole: a text that is no number is said so, never read in part.
    auto goal = [&goals, &error](QComboBox* target, QComboBox* dim, QLineEdit* lo, QLineEdit* hi) {
        BalanceGoal g;
        g.target = static_cast<BalanceTarget>(target->currentData().toInt());
        g.code = dim->currentData().toInt();
        const std::string range = "the range of " + BalanceDimensionLabel(g.code);
        for (auto [edit, end, value] : {std::tuple{lo, "The lower end of ", &g.lo}, {hi, "The upper end of ", &g.hi}})
            if (!ReadFieldNumber(end + range, edit->text().toStdString(), *value, error)) {
                edit->setFocus(Qt::OtherFocusReason);
                return false;
            }
        goals.push_back(g);
        return true;
    };
    if (!goal(TargetBox, DimensionBox, RangeLo, RangeHi)) return false;
    if (SecondBox->isChecked() && !goal(Target2Box, Dimension2Box, Range2Lo, Range2Hi)) return false;
    error = CheckBalanceGoals(goals);
    return error.empty();
}

void TBalance::FindButClick()
{
    if (Searching()) return;
    std::vector<BalanceGoal> goals;
    std::string error;
    result_ = BalanceResult{};
    ResultGrid->setRowCount(0);
    if (!ReadGoals(goals, error)) {
        ResultText->setText(QString::fromStdString(error));
        SetBusy(false);
        return;
    }
    goals_ = goals;
    searched_ = s_.gear;
    StartSearch<BalanceResult>(
        [design = searched_, goals](BalanceControl& control) {
            try {
                return BalanceEvents(design, goals, &control);
            } catch (const std::exception& e) {
                BalanceResult r;
                r.error = std::string("The search failed: ") + e.what();
                return r;
            }
        },
        [this](BalanceResult&& r) {
            result_ = std::move(r);
            ShowResult();
        });
}

void TBalance::ShowResult()
{
    std::vector<std::array<std::string, 3>> rows;
    for (const TextRow& row : BalanceRows(searched_, goals_, result_)) {
        std::array<std::string, 3> cells;
        for (size_t c = 0; c < 3; ++c) cells[c] = QString::fromStdString(row[c]).trimmed().toStdString();
        rows.push_back(cells);
    }
    ShowRows(rows);
    QString text = QString::fromStdString(BalanceSummary(goals_, result_, searched_.Unit));
    if (result_.HasValues() && Changes().empty()) text += QStringLiteral(" The design has these values already.");
    ResultText->setText(text + ApplyNotes());
}

std::vector<DimensionValue> TBalance::FoundValues() const
{
    return result_.HasValues() ? result_.values : std::vector<DimensionValue>{};
}

void TBalance::EnableInputs(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{TargetBox, DimensionBox, RangeLo, RangeHi, SecondBox})
        w->setEnabled(enabled);
    for (QWidget* w : std::initializer_list<QWidget*>{Target2Box, Dimension2Box, Range2Lo, Range2Hi})
        w->setEnabled(enabled && SecondBox->isChecked());
}
