// The fonts the windows are laid out for, or their stand-ins of the same
// metrics where they are missing.
#include "GuiTestSupport.h"
#include "aids/TAboutBox.h"
#include "aids/TDataTable.h"
#include "aids/TDrawLines.h"
#include "aids/TInst.h"
#include "dialogs/TFrameDi.h"
#include "graphs/TOvalDia.h"
#include "graphs/TSetRevArm.h"
#include "qt/QtCanvas.h"
#include "qt/QtFonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

TEST_F(MainWindowTest, EveryFontChoiceIsTheLaidOutFamilyOrItsStandIn)
{
    const ChildWindows& f = ChildWindowsOf(*form);
    const struct {
        const char* what;
        QFont font;
        const char* family; // the family the layout was made for
        const char* standIn;
    } rows[] = {
        {"gear area", form->Area()->font(), "Times New Roman", "Liberation Serif"},
        {"control buttons", Named<QPushButton>(*form, "Run")->font(), "Times New Roman", "Liberation Serif"},
        {"menu bar", form->menuBar()->font(), "MS Sans Serif", "Liberation Sans"},
        {"dimension dialogs", f.FrameDi->font(), "MS Sans Serif", "Liberation Sans"},
        {"lines and circles", f.DrawLines->font(), "MS Sans Serif", "Liberation Sans"},
        {"about box", f.AboutBox->findChild<QLabel*>("Label2")->font(), "MS Sans Serif", "Liberation Sans"},
        {"instructions head", f.Inst->Label1->font(), "Arial", "Liberation Sans"},
        {"pivot data table", f.DataTable->DataMemo->font(), "Courier New", "Liberation Mono"},
        {"pictures", QtCanvas::FontFor(0, false), "Arial", "Liberation Sans"},
        {"bold picture texts", QtCanvas::FontFor(14, true), "Arial", "Liberation Sans"},
        {"diagram windows", f.OvalDia->font(), "Arial", "Liberation Sans"},
        {"reverse arm positions", f.SetRevArm->font(), "Arial", "Liberation Sans"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const QString family = QString::fromLatin1(r.family), standIn = QString::fromLatin1(r.standIn);
        EXPECT_EQ(FontStandIn(family), standIn);
        EXPECT_EQ(r.font.families().value(0), family);
        const QString shown = QFontInfo(r.font).family();
        EXPECT_EQ(shown, QFontDatabase::hasFamily(family) ? family : standIn);
    }
    // A family of no fixed layout keeps its own name only.
    EXPECT_EQ(FontStandIn(QStringLiteral("DejaVu Sans")), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(LayoutFont(QStringLiteral("DejaVu Sans"), 12).families(), QStringList{QStringLiteral("DejaVu Sans")});
    EXPECT_TRUE(QFontInfo(LayoutFont(QStringLiteral("Courier New"), 12)).fixedPitch());
}
