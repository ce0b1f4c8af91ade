// "Set Reverse Arm Positions": the nine positions the steam, oval and sine
// diagrams plot and their vertical scale. Shown modally by the diagram windows.
#pragma once

#include "drawing/RevArmPositions.h"
#include "model/AppState.h"

#include <QDialog>
#include <QImage>

#include <array>

class QLineEdit;
class QPushButton;

class TSetRevArm : public QDialog {
    Q_OBJECT
public:
    TSetRevArm(AppState& s, QWidget* parent = nullptr);

    QLineEdit* Edit(int box) const { return edits_[static_cast<size_t>(box)]; }
    QPushButton* Close1() const { return close1_; }
    // The painted labels and header, for tests and screenshots.
    const QImage& Labels() const { return labels_; }

    // Handlers.
    void FormActivate();
    void FormClose();
    void Close1Click();
    // Key filter; returns whether the key goes on to the box.
    bool EditKeyPress(int box, char key);
    void EditExit(int box);
    bool Edit1KeyPress(char k) { return EditKeyPress(1, k); }
    bool Edit2KeyPress(char k) { return EditKeyPress(2, k); }
    bool Edit3KeyPress(char k) { return EditKeyPress(3, k); }
    bool Edit4KeyPress(char k) { return EditKeyPress(4, k); }
    bool Edit5KeyPress(char k) { return EditKeyPress(5, k); }
    bool Edit6KeyPress(char k) { return EditKeyPress(6, k); }
    bool Edit7KeyPress(char k) { return EditKeyPress(7, k); }
    bool Edit8KeyPress(char k) { return EditKeyPress(8, k); }
    bool Edit9KeyPress(char k) { return EditKeyPress(9, k); }
    bool Edit10KeyPress(char k) { return EditKeyPress(10, k); }
    void Edit1Exit() { EditExit(1); }
    void Edit2Exit() { EditExit(2); }
    void Edit3Exit() { EditExit(3); }
    void Edit4Exit() { EditExit(4); }
    void Edit5Exit() { EditExit(5); }
    void Edit6Exit() { EditExit(6); }
    void Edit7Exit() { EditExit(7); }
    void Edit8Exit() { EditExit(8); }
    void Edit9Exit() { EditExit(9); }
    void Edit10Exit() { EditExit(10); }

    // Recount the positions, refresh the boxes and repaint the labels.
    void LayoutRevArmDialog();

    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void ClearLabels();

    AppState& s_;
    std::array<QLineEdit*, 11> edits_{};
    std::array<bool, 11> typed_{}; // typed into since it was last taken
    QPushButton* close1_ = nullptr;
    QImage labels_;
    bool activationQueued_ = false;
};
