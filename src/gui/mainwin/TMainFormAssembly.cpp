// What keeps the gear from being assembled: when the solver clamps, the links
// that cannot reach and the driver angles where they cannot, found by turning
// a copy of the design once, shown as the error picture's tooltip and at the
// foot of the window.
#include "mainwin/TMainForm.h"

#include "analysis/Assembly.h"
#include "model/DesignEdit.h"

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

void TMainForm::UpdateAssemblyText()
{
    const Gear& g = state_.gear;
    std::vector<float> key = DimensionValues(g);
    key.push_back(g.RevArmPos);
    if (key != assemblyKey_) {
        // A new design or setting: told again once it clamps (at once when an
        // explanation is up, so that it goes or changes with the design).
        assemblyKey_ = std::move(key);
        assemblySwept_ = false;
        if (assemblyText_.isEmpty() && g.SolveClamps == 0) return;
    } else if (assemblySwept_ || g.SolveClamps == 0) {
        return;
    }
    AssemblyClamps clamps = SweepAssembly(g);
    // A clamp so narrow that the whole degrees miss it is told at its angle.
    AddClampSample(clamps, g.SolvedDriverAngle, g.SolveClamps);
    assemblySwept_ = true;
    const QString text = QString::fromStdString(AssemblyExplanation(clamps));
    if (text == assemblyText_) return;
    assemblyText_ = text;
    ShowAssemblyText();
}

void TMainForm::ShowAssemblyText()
{
    Error->setToolTip(assemblyText_);
    if (assemblyText_.isEmpty()) {
        AssemblyStatus->clearMessage();
        AssemblyStatus->hide();
        return;
    }
    const int h = AssemblyStatus->sizeHint().height();
    AssemblyStatus->setGeometry(0, area_->height() - h, area_->width(), h);
    AssemblyStatus->showMessage(assemblyText_);
    AssemblyStatus->show();
    AssemblyStatus->raise();
}
