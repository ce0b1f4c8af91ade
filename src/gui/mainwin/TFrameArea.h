// The client area below the menu bar: shows the last frame, holds the controls,
// and reports mouse presses to the main window.
#pragma once

#include <QWidget>

class TMainForm;

class TFrameArea : public QWidget {
public:
    explicit TFrameArea(TMainForm* form);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    TMainForm* form_;
};
