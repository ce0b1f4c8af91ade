// The valve events table window and the pivot data table's "Save CSV…", driven
// as a user drives them.
#include "GuiTestSupport.h"

#include "aids/DataTableBuilder.h"
#include "aids/TDataTable.h"
#include "analysis/ValveEventsTable.h"
#include "graphs/TValveEvents.h"
#include "platform/RecordFile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>

#include <cerrno>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Accepts the next message box that comes up modally and keeps its text.
void AnswerNextMessageBox(QString& text)
{
    DriveModal([&text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return false;
        text = box->objectName() + QLatin1Char(':') + box->text();
        box->accept();
        return true;
    });
}

using ValveEventsWindow = MainWindowTest;

} // namespace

TEST_F(ValveEventsWindow, OpensFromTheMenuWithTheCurrentDesignWhileTheGearRuns)
{
    TValveEvents* ve = form->Forms.ValveEvents;
    ASSERT_NE(ve, nullptr);
    QAction* item = form->findChild<QAction*>(QStringLiteral("ValveEventsTable"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(form->DrawGraphs1->actions().contains(item));
    EXPECT_EQ(item->text(), QStringLiteral("Valve &Events Table"));
    EXPECT_TRUE(item->isEnabled());
    ASSERT_TRUE(form->IsRunning());
    const Gear before = state.gear;

    int stage = 0;
    float angleShown = 0;
    DriveModal([&] {
        if (!ve->isVisible()) return false;
        if (stage == 0) {
            angleShown = state.gear.DriverAngle;
            stage = 1;
            return false;
        }
        // The animation goes on underneath, and the caption gets the tail.
        if (state.gear.DriverAngle == angleShown || !ve->windowTitle().endsWith(QStringLiteral("Version 2.6")))
            return false;
        EXPECT_TRUE(
            ve->windowTitle().startsWith(QStringLiteral("QUELF Outside Admission      Valve Events    Nominal")))
            << ve->windowTitle().toStdString();
        QTableWidget* grid = ve->EventsGrid;
        EXPECT_EQ(grid->rowCount(), 40);
        EXPECT_EQ(grid->columnCount(), kValveEventsColumns);
        EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        const std::vector<TextRow>& text = ve->TableText();
        EXPECT_EQ(text, ValveEventsTextOf(before));
        EXPECT_EQ(grid->horizontalHeaderItem(5)->text(), QStringLiteral("Front admission\n(% stroke)"));
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                EXPECT_EQ(grid->item(r, c)->text().toStdString(),
                          text[static_cast<size_t>(r + 1)][static_cast<size_t>(c)]);
        EXPECT_EQ(grid->item(14, 1)->text(), QStringLiteral("normal"));
        EXPECT_TRUE(grid->item(14, 3)->font().bold());
        // The keyboard reaches every button, Close first.
        EXPECT_EQ(ve->focusWidget(), ve->CloseBut);
        for (QPushButton* b : {ve->CopyBut, ve->SaveCsvBut, ve->CloseBut}) EXPECT_TRUE(b->focusPolicy() & Qt::TabFocus);
        QTest::keyClick(ve->CloseBut, Qt::Key_Backtab);
        EXPECT_EQ(ve->focusWidget(), ve->SaveCsvBut);
        // Copy: the whole table with its header, one line per row, tabs between cells.
        QTest::mouseClick(ve->CopyBut, Qt::LeftButton);
        const QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), 41);
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Direction\tNotch\tReverse arm (units)\t")));
        for (const QString& l : lines) EXPECT_EQ(l.count(QLatin1Char('\t')), kValveEventsColumns - 1);
        QTest::mouseClick(ve->CloseBut, Qt::LeftButton);
        return true;
    });
    item->trigger();
    EXPECT_FALSE(ve->isVisible());
    EXPECT_EQ(stage, 1);
    EXPECT_TRUE(form->IsRunning());
    EXPECT_EQ(state.gear.RevArmPos, before.RevArmPos);
    EXPECT_EQ(state.gear.CylDims, before.CylDims);

    // Opened again after a change of design, it shows the new one: a front
    // steam lap wider than the valve's half travel leaves the front admission
    // at mid gear empty.
    state.gear.Cyl(ciValveLengthFrontHalf) += 0.1f;
    DriveModal([&] {
        if (!ve->isVisible()) return false;
        EXPECT_EQ(ve->EventsGrid->item(0, 5)->text(), QString());
        EXPECT_TRUE(ve->EventsGrid->item(0, 3)->text().startsWith(QLatin1Char('-')));
        ve->CloseButClick();
        return true;
    });
    form->ValveEventsTableClick();
    EXPECT_FALSE(ve->isVisible());
}

TEST_F(ValveEventsWindow, SaveCsvWritesTheWholeFileOrNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TValveEvents* ve = form->Forms.ValveEvents;
    QString answer;
    QStringList asked;
    ve->FileDialogHook = [&](const QString& name) {
        asked << name;
        return answer;
    };
    ve->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ve));
    const std::string csv = CsvText(ve->TableText());

    answer = dir.filePath(QStringLiteral("events.csv"));
    QTest::mouseClick(ve->SaveCsvBut, Qt::LeftButton);
    EXPECT_EQ(asked, QStringList{QStringLiteral("SaveCsvDialog")});
    EXPECT_EQ(ReadAll(answer).toStdString(), csv);

    // Cancel writes nothing.
    answer.clear();
    QTest::mouseClick(ve->SaveCsvBut, Qt::LeftButton);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("events.csv")});

    // A failing write reports the standard message and leaves the old file
    // as it was, with no temporary file beside it.
    answer = dir.filePath(QStringLiteral("events.csv"));
    QFile old(answer);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
    old.write("old");
    old.close();
    for (int which = 0; which < 2; ++which) {
        RecordFileFault fault;
        (which == 0 ? fault.writeError : fault.renameError) = ENOSPC;
        SetRecordFileFault(fault);
        QString shown;
        AnswerNextMessageBox(shown);
        ve->SaveCsvButClick();
        ClearRecordFileFault();
        EXPECT_EQ(shown, QStringLiteral("FileErrorBox:Disk full"));
        EXPECT_EQ(ReadAll(answer), QByteArray("old"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("events.csv")});
    }
    ve->close();
}

TEST_F(ValveEventsWindow, DataTableSavesTheNumbersOfItsText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TDataTable* dt = form->Forms.DataTable;
    ASSERT_NE(dt->SaveCsv1, nullptr);
    EXPECT_EQ(dt->SaveCsv1->text(), QStringLiteral("&Save CSV…"));
    state.pivots.PivotOfSlot[1] = 2;
    state.pivots.PivotOfSlot[3] = 17;
    const QString path = dir.filePath(QStringLiteral("pivots.csv"));
    dt->FileDialogHook = [&](const QString&) { return path; };
    QStringList memo;
    DriveModal([&] {
        if (!dt->isVisible()) return false;
        memo = dt->DataMemo->toPlainText().split(QLatin1Char('\n'));
        dt->SaveCsv1->trigger();
        dt->Close1->trigger();
        return true;
    });
    form->DataTableButClick();
    const QStringList csv = QString::fromUtf8(ReadAll(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(csv.size(), 1 + 37);
    ASSERT_EQ(memo.size(), 4 + 37);
    EXPECT_TRUE(csv[0].startsWith(QStringLiteral("Driver angle (deg),No.1 vert (units),No.1 horz (units),")));
    for (int i = 1; i <= 37; ++i) {
        const QStringList cells = csv[i].split(QLatin1Char(','));
        const QStringList words = memo[i + 3].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_EQ(cells.size(), 13);
        EXPECT_EQ(cells, words) << i;
    }
}
