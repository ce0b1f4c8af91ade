#include "aids/TAboutBox.h"

#include "model/ProgramVersion.h"
#include "qt/QtFonts.h"

#include <QLabel>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About These Programs"));
    setFixedSize(340, 143);
    setFont(LayoutFont(QStringLiteral("MS Sans Serif"), 11));
    static const char* const kLines[8] = {
        "QUELF Outside Admission",
        nullptr, // "Valve gear simulator, Version " and the version
        "Single-eccentric radial gear, outside admission",
        "1.0  animated gear and port openings",
        "2.0  diagrams and dimension files",
        "2.6  dynamic variables, undo, drafting aids",
        "Questions and suggestions are welcome:",
        "write to the QUELF developers",
    };
    for (int i = 0; i < 8; ++i) {
        const QString text =
            kLines[i] ? QString::fromLatin1(kLines[i])
                      : QStringLiteral("Valve gear simulator, Version ") + QString::fromLatin1(kProgramVersion);
        auto* l = new QLabel(text, this);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        l->setGeometry(10, 6 + 17 * i, 322, 16);
        if (i == 0) {
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
        }
        Label[static_cast<size_t>(i + 1)] = l;
    }
}
