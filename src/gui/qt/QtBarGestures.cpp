#include "qt/QtBarGestures.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

namespace {

bool IsScrollKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: return true;
    default: return false;
    }
}

QAbstractSlider::SliderAction KeyAction(int key)
{
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Down: return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_Left:
    case Qt::Key_Up: return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_PageDown: return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_PageUp: return QAbstractSlider::SliderPageStepSub;
    default: return QAbstractSlider::SliderNoAction;
    }
}

} // namespace

BarGestures::BarGestures(QObject* owner, std::function<void(int)> start, std::function<void(int)> end)
    : QObject(owner), start_(std::move(start)), end_(std::move(end))
{}

void BarGestures::Watch(QScrollBar* bar, int k)
{
    if (k < 1 || k >= static_cast<int>(bars_.size())) return;
    bars_[static_cast<size_t>(k)] = bar;
    bar->installEventFilter(this);
}

int BarGestures::IndexOf(QObject* o) const
{
    for (size_t k = 1; k < bars_.size(); ++k)
        if (bars_[k] == o) return static_cast<int>(k);
    return 0;
}

void BarGestures::End(int k)
{
    active_[static_cast<size_t>(k)] = false;
    end_(k);
}

bool BarGestures::eventFilter(QObject* watched, QEvent* e)
{
    const int k = IndexOf(watched);
    if (k == 0) return false;
    bool& active = active_[static_cast<size_t>(k)];
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(e);
        const bool scrolls = me->button() == Qt::LeftButton || me->button() == Qt::MiddleButton;
        if (scrolls && !active) {
            active = true;
            start_(k);
        }
        return !scrolls; // other buttons do nothing on these bars
    }
    case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(e);
        if (active && (me->buttons() & (Qt::LeftButton | Qt::MiddleButton)) == 0) End(k);
        return false;
    }
    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (IsScrollKey(ke->key()) && !ke->isAutoRepeat() && !active) {
            active = true;
            start_(k);
        }
        const QAbstractSlider::SliderAction action = KeyAction(ke->key());
        if (action == QAbstractSlider::SliderNoAction) return false;
        bars_[static_cast<size_t>(k)]->triggerAction(action);
        return true;
    }
    case QEvent::KeyRelease: {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (IsScrollKey(ke->key()) && !ke->isAutoRepeat() && active) End(k);
        return false;
    }
    case QEvent::FocusIn: start_(k); return false;
    case QEvent::Hide:
    case QEvent::EnabledChange:
        // A gesture cut short (the bar went away under the mouse) still
        // ends, once the window is back in its event loop (never while it
        // is being torn down).
        if (active && (e->type() == QEvent::Hide || !static_cast<QWidget*>(watched)->isEnabled())) {
            active = false;
            QTimer::singleShot(0, parent(), [end = end_, k] { end(k); });
        }
        return false;
    case QEvent::Wheel:
    case QEvent::ContextMenu: return true;
    default: return false;
    }
}
