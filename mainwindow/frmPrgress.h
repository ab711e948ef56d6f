#pragma once

#include <QWidget>

#include <memory>

#include "acquisition/Acquisition.h"
#include "platform/HostServices.h"
#include "platform/SettingsStore.h"

class QProgressBar;

namespace tracebay::mainwindow {

// The progress window of one upload: opened by the main window, it runs the upload on its own
// timer 100 ms later, animates its bar while a serial block is awaited, refuses to close while
// the upload runs, and remembers where the user put it.
class frmPrgress : public QWidget, public acquisition::ProgressView {
    Q_OBJECT
public:
    static constexpr int UploadDelayMs = 100;
    static constexpr int AnimationMs = 250;
    static constexpr int FallbackLeftTwips = 400;
    static constexpr int FallbackTopTwips = 600;

    // Loading the window: placed, timers set, TransferBusy set.
    frmPrgress(platform::HostServices& host, acquisition::Acquisition& acquisition,
               platform::SettingsStore& settings, QWidget* owner);
    ~frmPrgress() override;

    // Where a window of `size` opens on a screen of `screen` pixels: at the stored place in twips,
    // each coordinate put back to its fallback when it lies off the screen.
    static QPoint openingPlace(int leftTwips, int topTwips, QSize screen, QSize size);

    void setProgressValue(double value) override;
    void setAnimation(bool on) override;
    // The bar's value, as precise as the bar keeps it.
    float value() const { return value_; }
    QProgressBar* bar() const { return ProgressBar1; }

signals:
    void valueChanged(float value);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Timer1_Timer();
    void Timer2_Timer();
    void Form_Unload();
    void place();

    platform::HostServices& host_;
    acquisition::Acquisition& acquisition_;
    platform::SettingsStore& settings_;
    QProgressBar* ProgressBar1;
    std::unique_ptr<platform::HostTimer> Timer1;
    std::unique_ptr<platform::HostTimer> Timer2;
    float value_ = 0;
    bool unloaded_ = false;
};

}  // namespace tracebay::mainwindow
