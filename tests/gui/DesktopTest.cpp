// The main window on the desktop: a design named on the command line, the
// recent designs and the last folder, the standard keys, tooltips and icons.
#include "aids/TDataTable.h"
#include "aids/TInst.h"
#include "files/NativeFile.h"
#include "graphs/TOvalDia.h"
#include "graphs/TValveEvents.h"
#include "mainwin/TMainForm.h"
#include "model/Model.h"
#include "qt/QtDesktop.h"
#include "qt/QtPictureCommands.h"

#include "gui/GuiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <fstream>

namespace {

struct DesktopWindow : MainWindowTest {
    QTemporaryDir dir;
    QStringList asked; // the file dialogs asked for

    void SetUp() override
    {
        QSettings().clear();
        MainWindowTest::SetUp();
        Named<QTimer>(*form, "Timer1")->stop();
        Script(*form).saveChanges = [](const std::string&) { return SaveChangesAnswer::Discard; };
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    // A design whose Stroke is `stroke` (a .vgd import reads its first 12 records).
    QString Design(const QString& name, float stroke)
    {
        AppState s;
        StartupModel(s);
        s.gear.Stroke = stroke;
        EXPECT_TRUE(SaveNativeFile(s, QFile::encodeName(Path(name)).toStdString()).ok);
        return Path(name);
    }
    void Answer(const QString& path)
    {
        form->FileDialogHook = [this, path](const QString& name) { return asked << name, path; };
    }
    // The message box that `act` brings up, accepted ("" if none came).
    QString MessageOf(const std::function<void()>& act)
    {
        auto shown = std::make_shared<QString>();
        DriveModal([shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box) *shown = box->objectName() + ": " + box->text(), box->accept();
            return box != nullptr;
        });
        act();
        static_cast<void>(QTest::qWaitFor([shown] { return !shown->isEmpty(); }, 5000));
        return *shown;
    }
    QStringList Recent() const
    {
        QStringList out;
        for (int k = 1; k <= 8; ++k)
            if (Named<QAction>(*form, "RecentDesign", k)->isVisible())
                out << Named<QAction>(*form, "RecentDesign", k)->text();
        return out;
    }
    bool Activate() { return form->activateWindow(), QTest::qWaitForWindowActive(form.get()); }
};

} // namespace

TEST_F(DesktopWindow, ADesignNamedAtStartOpensOnceTheWindowIsUp)
{
    form->OpenDesignWhenShown(Design("good gear.vgw", 4.25f));
    EXPECT_EQ(state.display.DataSetName, "Nominal"); // not yet: queued
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.display.DataSetName == "good gear"; }, 5000));
    EXPECT_EQ(state.gear.Stroke, 4.25f);
    form->Tick();
    EXPECT_TRUE(form->windowTitle().contains("good gear"));

    form->OpenDesignWhenShown(Design("old.vgd", 3.75f)); // imported
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.display.DataSetName == "old"; }, 5000));
    EXPECT_EQ(state.gear.Stroke, 3.75f);

    // A missing and a short file are told as the menu tells them; the design stays.
    EXPECT_EQ(MessageOf([&] { form->OpenDesignWhenShown(Path("none.vgw")); }),
              "FileErrorBox: Cannot open \"none.vgw\": the file does not exist.");
    std::ofstream(QFile::encodeName(Path("short.vgw")).toStdString()) << "12345";
    EXPECT_EQ(MessageOf([&] { form->OpenDesignWhenShown(Path("short.vgw")); }),
              "FileErrorBox: Cannot open \"short.vgw\": it is too short to be a design (5 bytes).");
    EXPECT_EQ(state.display.DataSetName, "old");
    EXPECT_EQ(state.gear.Stroke, 3.75f);
}

TEST_F(DesktopWindow, RecentDesignsAreListedReopenedAndDropped)
{
    EXPECT_TRUE(Recent().isEmpty());
    EXPECT_FALSE(Named<QAction>(*form, "RecentSeparator")->isVisible());
    // The first dialog starts in the documents folder (or home).
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(std::unique_ptr<QFileDialog>(form->NewFileDialog("OpenDialogWin"))->directory().absolutePath(),
              QFileInfo(docs).isDir() ? docs : QDir::homePath());

    Answer(Path("a.vgw"));
    Named<QAction>(*form, "SaveAsDimensions")->trigger();
    Answer(Design("b&c.vgw", 4.5f));
    Named<QAction>(*form, "OpenDimensions")->trigger();
    Answer(Design("d.vgd", 4.0f));
    Named<QAction>(*form, "OpenDosDimensions")->trigger();
    Answer(Path("a.vgw"));
    Named<QAction>(*form, "OpenDimensions")->trigger();
    EXPECT_EQ(Recent(), (QStringList{"&1 a.vgw", "&2 d.vgd", "&3 b&&c.vgw"}));
    EXPECT_TRUE(Named<QAction>(*form, "RecentSeparator")->isVisible());
    const QString folder = QDir(dir.path()).absolutePath();
    EXPECT_EQ(Named<QAction>(*form, "RecentDesign", 2)->toolTip(), QDir::toNativeSeparators(folder));
    EXPECT_EQ(std::unique_ptr<QFileDialog>(form->NewFileDialog("SaveDialog1"))->directory().absolutePath(), folder);

    // From the keyboard: Alt+F, then the number.
    ASSERT_TRUE(Activate());
    QTest::keyClick(form.get(), Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Named<QMenu>(*form, "File1")->isVisible(); }, 5000));
    QTest::keyClick(Named<QMenu>(*form, "File1"), Qt::Key_3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.display.DataSetName == "b&c"; }, 5000));
    EXPECT_EQ(state.gear.Stroke, 4.5f);
    EXPECT_EQ(Recent(), (QStringList{"&1 b&&c.vgw", "&2 a.vgw", "&3 d.vgd"}));

    // A design that has gone is reported and dropped; the design stays.
    ASSERT_TRUE(QFile::remove(Path("d.vgd")));
    EXPECT_EQ(MessageOf([&] { Named<QAction>(*form, "RecentDesign", 3)->trigger(); }),
              "FileErrorBox: Cannot open \"d.vgd\": the file does not exist.");
    EXPECT_EQ(Recent(), (QStringList{"&1 b&&c.vgw", "&2 a.vgw"}));
    EXPECT_EQ(state.display.DataSetName, "b&c");

    // The next start has the same list.
    AppState other;
    TMainForm second(other, sound, random, clock);
    EXPECT_EQ(Named<QAction>(second, "RecentDesign", 2)->data().toString(), Path("a.vgw"));
    EXPECT_FALSE(Named<QAction>(second, "RecentDesign", 3)->isVisible());
}

TEST_F(DesktopWindow, StandardKeysTooltipsAndIcons)
{
    ASSERT_TRUE(Activate());
    Answer(QString());
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(asked, (QStringList{"OpenDialogWin", "SaveDialog1"}));
    bool helpShown = false;
    DriveModal(
        [&] { return ChildWindowsOf(*form).Inst->isVisible() && (helpShown = ChildWindowsOf(*form).Inst->close()); });
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return helpShown && !ChildWindowsOf(*form).Inst->isVisible(); }, 5000));

    for (QToolButton* b :
         Named<QToolBar>(*form, "ToolBar1")->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (b->objectName().startsWith("qt_")) continue; // the bar's own extension button
        EXPECT_FALSE(b->toolTip().isEmpty()) << b->objectName().toStdString();
        EXPECT_EQ(b->toolTip(), b->statusTip()) << b->objectName().toStdString();
    }

    // The program's icon on the main window and the diagram windows.
    EXPECT_EQ(form->windowIcon().availableSizes().size(), 8);
    EXPECT_EQ(ChildWindowsOf(*form).OvalDia->windowIcon().cacheKey(), form->windowIcon().cacheKey());

    // Ctrl+Q ends the program as "Exit" does. A shortcut needs the window to be
    // the active one; on a loaded machine the activation that follows the
    // help window's close can come after ours, so the key is sent again then.
    bool closed = false;
    for (int attempt = 0; attempt < 3 && !closed; ++attempt) {
        ASSERT_TRUE(Activate());
        QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
        closed = QTest::qWaitFor([&] { return !form->isVisible(); }, 3000);
    }
    EXPECT_TRUE(closed);
}

TEST_F(DesktopWindow, EveryFileDialogStartsInTheFolderAnyOfThemLastUsed)
{
    // Each step chooses a file in a folder of its own; the next dialog, of
    // whatever kind, starts there.
    for (const char* sub : {"designs", "pictures", "tables", "events"}) ASSERT_TRUE(QDir(dir.path()).mkpath(sub));
    const auto folderOf = [this](const char* sub) { return QDir(Path(QString::fromLatin1(sub))).absolutePath(); };
    QString lastStart;
    // A real dialog of `name` that `act` brings up: where it starts, then it chooses `file`.
    const auto viaDialog = [&](const char* name, const QString& file, const std::function<void()>& act) {
        bool chosen = false;
        DriveModal([&, name, file] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!d) return false;
            EXPECT_EQ(d->objectName(), QString::fromLatin1(name));
            lastStart = d->directory().absolutePath();
            d->selectFile(file);
            QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
            return chosen = true;
        });
        act();
        EXPECT_TRUE(chosen) << name;
        EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    };
    const auto startOf = [&](const char* name) {
        return std::unique_ptr<QFileDialog>(form->NewFileDialog(QString::fromLatin1(name)))->directory().absolutePath();
    };

    Answer(Path("designs/mine.vgw")); // the design dialogs through the hook
    Named<QAction>(*form, "SaveAsDimensions")->trigger();
    ASSERT_TRUE(QFileInfo::exists(Path("designs/mine.vgw")));
    form->FileDialogHook = nullptr;
    const struct {
        const char* step;
        const char* dialog;
        const char* file;
        std::function<void()> act;
    } rows[] = {
        {"export from the main window", "ExportDialog", "pictures/gear.png",
         [&] { Named<QAction>(*form, "ExportPicture")->trigger(); }},
        {"the pivot data table's CSV", "SaveCsvDialog", "tables/pivots.csv",
         [&] { ChildWindowsOf(*form).DataTable->SaveCsv1Click(); }},
        {"the valve events' CSV", "SaveCsvDialog", "events/events.csv",
         [&] { ChildWindowsOf(*form).ValveEvents->SaveCsvButClick(); }},
        {"export from a diagram window", "ExportDialog", "pictures/oval.svg",
         [&] { ChildWindowsOf(*form).OvalDia->Pictures()->ExportPicture(); }},
    };
    QString expected = folderOf("designs");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.step);
        viaDialog(r.dialog, Path(QString::fromLatin1(r.file)), r.act);
        EXPECT_EQ(lastStart.toStdString(), expected.toStdString());
        expected = QFileInfo(Path(QString::fromLatin1(r.file))).absolutePath();
        for (const char* design : {"OpenDialogWin", "SaveDialog1", "OpenDialogDos"})
            EXPECT_EQ(startOf(design).toStdString(), expected.toStdString()) << design;
    }
    // And back: opening a design moves every dialog to its folder.
    Answer(Path("designs/mine.vgw"));
    Named<QAction>(*form, "OpenDimensions")->trigger();
    form->FileDialogHook = nullptr;
    viaDialog("SaveCsvDialog", Path("designs/pivots.csv"), [&] { ChildWindowsOf(*form).DataTable->SaveCsv1Click(); });
    EXPECT_EQ(lastStart.toStdString(), folderOf("designs").toStdString());
}
