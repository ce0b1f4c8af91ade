// What keeps the gear from being assembled (DesignSession::UpdateAssembly),
// shown as the error picture's tooltip and at the foot of the window.
#include "mainwin/TMainForm.h"

#include <QAction>
#include <QStatusBar>

void TMainForm::ShowAssemblyText()
{
    const QString text = QString::fromStdString(session_.AssemblyText());
    Error->setToolTip(text);
    if (text.isEmpty()) {
        AssemblyStatus->clearMessage();
        AssemblyStatus->hide();
        return;
    }
    const int h = AssemblyStatus->sizeHint().height();
    AssemblyStatus->setGeometry(0, area_->height() - h, area_->width(), h);
    AssemblyStatus->showMessage(text);
    AssemblyStatus->show();
    AssemblyStatus->raise();
}
