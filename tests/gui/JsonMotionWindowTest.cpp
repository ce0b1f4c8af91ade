// The design as JSON through the main window ("OpenDimensions", a design named
// on the command line, "Export Design as JSON…") and "Save Motion…" of the
// pivot data table.
#include "GuiTestSupport.h"

#include "aids/TDataTable.h"
#include "analysis/MotionData.h"
#include "files/JsonDesign.h"
#include "files/NativeFile.h"
#include "model/Model.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <memory>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Answers the next message box the program shows with `button`, noting its
// name and text.
void AnswerNextBox(QStringList& shown, QMessageBox::StandardButton button)
{
    DriveModal([&shown, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return false;
        shown << box->objectName() + ": " + box->text();
        box->button(button)->click();
        return true;
    });
}

class JsonWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        Named<QTimer>(*form, "Timer1")->stop(); // ticks are driven by the test
        ASSERT_TRUE(dir.isValid());
        Script(*form).saveChanges = [](const std::string&) { return SaveChangesAnswer::Discard; };
    }
    void Answer(const QString& path)
    {
        form->FileDialogHook = [this, path](const QString& name) {
            asked << name;
            return path;
        };
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    QStringList asked;
};

// A design unlike the built-in one, with a line and a unit.
AppState OwnDesign()
{
    AppState s;
    StartupModel(s);
    SetDimension(s.gear, 2, 3.75f);
    SetDimension(s.gear, 22, 1.5f);
    s.gear.Unit = LengthUnit::Inch;
    s.overlay.Item[2].Kind = 0;
    s.overlay.Item[2].Colour = 255;
    s.overlay.Item[2].Reference = 3;
    s.overlay.CurrentItem = 2;
    RecomputeRevArmCentre(s.gear);
    return s;
}

} // namespace

TEST_F(JsonWindow, OpenDimensionsAndTheCommandLineOpenADesignAsJson)
{
    const AppState own = OwnDesign();
    const QString path = Path("club gear.json");
    ASSERT_TRUE(ExportJsonDesign(own, QFile::encodeName(path).toStdString()).ok);
    std::unique_ptr<QFileDialog> open(form->NewFileDialog(QStringLiteral("OpenDialogWin")));
    EXPECT_EQ(open->nameFilters(), (QStringList{"Design Files (*.vgw *.json)", "Data File (*.vgw)",
                                                "Design as JSON (*.json)", "All Files (*)"}));

    state.gear.DriverAngle = 33;
    Named<QScrollBar>(*form, "SBRevArm")->setValue(500);
    Answer(path);
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_EQ(asked, QStringList{"OpenDialogWin"});
    EXPECT_EQ(state.gear.Stroke, 3.75f);
    EXPECT_EQ(state.gear.Unit, LengthUnit::Inch);
    EXPECT_EQ(state.overlay.CurrentItem, 2);
    EXPECT_EQ(state.display.DataSetName, "club gear");
    EXPECT_EQ(state.gear.DriverAngle, 33.0f);
    EXPECT_EQ(state.gear.RevArmPos, own.gear.RevArmPos);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 0);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->maximum(), 1500);
    EXPECT_EQ(Named<QAction>(*form, "RecentDesign", 1)->data().toString(), QFileInfo(path).absoluteFilePath());
    EXPECT_FALSE(form->Session().Changed());
    EXPECT_EQ(BuildNativeRecords(state), BuildNativeRecords(own));

    // `quelf FILE` takes the same path: reset, then the file named.
    Press(*form, "ResetAll");
    ASSERT_NE(state.gear.Stroke, 3.75f);
    EXPECT_TRUE(form->OpenDesignFile(path));
    EXPECT_EQ(state.gear.Stroke, 3.75f);
    form->Tick();
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("club gear")));
}

TEST_F(JsonWindow, AJsonThatIsNoDesignIsToldAndHugeValuesAreAskedAbout)
{
    const QByteArray good = QByteArray::fromStdString(DesignJsonText(state));
    WriteAll(Path("missing.json"), QByteArray(good).replace("\"ValveRodLength\"", "\"ValveRod\""));
    WriteAll(Path("huge.json"), QByteArray(good).replace("\"Stroke\": 3.5", "\"Stroke\": 3.4e38"));
    const auto before = BuildNativeRecords(state);
    QStringList shown;
    Answer(Path("missing.json"));
    AnswerNextBox(shown, QMessageBox::Ok);
    Named<QAction>(*form, "OpenDimensions")->trigger();
    Answer(Path("huge.json"));
    AnswerNextBox(shown, QMessageBox::Cancel);
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_EQ(BuildNativeRecords(state), before);
    EXPECT_EQ(shown, (QStringList{
                         "FileErrorBox: Cannot open \"missing.json\": it is not a design (the key "
                         "\"dimensions.ValveRodLength\" is missing).",
                         "HugeValuesBox: \"huge.json\" holds values no gear can have (Stroke Length = 3.4e38). Open it "
                         "anyway?"}));
    AnswerNextBox(shown, QMessageBox::Yes);
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_EQ(shown.size(), 3);
    EXPECT_EQ(state.gear.Stroke, 3.4e38f);
    EXPECT_EQ(state.display.DataSetName, "huge");
    form->Tick();
}

TEST_F(JsonWindow, ExportDesignAsJsonWritesTheDesignAndKeepsItsName)
{
    QAction* a = Named<QAction>(*form, "ExportDesignJson");
    ASSERT_TRUE(a && Named<QMenu>(*form, "File1")->actions().contains(a) && a->isEnabled());
    EXPECT_EQ(a->objectName(), QStringLiteral("ExportDesignJson"));
    EXPECT_EQ(a->text(), QStringLiteral("Export Design as &JSON…"));
    std::unique_ptr<QFileDialog> dlg(form->NewFileDialog(QStringLiteral("ExportJsonDialog")));
    ASSERT_TRUE(dlg);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Export Design as JSON"));
    EXPECT_EQ(dlg->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dlg->defaultSuffix(), QStringLiteral("json"));
    EXPECT_EQ(dlg->nameFilters(), (QStringList{"Design as JSON (*.json)", "All Files (*)"}));

    SetDimension(state.gear, 20, 4.0f); // an unsaved change
    ASSERT_TRUE(form->Session().Changed());
    Answer(Path("out.json"));
    a->trigger();
    EXPECT_EQ(asked, QStringList{"ExportJsonDialog"});
    EXPECT_EQ(ReadAll(Path("out.json")).toStdString(), DesignJsonText(state));
    EXPECT_EQ(state.display.DataSetName, "Nominal");
    EXPECT_TRUE(form->Session().Changed()); // exported, not saved
    EXPECT_FALSE(Named<QAction>(*form, "RecentDesign", 1)->isVisible() &&
                 Named<QAction>(*form, "RecentDesign", 1)->data().toString().endsWith(QStringLiteral("out.json")));

    // A folder that is not there: told, nothing written.
    QStringList shown;
    Answer(Path("no/such/out.json"));
    AnswerNextBox(shown, QMessageBox::Ok);
    a->trigger();
    EXPECT_EQ(shown, QStringList{"FileErrorBox: Cannot save \"out.json\": its folder does not exist."});
    // Cancel writes nothing.
    Answer(QString());
    a->trigger();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.json"});
}

TEST_F(JsonWindow, SaveMotionWritesEveryPivotAtTheTableStepAndLeavesTheGearAlone)
{
    TDataTable* dt = ChildWindowsOf(*form).DataTable;
    ASSERT_NE(dt, nullptr);
    EXPECT_EQ(dt->SaveMotion1->objectName(), QStringLiteral("SaveMotion1"));
    EXPECT_EQ(dt->SaveMotion1->text(), QStringLiteral("Save &Motion…"));
    state.anim.SelectedStep = 5;
    Named<QScrollBar>(*form, "SBRevArm")->setValue(400);
    form->Tick();
    const float arm = state.gear.RevArmPos;
    ASSERT_NE(arm, state.gear.RevArmCentre());
    QStringList asked;
    QStringList shown;
    float angle = 0;
    DriveModal([&] {
        if (!dt->isVisible()) return false;
        angle = state.gear.DriverAngle;
        for (const char* name : {"motion.csv", "motion.json", "no/such/motion.csv"}) {
            const QString path = Path(name);
            dt->FileDialogHook = [&asked, path](const QString& n) {
                asked << n;
                return path;
            };
            if (QString::fromUtf8(name).startsWith(QStringLiteral("no/"))) AnswerNextBox(shown, QMessageBox::Ok);
            dt->SaveMotion1->trigger();
        }
        dt->Close1->trigger();
        return true;
    });
    Press(*form, "DataTableBut");
    EXPECT_EQ(asked, QStringList(3, QStringLiteral("SaveMotionDialog")));
    EXPECT_EQ(state.gear.DriverAngle, angle);
    EXPECT_EQ(state.gear.RevArmPos, arm);
    const MotionTable t = SweepMotion(state.gear, arm, 5);
    EXPECT_EQ(t.rows.size(), 72u);
    EXPECT_EQ(ReadAll(Path("motion.csv")).toStdString(), MotionCsvText(t));
    EXPECT_EQ(ReadAll(Path("motion.json")).toStdString(), MotionJsonText(t, "Nominal", LengthUnit::Unspecified));
    EXPECT_EQ(shown, QStringList{"FileErrorBox: File not found"});
}
