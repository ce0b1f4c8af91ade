// The frame every analysis diagram window shares: shown modally, it stops the
// main window's animation while open, draws its diagram on a picture that it
// keeps and paints, carries four dynamic-variable bars, an "UnDo" button and
// a "ReDo" button under it (also Ctrl+Shift+Z and Ctrl+Y), and ends every
// draw with the dynamic-variable panel and the undo line.
//
// A diagram window derives from TDiagramWindow, passes its DiagramWindowLayout
// and implements DrawDiagram (the diagram itself, without the closing panel).
#pragma once

#include "drawing/DiagramCommon.h"
#include "model/AppState.h"
#include "platform/Canvas.h"
#include "platform/DisplayList.h"

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <string>
#include <vector>

class PictureCommands;
class QAction;
class QMenu;
class QMenuBar;
class QPainter;
class QPushButton;
class QScrollBar;
class TSetRevArm;
class FileSystem;

struct DiagramMenuItem {
    QString caption; // empty: no such item
    QString name;    // objectName of the action
};

struct DiagramWindowLayout {
    QString formName;    // "TOvalDia"
    QString captionHead; // "QUELF Outside Admission      Oval Diagram    "
    QSize client{632, 414};
    QSize maxWindow; // empty: no limit
    enum class Start { Normal, Maximised, Minimised } start = Start::Normal;
    QPoint position{-1, -1}; // top-left when shown normal; (-1, -1) = centred by the system
    QString closeName;
    QPoint closePos{408, 8};
    std::array<QString, 4> barNames;
    QString undoName;
    // Menu items in the order they appear after any leading menus (a window
    // can put its own menus first with Menu()->insertMenu). A window with a
    // "SetRevArmPos" item also shows the positions dialog on activation and
    // redraws on the first mouse move after that dialog closed.
    DiagramMenuItem setRevArmPos; // steam, oval, sine
    DiagramMenuItem reDraw;
    DiagramMenuItem unDo;
    DiagramMenuItem dynamicVari;
    // The picture's name in an exported file name ("oval-diagram").
    std::string pictureName;
    // A "SetUp" menu of the window's own for the picture commands, after the
    // items above (empty: the window puts them into a menu it has).
    DiagramMenuItem setUpMenu;
};

// Links to the main window. Each may be empty (tests, or before the main
// window is built); the main window fills them when it creates the window.
struct DiagramHost {
    std::function<void(bool)> setTimerEnabled;   // Timer1
    std::function<void(bool)> setDynBarsVisible; // SBDynVar1..4, Panel7..9
    std::function<void(bool)> setUndoDnEnabled;  // the main window's UnDoDn
    std::function<FileSystem&()> files;          // what an exported picture is written through
};

class TDiagramWindow;

// The client area: paints the kept picture and reports mouse moves.
class DiagramClient : public QWidget {
    Q_OBJECT
public:
    explicit DiagramClient(TDiagramWindow* owner);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    TDiagramWindow* owner_;
};

class TDiagramWindow : public QDialog {
    Q_OBJECT
public:
    TDiagramWindow(AppState& s, const DiagramWindowLayout& layout, QWidget* parent = nullptr);

    // ---- wiring
    DiagramHost& Host() { return host_; }
    void SetPositionsDialog(TSetRevArm* d) { positions_ = d; }
    TSetRevArm* PositionsDialog() const { return positions_; }
    // Caption refreshed by the main window every tick: head + tail.
    void SetCaptionTail(const QString& tail);
    // Show modally with the layout's start state; returns when closed.
    int ShowModal();

    // ---- drawing
    // The diagram itself (without the closing panel) on `c`.
    virtual void DrawDiagram(Canvas& c) = 0;
    // Draw over the current picture: the diagram, then the closing panel.
    virtual void Draw();
    // Clear the picture, then draw.
    virtual void Redraw();
    // Clear the picture to white.
    void ClearPicture();
    // The picture at the layout's size, one pixel to a pixel (the window
    // shows it enlarged when it is larger, and at the screen's resolution).
    const QImage& Picture() const { return picture_; }
    // Window pixels to a picture pixel: 1 up to the layout's size, then as
    // much as the client area allows, keeping the proportions.
    qreal PictureScale() const;
    // What the window shows, as the operations that drew it: the client area
    // the diagram is laid out for, since the last clearing.
    const DisplayList& ShownList() const { return shown_; }
    // The picture's name in an exported file name.
    virtual std::string PictureName() const { return layout_.pictureName; }
    // "&Export Picture…", "&Copy Picture", "&Print…".
    PictureCommands* Pictures() const { return pictures_; }

    // ---- controls
    QMenuBar* Menu() const { return menu_; }
    DiagramClient* Client() const { return client_; }
    QPushButton* CloseButton() const { return close_; }
    QScrollBar* Bar(int k) const { return bars_[static_cast<size_t>(k - 1)]; }
    QPushButton* UndoButton() const { return undo_; }
    // "ReDo" (objectName: the undo button's with "ReDo" for "UnDo"), shown
    // with the undo button, enabled while a record waits to be redone.
    QPushButton* RedoButton() const { return redo_; }
    QAction* ReDoAction() const { return redoAct_; } // the keys of "ReDo"
    QAction* SetRevArmPosAction() const { return setRevArmPosAct_; }
    QAction* ReDrawAction() const { return reDrawAct_; }
    QAction* UnDoAction() const { return unDoAct_; }
    QAction* DynamicVariAction() const { return dynVariAct_; }

    // ---- handlers, shared by the four windows
    void FormActivate();
    void FormClose();
    void FormMouseMove();
    void CloseClick();
    void ReDrawClick();
    void SetRevArmPosClick();
    void DynamicVariClick();
    void UnDoMenuClick();
    void UnDoDnClick();
    void ReDoDnClick();
    void SBDynVarEnter(int k);
    void SBDynVarChange(int k);
    void SBDynVarScroll(int k, bool endOfScroll);

    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

    AppState& s_;

private:
    friend class DiagramClient;
    void ApplyPanel(const DiagramPanelState& st);
    void GrowPicture(const QSize& size);
    void PlaceControls();
    void PaintPicture(QPainter& p);

    DiagramWindowLayout layout_;
    DiagramHost host_;
    TSetRevArm* positions_ = nullptr;
    QMenuBar* menu_ = nullptr;
    DiagramClient* client_ = nullptr;
    QPushButton* close_ = nullptr;
    std::array<QScrollBar*, 4> bars_{};
    QPushButton* undo_ = nullptr;
    QPushButton* redo_ = nullptr;
    QAction* redoAct_ = nullptr;
    QAction* setRevArmPosAct_ = nullptr;
    QAction* reDrawAct_ = nullptr;
    QAction* unDoAct_ = nullptr;
    QAction* dynVariAct_ = nullptr;
    QImage picture_;
    DisplayList shown_;
    // The picture as painted when enlarged or at a device pixel ratio above 1.
    QImage view_;
    qreal viewScale_ = 0;
    bool viewFresh_ = false;
    struct Placed {
        QWidget* widget;
        QRect base; // at the layout's size
    };
    std::vector<Placed> placed_;
    PictureCommands* pictures_ = nullptr;
    std::string undoText_;
    bool activationQueued_ = false;
    int barDepth_ = 0;
};
