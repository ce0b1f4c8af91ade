#include "dialogs/TSearchWindow.h"

#include "dialogs/QtSearchRunner.h"

#include <QProgressBar>

TSearchWindow::TSearchWindow(const QString& captionHead, QWidget* parent)
    : QDialog(parent), runner_(new QtSearchRunner(this)), head_(captionHead)
{
    setWindowTitle(head_);
}

void TSearchWindow::SetCaptionTail(const QString& tail)
{
    const QString t = head_ + tail;
    if (windowTitle() != t) setWindowTitle(t);
}

void TSearchWindow::showEvent(QShowEvent* e)
{
    runner_->End();
    QDialog::showEvent(e);
    FormActivate();
}

void TSearchWindow::hideEvent(QHideEvent* e)
{
    runner_->End();
    QDialog::hideEvent(e);
}

void TSearchWindow::reject()
{
    runner_->End();
    QDialog::reject();
}

QPushButton* TSearchWindow::NewButton(const char* name, const QString& text)
{
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QProgressBar* TSearchWindow::NewProgress()
{
    auto* p = new QProgressBar(this);
    p->setObjectName(QStringLiteral("Progress"));
    p->setRange(0, 1000);
    p->setTextVisible(false);
    return p;
}
