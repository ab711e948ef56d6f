#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

#include "acquisition/ScopeState.h"
#include "display/CursorOverlay.h"
#include "display/DecodeBand.h"
#include "display/Repaint.h"
#include "mainwindow/CursorDrag.h"

class QAction;
class QContextMenuEvent;
class QFrame;
class QKeySequence;
class QMenu;
class QMouseEvent;
class QScrollBar;
class QSize;
class QWheelEvent;
class QWidget;

namespace tracebay::mainwindow {

class ConnectionLed;
class WavePicture;

// The main window's view of the instrument's screen: the viewport with the picture and the
// connection indicator, the scroll bars, the measuring cursors and the picture's menu, and the
// layout pass that places and repaints them at the zoom factor it owns. It shows the window's
// screen: the last upload or opened file, with the view flags the window's controls set.
class WaveView : public QObject {
    Q_OBJECT
public:
    // The widgets go into `window`, placed in its client area.
    explicit WaveView(QWidget& window);
    ~WaveView() override;

    QWidget& window() { return window_; }
    acquisition::ScopeState& slot() { return slot_; }
    const acquisition::ScopeState& slot() const { return slot_; }
    display::Cursors& cursors() { return cursors_; }
    const display::Cursors& cursors() const { return cursors_; }
    const WavePicture& picture() const { return *WavePic; }

    double ScreenScale = 1.0;
    bool InitPending = true;
    int HScrollSpan = 0;
    int VScrollSpan = 0;
    // Best fit writes the factor it found as the zoom field's text; setting that text runs the
    // zoom field's handler, which lays out once more.
    std::function<void(double scale)> showBestFit;
    // Ctrl and the wheel ask for the next factor of the zoom list up (1) or down (-1).
    std::function<void(int direction)> stepZoom;

    // The layout pass: places and sizes the viewport and the picture, and repaints it.
    void Form_Resize();
    // Shows what an upload brought, as if it had just been uploaded; the view flags stay. `file`
    // names the file it was opened from; empty for an upload from the instrument.
    void showUpload(const acquisition::ScopeState& upload, const QString& file = {});
    // Shows an upload kept from earlier: as showUpload, but it is not a new arrival.
    void recallUpload(const acquisition::ScopeState& upload, const QString& file);
    const QString& shownFile() const { return shownFile_; }
    void showConnected(bool connected);
    // The indicators in the scheme of the slot's ColorDisplay.
    void applyIndicatorScheme();
    void setTimeCursors(bool on);
    void setVoltCursors(bool on);
    // What is drawn over the instrument's picture (references, a mask); none by default.
    void setPicturePass(display::PicturePass over) { over_ = std::move(over); }
    const display::PicturePass& picturePass() const { return over_; }
    // The decoders' band under the picture, or none.
    void setBand(std::optional<display::Band> band);
    const display::Band* band() const { return band_ ? &*band_ : nullptr; }

    // The picture's menu: what is done with the picture beyond the window's own controls. An
    // action added here also answers its shortcut anywhere in the window.
    QMenu& pictureMenu() { return *PictureMenu; }
    void addPictureAction(QAction* action);
    // A checkable action of the picture's menu, with its shortcut.
    QAction* addCheckableAction(const char* name, const QString& text, const QKeySequence& key);
    // "Time cursors" (T) and "Voltage cursors" (V).
    void addCursorActions();
    // A right click on the picture, or the Menu key, opens it.
    void openPictureMenu(QContextMenuEvent* event);
    // The arrow keys, Page Up and Down, Home and End move a picture larger than the viewport;
    // false for any other key.
    bool scrollByKey(int key);

signals:
    // A new upload or opened file is shown; uploadShown follows.
    void uploadArrived();
    // Another upload is shown, new or recalled.
    void uploadShown();

protected:
    // The mouse over the picture: taking hold of the measuring cursors.
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void HScroll_Change();
    void HScroll_Scroll();
    void VScroll_Change();
    void VScroll_Scroll();

private:
    void present(const acquisition::ScopeState& upload, const QString& file);
    void setupViewport();
    void setupScrollBars();
    void placeViewport();
    void fitToViewport();
    void placeScrollBars();
    void placeIndicators();
    void indicatorsFollowThePicture();
    void repaintPicture();
    // The picture's size at a scale, with the band under it.
    QSize pictureSize(double scale) const;
    void pictureMousePress(QMouseEvent* event);
    // The wheel scrolls (sideways with Shift), and steps the zoom with Ctrl.
    void wheel(QWheelEvent* event);
    static void scrollBy(QScrollBar* bar, int step);
    void pictureMouseMove(QMouseEvent* event);

    QWidget& window_;
    acquisition::ScopeState slot_;
    QString shownFile_;
    display::Cursors cursors_;
    display::CursorOverlay overlay_;
    display::PicturePass over_;
    std::optional<display::Band> band_;
    CursorDrag::Grab grab_;

    QFrame* BackPic = nullptr;
    QWidget* viewport_ = nullptr;
    WavePicture* WavePic = nullptr;
    ConnectionLed* picLED_ON = nullptr;
    ConnectionLed* picLED_OFF = nullptr;
    QScrollBar* HScroll = nullptr;
    QScrollBar* VScroll = nullptr;
    QMenu* PictureMenu = nullptr;
};

}  // namespace tracebay::mainwindow
