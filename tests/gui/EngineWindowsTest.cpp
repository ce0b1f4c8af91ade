// "Engine Data…" and "Indicator Diagram…" over the running main window: the
// engine values as undo records, the indicator window following the live
// design on its worker thread, the map with its table, reference and Stop.
#include "GuiTestSupport.h"

#include "analysis/PerformanceText.h"
#include "dialogs/TEngineData.h"
#include "drawing/EngineDataFields.h"
#include "drawing/EnginePictures.h"
#include "files/NativeFile.h"
#include "graphs/TIndicator.h"
#include "model/DesignEdit.h"
#include "model/DynVars.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include <bit>
#include <functional>

namespace {

struct EngineWindows : MainWindowTest {
    QTemporaryDir dir;

    QByteArray Saved(const char* name)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(SaveNativeFile(state, QFile::encodeName(path).toStdString()).ok);
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TIndicator* OpenIndicator()
    {
        Named<QAction>(*form, "IndicatorDiagram")->trigger();
        TIndicator* w = ChildWindowsOf(*form).Indicator;
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(w->isModal());
        EXPECT_TRUE(QTest::qWaitFor([w] { return !w->Computing(); }, 60000));
        return w;
    }
};

// Type over a field and leave it with Tab.
void TypeAndLeave(QLineEdit* e, const QString& text)
{
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Tab);
}

} // namespace

// Each value typed is one undo record naming it, new to old; a refused text
// changes nothing and says why; the first value given gives the design engine
// data, and its undo takes them away again: the file saves as before.
TEST_F(EngineWindows, EngineDataValuesAreUndoRecordsAndTheirUndoSavesAsBefore)
{
    const QList<QAction*> items = Named<QMenu>(*form, "EditDimen1")->actions();
    const auto at = items.indexOf(Named<QAction>(*form, "CylDim"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(items[at + 1]->objectName(), QStringLiteral("EngineData"));
    EXPECT_EQ(items[at + 1]->text(), QStringLiteral("Eng&ine Data…"));

    const QByteArray before = Saved("before.vgw");
    TEngineData* d = ChildWindowsOf(*form).EngineData;
    d->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
    EXPECT_EQ(d->Edit[evChestPressure]->text(), QStringLiteral("200"));
    EXPECT_EQ(d->Unit[evChestPressure]->text(), QStringLiteral("psi gauge"));
    EXPECT_FALSE(d->LeastClearance[0]->text().isEmpty());
    const struct {
        int index;
        const char* text;
        const char* undoLine; // "" for no record
        const char* message;  // what the window says under the fields ("" for nothing refused)
        float value;          // the value the figures use after it
    } cases[] = {
        {evChestPressure, "180", " 1- Steam-chest pressure 180.000 to 200.000", "", 180},
        {evChestPressure, "180.0", " 1- Steam-chest pressure 180.000 to 200.000", "", 180},
        {evCylinders, "2.5", " 1- Steam-chest pressure 180.000 to 200.000",
         "Number of cylinders must be a whole number from 1 to 64.", 2},
        {evSuperheat, "x1", " 1- Steam-chest pressure 180.000 to 200.000", "The superheat must be a number", 0},
        {evCylinders, "3", " 2- Number of cylinders  3.000 to  2.000", "", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TypeAndLeave(d->Edit[static_cast<size_t>(c.index)], QString::fromLatin1(c.text));
        EXPECT_EQ(UndoSummaryText(state), c.undoLine);
        EXPECT_TRUE(d->EngineText->text().startsWith(QString::fromLatin1(c.message)))
            << d->EngineText->text().toStdString();
        EXPECT_EQ(GetEngineValue(EngineDataOf(state.gear), c.index), c.value);
        EXPECT_EQ(d->Edit[static_cast<size_t>(c.index)]->text().toStdString(), EngineFieldText(state.gear, c.index));
    }
    EXPECT_TRUE(state.gear.HasEngine);
    // A clearance below what the section drawing leaves is warned of.
    TypeAndLeave(d->Edit[evClearanceRear], QStringLiteral("0.1"));
    EXPECT_TRUE(d->EngineText->text().contains(QStringLiteral("The rear clearance is below the")));
    d->Close1->click();
    EXPECT_FALSE(d->isVisible());

    for (int k = 0; k < 3; ++k) Press(*form, "UnDoDn");
    EXPECT_FALSE(state.gear.HasEngine);
    EXPECT_EQ(Saved("after.vgw"), before);
}

// The window follows the live design and its own controls, each change worked
// out again off the GUI thread on a copy: the point shown is always the one
// the design as it opens gives at the controls' setting, and the live design's
// reverse arm and undo list are never touched by it.
TEST_F(EngineWindows, IndicatorFollowsTheLiveDesignAndItsControls)
{
    TIndicator* w = OpenIndicator();
    ASSERT_TRUE(w->Point().real.ok) << w->Point().problem;
    const auto request = [w] {
        IndicatorRequest r;
        std::string why;
        EXPECT_TRUE(w->ReadPointRequest(r, why)) << why;
        return r;
    };
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"the notch", [w] { w->NotchBox->setCurrentIndex(1 + 6); }},
        {"the direction", [w] { w->DirectionBox->setCurrentIndex(1); }},
        {"the ideal diagram off", [w] { w->IdealBox->setChecked(false); }},
        {"the speed typed", [w] { TypeAndLeave(w->SpeedEdit, QStringLiteral("240")); }},
        {"an engine value",
         [this] {
             form->Session().RecordEdit(ChangeKind::EngineDatum, evChestPressure, "Steam-chest pressure",
                                        [](AppState& s) { SetDesignEngineValue(s.gear, evChestPressure, 150); });
         }},
        {"a dimension typed",
         [this] {
             NoteDimensionTyped(state, 20);
             CommitDimensionValue(state, 20, 3.3f);
         }},
        {"an undo", [this] { Press(*form, "UnDoDn"); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        c.change();
        const float arm = state.gear.RevArmPos;
        const std::string undo = UndoSummaryText(state);
        const IndicatorRequest r = request();
        // Worked out on a copy: done when the point shown is the one asked for.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const IndicatorPoint want = RunIndicatorPoint(state.gear, r);
                return !w->Computing() && w->Point().real.mep == want.real.mep &&
                       w->Point().ideal.ok == want.ideal.ok && w->Point().real.notch == want.real.notch;
            },
            60000));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(state.gear.RevArmPos), std::bit_cast<std::uint32_t>(arm));
        EXPECT_EQ(UndoSummaryText(state), undo);
    }
    EXPECT_EQ(w->Point().real.rpm, 240);
    EXPECT_EQ(w->Point().real.running, Running::Reverse);
    EXPECT_EQ(w->Point().real.notch, 6);
    // The road speed follows the rpm; typing one sets the other.
    EXPECT_EQ(w->RoadSpeedEdit->text().toStdString(),
              DecimalText(RoadSpeed(240, w->Point().engine.wheel, RoadUnit::Mph), 1));
}

// Typing is never held up by the work: every key of a speed typed while a
// point is worked out is kept, and the point shown at the end is the last one.
TEST_F(EngineWindows, TypingWhileAPointIsWorkedOutKeepsEveryKey)
{
    TIndicator* w = OpenIndicator();
    w->SpeedEdit->setFocus();
    w->SpeedEdit->selectAll();
    for (const QString& key : {QStringLiteral("1"), QStringLiteral("8"), QStringLiteral("7")}) {
        QTest::keyClicks(w->SpeedEdit, key);
        EXPECT_TRUE(w->Computing());
    }
    EXPECT_EQ(w->SpeedEdit->text(), QStringLiteral("187"));
    ASSERT_TRUE(QTest::qWaitFor([w] { return !w->Computing(); }, 60000));
    EXPECT_EQ(w->Point().real.rpm, 187);
}

// The map pane: its table has a row a point as --performance writes them, a
// reference's map runs beside it (grey in the picture), and Stop ends a long
// map with what it had.
TEST_F(EngineWindows, MapRunsWithItsTableReferenceAndStop)
{
    TIndicator* w = OpenIndicator();
    w->Panes->setCurrentWidget(w->MapPane);
    ASSERT_TRUE(QTest::qWaitFor([w] { return !w->Computing(); }, 120000));
    // Defaults: 20 speeds, notches 3, 6 ... 18, both directions.
    EXPECT_EQ(w->MapGrid->rowCount(), 20 * 6 * 2);
    EXPECT_EQ(w->MapText->text(), QStringLiteral("240 points."));

    const struct {
        const char* what;
        std::function<void()> set;
        int rows;
        bool reference;
    } cases[] = {
        {"three speeds, notch 6 only, forward",
         [w] {
             w->SpeedsEdit->setText(QStringLiteral("3"));
             for (int k = 0; k < w->MapNotches->count(); ++k)
                 w->MapNotches->item(k)->setCheckState(k == 1 + 6 ? Qt::Checked : Qt::Unchecked);
             w->MapReverse->setChecked(false);
         },
         3, false},
        {"with a reference",
         [this, w] {
             state.compare.Reference = state.gear;
             state.compare.ReferenceName = "Nominal";
             w->MapRunButClick();
         },
         3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.set();
        ASSERT_TRUE(QTest::qWaitFor([w] { return !w->Computing(); }, 120000));
        EXPECT_EQ(w->MapGrid->rowCount(), c.rows);
        EXPECT_EQ(w->Maps().reference.has_value(), c.reference);
        EXPECT_EQ(w->MapRows(), PerformanceCsvRows(w->Maps().design.points, w->Maps().design.engine.unit));
        EXPECT_EQ(w->MapText->text().contains(QStringLiteral("The reference in grey.")), c.reference);
    }

    // Stop: a long map ends with what it had worked out.
    w->SpeedsEdit->setText(QString::number(kMaxMapSpeeds));
    for (int k = 0; k < w->MapNotches->count(); ++k) w->MapNotches->item(k)->setCheckState(Qt::Checked);
    w->MapReverse->setChecked(true);
    ASSERT_TRUE(w->Mapping());
    EXPECT_TRUE(w->MapStopBut->isEnabled());
    w->MapStopBut->click();
    ASSERT_TRUE(QTest::qWaitFor([w] { return !w->Computing(); }, 120000));
    EXPECT_TRUE(w->Maps().stopped);
    EXPECT_TRUE(w->MapText->text().startsWith(QStringLiteral("Stopped: "))) << w->MapText->text().toStdString();
    EXPECT_TRUE(w->MapRunBut->isEnabled());
    w->CloseBut->click();
    EXPECT_FALSE(w->isVisible());
}

// Copy, Save CSV… and the picture act on the pane shown: the point's figures
// under its caption, its loop as --indicator writes it, the indicator pane;
// the map's table, as --performance writes it, the map.
TEST_F(EngineWindows, TheCommandsActOnThePaneShown)
{
    TIndicator* w = OpenIndicator();
    const QString csv = dir.filePath(QStringLiteral("pane.csv"));
    w->FileDialogHook = [csv](const QString&) { return csv; };
    const struct {
        QWidget* pane;
        std::function<std::vector<TextRow>()> copied, saved;
        int width;
    } panes[] = {
        {w->IndicatorPane,
         [w] {
             std::vector<TextRow> rows = IndicatorFigureRows(w->Point(), RoadUnit::Mph);
             rows.insert(rows.begin(), TextRow{IndicatorCaption(w->Point().real), "", ""});
             return rows;
         },
         [w] { return IndicatorCsvRows(w->Point().turn, w->Point().real, w->Point().engine.unit); },
         kIndicatorPaneWidth},
        {w->MapPane, [w] { return w->MapRows(); }, [w] { return w->MapRows(); }, kMapPictureWidth},
    };
    for (const auto& p : panes) {
        SCOPED_TRACE(p.pane->objectName().toStdString());
        w->Panes->setCurrentWidget(p.pane);
        ASSERT_TRUE(QTest::qWaitFor([w] { return !w->Computing(); }, 120000));
        ASSERT_TRUE(w->CopyBut->isEnabled() && w->SaveCsvBut->isEnabled() && w->ExportPictureBut->isEnabled());
        w->CopyBut->click();
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), TabSeparatedText(p.copied()));
        w->SaveCsvBut->click();
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll().toStdString(), CsvText(p.saved()));
        EXPECT_EQ(w->ShownPicture().Width(), p.width);
    }
}
