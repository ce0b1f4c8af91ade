// Helpers shared by the window tests.
#pragma once

#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTimer>

#include <functional>

// Runs `step` from the event loop every few milliseconds until it returns
// true (or `deadlineMs` have passed, five seconds unless told: counted in
// steps, so a busy machine gives a window more time), so that a test can
// drive modal windows.
inline void DriveModal(std::function<bool()> step, int deadlineMs = 5000)
{
    auto* t = new QTimer;
    auto* elapsed = new int(0);
    t->setInterval(5);
    QObject::connect(t, &QTimer::timeout, [t, elapsed, step, deadlineMs] {
        *elapsed += 5;
        if (step() || *elapsed > deadlineMs) {
            t->stop();
            t->deleteLater();
            delete elapsed;
        }
    });
    t->start();
}

#include "mainwin/ChildWindows.h"
#include "mainwin/TMainForm.h"
#include "model/AppState.h"
#include "platform/Services.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedQuestions.h"

#include <QAbstractButton>
#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

// A window's control (or action, menu, timer) by its objectName; the name
// with a number after it (`Named<QScrollBar>(form, "SBDynVar", 2)`).
template <class T = QWidget>
T* Named(const QObject& root, const QString& name)
{
    T* found = root.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no " << name.toStdString();
    return found;
}
template <class T = QWidget>
T* Named(const QObject& root, const char* name, long long k)
{
    return Named<T>(root, QString::fromLatin1(name) + QString::number(k));
}

// The session's questions of `form` answered as a test scripts them (kept
// with the form); what no script answers, its dialogs answer.
struct ScriptHolder : QObject {
    using QObject::QObject;
    ScriptedQuestions questions;
};
inline ScriptedQuestions& Script(TMainForm& form)
{
    // Found by its name: it has no type of its own for Qt to tell.
    auto* holder = static_cast<ScriptHolder*>(
        form.findChild<QObject*>(QStringLiteral("ScriptedQuestions"), Qt::FindDirectChildrenOnly));
    if (!holder) {
        holder = new ScriptHolder(&form);
        holder->setObjectName(QStringLiteral("ScriptedQuestions"));
        holder->questions.otherwise = &form.Session().Questions();
        form.Session().SetQuestions(&holder->questions);
    }
    return holder->questions;
}

// What the control or menu item of that name does when used, whether or not
// it is enabled or shown (its handler, as the window runs it).
inline void Press(const QObject& root, const char* name)
{
    if (auto* a = root.findChild<QAction*>(QString::fromLatin1(name)))
        emit a->triggered(false);
    else if (auto* b = root.findChild<QAbstractButton*>(QString::fromLatin1(name)))
        emit b->clicked(false);
    else
        ADD_FAILURE() << "no " << name;
}

// A shown main window with all its child windows, over a fresh state and
// recording services, its files through a file system that fails where a test
// says; its timer runs as in the program.
struct MainWindowTest : ::testing::Test {
    FaultyFileSystem files;
    AppState state;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;

    void SetUp() override
    {
        form = std::make_unique<TMainForm>(state, sound, random, clock, nullptr, files);
        form->CreateChildWindows();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override { form.reset(); }
};

// A shown main window alone, its timer stopped: the test ticks it.
struct StoppedMainWindowTest : ::testing::Test {
    AppState state;
    RecordingSound sound;
    FixedRandom random;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;

    void SetUp() override
    {
        form = std::make_unique<TMainForm>(state, sound, random, clock);
        Named<QTimer>(*form, "Timer1")->stop();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override { form.reset(); }
};

// Output of a poppler-utils program: pdftotext (the text) or pdfinfo.
inline QString Poppler(const char* program, const QString& file)
{
    const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(program));
    EXPECT_FALSE(exe.isEmpty()) << program << " is missing: tools/install-deps.sh installs poppler-utils";
    QProcess p;
    p.start(exe, qstrcmp(program, "pdftotext") == 0 ? QStringList{file, QStringLiteral("-")} : QStringList{file});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}
