// The mnemonic letters of every menu and of the balance window: one letter
// for one entry in each, and a letter for every entry added to the original
// menus.
#include "GuiTestSupport.h"
#include "aids/TDataTable.h"
#include "dialogs/TBalance.h"
#include "graphs/TOvalDia.h"
#include "graphs/TPortDia.h"
#include "graphs/TSineDia.h"
#include "graphs/TSteamDia.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include <map>

namespace {

// The letter after "&" ("&&" is a plain "&"), lower case; 0 for none.
QChar Mnemonic(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return QChar();
}

// The captions of the visible entries of a menu or menu bar.
QStringList Captions(const QWidget* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        if (a->isVisible() && !a->isSeparator() && !a->text().isEmpty()) out << a->text();
    return out;
}

QStringList Captions(const TBalance* b)
{
    QStringList out;
    for (const QLabel* l : b->findChildren<QLabel*>())
        if (l->buddy()) out << l->text();
    for (const QAbstractButton* w : b->findChildren<QAbstractButton*>()) out << w->text();
    return out;
}

} // namespace

TEST_F(MainWindowTest, EveryMenuGivesEachEntryItsOwnLetter)
{
    const ChildWindows& f = ChildWindowsOf(*form);
    QMenuBar* oval = f.OvalDia->Menu();
    const struct {
        const char* where;
        QStringList captions;
    } places[] = {
        {"main menu bar", Captions(form->menuBar())},
        {"File", Captions(Named<QMenu>(*form, "File1"))},
        {"SetUp", Captions(Named<QMenu>(*form, "SetUp1"))},
        {"EditDimen", Captions(Named<QMenu>(*form, "EditDimen1"))},
        {"DrawGraphs", Captions(Named<QMenu>(*form, "DrawGraphs1"))},
        {"Help", Captions(Named<QMenu>(*form, "Help1"))},
        {"oval diagram", Captions(oval)},
        {"oval diagram SetUp", Captions(oval->findChild<QMenu*>("SetUp"))},
        {"sine diagram", Captions(f.SineDia->Menu())},
        {"steam diagram", Captions(f.SteamDia->Menu())},
        {"port graph", Captions(f.PortDia->Menu())},
        {"port graph SetUp", Captions(f.PortDia->Menu()->findChild<QMenu*>("SetUp"))},
        {"pivot data table", Captions(f.DataTable->MainMenu1)},
        {"balance window", Captions(f.Balance)},
    };
    for (const auto& p : places) {
        SCOPED_TRACE(p.where);
        ASSERT_FALSE(p.captions.isEmpty());
        std::map<char16_t, QString> taken;
        for (const QString& c : p.captions) {
            const QChar m = Mnemonic(c);
            if (m.isNull()) continue;
            const auto [it, fresh] = taken.emplace(m.unicode(), c);
            EXPECT_TRUE(fresh) << c.toStdString() << " and " << it->second.toStdString() << " share "
                               << QString(m).toStdString();
        }
    }
    // The entries added to the original menus, each with a letter of its own;
    // the original captions as they were.
    const struct {
        const char* where;
        QString caption;
        char letter;
    } added[] = {
        {"SetUp", Named<QAction>(*form, "FitView")->text(), 'g'},
        {"SetUp", Named<QAction>(*form, "LargeFont")->text(), 'f'},
        {"File", Named<QAction>(*form, "ExportPicture")->text(), 'e'},
        {"EditDimen", Named<QAction>(*form, "BalanceEvents")->text(), 'b'},
        {"EditDimen", Named<QAction>(*form, "ReDo")->text(), 'e'},
        {"File", Named<QAction>(*form, "SaveDimensions")->text(), 's'},
        {"DrawGraphs", Named<QAction>(*form, "ValveEventsTable")->text(), 'e'},
        {"oval diagram", oval->findChild<QMenu*>("SetUp")->title(), 't'},
        {"sine diagram", f.SineDia->Menu()->findChild<QMenu*>("SetUp")->title(), 't'},
        {"steam diagram", f.SteamDia->Menu()->findChild<QMenu*>("SetUp")->title(), 't'},
    };
    for (const auto& a : added) EXPECT_EQ(Mnemonic(a.caption), QLatin1Char(a.letter)) << a.caption.toStdString();
    EXPECT_EQ(Named<QAction>(*form, "FitView")->text(), QStringLiteral("Fit &Gear to Window"));
    EXPECT_EQ(Named<QAction>(*form, "LargeFont")->text(), QStringLiteral("SetLarge&Font"));
}
