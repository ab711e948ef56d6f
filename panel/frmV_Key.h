#pragma once

#include <QButtonGroup>
#include <QDialog>

#include <memory>
#include <string>

#include "platform/HostServices.h"
#include "session/Session.h"

namespace tracebay::panel {

// The virtual front panel: one button per instrument key, each pressing its key through the
// session. The arrows that stand for knob turns repeat their key every tick while a mouse
// button is really held on them: at most one repeat is outstanding, and the release, a box or
// window that takes the mouse, closing, or a press that did not go out ends the repeat.
// Nothing is read back and nothing is remembered.
class frmV_Key : public QDialog {
    Q_OBJECT

public:
    static constexpr int RepeatIntervalMs = 100;

    frmV_Key(platform::HostServices& host, session::Session& session, QWidget* parent = nullptr);
    ~frmV_Key() override;

    // Every way of closing ends here; a repeat must not outlive the window.
    void done(int result) override;

protected:
    // Key preview and the raw mouse presses of the hold buttons.
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
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
    void stopRepeat();
    void ButtonPressTimer_Timer();
    void sendRepeat();
    void repeatDone(uint64_t repeat, bool sent);

    session::Session& session_;
    QButtonGroup keys_;  // ids are rows of PanelKeys
    std::unique_ptr<platform::HostTimer> ButtonPressTimer;
    std::string_view RepeatCommand;
    bool holding_ = false;
    uint64_t repeats_ = 0;      // repeats asked for so far
    uint64_t waiting_ = 0;      // the repeat asked for and not yet done
    uint64_t outstanding_ = 0;  // ... as the session numbers its press
    bool tickPending_ = false;  // a tick fell due while it was on its way
};

}  // namespace tracebay::panel
