#include "graphs/TDiagramWindow.h"

#include "graphs/TSetRevArm.h"
#include "model/DynVars.h"
#include "platform/FileSystem.h"
#include "qt/QtCanvas.h"
#include "qt/QtFrameBuffer.h"
#include "qt/QtPictureCommands.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

// ---------------------------------------------------------------- client area
DiagramClient::DiagramClient(TDiagramWindow* owner) : QWidget(owner), owner_(owner)
{
    setObjectName("Client");
    setMouseTracking(true);
    setAutoFillBackground(false);
}

void DiagramClient::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    owner_->PaintPicture(p);
}

void DiagramClient::mouseMoveEvent(QMouseEvent* e)
{
    owner_->FormMouseMove();
    QWidget::mouseMoveEvent(e);
}

void DiagramClient::resizeEvent(QResizeEvent* e)
{
    owner_->GrowPicture(size());
    owner_->PlaceControls();
    QWidget::resizeEvent(e);
}

// ---------------------------------------------------------------- window
TDiagramWindow::TDiagramWindow(AppState& s, const DiagramWindowLayout& layout, QWidget* parent)
    : QDialog(parent), s_(s), layout_(layout)
{
    setObjectName(layout_.formName);
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowMinimizeButtonHint);
    setWindowTitle(layout_.captionHead);
    if (layout_.maxWindow.isValid()) setMaximumSize(layout_.maxWindow);
    setFont(QtCanvas::FontFor(0, false));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    menu_ = new QMenuBar(this);
    menu_->setObjectName("MainMenu1");
    menu_->setNativeMenuBar(false);
    box->setMenuBar(menu_);
    client_ = new DiagramClient(this);
    client_->setMinimumSize(layout_.client);
    box->addWidget(client_);
    picture_ = QImage(layout_.client, QImage::Format_RGB32);
    picture_.fill(Qt::white);
    shown_.Reset(layout_.client.width(), layout_.client.height());

    auto addItem = [this](const DiagramMenuItem& item, void (TDiagramWindow::*handler)()) -> QAction* {
        if (item.caption.isEmpty()) return nullptr;
        QAction* a = menu_->addAction(item.caption);
        a->setObjectName(item.name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    setRevArmPosAct_ = addItem(layout_.setRevArmPos, &TDiagramWindow::SetRevArmPosClick);
    reDrawAct_ = addItem(layout_.reDraw, &TDiagramWindow::ReDrawClick);
    unDoAct_ = addItem(layout_.unDo, &TDiagramWindow::UnDoMenuClick);
    dynVariAct_ = addItem(layout_.dynamicVari, &TDiagramWindow::DynamicVariClick);
    pictures_ = new PictureCommands(
        this, {[this] { return shown_; }, [this] { return PictureName(); }, [this] { return s_.display.DataSetName; },
               [this]() -> FileSystem& { return host_.files ? host_.files() : SystemFileSystem(); }});
    if (!layout_.setUpMenu.caption.isEmpty()) {
        QMenu* setUp = menu_->addMenu(layout_.setUpMenu.caption);
        setUp->setObjectName(layout_.setUpMenu.name);
        setUp->menuAction()->setObjectName(layout_.setUpMenu.name);
        pictures_->AddTo(setUp);
    }

    close_ = new QPushButton("Close", client_);
    close_->setObjectName(layout_.closeName);
    close_->setGeometry(layout_.closePos.x(), layout_.closePos.y(), 75, 25);
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &TDiagramWindow::CloseClick);

    for (int k = 1; k <= 4; ++k) {
        auto* b = new QScrollBar(Qt::Horizontal, client_);
        b->setObjectName(layout_.barNames[static_cast<size_t>(k - 1)]);
        b->setGeometry(112, 3 + 12 * (k - 1), 121, 10);
        b->setRange(-200, 200);
        b->setSingleStep(1);
        b->setPageStep(10);
        b->setValue(0);
        b->setFocusPolicy(Qt::StrongFocus);
        b->hide();
        b->installEventFilter(this);
        connect(b, &QScrollBar::valueChanged, this, [this, k](int) { SBDynVarChange(k); });
        bars_[static_cast<size_t>(k - 1)] = b;
    }

    undo_ = new QPushButton("UnDo", client_);
    undo_->setObjectName(layout_.undoName);
    undo_->setGeometry(110, 54, 40, 16);
    undo_->setAutoDefault(false);
    undo_->setEnabled(false);
    undo_->hide();
    connect(undo_, &QPushButton::clicked, this, &TDiagramWindow::UnDoDnClick);

    redo_ = new QPushButton("ReDo", client_);
    redo_->setObjectName(QString(layout_.undoName).replace(QLatin1String("UnDo"), QLatin1String("ReDo")));
    redo_->setGeometry(110, 71, 40, 16);
    redo_->setFont(undo_->font());
    redo_->setAutoDefault(false);
    redo_->setEnabled(false);
    redo_->hide();
    connect(redo_, &QPushButton::clicked, this, &TDiagramWindow::ReDoDnClick);
    redoAct_ = new QAction(QStringLiteral("ReDo"), this);
    redoAct_->setObjectName(QStringLiteral("ReDo"));
    redoAct_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redoAct_->setEnabled(false);
    addAction(redoAct_);
    connect(redoAct_, &QAction::triggered, this, &TDiagramWindow::ReDoDnClick);

    for (QWidget* c : std::initializer_list<QWidget*>{close_, bars_[0], bars_[1], bars_[2], bars_[3], undo_, redo_})
        placed_.push_back({c, c->geometry()});
}

void TDiagramWindow::SetCaptionTail(const QString& tail)
{
    const QString t = layout_.captionHead + tail;
    if (windowTitle() != t) setWindowTitle(t);
}

int TDiagramWindow::ShowModal()
{
    switch (layout_.start) {
    case DiagramWindowLayout::Start::Maximised: setWindowState(Qt::WindowMaximized); break;
    case DiagramWindowLayout::Start::Minimised: setWindowState(Qt::WindowMinimized); break;
    case DiagramWindowLayout::Start::Normal:
        setWindowState(Qt::WindowNoState);
        if (layout_.position.x() >= 0) move(layout_.position);
        break;
    }
    return exec();
}

// ---------------------------------------------------------------- drawing
void TDiagramWindow::GrowPicture(const QSize& size)
{
    const QSize want = picture_.size().expandedTo(size);
    if (want == picture_.size()) return;
    QImage bigger(want, QImage::Format_RGB32);
    bigger.fill(Qt::white);
    {
        QPainter p(&bigger);
        p.drawImage(0, 0, picture_);
    }
    picture_ = bigger;
}

qreal TDiagramWindow::PictureScale() const
{
    const qreal s = std::min(static_cast<qreal>(client_->width()) / layout_.client.width(),
                             static_cast<qreal>(client_->height()) / layout_.client.height());
    return std::max<qreal>(1, s);
}

void TDiagramWindow::PlaceControls()
{
    // The controls stay where they lie on the picture, at its scale.
    const qreal s = PictureScale();
    auto at = [s](int v) { return static_cast<int>(std::lround(v * s)); };
    for (const Placed& p : placed_)
        p.widget->setGeometry(at(p.base.x()), at(p.base.y()), at(p.base.width()), at(p.base.height()));
}

void TDiagramWindow::PaintPicture(QPainter& p)
{
    const qreal scale = PictureScale(), ratio = client_->devicePixelRatioF();
    if (scale == 1 && ratio == 1) {
        p.fillRect(client_->rect(), Qt::white);
        p.drawImage(0, 0, picture_);
        return;
    }
    // Enlarged or on a screen of more pixels: the picture drawn again from
    // its operations at the window's scale and device resolution (once per
    // change of picture, size or ratio).
    const QSize device = DeviceSize(client_->size(), ratio);
    if (!viewFresh_ || view_.size() != device || view_.devicePixelRatio() != ratio || viewScale_ != scale) {
        DisplayList whole = shown_;
        whole.Crop(0, 0, static_cast<int>(std::ceil(client_->width() / scale)),
                   static_cast<int>(std::ceil(client_->height() / scale)));
        view_ = ImageForRatio(client_->size(), ratio);
        PaintListOnImage(view_, whole, scale);
        viewScale_ = scale;
        viewFresh_ = true;
    }
    p.drawImage(QPointF(0, 0), view_);
}

void TDiagramWindow::ClearPicture()
{
    picture_.fill(Qt::white);
    shown_.Reset(layout_.client.width(), layout_.client.height());
    viewFresh_ = false;
    client_->update();
}

void TDiagramWindow::Draw()
{
    DiagramPanelState st;
    {
        QtCanvas c(picture_);
        c.RecordInto(&shown_);
        c.SetPenColour(clBlack);
        c.SetFontColour(clBlack);
        DrawDiagram(c);
        c.SetPenColour(clBlack);
        c.SetFontColour(clBlack);
        c.SetFontBold(false);
        st = DrawClosingPanel(c, s_, undoText_);
    }
    viewFresh_ = false;
    ApplyPanel(st);
    client_->update();
}

void TDiagramWindow::Redraw()
{
    ClearPicture();
    Draw();
}

void TDiagramWindow::ApplyPanel(const DiagramPanelState& st)
{
    for (int k = 0; k < 4; ++k) {
        bars_[static_cast<size_t>(k)]->setVisible(st.barsVisible);
        if (st.barsVisible) bars_[static_cast<size_t>(k)]->setEnabled(st.barEnabled[static_cast<size_t>(k)]);
    }
    undo_->setVisible(st.undoVisible);
    undo_->setEnabled(s_.dyn.UndoButtonsEnabled);
    redo_->setVisible(st.undoVisible);
    redo_->setEnabled(RedoAvailable(s_));
    redoAct_->setEnabled(RedoAvailable(s_));
}

// ---------------------------------------------------------------- activation and closing
void TDiagramWindow::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // The activation runs once per opening, from the event loop (never from
    // inside the show), so that the positions dialog it shows and closes
    // cannot start it again.
    if (!activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            if (isVisible()) FormActivate();
        });
    }
}

void TDiagramWindow::FormActivate()
{
    if (host_.setTimerEnabled) host_.setTimerEnabled(false);
    if (positions_ && setRevArmPosAct_) positions_->exec();
    Redraw();
}

void TDiagramWindow::done(int r)
{
    FormClose();
    activationQueued_ = false;
    QDialog::done(r);
}

void TDiagramWindow::FormClose()
{
    if (host_.setTimerEnabled) host_.setTimerEnabled(true);
}

void TDiagramWindow::CloseClick() { close(); }

// ---------------------------------------------------------------- menus
void TDiagramWindow::ReDrawClick() { Redraw(); }

void TDiagramWindow::SetRevArmPosClick()
{
    if (positions_) positions_->exec();
}

void TDiagramWindow::FormMouseMove()
{
    if (!setRevArmPosAct_ || !s_.graph.GraphRedrawPending) return;
    Redraw();
    s_.graph.GraphRedrawPending = false;
}

void TDiagramWindow::DynamicVariClick()
{
    s_.dyn.DynVarsOn = !s_.dyn.DynVarsOn;
    if (host_.setDynBarsVisible) host_.setDynBarsVisible(s_.dyn.DynVarsOn);
    Redraw();
}

void TDiagramWindow::UnDoMenuClick()
{
    s_.dyn.UndoOn = !s_.dyn.UndoOn;
    if (!s_.dyn.UndoOn)
        Redraw();
    else
        Draw();
}

// ---------------------------------------------------------------- dynamic variables and undo
void TDiagramWindow::UnDoDnClick()
{
    // Undoes the newest record, or switches the undo buttons off when none
    // is left; the main window's button follows.
    UndoButtonClick(s_);
    if (host_.setUndoDnEnabled) host_.setUndoDnEnabled(s_.dyn.UndoButtonsEnabled);
    Redraw();
}

void TDiagramWindow::ReDoDnClick()
{
    // Redoes the record undone last; the main window's button and arm follow.
    if (!PopRedo(s_)) return;
    if (host_.setUndoDnEnabled) host_.setUndoDnEnabled(s_.dyn.UndoButtonsEnabled);
    Redraw();
}

void TDiagramWindow::SBDynVarEnter(int k) { DynBarEnter(s_, k); }

void TDiagramWindow::SBDynVarChange(int k)
{
    QScrollBar* bar = bars_[static_cast<size_t>(k - 1)];
    ++barDepth_;
    // Putting the bar back to 0 raises a second change event with position 0,
    // which only shifts the recorded positions; the picture is redrawn once.
    if (DynBarChange(s_, k, bar->value())) bar->setValue(0);
    --barDepth_;
    if (barDepth_ == 0) Redraw();
}

void TDiagramWindow::SBDynVarScroll(int k, bool endOfScroll)
{
    if (!endOfScroll) return;
    if (!DynBarEndScroll(s_, k)) return; // a bar of an empty slot records nothing
    if (host_.setUndoDnEnabled) host_.setUndoDnEnabled(true);
    close_->setFocus();
    Draw();
}

bool TDiagramWindow::eventFilter(QObject* o, QEvent* e)
{
    for (int k = 1; k <= 4; ++k) {
        if (o != bars_[static_cast<size_t>(k - 1)]) continue;
        switch (e->type()) {
        case QEvent::FocusIn: SBDynVarEnter(k); break;
        case QEvent::MouseButtonRelease: SBDynVarScroll(k, true); break;
        case QEvent::KeyRelease: {
            auto* ke = static_cast<QKeyEvent*>(e);
            if (!ke->isAutoRepeat() &&
                (ke->key() == Qt::Key_Left || ke->key() == Qt::Key_Right || ke->key() == Qt::Key_PageUp ||
                 ke->key() == Qt::Key_PageDown || ke->key() == Qt::Key_Home || ke->key() == Qt::Key_End))
                SBDynVarScroll(k, true);
            break;
        }
        default: break;
        }
        break;
    }
    return QDialog::eventFilter(o, e);
}
