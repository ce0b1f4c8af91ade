// What keeps the gear from being assembled (DesignSession::UpdateAssembly),
// shown as the error picture's tooltip and at the foot of the window.
#include "mainwin/TMainForm.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolTip>

namespace {

// A menu bar shows no tooltips of its own: the error picture's is shown here.
class ErrorToolTip : public QObject {
public:
    ErrorToolTip(QMenuBar* bar, QAction* error) : QObject(bar), bar_(bar), error_(error) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched != bar_ || e->type() != QEvent::ToolTip) return false;
        auto* help = static_cast<QHelpEvent*>(e);
        if (bar_->actionAt(help->pos()) != error_ || error_->toolTip().isEmpty()) return false;
        QToolTip::showText(help->globalPos(), error_->toolTip(), bar_, bar_->actionGeometry(error_));
        return true;
    }

private:
    QMenuBar* bar_;
    QAction* error_;
};

} // namespace

void TMainForm::InstallErrorToolTip() { menuBar()->installEventFilter(new ErrorToolTip(menuBar(), Error)); }

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
