#pragma once

#include <QWidget>

#include <memory>

#include "platform/HostServices.h"
#include "platform/SettingsStore.h"

class QProgressBar;

namespace tracebay::mainwindow {

// The progress window of one upload: opened by the main window while the session uploads, it
// shows how far the upload got, animates its bar while a block is awaited, refuses to close
// until the upload has ended, and remembers where the user put it (in `placeTwips`, which the
// main window keeps and saves with the other settings when it closes).
class frmPrgress : public QWidget {
    Q_OBJECT
public:
    // The window is on screen this long before the upload begins.
    static constexpr int UploadDelayMs = 100;
    static constexpr int AnimationMs = 250;
    static constexpr int FallbackLeftTwips = 400;
    static constexpr int FallbackTopTwips = 600;
    static constexpr double ProgressMaximum = 100;

    // Loading the window: placed, animation stopped, the bar at 0.
    frmPrgress(platform::HostServices& host, QPoint& placeTwips, QWidget* owner);
    ~frmPrgress() override;

    // Where a window of `size` opens on a screen of `screen` pixels: at the stored place in twips,
    // each coordinate put back to its fallback when it lies off the screen.
    static QPoint openingPlace(int leftTwips, int topTwips, QSize screen, QSize size);

    void setProgressValue(double value);
    // What the animation adds to the bar per tick while a block is awaited; 0 stops it.
    void setProgressStep(int step);
    // The upload is over: the window closes.
    void uploadEnded();
    // The bar's value, as precise as the bar keeps it.
    float value() const { return value_; }
    QProgressBar* bar() const { return ProgressBar1; }

signals:
    void valueChanged(float value);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Timer2_Timer();
    void Form_Unload();
    void place();

    QPoint& placeTwips_;
    QProgressBar* ProgressBar1;
    std::unique_ptr<platform::HostTimer> Timer2;
    int ProgressStep = 0;
    float value_ = 0;
    bool uploading_ = true;
    bool unloaded_ = false;
};

// The progress window of each upload: opened as the upload starts, fed its progress, closed as
// it ends. Its place is read from the settings once, and written back only with `save`.
class UploadProgress {
public:
    UploadProgress(platform::HostServices& host, const platform::SettingsStore& settings,
                   QWidget& owner);

    void started();
    void ended();
    void setProgressValue(double value);
    void setProgressStep(int step);
    void save(platform::SettingsStore& settings) const;

private:
    platform::HostServices& host_;
    QWidget& owner_;
    QPoint placeTwips_;
    std::unique_ptr<frmPrgress> window_;
};

}  // namespace tracebay::mainwindow
