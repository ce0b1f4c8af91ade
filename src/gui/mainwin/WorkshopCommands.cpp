#include "mainwin/WorkshopCommands.h"

#include "dialogs/DialogCommon.h"
#include "dialogs/TClearance.h"
#include "drawing/GearDxf.h"
#include "mainwin/SweptEnvelopeView.h"
#include "qt/QtPictureCommands.h"

#include <QAction>
#include <QMenu>

void AddWorkshopCommands(QWidget* window, AppState& state, QMenu* setUp, PictureCommands& pictures,
                         TClearance* const& clearance)
{
    QMenu* menu = setUp->addMenu(QStringLiteral("Pi&votData"));
    menu->setObjectName(QStringLiteral("PivotDataMenu"));
    QAction* envelope = menu->addAction(QStringLiteral("Swept &Envelope"));
    envelope->setObjectName(QStringLiteral("SweptEnvelope"));
    envelope->setCheckable(true);
    QObject::connect(envelope, &QAction::triggered, window, [window, &state, envelope] {
        SweptEnvelopeView::Of(window, state)->SetDrawing(envelope->isChecked());
    });
    // Not modal: it stays beside the main window and follows the design.
    QAction* report = menu->addAction(QStringLiteral("&Clearance…"));
    report->setObjectName(QStringLiteral("ClearanceReport"));
    QObject::connect(report, &QAction::triggered, window, [&clearance] { ShowBeside(clearance); });
    // The angle shown, the reverse arm where it is.
    pictures.OfferDrawing(
        [&state] { return GearDxfDrawing(state, state.gear.SolvedDriverAngle, state.gear.RevArmPos); });
}
