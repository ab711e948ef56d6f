#pragma once

#include <QButtonGroup>
#include <QDialog>

#include <memory>
#include <string>

#include "link/CommandChannel.h"
#include "platform/HostServices.h"

namespace tracebay::panel {

// The virtual front panel: one button per instrument key, each sending its key command through
// the command channel. The arrows that stand for knob turns repeat their command every tick
// while a mouse button is held on them. Nothing is read back and nothing is remembered.
class frmV_Key : public QDialog {
    Q_OBJECT

public:
    static constexpr int RepeatIntervalMs = 100;

    frmV_Key(platform::HostServices& host, link::CommandChannel& channel,
             QWidget* parent = nullptr);
    ~frmV_Key() override;

    // Every way of closing ends here; a repeat must not outlive the window.
    void done(int result) override;

protected:
    // Key preview and the raw mouse presses of the hold buttons.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    void onKeyClicked(int id);

private:
    void setupWindow();
    void setupLabels();
    void setupKeys();
    void centreOnScreen();
    bool isHoldKey(int id) const;
    void onHoldPressed(int id);
    void onHoldReleased();
    void ButtonPressTimer_Timer();

    link::CommandChannel& channel_;
    QButtonGroup keys_;  // ids are rows of PanelKeys
    std::unique_ptr<platform::HostTimer> ButtonPressTimer;
    std::string RepeatCommand;
};

}  // namespace tracebay::panel
