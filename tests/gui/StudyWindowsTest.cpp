// The "Sensitivity…" and "Tolerance Study…" windows over the running main window.
#include "GuiTestSupport.h"

#include "analysis/Sensitivity.h"
#include "analysis/ToleranceStudy.h"
#include "dialogs/TBalance.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TSensitivity.h"
#include "dialogs/TTolerance.h"
#include "model/DesignEdit.h"
#include "model/EngineData.h"
#include "qt/QtPictureCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

namespace {

struct StudyWindows : MainWindowTest {
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QByteArray ReadAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Prints through the print dialog's hook into a PDF; its text.
    QString Printed(QPushButton* print)
    {
        const QString pdf = Path("printed.pdf");
        QFile::remove(pdf);
        PictureCommands::PrintDialogHook = [&](QPrinter& p) {
            EXPECT_EQ(p.pageLayout().orientation(), QPageLayout::Landscape);
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            return true;
        };
        print->click();
        PictureCommands::PrintDialogHook = nullptr;
        return Poppler("pdftotext", pdf);
    }
};

} // namespace

TEST_F(StudyWindows, MenuItemsFollowTheOptimiseItem)
{
    const QList<QAction*> items = Named<QMenu>(*form, "EditDimen1")->actions();
    const auto at = items.indexOf(Named<QAction>(*form, "OptimiseDesign"));
    ASSERT_GE(at, 0);
    ASSERT_GT(items.size(), at + 2);
    EXPECT_EQ(items[at + 1]->objectName() + ' ' + items[at + 1]->text(), QStringLiteral("Sensitivity Se&nsitivity…"));
    EXPECT_EQ(items[at + 2]->objectName() + ' ' + items[at + 2]->text(),
              QStringLiteral("ToleranceStudy &Tolerance Study…"));
    // Each opens its window, modal, over the running gear.
    for (QDialog* w : {static_cast<QDialog*>(ChildWindowsOf(*form).Sensitivity),
                       static_cast<QDialog*>(ChildWindowsOf(*form).Tolerance)}) {
        bool seen = false;
        DriveModal([&] {
            if (!w->isVisible()) return false;
            seen = w->isModal();
            w->reject();
            return true;
        });
        items[w == ChildWindowsOf(*form).Sensitivity ? at + 1 : at + 2]->trigger();
        EXPECT_TRUE(seen) << w->objectName().toStdString();
    }
}

// The table of the normal notch, largest effect on front - rear cut-off
// first, with its bars; a click on a header sorts by that column, a second
// the other way; another direction is measured again; the table leaves by
// Copy and Print as shown, by Save CSV as the command line writes it; a double-click opens the dimension in
// the balance window and the row is measured again when it closes.
TEST_F(StudyWindows, SensitivitySortsCopiesAndOpensADimensionInTheBalance)
{
    TSensitivity* w = ChildWindowsOf(*form).Sensitivity;
    w->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Measuring() && !w->TableText().empty(); }, 60000));
    QTableWidget* grid = w->EffectGrid;
    ASSERT_EQ(grid->rowCount(), 44);
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), QStringLiteral("Front - rear cut-off\n(% stroke)"));
    EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), QStringLiteral("Lead front\n(units)"));
    EXPECT_EQ(w->Result().row, (EventsRow{Running::Forward, kNormalNotch}));
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("Rocker Pivot Horz"));
    EXPECT_EQ(grid->item(0, 2)->data(Qt::UserRole + 1).toDouble(), -1.0); // the largest, negative: a full bar
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c : {0, 2, 5})
            ASSERT_EQ(grid->item(r, c)->text().toStdString(), w->TableText()[size_t(r + 1)][size_t(c)]);

    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(grid->horizontalHeader()->sectionViewportPosition(3) + 5, 5));
    EXPECT_EQ(w->SortColumn(), 3);
    EXPECT_TRUE(w->SortDescending());
    const float most = LargestEffect(w->Result(), 3);
    EXPECT_NEAR(std::fabs(grid->item(0, 3)->text().toFloat()), most, 1e-4);
    w->SortBy(3);
    EXPECT_FALSE(w->SortDescending());
    EXPECT_EQ(grid->item(0, 3)->text(), QStringLiteral("0.0000"));

    w->DirectionBox->setCurrentIndex(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Measuring() && w->Result().row.running == Running::Reverse; }, 60000));

    w->FileDialogHook = [&](const QString&) { return Path("effects.csv"); };
    w->SaveCsvBut->click();
    // The CSV is the command line's: identifiers, code order, no difference column.
    EXPECT_EQ(ReadAll(Path("effects.csv")).toStdString(), CsvText(SensitivityCsvRows(state.gear, w->Result())));
    EXPECT_EQ(ReadAll(Path("effects.csv")).left(17), QByteArray("Dimension,Value,L"));
    w->CopyBut->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), TabSeparatedText(w->TableText()));
    const QString printed = Printed(w->PrintBut);
    EXPECT_TRUE(printed.contains("reverse normal notch") && printed.contains("Rocker Pivot Horz"))
        << printed.left(200).toStdString();

    // Sorted by a lead: the balance asks for equal leads with that dimension.
    w->SortBy(4);
    const int row = 2, code = w->DimensionAt(row);
    const QRect cell = grid->visualItemRect(grid->item(row, 0));
    TBalance* b = ChildWindowsOf(*form).Balance;
    bool opened = false;
    DriveModal([&] {
        if (!b->isVisible()) return false;
        opened = b->DimensionBox->currentData().toInt() == code &&
                 b->TargetBox->currentData().toInt() == int(BalanceTarget::Lead) && !b->SecondBox->isChecked();
        b->CancelBut->click();
        return true;
    });
    // A double-click as the item view sees one: a press, then the double-click.
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened && !b->isVisible(); }, 30000))
        << opened << b->isVisible() << " code " << code << " box " << b->DimensionBox->currentData().toInt()
        << " target " << b->TargetBox->currentData().toInt();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Measuring(); }, 60000));
    EXPECT_EQ(w->Result().effects.size(), 44u);

    // "Optimise…": the dimension first among the optimiser's.
    TOptimise* o = ChildWindowsOf(*form).Optimise;
    DriveModal([&] {
        if (!o->isVisible()) return false;
        opened = o->DimensionBox[0]->currentData().toInt() == w->DimensionAt(grid->currentRow());
        o->CancelBut->click();
        return true;
    });
    opened = false;
    w->OptimiseBut->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened && !o->isVisible(); }, 30000));
    w->CloseBut->click();
    EXPECT_FALSE(w->isVisible());
}

// Bad input told and not run; a run of a few samples shows its table and
// picture, and the same seed the same table; the picture leaves through
// "Export Picture…"; a tolerance no gear survives says so; Stop ends a run.
TEST_F(StudyWindows, ToleranceRefusesBadInputRunsStopsAndExports)
{
    TTolerance* w = ChildWindowsOf(*form).Tolerance;
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    const std::vector<int> codes = ToleranceDimensionCodes();
    ASSERT_EQ(w->ToleranceGrid->rowCount(), int(codes.size()));
    // Nothing typed is dropped (a negative tolerance is refused when run); the
    // value for all lengths goes to every length, not to the angle.
    w->LengthTolerance->clear();
    QTest::keyClicks(w->LengthTolerance, QStringLiteral("-0.002"));
    EXPECT_EQ(w->LengthTolerance->text(), QStringLiteral("-0.002"));
    w->RunBut->click();
    EXPECT_FALSE(w->Running());
    EXPECT_EQ(w->ResultText->text(), QStringLiteral("The tolerance of Stroke must be a number of 0 or more."));
    QTest::keyClick(w->LengthTolerance, Qt::Key_Home);
    QTest::keyClick(w->LengthTolerance, Qt::Key_Delete);
    for (size_t k = 0; k < codes.size(); ++k)
        EXPECT_EQ(w->ToleranceEdit[k]->text(),
                  IsToleranceAngle(codes[k]) ? QStringLiteral("0") : QStringLiteral("0.002"));
    w->Samples->setText(QStringLiteral("0"));
    w->RunBut->click();
    EXPECT_FALSE(w->Running());
    EXPECT_EQ(w->ResultText->text(), QStringLiteral("The samples must be a whole number from 1 to 100000."));
    EXPECT_FALSE(w->CopyBut->isEnabled());

    w->Samples->setText(QStringLiteral("8"));
    w->Seed->setText(QStringLiteral("11"));
    const size_t angle = size_t(std::find(codes.begin(), codes.end(), 6) - codes.begin());
    ASSERT_LT(angle, codes.size());
    w->ToleranceEdit[angle]->setText(QStringLiteral("0.1")); // the eccentric angle, degrees
    w->PinClearance->setText(QStringLiteral("0.001"));
    ToleranceSettings settings;
    std::string error;
    ASSERT_TRUE(w->ReadSettings(settings, error)) << error;
    EXPECT_EQ(settings.tolerance[angle], 0.1f);
    EXPECT_EQ(settings.pinClearance, 0.001f);
    std::vector<TextRow> first;
    for (int run = 0; run < 2; ++run) {
        w->RunBut->click();
        EXPECT_TRUE(w->Running() && w->StopBut->isEnabled() && !w->RunBut->isEnabled());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Running(); }, 120000));
        ASSERT_EQ(w->Result().outcome, ToleranceOutcome::Done) << w->ResultText->text().toStdString();
        if (run == 0) first = w->TableText();
    }
    EXPECT_EQ(w->TableText(), first);
    EXPECT_EQ(first, ToleranceTableRows(state.gear, RunToleranceStudy(state.gear, settings)));
    EXPECT_EQ(w->SpreadGrid->rowCount(), 40 * kEventQuantities);
    EXPECT_EQ(w->SpreadGrid->horizontalHeaderItem(9)->text(), QStringLiteral("Worst high"));
    EXPECT_TRUE(w->ResultText->text().startsWith(QStringLiteral("8 samples: ")));
    EXPECT_GT(w->ShownPicture().CountLines(), 300);
    const QString printed = Printed(w->PrintBut);
    EXPECT_TRUE(printed.contains("Worst high") && printed.contains("Front admission"))
        << printed.left(600).toStdString();

    // Export Picture… through the real dialog: the picture as a PNG.
    bool asked = false;
    DriveModal([&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d || d->objectName() != QStringLiteral("ExportDialog")) return false;
        asked = QFileInfo(d->selectedFiles().value(0)).fileName() == QStringLiteral("Nominal-tolerance-spread.png");
        d->selectFile(Path("spread.png"));
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
        return true;
    });
    w->ExportPictureBut->click();
    EXPECT_TRUE(asked);
    // At the scale the dialog's PNG filter was left at (1x, 2x or 4x).
    const QSize png = QImage(Path("spread.png")).size();
    EXPECT_TRUE(png.width() % w->ShownPicture().Width() == 0 &&
                png == QSize(w->ShownPicture().Width(), w->ShownPicture().Height()) *
                           (png.width() / w->ShownPicture().Width()))
        << png.width() << "x" << png.height();

    // Every sample clamps.
    w->LengthTolerance->setText(QStringLiteral("3"));
    w->LengthToleranceEdited();
    w->Samples->setText(QStringLiteral("3"));
    w->RunBut->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Running(); }, 120000));
    EXPECT_EQ(w->Result().outcome, ToleranceOutcome::NoValidSample);
    EXPECT_TRUE(w->ResultText->text().startsWith(QStringLiteral("Every sample clamped or lost an event: no spread.")));

    // Stop.
    w->LengthTolerance->setText(QStringLiteral("0.001"));
    w->LengthToleranceEdited();
    w->Samples->setText(QStringLiteral("100000"));
    w->RunBut->click();
    ASSERT_TRUE(w->Running());
    QTest::mouseClick(w->StopBut, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Running(); }, 60000));
    EXPECT_EQ(w->ResultText->text(), QStringLiteral("Stopped before the study was done."));
    EXPECT_TRUE(w->TableText().empty());
    EXPECT_FALSE(w->CopyBut->isEnabled() || w->ExportPictureBut->isEnabled());
    w->CloseBut->click();
    EXPECT_FALSE(w->isVisible());
}

// The window fits 1024 x 700 with every button in it; its panes scroll. A
// long study says how long it has left while it runs.
TEST_F(StudyWindows, ToleranceFitsASmallScreenAndTellsTheTimeLeft)
{
    TTolerance* w = ChildWindowsOf(*form).Tolerance;
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_LE(w->width(), 1024);
    EXPECT_LE(w->height(), 700);
    for (QPushButton* b :
         {w->RunBut, w->StopBut, w->CopyBut, w->SaveCsvBut, w->PrintBut, w->ExportPictureBut, w->CloseBut})
        EXPECT_TRUE(w->rect().contains(QRect(b->mapTo(w, QPoint(0, 0)), b->size()))) << b->objectName().toStdString();
    QWidget* panes = w->Scroll->widget();
    EXPECT_TRUE(panes->isAncestorOf(w->ToleranceGrid) && panes->isAncestorOf(w->SpreadPlot));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return w->Scroll->horizontalScrollBar()->maximum() >=
                   panes->minimumSizeHint().width() - w->Scroll->viewport()->width();
        },
        10000));

    w->Samples->setText(QStringLiteral("100000"));
    w->RunBut->click();
    ASSERT_TRUE(w->Running());
    const QRegularExpression left(QStringLiteral("^Studying 100000 samples: about \\d+ (s|min|h \\d+ min) left\\.$"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return left.match(w->ResultText->text()).hasMatch(); }, 120000))
        << w->ResultText->text().toStdString();
    QTest::mouseClick(w->StopBut, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Running(); }, 60000));
    w->CloseBut->click();
}

// A design with engine data: the engine's speed field shows and the table
// gains power and steam rate before the notes, sortable as the others; an
// emptied field measures without them. Without engine data neither shows.
TEST_F(StudyWindows, SensitivityShowsPowerAndSteamRateWithEngineData)
{
    TSensitivity* w = ChildWindowsOf(*form).Sensitivity;
    w->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Measuring() && !w->TableText().empty(); }, 60000));
    EXPECT_TRUE(w->SpeedEdit->isHidden());
    EXPECT_EQ(w->EffectGrid->columnCount(), kSensitivityColumns);
    w->hide();
    state.gear.HasEngine = true;
    state.gear.Engine = DefaultEngineData(state.gear);
    w->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Measuring() && w->Result().engineRpm > 0; }, 60000));
    QTableWidget* grid = w->EffectGrid;
    EXPECT_TRUE(w->SpeedEdit->isVisible());
    ASSERT_EQ(grid->columnCount(), kSensitivityColumns + 2);
    EXPECT_EQ(grid->horizontalHeaderItem(kSensitivityColumns - 1)->text(), QStringLiteral("Power\n(hp)"));
    EXPECT_EQ(grid->horizontalHeaderItem(kSensitivityColumns)->text(), QStringLiteral("Steam rate\n(lb/(hp h))"));
    EXPECT_EQ(grid->horizontalHeaderItem(kSensitivityColumns + 1)->text(), QStringLiteral("Notes"));
    w->SortBy(kSensitivityColumns - 1);
    const float most = LargestEffect(w->Result(), kSensitivityColumns - 1);
    ASSERT_GT(most, 0);
    EXPECT_NEAR(std::fabs(grid->item(0, kSensitivityColumns - 1)->text().toFloat()), most, 1e-4);
    w->SpeedEdit->setText(QString());
    emit w->SpeedEdit->editingFinished();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Measuring() && w->Result().engineRpm == 0; }, 60000));
    EXPECT_EQ(grid->columnCount(), kSensitivityColumns);
}
