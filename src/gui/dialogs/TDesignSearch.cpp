#include "dialogs/TDesignSearch.h"

#include "analysis/BalanceText.h"
#include "model/Model.h"

#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

TDesignSearch::TDesignSearch(const QString& captionHead, AppState& state, DesignSession* designSession, QWidget* parent)
    : TSearchWindow(captionHead, parent), s_(state), session_(designSession)
{
    AddButton(FindBut, "FindBut", QStringLiteral("&Find"), &TDesignSearch::FindButClick);
    AddButton(StopBut, "StopBut", QStringLiteral("Sto&p"), &TDesignSearch::StopButClick);
    AddButton(ApplyBut, "ApplyBut", QStringLiteral("Appl&y"), &TDesignSearch::ApplyButClick);
    AddButton(CancelBut, "CancelBut", QStringLiteral("Cancel"), &TDesignSearch::CancelButClick);
    FindBut->setDefault(true);

    Progress = NewProgress();

    ResultGrid = new QTableWidget(this);
    ResultGrid->setObjectName(QStringLiteral("ResultGrid"));
    ResultGrid->setColumnCount(3);
    ResultGrid->setHorizontalHeaderLabels({QString(), QStringLiteral("Before"), QStringLiteral("After")});
    ResultGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ResultGrid->verticalHeader()->hide();
    ResultGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ResultGrid->verticalHeader()->setDefaultSectionSize(ResultGrid->fontMetrics().height() + 6);
    ResultGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ResultGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    ResultGrid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    ResultGrid->setWordWrap(false);

    ResultText = new QLabel(this);
    ResultText->setObjectName(QStringLiteral("ResultText"));
    ResultText->setWordWrap(true);
    ResultText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ResultText->setMinimumHeight(ResultText->fontMetrics().height() * 3);
    ResultText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QHBoxLayout* TDesignSearch::ButtonRow()
{
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FindBut);
    buttons->addWidget(StopBut);
    buttons->addWidget(Progress, 1);
    buttons->addWidget(ApplyBut);
    buttons->addWidget(CancelBut);
    return buttons;
}

std::vector<DimensionValue> TDesignSearch::Changes() const
{
    std::vector<DimensionValue> changes;
    for (const DimensionValue& v : FoundValues())
        if (GetDimension(s_.gear, v.code) != v.value) changes.push_back(v);
    return changes;
}

void TDesignSearch::SetBusy(bool busy)
{
    EnableInputs(!busy);
    FindBut->setEnabled(!busy);
    StopBut->setEnabled(busy);
    ApplyBut->setEnabled(!busy && !Changes().empty());
    if (busy) StopBut->setFocus(Qt::OtherFocusReason);
}

void TDesignSearch::ShowRows(const std::vector<std::array<std::string, 3>>& rows)
{
    const auto endsWith = [](const std::string& s, const char* tail) {
        const std::string t(tail);
        return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
    };
    ResultGrid->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 3; ++c) {
            const std::string& cell = rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
            auto* item = new QTableWidgetItem(QString::fromStdString(cell));
            if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c > 0 && endsWith(cell, "FAIL")) item->setForeground(QColor(160, 0, 0));
            if (c > 0 && endsWith(cell, "PASS")) item->setForeground(QColor(0, 110, 0));
            ResultGrid->setItem(r, c, item);
        }
}

QString TDesignSearch::ApplyNotes() const
{
    QString notes;
    for (const DimensionValue& v : Changes())
        if (v.code == 21 || v.code == 22)
            notes += QStringLiteral(" As in the dimension dialogs, \"UnDo\" does not take back %1.")
                         .arg(QString::fromStdString(BalanceDimensionLabel(v.code)));
    return notes;
}

void TDesignSearch::StartSearchText()
{
    ResultText->setText(QStringLiteral("Searching…"));
    Progress->setValue(0);
    SetBusy(true);
}

void TDesignSearch::ShowProgress(int progress) { Progress->setValue(progress); }

void TDesignSearch::SearchEnded()
{
    SetBusy(false);
    (ApplyBut->isEnabled() ? ApplyBut : FindBut)->setFocus(Qt::OtherFocusReason);
}

void TDesignSearch::StopButClick() { runner_->Stop(); }

void TDesignSearch::ApplyButClick()
{
    if (Searching()) return;
    const std::vector<DimensionValue> changes = Changes();
    if (changes.empty()) return;
    // As typing the values into the dimension dialogs and closing them.
    ApplyFoundValues(s_, session_, changes);
    accept();
}

void TDesignSearch::CancelButClick() { reject(); }
