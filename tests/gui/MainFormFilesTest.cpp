// Open, save and import through the main window's commands.
#include "aids/TDrawLines.h"
#include "files/JsonDesign.h"
#include "files/NativeFile.h"
#include "gui/GuiTestSupport.h"
#include "mainwin/TMainForm.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "qt/QtFileDialog.h"
#include "support/FaultyFileSystem.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

Bytes ReadFileBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteRecords(const fs::path& p, const std::vector<NativeRecord>& records)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    for (const NativeRecord& r : records) {
        const RecordBytes b = EncodeRecord(r);
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
}

// Everything a file command may change, as bit patterns, plus the bar.
std::vector<std::uint32_t> Snapshot(TMainForm& f)
{
    std::vector<std::uint32_t> v;
    for (const NativeRecord& r : BuildNativeRecords(f.Session().State()))
        for (float x : r) v.push_back(std::bit_cast<std::uint32_t>(x));
    v.push_back(std::bit_cast<std::uint32_t>(f.Session().State().gear.DriverAngle));
    v.push_back(static_cast<std::uint32_t>(Named<QScrollBar>(f, "SBRevArm")->minimum()));
    v.push_back(static_cast<std::uint32_t>(Named<QScrollBar>(f, "SBRevArm")->maximum()));
    v.push_back(static_cast<std::uint32_t>(Named<QScrollBar>(f, "SBRevArm")->value()));
    return v;
}

// Runs `act` once a modal widget of type W is up (polling the event loop),
// returning whether one was seen. Any modal left over after `act` is closed so
// that a failing test cannot hang.
template <class W>
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(W*)> act) : act_(std::move(act))
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* m = QApplication::activeModalWidget();
            if (!m) {
                if (clock_.elapsed() > 5000) timer_.stop();
                return;
            }
            if (W* w = qobject_cast<W*>(m); w && !seen) {
                seen = true;
                act_(w);
            }
            if (QApplication::activeModalWidget() == m && m->isVisible()) {
                if (auto* d = qobject_cast<QDialog*>(m)) d->reject();
            }
            timer_.stop();
        });
        clock_.start();
        timer_.start();
    }
    bool seen = false;

private:
    std::function<void(W*)> act_;
    QTimer timer_;
    QElapsedTimer clock_;
};

class MainFormFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("quelf-gui-files-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        form = NewForm(state);
    }
    void TearDown() override
    {
        form.reset();
        fs::remove_all(dir);
    }
    std::unique_ptr<TMainForm> NewForm(AppState& s)
    {
        auto f = std::make_unique<TMainForm>(s, sound, random, clock, nullptr, files);
        Named<QTimer>(*f, "Timer1")->stop(); // ticks are driven by the test
        // Unsaved changes are dropped without a question, except where a test
        // asks for the question.
        Script(*f).saveChanges = [](const std::string&) { return SaveChangesAnswer::Discard; };
        return f;
    }
    // The dialogs answer with `path`; the names asked for are recorded.
    void Answer(TMainForm& f, const fs::path& path)
    {
        f.FileDialogHook = [this, path](const QString& name) {
            asked << name;
            return path.empty() ? QString() : QString::fromStdString(path.string());
        };
    }

    fs::path dir;
    FaultyFileSystem files; // the system's, unless a test sets a fault
    AppState state;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;
    QStringList asked;
};

} // namespace

TEST_F(MainFormFiles, CommandsAreEnabledWithTheirHints)
{
    EXPECT_TRUE(Named<QAction>(*form, "OpenDimensions")->isEnabled());
    EXPECT_TRUE(Named<QAction>(*form, "SaveAsDimensions")->isEnabled());
    EXPECT_TRUE(Named<QAction>(*form, "OpenDosDimensions")->isEnabled());
    EXPECT_TRUE(Named<QToolButton>(*form, "ToolButton1")->isEnabled());
    EXPECT_TRUE(Named<QToolButton>(*form, "ToolButton2")->isEnabled());
    EXPECT_EQ(Named<QToolButton>(*form, "ToolButton1")->toolTip(), "Open File: Dimensional Data");
    EXPECT_EQ(Named<QToolButton>(*form, "ToolButton2")->toolTip(), "Save As: Dimensional Data");
}

TEST_F(MainFormFiles, SaveThenOpenThroughTheCommands)
{
    Gear& g = state.gear;
    g.CrankDiskDia = 9.25f;
    g.RevArmMax = 1.75f;
    g.Cyl(ciValveHeight) = 1.125f;
    state.view.ViewScale = 31;
    state.view.PresetTable[7] = -123;
    state.graph.GraphVerticalScale = 2.5f;
    state.overlay.Item[5].Kind = 1;
    state.overlay.Item[5].Colour = 255;
    state.overlay.Item[5].Reference = 0;
    state.overlay.Item[5].X2 = 2.5f;
    state.overlay.CurrentItem = 6;
    RecomputeRevArmCentre(g);
    // What an open gives: the saved values, re-centred once more.
    AppState expected = state;
    RecomputeRevArmCentre(expected.gear);
    const std::vector<NativeRecord> saved = BuildNativeRecords(expected);

    Answer(*form, dir / "my gear.vgw");
    Named<QAction>(*form, "SaveAsDimensions")->trigger();
    EXPECT_EQ(asked, QStringList{"SaveDialog1"});
    EXPECT_EQ(fs::file_size(dir / "my gear.vgw"), 1420u);
    EXPECT_EQ(state.display.DataSetName, "my gear");
    form->Tick();
    EXPECT_TRUE(form->windowTitle().contains("my gear")) << form->windowTitle().toStdString();

    // A fresh program opens it with the tool button, the arm off centre.
    AppState other;
    auto second = NewForm(other);
    Named<QScrollBar>(*second, "SBRevArm")->setValue(600);
    other.gear.DriverAngle = 77;
    Answer(*second, dir / "my gear.vgw");
    QTest::mouseClick(Named<QToolButton>(*second, "ToolButton1"), Qt::LeftButton);
    EXPECT_EQ(asked.last(), "OpenDialogWin");

    const std::vector<NativeRecord> loaded = BuildNativeRecords(other);
    for (int r = 0; r < kNativeRecordCount; ++r)
        for (int f = 0; f < kNativeFields; ++f) EXPECT_EQ(loaded[r][f], saved[r][f]) << r + 1 << "/" << f + 1;
    EXPECT_EQ(other.overlay.CurrentItem, 6);
    EXPECT_EQ(other.display.DataSetName, "my gear");
    EXPECT_EQ(other.gear.RevArmPos, other.gear.RevArmCentre());
    EXPECT_EQ(other.gear.DriverAngle, 77.0f);
    EXPECT_EQ(Named<QScrollBar>(*second, "SBRevArm")->minimum(), -1750);
    EXPECT_EQ(Named<QScrollBar>(*second, "SBRevArm")->maximum(), 1750);
    EXPECT_EQ(Named<QScrollBar>(*second, "SBRevArm")->value(), 0);
    second->Tick();
    EXPECT_TRUE(second->windowTitle().contains("my gear"));
}

TEST_F(MainFormFiles, AFailedOpenShowsTheMessageAndChangesNothing)
{
    // A file cut inside the overlay block.
    std::vector<NativeRecord> rec = BuildNativeRecords(state);
    rec[0][0] = 99;
    rec.resize(40);
    WriteRecords(dir / "cut.vgw", rec);
    Named<QScrollBar>(*form, "SBRevArm")->setValue(-400);
    state.display.DataSetName = "Mine";
    const auto before = Snapshot(*form);

    Answer(*form, dir / "cut.vgw");
    QString shown;
    ModalWatcher<QMessageBox> watch([&](QMessageBox* box) {
        shown = box->text() + "\n" + box->informativeText();
        box->accept();
    });
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_TRUE(watch.seen);
    EXPECT_EQ(shown, "Cannot open \"cut.vgw\": it is too short to be a design (800 bytes).\n");
    EXPECT_EQ(Snapshot(*form), before);
    EXPECT_EQ(state.display.DataSetName, "Mine");

    // A file that is not there.
    Answer(*form, dir / "none.vgw");
    ModalWatcher<QMessageBox> watch2([&](QMessageBox* box) {
        shown = box->text() + "\n" + box->informativeText();
        box->accept();
    });
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_TRUE(watch2.seen);
    EXPECT_EQ(shown, "Cannot open \"none.vgw\": the file does not exist.\n");
    EXPECT_EQ(Snapshot(*form), before);
}

TEST_F(MainFormFiles, AFailedSaveShowsTheMessageAndKeepsTheOldFile)
{
    Answer(*form, dir / "keep.vgw");
    Named<QAction>(*form, "SaveAsDimensions")->trigger();
    const Bytes original = ReadFileBytes(dir / "keep.vgw");
    ASSERT_EQ(original.size(), 1420u);

    state.gear.Stroke = 4.75f;
    state.display.DataSetName = "Unsaved";
    files.faults.finish = {FileErrorKind::DiskFull};
    QString shown;
    ModalWatcher<QMessageBox> watch([&](QMessageBox* box) {
        shown = box->text() + "\n" + box->informativeText();
        box->accept();
    });
    QTest::mouseClick(Named<QToolButton>(*form, "ToolButton2"), Qt::LeftButton);
    files.faults = {};
    EXPECT_TRUE(watch.seen);
    EXPECT_EQ(shown, "Cannot save \"keep.vgw\": the disk is full.\n");
    EXPECT_EQ(ReadFileBytes(dir / "keep.vgw"), original);
    EXPECT_EQ(state.display.DataSetName, "Unsaved");
    EXPECT_EQ(state.gear.Stroke, 4.75f);
}

TEST_F(MainFormFiles, ImportTakesTheOlderLayoutAndCentresTheBar)
{
    std::vector<NativeRecord> rec = BuildNativeRecords(state);
    rec.resize(12);
    rec[1][0] = 12.5f;                    // MainRodLength
    rec[10] = {25, 140, 150, 270, 0.75f}; // scale, x offset twice, y offset, normal
    rec[11] = {1.5f, 9, 0.5f, 0.25f, 3};  // max, unused, graph position twice, vertical scale
    WriteRecords(dir / "old.vgd", rec);
    state.overlay.Item[2].Kind = 0;
    state.overlay.CurrentItem = 7;
    Named<QScrollBar>(*form, "SBRevArm")->setValue(800);

    Answer(*form, dir / "old.vgd");
    Named<QAction>(*form, "OpenDosDimensions")->trigger();
    EXPECT_EQ(asked, QStringList{"OpenDialogDos"});
    EXPECT_EQ(state.gear.MainRodLength, 12.5f);
    EXPECT_EQ(state.view.ViewOffsetX, 150.0f);
    EXPECT_EQ(state.view.ViewOffsetY, 270.0f);
    EXPECT_EQ(state.view.GraphicZoom, 7.5f);
    EXPECT_EQ(state.graph.GraphRevArmPos, 0.25f);
    EXPECT_EQ(state.graph.GraphVerticalScale, 3.0f);
    EXPECT_EQ(state.overlay.Item[2].Kind, 0.0f);
    EXPECT_EQ(state.overlay.CurrentItem, 7);
    EXPECT_EQ(state.display.DataSetName, "old");
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->maximum(), 1500);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->minimum(), -1500);
    EXPECT_EQ(Named<QScrollBar>(*form, "SBRevArm")->value(), 0);
    EXPECT_EQ(state.gear.RevArmPos, state.gear.RevArmCentre());

    // Eleven records are not enough.
    rec.resize(11);
    WriteRecords(dir / "short.vgd", rec);
    const auto before = Snapshot(*form);
    Answer(*form, dir / "short.vgd");
    QString shown;
    ModalWatcher<QMessageBox> watch([&](QMessageBox* box) {
        shown = box->text() + "\n" + box->informativeText();
        box->accept();
    });
    Named<QAction>(*form, "OpenDosDimensions")->trigger();
    EXPECT_TRUE(watch.seen);
    EXPECT_EQ(shown, "Cannot open \"short.vgd\": it is too short to be a design (220 bytes).\n");
    EXPECT_EQ(Snapshot(*form), before);
}

TEST_F(MainFormFiles, CancellingChangesNothing)
{
    Named<QScrollBar>(*form, "SBRevArm")->setValue(300);
    const auto before = Snapshot(*form);
    Answer(*form, fs::path());
    Named<QAction>(*form, "OpenDimensions")->trigger();
    Named<QAction>(*form, "SaveAsDimensions")->trigger();
    Named<QAction>(*form, "OpenDosDimensions")->trigger();
    EXPECT_EQ(asked, (QStringList{"OpenDialogWin", "SaveDialog1", "OpenDialogDos"}));
    EXPECT_EQ(Snapshot(*form), before);
    EXPECT_EQ(state.display.DataSetName, "Nominal");
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(MainFormFiles, TheFileDialogsAreSetUpAsTheProgramShowsThem)
{
    std::unique_ptr<QFileDialog> open(form->NewFileDialog("OpenDialogWin"));
    ASSERT_TRUE(open);
    EXPECT_EQ(open->objectName(), "OpenDialogWin");
    EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(open->defaultSuffix(), "vgw");
    EXPECT_EQ(open->nameFilters(), (QStringList{"Design Files (*.vgw *.json)", "Data File (*.vgw)",
                                                "Design as JSON (*.json)", "All Files (*)"}));
    EXPECT_TRUE(open->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_TRUE(open->isSizeGripEnabled());

    std::unique_ptr<QFileDialog> save(form->NewFileDialog("SaveDialog1"));
    ASSERT_TRUE(save);
    EXPECT_EQ(save->windowTitle(), "Save As");
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save->defaultSuffix(), "vgw");
    EXPECT_EQ(save->nameFilters(), (QStringList{"Data File (*.vgw)", "All Files (*)"}));
    EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(save->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_TRUE(save->isSizeGripEnabled());

    std::unique_ptr<QFileDialog> dos(form->NewFileDialog("OpenDialogDos"));
    ASSERT_TRUE(dos);
    EXPECT_EQ(dos->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dos->defaultSuffix(), "vgd");
    EXPECT_EQ(dos->nameFilters(), (QStringList{"Data File (*.vgd)", "All Files (*)"}));

    EXPECT_EQ(QtNameFilters("Text (*.txt;*.doc)|*.txt;*.doc|Other|*.x"),
              (QStringList{"Text (*.txt *.doc)", "Other (*.x)"}));
}

TEST_F(MainFormFiles, TheRealDialogsSaveAndOpen)
{
    // No hook: the modal dialogs come up; the test types a name and accepts.
    const QString target = QString::fromStdString((dir / "viadialog").string());
    ModalWatcher<QFileDialog> saveWatch([&](QFileDialog* d) {
        EXPECT_EQ(d->objectName(), "SaveDialog1");
        d->selectFile(target);
        QMetaObject::invokeMethod(d, "accept");
    });
    state.gear.Stroke = 3.75f;
    Named<QAction>(*form, "SaveAsDimensions")->trigger();
    ASSERT_TRUE(saveWatch.seen);
    // The default extension was added.
    EXPECT_EQ(fs::file_size(dir / "viadialog.vgw"), 1420u);
    EXPECT_EQ(state.display.DataSetName, "viadialog");

    state.gear.Stroke = 5;
    ModalWatcher<QFileDialog> openWatch([&](QFileDialog* d) {
        EXPECT_EQ(d->objectName(), "OpenDialogWin");
        d->selectFile(target + ".vgw");
        QMetaObject::invokeMethod(d, "accept");
    });
    Named<QAction>(*form, "OpenDimensions")->trigger();
    ASSERT_TRUE(openWatch.seen);
    EXPECT_EQ(state.gear.Stroke, 3.75f);
}

TEST_F(MainFormFiles, AHostileFileIsRefusedOrLoadsWhenConfirmedAndTheWindowKeepsRunning)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float junk[] = {1e38f, -1e38f, 3e9f, -3.4e38f};
    std::vector<NativeRecord> rec(kNativeRecordCount);
    int n = 0;
    for (auto& r : rec)
        for (float& f : r) f = junk[n++ % 4];
    for (int k = 0; k < 20; ++k) {
        rec[50 + k / 5][k % 5] = static_cast<float>(k % 2); // lines and circles
        rec[54 + k / 5][k % 5] = 255;
        rec[58 + k / 5][k % 5] = static_cast<float>(k % 4);
        rec[62 + k / 5][k % 5] = k % 3 ? 1e30f : -4; // pivots outside the point table
        rec[66 + k / 5][k % 5] = k % 3 ? 3e38f : 40;
    }
    WriteRecords(dir / "junk.vgw", rec);
    rec[0][1] = nan;
    WriteRecords(dir / "nan.vgw", rec);
    const auto before = Snapshot(*form);
    // Not a number: refused, naming the file and the value. Huge values: the
    // question's default button, Cancel, keeps the design.
    QStringList shown;
    auto look = [&](QMessageBox* box) {
        shown << box->objectName() + ": " + box->text();
        QTest::keyClick(box, Qt::Key_Return);
    };
    Answer(*form, dir / "nan.vgw");
    ModalWatcher<QMessageBox> refused(look);
    Named<QAction>(*form, "OpenDimensions")->trigger();
    Answer(*form, dir / "junk.vgw");
    ModalWatcher<QMessageBox> cancelled(look);
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_EQ(shown,
              (QStringList{"FileErrorBox: Cannot open \"nan.vgw\": it is not a design (Stroke Length is not a number).",
                           "HugeValuesBox: \"junk.vgw\" holds values no gear can have (Crank Disk Diameter = 1e38). "
                           "Open it anyway?"}));
    EXPECT_EQ(Snapshot(*form), before);

    // Yes loads it, and the window keeps running.
    ModalWatcher<QMessageBox> yes([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    state.display.SteamDisplayOn = true;
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_TRUE(yes.seen);
    EXPECT_EQ(state.display.DataSetName, "junk");
    EXPECT_GE(state.overlay.CurrentItem, 1);
    EXPECT_LE(state.overlay.CurrentItem, 20);
    EXPECT_LE(Named<QScrollBar>(*form, "SBRevArm")->minimum(), Named<QScrollBar>(*form, "SBRevArm")->maximum());
    for (int tick = 0; tick < 4; ++tick) form->Tick();
    Named<QScrollBar>(*form, "SBRevArm")->setValue(Named<QScrollBar>(*form, "SBRevArm")->maximum());
    form->Tick();
    EXPECT_FALSE(form->FrameImage().isNull());
}

TEST_F(MainFormFiles, UnsavedChangesAreOfferedForSavingBeforeTheyAreDropped)
{
    form->show();
    Named<QTimer>(*form, "Timer1")->start();
    Script(*form).saveChanges = nullptr;
    // The view and the arm setting are not the design.
    Named<QScrollBar>(*form, "SBZoom")->setValue(20);
    Named<QScrollBar>(*form, "SBRevArm")->setValue(500);
    EXPECT_FALSE(form->Session().Changed());

    // Cancel keeps the window open and running.
    state.gear.Stroke = 4.25f;
    QString shown;
    ModalWatcher<QMessageBox> cancel([&](QMessageBox* box) {
        shown = box->objectName() + ": " + box->text();
        EXPECT_EQ(box->standardButtons(), QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box->button(QMessageBox::Cancel)->click();
    });
    Named<QAction>(*form, "Exit1")->trigger();
    EXPECT_EQ(shown, "SaveChangesBox: Save changes to \"Nominal\"?");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(Named<QTimer>(*form, "Timer1")->isActive());
    // Save runs Save As (the design has no file yet); the window then closes.
    Answer(*form, dir / "kept.vgw");
    ModalWatcher<QMessageBox> save([](QMessageBox* box) { box->button(QMessageBox::Save)->click(); });
    EXPECT_TRUE(form->close());
    EXPECT_EQ(asked, QStringList{"SaveDialog1"});
    EXPECT_EQ(fs::file_size(dir / "kept.vgw"), 1420u);

    // Open, import and Reset All ask too; Cancel, or a save that fails, stops
    // them before their dialog. Discard goes on.
    QStringList questions;
    auto answer = SaveChangesAnswer::Cancel;
    Script(*form).saveChanges = [&](const std::string& q) {
        questions << QString::fromStdString(q);
        return answer;
    };
    state.overlay.Item[3].Kind = 1;
    asked.clear();
    Named<QAction>(*form, "OpenDimensions")->trigger();
    Named<QAction>(*form, "OpenDosDimensions")->trigger();
    Named<QAction>(*form, "ResetAll")->trigger();
    EXPECT_EQ(questions, QStringList(3, "Save changes to \"kept\"?"));
    answer = SaveChangesAnswer::Save;
    files.faults.create = {FileErrorKind::AccessDenied};
    ModalWatcher<QMessageBox> failed([](QMessageBox* box) { box->accept(); });
    Named<QAction>(*form, "OpenDimensions")->trigger();
    files.faults = {};
    EXPECT_TRUE(failed.seen);
    EXPECT_TRUE(asked.isEmpty()); // Save writes to the current file, "kept.vgw"
    EXPECT_EQ(state.overlay.Item[3].Kind, 1.0f);
    answer = SaveChangesAnswer::Discard;
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_EQ(state.overlay.Item[3].Kind, -1.0f);
    EXPECT_FALSE(form->Session().Changed()); // as loaded
}

TEST_F(MainFormFiles, TheDrawLinesRowsFollowAnOpenAndACancelButNotAFailure)
{
    form->CreateChildWindows();
    auto* lines = ChildWindowsOf(*form).DrawLines;
    ASSERT_NE(lines, nullptr);
    auto type = [&](int r) { return lines->Label[static_cast<size_t>(4 * r - 2)]->text(); };
    auto colour = [&](int r) { return lines->Label[static_cast<size_t>(4 * r - 1)]->text(); };
    auto ref = [&](int r) { return lines->Label[static_cast<size_t>(4 * r)]->text(); };
    auto edit = [&](int r, int k) { return lines->Edit[static_cast<size_t>(4 * r - 3 + k)]->text(); };
    auto aqua = [&](int r) {
        return lines->Panel[static_cast<size_t>(r)]->palette().color(QPalette::Window) == QColor(0, 255, 255);
    };

    // The file: item 2 a red line, item 4 unused, item 5 current.
    AppState design = state;
    OverlayItem& line = design.overlay.Item[2];
    line = OverlayItem{};
    line.X1 = 1;
    line.Y1 = 2;
    line.X2 = 4;
    line.Y2 = 6;
    line.Kind = 0;
    line.Colour = 255;
    line.Reference = 0;
    design.overlay.CurrentItem = 5;
    ASSERT_TRUE(SaveNativeFile(design, (dir / "lines.vgw").string()).ok);
    std::vector<NativeRecord> cut = BuildNativeRecords(design);
    cut.resize(50);
    WriteRecords(dir / "cut.vgw", cut);

    // On screen now: item 4, a blue circle on pivot 1.
    OverlayItem& circle = state.overlay.Item[4];
    circle.Kind = 1;
    circle.Colour = 16711680;
    circle.Reference = 1;
    circle.X2 = 3;
    ChildWindowsOf(*form).DrawLines->RefreshLineRows();
    ASSERT_EQ(type(4), "Circle");

    // Cancel: the rows are rebuilt from the items as they are.
    state.overlay.Item[6].Kind = 0;
    state.overlay.Item[6].Colour = 32768;
    Answer(*form, fs::path());
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_EQ(type(6), "Line");
    EXPECT_EQ(colour(6), "Green");

    // A failed open neither clears nor rebuilds them.
    state.overlay.Item[7].Kind = 1;
    Answer(*form, dir / "cut.vgw");
    ModalWatcher<QMessageBox> watch([](QMessageBox* box) { box->accept(); });
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_TRUE(watch.seen);
    EXPECT_EQ(type(7), "");
    EXPECT_EQ(type(4), "Circle");
    EXPECT_EQ(colour(4), "Blue");

    // A good open: the labels of the unused items are cleared, the items of
    // the file are shown, the current row is highlighted.
    Answer(*form, dir / "lines.vgw");
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_EQ(type(4), "");
    EXPECT_EQ(colour(4), "");
    EXPECT_EQ(ref(4), "");
    EXPECT_EQ(edit(4, 3), "");
    EXPECT_EQ(type(6), "");
    EXPECT_EQ(type(2), "Line");
    EXPECT_EQ(colour(2), "Red");
    EXPECT_EQ(ref(2), "0 , 0");
    EXPECT_EQ(edit(2, 0), QString::fromStdString(FormatFixed(2, 7, 3)));
    EXPECT_EQ(edit(2, 1), QString::fromStdString(FormatFixed(1, 7, 3)));
    EXPECT_EQ(edit(2, 2), QString::fromStdString(FormatFixed(6, 7, 3)));
    EXPECT_EQ(edit(2, 3), QString::fromStdString(FormatFixed(4, 7, 3)));
    EXPECT_TRUE(aqua(5));
    EXPECT_FALSE(aqua(1));
    EXPECT_FALSE(aqua(2));
}

// "&Save" (Ctrl+S) writes to the design's current file, asking for a name
// only while it has none: the built-in design, after Reset All, after an
// import. Save As (Ctrl+Shift+S) always asks. The question about unsaved
// changes saves as "&Save" does.
TEST_F(MainFormFiles, SaveWritesToTheCurrentFileAndAsksOnlyWithoutOne)
{
    EXPECT_EQ(Named<QAction>(*form, "SaveDimensions")->text(), "&Save");
    EXPECT_EQ(Named<QAction>(*form, "SaveDimensions")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(Named<QAction>(*form, "SaveAsDimensions")->text(), "Save&AsDimensions");
    EXPECT_EQ(Named<QAction>(*form, "SaveAsDimensions")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const auto ctrlS = [&] { QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier); };
    const auto ctrlShiftS = [&] { QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier); };

    std::vector<NativeRecord> old = BuildNativeRecords(state);
    old.resize(12);
    WriteRecords(dir / "old.vgd", old);
    AppState other = state;
    other.gear.Stroke = 2.5f;
    ASSERT_TRUE(SaveNativeFile(other, (dir / "there.vgw").string()).ok);
    ASSERT_TRUE(ExportJsonDesign(other, (dir / "there.json").string()).ok);

    const struct {
        const char* what;
        std::function<void()> before; // how the design came to be
        std::function<void()> save;
        fs::path answer; // the name given when asked
        QStringList asked;
        fs::path written; // the file that then holds the design
        QString current;  // the current file after it
    } cases[] = {
        {"the built-in design", [] {}, ctrlS, dir / "first.vgw", {"SaveDialog1"}, dir / "first.vgw", "first.vgw"},
        {"saved once: no question", [] {}, ctrlS, {}, {}, dir / "first.vgw", "first.vgw"},
        {"Save As asks again",
         [] {},
         ctrlShiftS,
         dir / "second.vgw",
         {"SaveDialog1"},
         dir / "second.vgw",
         "second.vgw"},
        {"an opened design goes back to its file",
         [&] { ASSERT_TRUE(form->OpenDesignFile(Q(dir / "there.vgw"))); },
         ctrlS,
         {},
         {},
         dir / "there.vgw",
         "there.vgw"},
        {"a JSON design goes back to its file as JSON",
         [&] { ASSERT_TRUE(form->OpenDesignFile(Q(dir / "there.json"))); },
         ctrlS,
         {},
         {},
         dir / "there.json",
         "there.json"},
        {"Save As a name ending in .json writes JSON",
         [] {},
         ctrlShiftS,
         dir / "typed.json",
         {"SaveDialog1"},
         dir / "typed.json",
         "typed.json"},
        {"an import has no file",
         [&] { ASSERT_TRUE(form->OpenDesignFile(Q(dir / "old.vgd"))); },
         ctrlS,
         dir / "old-now.vgw",
         {"SaveDialog1"},
         dir / "old-now.vgw",
         "old-now.vgw"},
        {"nor has the design after Reset All",
         [&] { Named<QAction>(*form, "ResetAll")->trigger(); },
         ctrlS,
         dir / "reset.vgw",
         {"SaveDialog1"},
         dir / "reset.vgw",
         "reset.vgw"},
        {"the question's Save saves to the file",
         [&] { Script(*form).saveChanges = [](const std::string&) { return SaveChangesAnswer::Save; }; },
         [&] { EXPECT_TRUE(form->Session().SaveChangesIfWanted()); },
         {},
         {},
         dir / "reset.vgw",
         "reset.vgw"},
    };
    float stroke = 3.0f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.before();
        state.gear.Stroke = stroke += 0.25f; // a change to save
        asked.clear();
        Answer(*form, c.answer);
        c.save();
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(QFileInfo(QString::fromStdString(form->Session().CurrentFile())).fileName(), c.current);
        EXPECT_FALSE(form->Session().Changed());
        AppState back;
        StartupModel(back);
        const bool json = c.written.extension() == ".json";
        ASSERT_TRUE((json ? OpenJsonDesign(back, c.written.string()) : OpenNativeFile(back, c.written.string())).ok);
        EXPECT_EQ(back.gear.Stroke, stroke);
    }
}

// Wherever the window writes a design, the name chooses the format; a name of
// no known format is refused with a message, and nothing is written.
TEST_F(MainFormFiles, TheNameChoosesTheFormatAndAnyOtherIsRefused)
{
    ASSERT_TRUE(SaveNativeFile(state, (dir / "gear.dat").string()).ok); // opens as a native design
    const Bytes dat = ReadFileBytes(dir / "gear.dat");
    const auto saveOpened = [&] {
        ASSERT_TRUE(form->OpenDesignFile(Q(dir / "gear.dat")));
        Named<QAction>(*form, "SaveDimensions")->trigger();
    };
    const auto saveAs = [&] { Named<QAction>(*form, "SaveAsDimensions")->trigger(); };
    const auto exportJson = [&] { Named<QAction>(*form, "ExportDesignJson")->trigger(); };
    for (const auto& [act, answer, refused] :
         {std::tuple<std::function<void()>, fs::path, const char*>{saveAs, dir / "typed.txt", "typed.txt"},
          {saveOpened, {}, "gear.dat"},
          {exportJson, dir / "exported.vgw", nullptr}}) {
        Answer(*form, answer);
        QString shown;
        ModalWatcher<QMessageBox> watch([&](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        act();
        EXPECT_EQ(shown.toStdString(), refused ? "Cannot save \"" + std::string(refused) +
                                                     "\": its name must end in .vgw (a design file) or .json (the "
                                                     "design as JSON)."
                                               : "");
        EXPECT_EQ(fs::exists(answer) ? fs::file_size(answer) : 0, refused ? 0u : 1420u);
    }
    EXPECT_EQ(ReadFileBytes(dir / "gear.dat"), dat);
}

// The title marks unsaved changes (Qt's "[*]") and names the design as soon as
// a save names it, without waiting for a tick.
TEST_F(MainFormFiles, TheTitleMarksUnsavedChangesAndFollowsEverySave)
{
    const auto saveAs = [&](const char* name) {
        Answer(*form, dir / name);
        Named<QAction>(*form, "SaveAsDimensions")->trigger();
    };
    const struct {
        const char* what;
        std::function<void()> act;
        const char* name;
        bool modified;
    } steps[] = {
        {"as started", [] {}, "Nominal", false},
        {"changed",
         [&] {
             state.gear.Stroke = 4.0f;
             form->DrawFrame();
         },
         "Nominal", true},
        {"saved as JSON", [&] { saveAs("My Gear.json"); }, "My Gear", false},
        {"changed, saved as a design file",
         [&] {
             state.gear.Stroke = 4.5f;
             saveAs("other.vgw");
         },
         "other", false},
    };
    for (const auto& st : steps) {
        SCOPED_TRACE(st.what);
        st.act();
        EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("QUELF Outside Admission            ") +
                                                   QString::fromUtf8(st.name) + QStringLiteral("[*]     ")))
            << form->windowTitle().toStdString();
        EXPECT_EQ(form->isWindowModified(), st.modified);
    }
}
