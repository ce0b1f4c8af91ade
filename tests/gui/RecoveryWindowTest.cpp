// Crash recovery through the main window: a changed design kept in the
// program's recovery file, and what a program that died left offered back.
#include "files/NativeFile.h"
#include "files/Recovery.h"
#include "mainwin/TMainForm.h"
#include "model/Model.h"
#include "platform/Services.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/GuiTestSupport.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct RecoveryWindow : ::testing::Test {
    fs::path dir;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;

    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("quelf-gui-recovery-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    QString Dir() const { return QString::fromStdString(dir.string()); }

    std::unique_ptr<TMainForm> NewForm(AppState& s)
    {
        auto f = std::make_unique<TMainForm>(s, sound, random, clock);
        Named<QTimer>(*f, "Timer1")->stop();
        Script(*f).saveChanges = [](const std::string&) { return SaveChangesAnswer::Discard; };
        return f;
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> out;
        if (!fs::exists(dir)) return out;
        for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    // The stroke the recovery file holds (0 while there is none).
    static float StrokeIn(const QString& file)
    {
        AppState back;
        StartupModel(back);
        return OpenNativeFile(back, file.toStdString()).ok ? back.gear.Stroke : 0.0f;
    }
    // What a program that died leaves: its lock file, nobody holding it, its
    // design and its info.
    fs::path LeaveBehind(long long pid, float stroke, const RecoveryInfo& info)
    {
        fs::create_directories(dir);
        const fs::path base = dir / RecoveryBaseName(pid, 1);
        std::ofstream(base.string() + ".lock").flush();
        AppState s;
        StartupModel(s);
        s.gear.Stroke = stroke;
        EXPECT_TRUE(SaveNativeFile(s, base.string() + ".vgw").ok);
        std::ofstream(base.string() + ".txt") << RecoveryInfoText(info);
        return base;
    }
};

} // namespace

TEST_F(RecoveryWindow, AChangedDesignIsKeptUntilItIsSavedOrDiscarded)
{
    AppState state;
    auto form = NewForm(state);
    ASSERT_TRUE(form->EnableRecovery(Dir()));
    const QString file = QString::fromStdString(form->Session().RecoveryFile());
    const std::string base = QFileInfo(file).completeBaseName().toStdString();
    EXPECT_EQ(base.rfind("quelf-" + std::to_string(QCoreApplication::applicationPid()) + "-", 0), 0u) << base;
    EXPECT_EQ(Files(), std::vector<std::string>{base + ".lock"});
    EXPECT_EQ(form->Session().OfferRecovery(), 0); // nothing left by anyone

    // Within the check's period of a change the timer keeps it.
    state.gear.Stroke = 4.0f;
    EXPECT_TRUE(QTest::qWaitFor([&] { return StrokeIn(file) == 4.0f; }, 2 * DesignSession::kRecoveryCheckMs + 5000));
    EXPECT_EQ(Files(), (std::vector<std::string>{base + ".lock", base + ".txt", base + ".vgw"}));

    // Then each check as the timer runs it.
    const QString saved = QString::fromStdString((dir / "saved.vgw").string());
    form->FileDialogHook = [&](const QString&) { return saved; };
    const struct {
        const char* what;
        float stroke;               // the change made
        std::function<void()> then; // what the user does next
        float kept;                 // what the recovery file holds then (0: none)
    } steps[] = {
        {"another change", 4.25f, [] {}, 4.25f},
        {"saved", 4.5f, [&] { EXPECT_TRUE(form->Session().Save()); }, 0},
        {"changed again", 4.75f, [] {}, 4.75f},
        {"changed back to what was saved", 4.5f, [] {}, 0},
        {"discarded", 4.75f, [&] { EXPECT_TRUE(form->Session().SaveChangesIfWanted()); }, 0},
        {"changed after the discard", 5.0f, [] {}, 5.0f},
    };
    for (const auto& st : steps) {
        SCOPED_TRACE(st.what);
        state.gear.Stroke = st.stroke;
        form->Session().CheckRecovery();
        st.then();
        EXPECT_EQ(StrokeIn(file), st.kept);
    }
    // A normal exit leaves nothing behind.
    EXPECT_TRUE(form->close());
    EXPECT_EQ(Files(), std::vector<std::string>{"saved.vgw"});
}

TEST_F(RecoveryWindow, WhatADeadProgramLeftIsOfferedOnceAndRecoveredUnderItsName)
{
    // A program that runs (its design changed and kept) and two that died.
    AppState running;
    auto alive = NewForm(running);
    ASSERT_TRUE(alive->EnableRecovery(Dir()));
    QCoreApplication::processEvents(); // its question at start: nothing to offer
    running.gear.Stroke = 3.0f;
    alive->Session().CheckRecovery();
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(alive->Session().RecoveryFile())));
    const fs::path kept = LeaveBehind(999999001, 4.75f, {"gear one", "/somewhere/gear one.vgw"});
    const fs::path dropped = LeaveBehind(999999002, 2.25f, {"gear two", ""});
    fs::last_write_time(dropped.string() + ".vgw", fs::last_write_time(kept.string() + ".vgw") - std::chrono::hours(2));
    const auto when = [](const fs::path& base) {
        return QFileInfo(QString::fromStdString(base.string() + ".vgw"))
            .lastModified()
            .toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    };
    const QString keptWhen = when(kept), droppedWhen = when(dropped);
    AppState other;
    auto named = NewForm(other);
    ASSERT_TRUE(SaveNativeFile(other, (dir / "named.vgw").string()).ok);

    AppState state;
    auto form = NewForm(state);
    QStringList questions;
    int othersOffered = -1;
    std::unique_ptr<TMainForm> late;
    AppState lateState;
    DriveModal([&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return questions.size() == 2;
        if (box->property("seen").toBool()) return false;
        box->setProperty("seen", true);
        questions << box->objectName() + " | " + box->windowTitle() + " | " + box->text() + " | " +
                         box->defaultButton()->text();
        if (questions.size() == 1) {
            // A program started meanwhile is not offered what this one asks about.
            late = NewForm(lateState);
            late->EnableRecovery(Dir());
            othersOffered = late->Session().OfferRecovery();
            box->findChild<QPushButton*>(QStringLiteral("Recover"))->click();
        } else {
            box->findChild<QPushButton*>(QStringLiteral("Discard"))->click();
        }
        return questions.size() == 2;
    });
    ASSERT_TRUE(form->EnableRecovery(Dir()));
    // Named on the command line: opened after the questions, once the
    // recovered design may go (here it may not).
    QStringList asked;
    Script(*form).saveChanges = [&](const std::string& q) {
        asked << QString::fromStdString(q);
        return SaveChangesAnswer::Cancel;
    };
    form->OpenDesignWhenShown(QString::fromStdString((dir / "named.vgw").string()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked.size() == 1; }, 10000)) << questions.join("\n").toStdString();

    EXPECT_EQ(questions.join('\n').toStdString(),
              (QStringList{"RecoverBox | Recover Unsaved Design | Recover the unsaved design \"gear one\" from " +
                               keptWhen + "? | &Recover",
                           "RecoverBox | Recover Unsaved Design | Recover the unsaved design \"gear two\" from " +
                               droppedWhen + "? | &Recover"})
                  .join('\n')
                  .toStdString());
    EXPECT_EQ(othersOffered, 0);
    EXPECT_EQ(asked, QStringList{"Save changes to \"gear one\"?"});
    EXPECT_EQ(state.gear.Stroke, 4.75f);
    EXPECT_EQ(state.display.DataSetName, "gear one");
    EXPECT_EQ(form->Session().CurrentFile(), "/somewhere/gear one.vgw");
    EXPECT_TRUE(form->Session().Changed());
    // Kept at once in this program's own file; the dead programs' files gone,
    // the running one's untouched.
    EXPECT_EQ(StrokeIn(QString::fromStdString(form->Session().RecoveryFile())), 4.75f);
    for (const fs::path& base : {kept, dropped})
        for (const char* ext : {".lock", ".vgw", ".txt"}) EXPECT_FALSE(fs::exists(base.string() + ext)) << ext;
    EXPECT_EQ(StrokeIn(QString::fromStdString(alive->Session().RecoveryFile())), 3.0f);
    // Nothing is left to offer.
    EXPECT_EQ(late->Session().OfferRecovery(), 0);
}
