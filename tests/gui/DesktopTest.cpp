// The main window on the desktop: a design named on the command line, the
// recent designs and the last folder, the standard keys, tooltips and icons.
#include "aids/TInst.h"
#include "files/NativeFile.h"
#include "graphs/TOvalDia.h"
#include "mainwin/TMainForm.h"
#include "model/Model.h"
#include "platform/QtDesktop.h"

#include "gui/GuiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

struct DesktopWindow : ::testing::Test {
    QTemporaryDir dir;
    AppState state;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;
    QStringList asked; // the file dialogs asked for

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings().clear();
        form = NewForm(state);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    std::unique_ptr<TMainForm> NewForm(AppState& s)
    {
        auto f = std::make_unique<TMainForm>(s, sound, random, clock);
        f->Timer1->stop();
        f->SaveChangesHook = [](const QString&) { return TMainForm::SaveChangesAnswer::Discard; };
        return f;
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    // A design file whose Stroke is `stroke`; `records` of them (71: all).
    QString Design(const QString& name, float stroke, int records = kNativeRecordCount)
    {
        AppState s;
        StartupModel(s);
        s.gear.Stroke = stroke;
        std::vector<NativeRecord> rec = BuildNativeRecords(s);
        rec.resize(static_cast<std::size_t>(records));
        std::ofstream out(QFile::encodeName(Path(name)).toStdString(), std::ios::binary);
        for (const NativeRecord& r : rec) {
            const RecordBytes b = EncodeRecord(r);
            out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        }
        return Path(name);
    }
    void Answer(const QString& path)
    {
        form->FileDialogHook = [this, path](const QString& name) {
            asked << name;
            return path;
        };
    }
    // Runs `act` and returns the text of the message box it brings up (empty:
    // none within the deadline), accepting the box.
    QString MessageOf(const std::function<void()>& act)
    {
        auto shown = std::make_shared<QString>();
        DriveModal([shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return false;
            *shown = box->objectName() + ": " + box->text();
            box->accept();
            return true;
        });
        act();
        static_cast<void>(QTest::qWaitFor([shown] { return !shown->isEmpty(); }, 5000));
        return *shown;
    }
    QStringList Visible() const
    {
        QStringList out;
        for (int k = 1; k <= 8; ++k)
            if (form->RecentDesign[k]->isVisible()) out << form->RecentDesign[k]->text();
        return out;
    }
};

} // namespace

TEST_F(DesktopWindow, ADesignNamedAtStartOpensOnceTheWindowIsUp)
{
    // A good design: read after the call returns, then in the caption.
    form->OpenDesignWhenShown(Design(QStringLiteral("good gear.vgw"), 4.25f));
    EXPECT_EQ(state.display.DataSetName, "Nominal");
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.display.DataSetName == "good gear"; }, 5000));
    EXPECT_EQ(state.gear.Stroke, 4.25f);
    form->Tick();
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("good gear")));

    // An older design is imported.
    form->OpenDesignWhenShown(Design(QStringLiteral("old.vgd"), 3.75f, 12));
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.display.DataSetName == "old"; }, 5000));
    EXPECT_EQ(state.gear.Stroke, 3.75f);

    // A missing and a short file are told as the menu tells them; the design stays.
    EXPECT_EQ(MessageOf([&] { form->OpenDesignWhenShown(Path(QStringLiteral("none.vgw"))); }),
              QStringLiteral("FileErrorBox: Cannot open \"none.vgw\": the file does not exist."));
    {
        std::ofstream(QFile::encodeName(Path(QStringLiteral("short.vgw"))).toStdString()) << "12345";
    }
    EXPECT_EQ(MessageOf([&] { form->OpenDesignWhenShown(Path(QStringLiteral("short.vgw"))); }),
              QStringLiteral("FileErrorBox: Cannot open \"short.vgw\": it is too short to be a design (5 bytes)."));
    EXPECT_EQ(state.display.DataSetName, "old");
    EXPECT_EQ(state.gear.Stroke, 3.75f);
}

TEST_F(DesktopWindow, RecentDesignsAreListedReopenedAndDropped)
{
    EXPECT_TRUE(Visible().isEmpty());
    EXPECT_FALSE(form->RecentSeparator->isVisible());
    // The first dialog starts in the documents folder (or home), never in a
    // data folder.
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    std::unique_ptr<QFileDialog> first(form->NewFileDialog(QStringLiteral("OpenDialogWin")));
    EXPECT_EQ(first->directory().absolutePath(), QFileInfo(docs).isDir() ? docs : QDir::homePath());

    Answer(Path(QStringLiteral("a.vgw")));
    form->SaveAsDimensions->trigger();
    Answer(Design(QStringLiteral("b&c.vgw"), 4.5f));
    form->OpenDimensions->trigger();
    Answer(Design(QStringLiteral("d.vgd"), 4.0f, 12));
    form->OpenDosDimensions->trigger();
    Answer(Path(QStringLiteral("a.vgw")));
    form->OpenDimensions->trigger();
    EXPECT_EQ(Visible(), (QStringList{"&1 a.vgw", "&2 d.vgd", "&3 b&&c.vgw"}));
    EXPECT_TRUE(form->RecentSeparator->isVisible());
    EXPECT_EQ(form->RecentDesign[2]->toolTip(), QDir::toNativeSeparators(QDir(dir.path()).absolutePath()));
    std::unique_ptr<QFileDialog> next(form->NewFileDialog(QStringLiteral("SaveDialog1")));
    EXPECT_EQ(next->directory().absolutePath(), QDir(dir.path()).absolutePath());

    // Chosen from the keyboard: the File menu, then its number.
    form->FileDialogHook = nullptr;
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->File1->isVisible(); }, 5000));
    QTest::keyClick(form->File1, Qt::Key_3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.display.DataSetName == "b&c"; }, 5000));
    EXPECT_EQ(state.gear.Stroke, 4.5f);
    EXPECT_EQ(Visible(), (QStringList{"&1 b&&c.vgw", "&2 a.vgw", "&3 d.vgd"}));

    // A design that has gone is reported and dropped; the design stays.
    ASSERT_TRUE(QFile::remove(Path(QStringLiteral("d.vgd"))));
    EXPECT_EQ(MessageOf([&] { form->RecentDesign[3]->trigger(); }),
              QStringLiteral("FileErrorBox: Cannot open \"d.vgd\": the file does not exist."));
    EXPECT_EQ(Visible(), (QStringList{"&1 b&&c.vgw", "&2 a.vgw"}));
    EXPECT_EQ(state.display.DataSetName, "b&c");

    // The next start has the same list.
    AppState other;
    auto second = NewForm(other);
    EXPECT_EQ(LoadRecentDesigns(), (QStringList{Path(QStringLiteral("b&c.vgw")), Path(QStringLiteral("a.vgw"))}));
    EXPECT_EQ(second->RecentDesign[2]->text(), QStringLiteral("&2 a.vgw"));
    EXPECT_FALSE(second->RecentDesign[3]->isVisible());
}

TEST_F(DesktopWindow, StandardKeysTooltipsAndIcons)
{
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Answer(QString());
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(asked, (QStringList{"OpenDialogWin", "SaveDialog1"}));

    form->CreateChildWindows();
    bool helpShown = false;
    DriveModal([&] {
        if (!form->Forms.Inst->isVisible()) return false;
        helpShown = true;
        form->Forms.Inst->close();
        return true;
    });
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return helpShown && !form->Forms.Inst->isVisible(); }, 5000));

    // Every tool button keeps its hint.
    const QList<QToolButton*> buttons =
        form->ToolBar1->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_GE(buttons.size(), 18);
    for (QToolButton* b : buttons) {
        if (b->objectName().startsWith(QLatin1String("qt_"))) continue; // the bar's own extension button
        EXPECT_FALSE(b->toolTip().isEmpty()) << b->objectName().toStdString();
        EXPECT_EQ(b->toolTip(), b->statusTip()) << b->objectName().toStdString();
    }

    // The program's icon on the main window and the diagram windows.
    const QIcon icon = form->windowIcon();
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
    EXPECT_EQ(form->Forms.OvalDia->windowIcon().cacheKey(), icon.cacheKey());

    // Ctrl+Q ends the program as "Exit" does.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 5000));
}
