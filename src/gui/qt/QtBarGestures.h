// Where a gesture on a scroll bar starts and ends: a mouse press (arrow, page
// area or thumb) up to the release of the last button, or a key press up to
// its release. The dynamic-variable bars record one undo record per gesture:
// the start enters the bar, the end is the bar's end of scroll. The wheel and
// the bar's own context menu are kept away from the bars watched: neither is a
// gesture with an end. Right and down step up, left and up step down, as on
// every horizontal bar the user knows (Qt's scroll bars invert them).
#pragma once

#include <QObject>

#include <array>
#include <functional>

class QScrollBar;

class BarGestures : public QObject {
public:
    // `start(k)` and `end(k)` for bar k (1..4); the owner (parent) keeps it.
    BarGestures(QObject* owner, std::function<void(int)> start, std::function<void(int)> end);
    // Watches `bar` as bar k.
    void Watch(QScrollBar* bar, int k);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    int IndexOf(QObject* o) const;
    void End(int k);

    std::function<void(int)> start_, end_;
    std::array<QScrollBar*, 5> bars_{};
    std::array<bool, 5> active_{};
};
