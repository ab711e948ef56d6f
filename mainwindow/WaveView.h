#pragma once

#include <QObject>
#include <QString>

#include <optional>

#include "acquisition/ScopeState.h"
#include "acquisition/Sources.h"
#include "display/CursorOverlay.h"
#include "display/DecodeBand.h"
#include "display/Repaint.h"
#include "mainwindow/CursorDrag.h"
#include "session/Upload.h"

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
// layout pass that places and repaints them. It shows an upload or an opened file, which nobody
// changes, in the view options it alone keeps: the scheme, the grid, the zoom factor and best
// fit, and the sources ticked.
class WaveView : public QObject {
    Q_OBJECT
public:
    // The widgets go into `window`, placed in its client area.
    explicit WaveView(QWidget& window);
    ~WaveView() override;

    QWidget& window() { return window_; }
    // What is drawn: the upload shown (an empty screen before the first), with the view options.
    const acquisition::ScopeState& slot() const { return drawn_; }
    // The upload shown as it came; nothing before the first.
    const session::Screen& upload() const { return upload_; }
    const display::Cursors& cursors() const { return cursors_; }
    const WavePicture& picture() const { return *WavePic; }

    double ScreenScale() const { return ScreenScale_; }
    bool InitPending() const { return InitPending_; }
    int HScrollSpan() const { return HScrollSpan_; }
    int VScrollSpan() const { return VScrollSpan_; }
    acquisition::Sources ticked() const { return ticked_; }

    // Start-up is over: the layout pass lays out and paints from now on.
    void finishStartUp();
    // The view options have been put into the window's controls (false again at close).
    void setViewApplied(bool applied);
    // Each of these repaints what it changes.
    void setColorDisplay(bool colour);
    void setGridVisible(bool visible);
    void setBestFit(bool on);
    // The factor the next layout pass draws at, outside best fit.
    void setScreenScale(double scale);
    bool colorDisplay() const { return drawn_.ColorDisplay; }
    bool gridVisible() const { return drawn_.GridVisible; }
    bool bestFit() const { return drawn_.BestFit; }
    void setTicked(acquisition::Sources ticked);

    // The layout pass: places and sizes the viewport and the picture, and repaints it.
    void Form_Resize();
    // Shows what an upload brought, as if it had just been uploaded; the view options stay.
    // `file` names the file it was opened from; empty for an upload from the instrument.
    void showUpload(session::Screen upload, const QString& file = {});
    // Shows an upload kept from earlier: as showUpload, but it is not a new arrival.
    void recallUpload(session::Screen upload, const QString& file);
    const QString& shownFile() const { return shownFile_; }
    void showConnected(bool connected);
    void setTimeCursors(bool on);
    // The time cursors at two screen columns, and on.
    void placeTimeCursors(double firstColumn, double lastColumn);
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
    // Best fit found this factor; the zoom field shows it, which lays out once more.
    void bestFitFound(double scale);
    // Ctrl and the wheel ask for the next factor of the zoom list up (1) or down (-1).
    void zoomStepAsked(int direction);

protected:
    // The mouse over the picture: taking hold of the measuring cursors.
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void HScroll_Change();
    void HScroll_Scroll();
    void VScroll_Change();
    void VScroll_Scroll();

private:
    void present(session::Screen upload, const QString& file);
    // The upload shown in the view options, as the picture and the exports draw it.
    void compose();
    void applyIndicatorScheme();
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
    session::Screen upload_;
    acquisition::ScopeState drawn_;
    acquisition::Sources ticked_;
    double ScreenScale_ = 1.0;
    bool InitPending_ = true;
    int HScrollSpan_ = 0;
    int VScrollSpan_ = 0;
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
