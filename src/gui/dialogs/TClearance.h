// "Clearance": will the gear hit? For each moving part and each keep-out line
// or circle (marked in "Draw Lines"), the least distance between them over one
// revolution at every notch swept, where it occurs (driver angle, notch,
// direction) and PASS or FAIL against the least clearance; and the extremes of
// every pivot. The notches swept are ticked here, for this window and for the
// main window's "Swept Envelope" alike.
//
// The window stays open beside the main window and follows the design: the
// envelope, the main window's, is measured off the window's thread
// (SweptEnvelopeView) with its progress; "Stop" ends a measurement.
#pragma once

#include "model/AppState.h"

#include <QDialog>

class DesignSession;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTabWidget;
class SweptEnvelopeView;

class TClearance : public QDialog {
    Q_OBJECT

public:
    // The envelope measured is the main window's (`parent`, SweptEnvelopeView::Of).
    // The window only reads the design: it asks the session nothing.
    TClearance(AppState& state, DesignSession* designSession, QWidget* parent = nullptr);

    static QString CaptionHead();

    QListWidget* NotchList = nullptr; // reverse notch 18 .. mid gear .. forward notch 18, ticked
    QPushButton* AllBut = nullptr;
    QLineEdit* LeastEdit = nullptr; // the least clearance, in the design's unit
    QLabel* LeastLabel = nullptr;
    QTabWidget* Tabs = nullptr;
    QTableWidget* ClearanceGrid = nullptr;
    QTableWidget* ExtremesGrid = nullptr;
    QLabel* ClearanceText = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* StopBut = nullptr;
    QPushButton* CloseBut = nullptr;

    // The least clearance the verdicts are judged against.
    float Least() const;

public slots:
    void FormActivate();
    void NotchTicked(QListWidgetItem* item);
    void AllButClick();
    void StopButClick();
    // The envelope measured (or stopped): the tables again.
    void ShowResult();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void ShowMeasuring(int permille);

    AppState& s_;
    SweptEnvelopeView* view_;
    LengthUnit leastUnit_ = LengthUnit::Unspecified; // the unit LeastEdit's default was written for
};
