// What the windows whose work runs on a worker thread (balance, optimise,
// design check, sensitivity, tolerance study) share: the caption, its head
// and a tail that follows the state; the QtSearchRunner; every opening
// through FormActivate; a closing that ends the search first; the push
// buttons of their button rows and their progress bar, made one way.
//
// A window's destructor ends the runner itself before its own members go, as
// the worker may still write into them.
#pragma once

#include <QDialog>
#include <QPushButton>

class QProgressBar;
class QtSearchRunner;

class TSearchWindow : public QDialog {
    Q_OBJECT

public:
    // The caption: the window's head, then `tail` (written only when it changes).
    void SetCaptionTail(const QString& tail);

public slots:
    // Every opening (showEvent): the window's fields from the design as it is.
    virtual void FormActivate() = 0;

protected:
    TSearchWindow(const QString& captionHead, QWidget* parent);

    void showEvent(QShowEvent* e) override;
    // Escape, the title bar's close, Cancel and Close: the search ends, then the window.
    void reject() override;

    // A button named `name`, not taking Return for itself, clicked into `slot`.
    template <class Window>
    void AddButton(QPushButton*& b, const char* name, const QString& text, void (Window::*slot)())
    {
        b = NewButton(name, text);
        connect(b, &QPushButton::clicked, static_cast<Window*>(this), slot);
    }
    // The progress bar "Progress", 0 to 1000, without a text.
    QProgressBar* NewProgress();

    QtSearchRunner* runner_ = nullptr;

private:
    QPushButton* NewButton(const char* name, const QString& text);

    QString head_;
};
