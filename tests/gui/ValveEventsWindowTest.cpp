// The valve events table window and the pivot data table's "Save CSV…".
#include "GuiTestSupport.h"

#include "aids/TDataTable.h"
#include "analysis/ValveEventsTable.h"
#include "graphs/TValveEvents.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cerrno>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using ValveEventsWindow = MainWindowTest;

} // namespace

TEST_F(ValveEventsWindow, ShowsCopiesAndSavesTheCurrentDesignWhileTheGearRuns)
{
    TValveEvents* ve = ChildWindowsOf(*form).ValveEvents;
    QAction* item = form->findChild<QAction*>(QStringLiteral("ValveEventsTable"));
    ASSERT_TRUE(ve && item && Named<QMenu>(*form, "DrawGraphs1")->actions().contains(item) && item->isEnabled());
    EXPECT_EQ(item->text(), QStringLiteral("Valve &Events Table"));
    const Gear before = state.gear;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("events.csv"));
    QString answer, asked;
    ve->FileDialogHook = [&](const QString& name) { return asked = name, answer; };
    float angleShown = -1;
    DriveModal([&] {
        if (!ve->isVisible()) return false;
        if (angleShown < 0) angleShown = state.gear.DriverAngle;
        // The animation goes on underneath, and the caption gets the tail.
        if (state.gear.DriverAngle == angleShown || !ve->windowTitle().endsWith(QStringLiteral("Version 2.6")))
            return false;
        EXPECT_TRUE(
            ve->windowTitle().startsWith(QStringLiteral("QUELF Outside Admission      Valve Events    Nominal")));
        const std::vector<TextRow>& text = ve->TableText();
        EXPECT_EQ(text, ValveEventsTextOf(before));
        QTableWidget* grid = ve->EventsGrid;
        EXPECT_EQ(grid->rowCount(), 40);
        EXPECT_EQ(grid->columnCount(), kValveEventsColumns);
        EXPECT_EQ(grid->horizontalHeaderItem(5)->text(), QStringLiteral("Front admission\n(% stroke)"));
        for (int r = 0; r < std::min(grid->rowCount(), int(text.size()) - 1); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                EXPECT_EQ(grid->item(r, c)->text().toStdString(), text[size_t(r + 1)][size_t(c)]);
        EXPECT_TRUE(grid->item(14, 3)->font().bold()); // the normal notch
        // The keyboard reaches the buttons from Close, which has the focus.
        EXPECT_EQ(ve->focusWidget(), ve->CloseBut);
        QTest::keyClick(ve->CloseBut, Qt::Key_Backtab);
        EXPECT_EQ(ve->focusWidget(), ve->PrintBut);
        QTest::mouseClick(ve->CopyBut, Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), TabSeparatedText(text));
        QTest::mouseClick(ve->SaveCsvBut, Qt::LeftButton); // Cancel
        EXPECT_EQ(asked, QStringLiteral("SaveCsvDialog"));
        answer = path;
        QTest::mouseClick(ve->SaveCsvBut, Qt::LeftButton);
        EXPECT_EQ(ReadAll(path).toStdString(), CsvText(text));
        QTest::mouseClick(ve->CloseBut, Qt::LeftButton);
        return true;
    });
    item->trigger();
    EXPECT_FALSE(ve->isVisible());
    EXPECT_TRUE(form->Session().Running());
    EXPECT_EQ(state.gear.RevArmPos, before.RevArmPos);
    EXPECT_EQ(state.gear.CylDims, before.CylDims);

    // Opened again after a change of design, it shows the new one (a wide front
    // steam lap: no front admission at mid gear). A failing write or rename
    // shows the standard message; the old file stays, with no temporary beside it.
    state.gear.Cyl(ciValveLengthFrontHalf) += 0.1f;
    const QByteArray old = ReadAll(path);
    QString shown;
    DriveModal([&] {
        if (!ve->isVisible()) return false;
        EXPECT_EQ(ve->EventsGrid->item(0, 5)->text(), QString());
        for (int which = 0; which < 2; ++which) {
            (which == 0 ? files.faults.write : files.faults.replace) = {FileErrorKind::DiskFull};
            DriveModal([&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (box) shown += box->objectName() + QLatin1Char(':') + box->text() + QLatin1Char(' '), box->accept();
                return box != nullptr;
            });
            ve->SaveCsvButClick();
            files.faults = {};
        }
        ve->CloseButClick();
        return true;
    });
    Press(*form, "ValveEventsTable");
    EXPECT_EQ(shown, QStringLiteral("FileErrorBox:Disk full FileErrorBox:Disk full "));
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("events.csv")});
}

TEST_F(ValveEventsWindow, DataTableSavesTheNumbersOfItsText)
{
    QTemporaryDir dir;
    TDataTable* dt = ChildWindowsOf(*form).DataTable;
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
    Press(*form, "DataTableBut");
    const QStringList csv = QString::fromUtf8(ReadAll(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(csv.size(), 1 + 37);
    ASSERT_EQ(memo.size(), 4 + 37);
    EXPECT_TRUE(csv[0].startsWith(QStringLiteral("Driver angle (deg),No.1 vert (units),No.1 horz (units),")));
    for (int i = 1; i <= 37; ++i)
        EXPECT_EQ(csv[i].split(QLatin1Char(',')), memo[i + 3].split(QLatin1Char(' '), Qt::SkipEmptyParts)) << i;
}
