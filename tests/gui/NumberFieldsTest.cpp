// Every number field of the program under the one number rule, whichever way
// text arrives: typed, from an input method, after the edit's own shortcuts;
// a comma is the decimal point. The search windows' fields take any text and
// drop none of it (the window says when it is no number).
#include "GuiTestSupport.h"
#include "aids/TDrawLines.h"
#include "dialogs/TBalance.h"
#include "dialogs/TCylDimen.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TFrameDi.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TRevPos.h"
#include "dialogs/TStpAng.h"
#include "dialogs/TTolerance.h"
#include "graphs/TSetRevArm.h"
#include "mainwin/TGraphZoom.h"
#include "mainwin/TRefPnts.h"
#include "qt/QtEditHooks.h"

#include <QInputMethodEvent>
#include <QLineEdit>

namespace {

struct Field {
    const char* what;
    QWidget* (*window)(const ChildWindows&);
    const char* edit;
    bool minus;        // "-" allowed
    bool free = false; // takes any text
};

const Field kFields[] = {
    {"frame dimension", [](const ChildWindows& f) -> QWidget* { return f.FrameDi; }, "Edit1", true},
    {"cylinder dimension", [](const ChildWindows& f) -> QWidget* { return f.CylDimen; }, "Edit5", true},
    {"reverse arm", [](const ChildWindows& f) -> QWidget* { return f.RevPos; }, "Edit1", true},
    {"driver angle", [](const ChildWindows& f) -> QWidget* { return f.DrivAng; }, "Edit1", false},
    {"step angle", [](const ChildWindows& f) -> QWidget* { return f.StpAng; }, "Edit1", false},
    {"reverse arm positions", [](const ChildWindows& f) -> QWidget* { return f.SetRevArm; }, "Edit1", true},
    {"reference points", [](const ChildWindows& f) -> QWidget* { return f.RefPnts; }, "Edit2", true},
    {"graphic zoom", [](const ChildWindows& f) -> QWidget* { return f.GraphZoom; }, "Edit1", false},
    {"balance range", [](const ChildWindows& f) -> QWidget* { return f.Balance; }, "RangeLo", true, true},
    {"lines and circles", [](const ChildWindows& f) -> QWidget* { return f.DrawLines; }, "Edit1", true},
    {"optimiser bound", [](const ChildWindows& f) -> QWidget* { return f.Optimise; }, "Lo1", true, true},
    {"tolerance of all lengths", [](const ChildWindows& f) -> QWidget* { return f.Tolerance; }, "LengthTolerance",
     false, true},
    {"tolerance of a dimension", [](const ChildWindows& f) -> QWidget* { return f.Tolerance; },
     "Tolerance_ValveRodLength", false, true},
};

void Commit(QLineEdit* e, const QString& text)
{
    QInputMethodEvent ev;
    ev.setCommitString(text);
    QCoreApplication::sendEvent(e, &ev);
}

struct Shown {
    QWidget* window;
    QLineEdit* edit;
};

Shown Open(const ChildWindows& forms, const Field& f)
{
    QWidget* w = f.window(forms);
    w->show();
    QApplication::setActiveWindow(w);
    EXPECT_TRUE(QTest::qWaitForWindowActive(w)) << f.what;
    auto* e = w->findChild<QLineEdit*>(QString::fromLatin1(f.edit));
    EXPECT_NE(e, nullptr) << f.what;
    if (e) e->setFocus(Qt::OtherFocusReason);
    return {w, e};
}

} // namespace

TEST_F(MainWindowTest, InputMethodTextPassesTheNumberRuleInEveryNumberField)
{
    Named<QTimer>(*form, "Timer1")->stop();
    // Each commit goes over the whole text ("over") or at its end.
    const struct {
        const char* commit;
        bool over;
        const char* minusField; // the text after it where "-" is allowed (nullptr: unchanged)
        const char* plainField; // where it is not
    } rows[] = {
        {"2.5", true, "2.5", "2.5"},       {"-1.25", true, "-1.25", nullptr},
        {"12abc", true, nullptr, nullptr}, {"1,5", true, "1.5", "1.5"},
        {"1..2", true, nullptr, nullptr},  {"\u0663", true, nullptr, nullptr}, // a digit of another script
        {"7", false, "2.57", "2.57"},      {".", false, nullptr, nullptr},     // a second point
        {"-", false, "2.5-", nullptr},     {",", false, nullptr, nullptr},     // a point and a comma
    };
    for (const Field& f : kFields) {
        SCOPED_TRACE(f.what);
        const Shown s = Open(ChildWindowsOf(*form), f);
        ASSERT_NE(s.edit, nullptr);
        for (const auto& r : rows) {
            SCOPED_TRACE(r.commit);
            s.edit->setText(QStringLiteral("2.5")); // the program's text is never judged
            if (r.over)
                s.edit->selectAll();
            else
                s.edit->end(false);
            Commit(s.edit, QString::fromUtf8(r.commit));
            const char* expected = f.minus ? r.minusField : r.plainField;
            const QString committed = QString::fromUtf8(r.commit);
            EXPECT_EQ(s.edit->text(), f.free ? (r.over ? committed : QStringLiteral("2.5") + committed)
                                             : QString::fromLatin1(expected ? expected : "2.5"));
        }
        s.window->hide();
    }
}

TEST_F(MainWindowTest, CtrlASelectsTheWholeFieldSoThatTypingReplacesIt)
{
    Named<QTimer>(*form, "Timer1")->stop();
    for (const Field& f : kFields) {
        SCOPED_TRACE(f.what);
        const Shown s = Open(ChildWindowsOf(*form), f);
        ASSERT_NE(s.edit, nullptr);
        s.edit->setText(QStringLiteral("3.750"));
        s.edit->end(false);
        QTest::keyClick(s.edit, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(s.edit->selectedText(), QStringLiteral("3.750"));
        QTest::keyClick(s.edit, Qt::Key_5);
        EXPECT_EQ(s.edit->text(), QStringLiteral("5"));
        s.window->hide();
    }
}

TEST_F(MainWindowTest, ACirclesThirdFieldTakesNoTextFromAnInputMethod)
{
    Named<QTimer>(*form, "Timer1")->stop();
    state.overlay.Item[1].Kind = 1; // a circle
    state.overlay.Item[1].Y2 = 1.5f;
    ChildWindowsOf(*form).DrawLines->RefreshLineRows();
    TDrawLines* lines = ChildWindowsOf(*form).DrawLines;
    lines->show();
    QLineEdit* third = lines->Edit[3];
    EXPECT_EQ(third->text().trimmed(), QStringLiteral("1.500")); // shown, as the program sets it
    const QString shown = third->text();
    third->setFocus(Qt::OtherFocusReason);
    for (const char* text : {"5", "-"}) {
        third->end(false);
        Commit(third, QString::fromLatin1(text));
        EXPECT_EQ(third->text(), shown) << text;
    }
    lines->hide();
}
