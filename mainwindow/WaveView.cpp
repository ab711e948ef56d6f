#include "mainwindow/WaveView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFrame>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "display/Repaint.h"
#include "mainwindow/ConnectionLed.h"
#include "mainwindow/Layout.h"
#include "mainwindow/WavePicture.h"

namespace tracebay::mainwindow {
namespace {

// Scroll bar steps, in percent of the overflow.
constexpr int WheelStep = 10;
constexpr int ArrowStep = 5;

}  // namespace

WaveView::WaveView(QWidget& window) : QObject(&window), window_(window) {
    setupViewport();
    setupScrollBars();
}

WaveView::~WaveView() { overlay_.DeleteBackBuffer(); }

void WaveView::setupViewport() {
    BackPic = new QFrame(&window_);
    BackPic->setObjectName("BackPic");
    BackPic->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    BackPic->setLineWidth(Layout::BackPicBorder);
    BackPic->setAutoFillBackground(true);
    QPalette black = BackPic->palette();
    black.setColor(QPalette::Window, Qt::black);
    BackPic->setPalette(black);
    viewport_ = new QWidget(BackPic);
    WavePic = new WavePicture(viewport_);
    WavePic->setObjectName("WavePic");
    WavePic->setToolTip("Right-click (or the Menu key) for what can be done with the picture");
    WavePic->setMouseTracking(true);
    WavePic->installEventFilter(this);
    viewport_->installEventFilter(this);
    PictureMenu = new QMenu(&window_);
    PictureMenu->setObjectName("PictureMenu");
    picLED_ON = new ConnectionLed(viewport_, "picLED_ON", "Label2", "Connect",
                                  "Connection Status-[Connected]", true);
    picLED_OFF = new ConnectionLed(viewport_, "picLED_OFF", "Label1", "DisConnect",
                                   "Connection Status-[Disconnected]", false);
    showConnected(false);
}

void WaveView::setupScrollBars() {
    HScroll = new QScrollBar(Qt::Horizontal, &window_);
    VScroll = new QScrollBar(Qt::Vertical, &window_);
    HScroll->setObjectName("HScroll");
    VScroll->setObjectName("VScroll");
    for (QScrollBar* bar : {HScroll, VScroll}) {
        bar->setRange(0, 100);
        bar->setSingleStep(1);
        // A drag reports its place as it goes (scroll) and its value at the end (change).
        bar->setTracking(false);
        bar->hide();
    }
    connect(HScroll, &QScrollBar::valueChanged, this, &WaveView::HScroll_Change);
    connect(HScroll, &QScrollBar::sliderMoved, this, &WaveView::HScroll_Scroll);
    connect(VScroll, &QScrollBar::valueChanged, this, &WaveView::VScroll_Change);
    connect(VScroll, &QScrollBar::sliderMoved, this, &WaveView::VScroll_Scroll);
}

void WaveView::showUpload(session::Screen upload, const QString& file) {
    present(std::move(upload), file);
    emit uploadArrived();
    emit uploadShown();
}

void WaveView::recallUpload(session::Screen upload, const QString& file) {
    present(std::move(upload), file);
    emit uploadShown();
}

void WaveView::present(session::Screen upload, const QString& file) {
    upload_ = std::move(upload);
    shownFile_ = file;
    compose();
    Form_Resize();
}

// The view options stay whatever the upload says of them.
void WaveView::compose() {
    acquisition::ScopeState drawn = upload_ ? *upload_ : acquisition::ScopeState{};
    drawn.HasData = upload_ != nullptr;
    drawn.ViewApplied = drawn_.ViewApplied;
    drawn.ColorDisplay = drawn_.ColorDisplay;
    drawn.GridVisible = drawn_.GridVisible;
    drawn.BestFit = drawn_.BestFit;
    ticked_.showIn(drawn);
    drawn_ = std::move(drawn);
}

void WaveView::finishStartUp() {
    InitPending_ = false;
    setViewApplied(true);
}

void WaveView::setViewApplied(bool applied) { drawn_.ViewApplied = applied; }

void WaveView::setColorDisplay(bool colour) {
    const bool changed = drawn_.ColorDisplay != colour;
    drawn_.ColorDisplay = colour;
    if (changed) applyIndicatorScheme();
    Form_Resize();
}

void WaveView::setGridVisible(bool visible) {
    drawn_.GridVisible = visible;
    Form_Resize();
}

// Leaving best fit keeps the picture as it is until another factor is chosen.
void WaveView::setBestFit(bool on) {
    drawn_.BestFit = on;
    if (on) Form_Resize();
}

void WaveView::setScreenScale(double scale) { ScreenScale_ = scale; }

void WaveView::setTicked(acquisition::Sources ticked) {
    ticked_ = ticked;
    ticked_.showIn(drawn_);
}

void WaveView::showConnected(bool connected) {
    picLED_ON->setVisible(connected);
    picLED_OFF->setVisible(!connected);
}

void WaveView::applyIndicatorScheme() {
    picLED_ON->setScheme(drawn_.ColorDisplay);
    picLED_OFF->setScheme(drawn_.ColorDisplay);
}

void WaveView::Form_Resize() {
    placeViewport();
    if (!InitPending_) {
        if (drawn_.BestFit)
            fitToViewport();
        else
            placeScrollBars();
    }
    placeIndicators();
    if (!InitPending_) repaintPicture();
}

void WaveView::placeViewport() {
    WavePic->move(0, 0);
    if (const auto place = Layout::backPicGeometry(window_.size())) BackPic->setGeometry(*place);
    const int border = Layout::BackPicBorder;
    viewport_->setGeometry(
        QRect(QPoint(border, border), Layout::viewportSize(BackPic->geometry())));
}

void WaveView::fitToViewport() {
    HScroll->hide();
    VScroll->hide();
    const double fit =
        Layout::bestFitScale(viewport_->size() - QSize(0, band_ ? band_->height() : 0));
    ScreenScale_ = fit;
    emit bestFitFound(fit);
    ScreenScale_ = fit;
    WavePic->resize(pictureSize(fit));
}

QSize WaveView::pictureSize(double scale) const {
    return Layout::wavePicSize(scale) + QSize(0, band_ ? band_->height() : 0);
}

void WaveView::placeScrollBars() {
    WavePic->resize(pictureSize(ScreenScale_));
    const Layout::ScrollBars bars = Layout::scrollBars(BackPic->geometry(), WavePic->size());
    const auto apply = [](QScrollBar* bar, const Layout::ScrollBar& place, int& span) {
        if (!place.visible) {
            bar->hide();
            return;
        }
        bar->setGeometry(place.geometry);
        span = place.span;
        bar->setPageStep(place.pageStep);
        bar->setSingleStep(1);
        bar->show();
        bar->raise();
    };
    apply(HScroll, bars.horizontal, HScrollSpan_);
    apply(VScroll, bars.vertical, VScrollSpan_);
    // The picture goes where the scroll bars say, not back to the corner.
    WavePic->move(
        HScroll->isVisible() ? Layout::scrolledOffset(HScroll->value(), HScrollSpan_) : 0,
        VScroll->isVisible() ? Layout::scrolledOffset(VScroll->value(), VScrollSpan_) : 0);
}

void WaveView::placeIndicators() {
    for (ConnectionLed* led : {picLED_ON, picLED_OFF}) {
        led->move(Layout::indicatorPlace(WavePic->pos(), ScreenScale_, led->size()));
        led->raise();
    }
}

void WaveView::repaintPicture() {
    const display::Screen screen{ScreenScale_};
    platform::PictureSurface& surface = WavePic->surface();
    display::Repaint(surface, screen, drawn_, cursors_, overlay_, over_);
    if (band_) display::DrawBand(surface, screen, *band_, drawn_.ColorDisplay);
    WavePic->update();
}

void WaveView::setTimeCursors(bool on) {
    cursors_.TimeCursorsOn = on;
    Form_Resize();
}

void WaveView::setVoltCursors(bool on) {
    cursors_.VoltCursorsOn = on;
    Form_Resize();
}

void WaveView::placeTimeCursors(double firstColumn, double lastColumn) {
    cursors_.CursorX1 = display::Screen::GridLeft + firstColumn * ScreenScale_;
    cursors_.CursorX2 = display::Screen::GridLeft + lastColumn * ScreenScale_;
    for (QAction* action : PictureMenu->actions())
        if (action->objectName() == "TimeCursors" && !action->isChecked()) {
            action->setChecked(true);
            return;
        }
    Form_Resize();
}

// A band of the same height is drawn over the last one; the picture above stays as it is.
void WaveView::setBand(std::optional<display::Band> band) {
    const bool sameHeight = band && band_ && band->height() == band_->height();
    band_ = std::move(band);
    const platform::PictureSurface* drawn = WavePic->drawn();
    if (!sameHeight || InitPending_ || !drawn ||
        QSize(drawn->width(), drawn->height()) != WavePic->size()) {
        Form_Resize();
        return;
    }
    display::DrawBand(WavePic->surface(), display::Screen{ScreenScale_}, *band_,
                      drawn_.ColorDisplay);
    WavePic->update();
}

void WaveView::addPictureAction(QAction* action) {
    PictureMenu->addAction(action);
    window_.addAction(action);
}

QAction* WaveView::addCheckableAction(const char* name, const QString& text,
                                      const QKeySequence& key) {
    auto* action = new QAction(text, &window_);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setShortcut(key);
    addPictureAction(action);
    return action;
}

void WaveView::addCursorActions() {
    PictureMenu->addSeparator();
    connect(addCheckableAction("TimeCursors", "Time cursors", QKeySequence(Qt::Key_T)),
            &QAction::toggled, this, &WaveView::setTimeCursors);
    connect(addCheckableAction("VoltCursors", "Voltage cursors", QKeySequence(Qt::Key_V)),
            &QAction::toggled, this, &WaveView::setVoltCursors);
}

void WaveView::openPictureMenu(QContextMenuEvent* event) {
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QPoint onPicture = WavePic->mapFromGlobal(event->globalPos());
    if (!keyboard && !WavePic->rect().contains(onPicture)) return;
    if (PictureMenu->isEmpty()) return;
    PictureMenu->popup(keyboard ? WavePic->mapToGlobal(QPoint(25, 25)) : event->globalPos());
}

void WaveView::HScroll_Change() {
    HScroll_Scroll();
    indicatorsFollowThePicture();
}

// After a scroll the indicators move with the picture, as the layout pass places them.
void WaveView::indicatorsFollowThePicture() {
    placeIndicators();
    picLED_ON->update();
    picLED_OFF->update();
}

void WaveView::HScroll_Scroll() {
    WavePic->move(Layout::scrolledOffset(HScroll->sliderPosition(), HScrollSpan_), WavePic->y());
}

void WaveView::VScroll_Change() {
    VScroll_Scroll();
    indicatorsFollowThePicture();
}

void WaveView::VScroll_Scroll() {
    WavePic->move(WavePic->x(), Layout::scrolledOffset(VScroll->sliderPosition(), VScrollSpan_));
}

bool WaveView::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == WavePic || watched == viewport_) && event->type() == QEvent::Wheel) {
        wheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    if (watched == WavePic) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                pictureMousePress(static_cast<QMouseEvent*>(event));
                break;
            case QEvent::MouseButtonRelease: grab_ = {}; break;
            case QEvent::MouseMove: pictureMouseMove(static_cast<QMouseEvent*>(event)); break;
            default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}

// Any button but the right one, which opens the picture's menu, takes hold of the cursors. The
// keyboard stays with the window, for F5 and the scrolling keys.
void WaveView::pictureMousePress(QMouseEvent* event) {
    window_.setFocus();
    if (event->button() == Qt::RightButton) return;
    grab_ = CursorDrag::grabAt(cursors_, event->position().toPoint());
}

void WaveView::pictureMouseMove(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    CursorDrag::Pointer pointer = CursorDrag::drag(cursors_, grab_, at);
    if (pointer != CursorDrag::Pointer::Default)
        Form_Resize();
    else
        pointer = CursorDrag::hover(cursors_, at, ScreenScale_);
    switch (pointer) {
        case CursorDrag::Pointer::SizeWestEast: WavePic->setCursor(Qt::SizeHorCursor); break;
        case CursorDrag::Pointer::SizeNorthSouth: WavePic->setCursor(Qt::SizeVerCursor); break;
        case CursorDrag::Pointer::Default: WavePic->unsetCursor(); break;
    }
}

void WaveView::scrollBy(QScrollBar* bar, int step) {
    if (bar->isVisible()) bar->setValue(bar->value() + step);
}

void WaveView::wheel(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    // Some desktops turn Shift and the wheel into a sideways turn themselves.
    const int turn = delta.y() != 0 ? delta.y() : delta.x();
    if (turn == 0) return;
    const int direction = turn > 0 ? 1 : -1;
    if (event->modifiers() & Qt::ControlModifier) {
        emit zoomStepAsked(direction);
        return;
    }
    const bool sideways = (event->modifiers() & Qt::ShiftModifier) || delta.y() == 0;
    scrollBy(sideways ? HScroll : VScroll, -direction * WheelStep);
}

bool WaveView::scrollByKey(int key) {
    switch (key) {
        case Qt::Key_Left: scrollBy(HScroll, -ArrowStep); break;
        case Qt::Key_Right: scrollBy(HScroll, ArrowStep); break;
        case Qt::Key_Up: scrollBy(VScroll, -ArrowStep); break;
        case Qt::Key_Down: scrollBy(VScroll, ArrowStep); break;
        case Qt::Key_PageUp: scrollBy(VScroll, -VScroll->pageStep()); break;
        case Qt::Key_PageDown: scrollBy(VScroll, VScroll->pageStep()); break;
        case Qt::Key_Home:
            scrollBy(HScroll, -HScroll->maximum());
            scrollBy(VScroll, -VScroll->maximum());
            break;
        case Qt::Key_End:
            scrollBy(HScroll, HScroll->maximum());
            scrollBy(VScroll, VScroll->maximum());
            break;
        default: return false;
    }
    return true;
}

}  // namespace tracebay::mainwindow
