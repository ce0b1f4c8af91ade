#include "qt/QtActionToolTip.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenuBar>
#include <QToolTip>

namespace {

class ActionToolTip : public QObject {
public:
    ActionToolTip(QMenuBar* bar, QAction* error) : QObject(bar), bar_(bar), error_(error) {}

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

void ShowActionToolTip(QMenuBar* bar, QAction* action) { bar->installEventFilter(new ActionToolTip(bar, action)); }
