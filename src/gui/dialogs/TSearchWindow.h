// What the windows whose work runs on a worker thread (balance, optimise,
// design check, sensitivity, tolerance study) share: the caption, its head
// and a tail that follows the state; the QtSearchRunner; every opening
// through FormActivate; the push buttons of their button rows and their
// progress bar, made one way.
//
// The worker is ended here, in one place: before every opening, and
// whenever the window is hidden (Escape, the title bar's close, Cancel, Close,
// Apply); the runner, a child of the window, ends it when the window is
// destroyed. The worker writes only its result, which the runner keeps, so
// no window member is written from another thread at any time.
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

    // The search still running ends, then the window opens (FormActivate).
    void showEvent(QShowEvent* e) override;
    // However the window goes, its search ends first.
    void hideEvent(QHideEvent* e) override;
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
