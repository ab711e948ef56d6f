#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

#include "platform/HostServices.h"

class QMessageBox;

namespace tracebay::platform {

// The modal box a message is shown in. Its text is shown as it stands, never as markup: it may
// hold what an instrument or a file name said. A "\r" (or "\n", "\r\n", "\n\r") starts a new line.
std::unique_ptr<QMessageBox> messageBox(const std::string& text, const std::string& caption,
                                        MessageIcon icon);

// Host services on a running Qt application. Messages are modal boxes unless a message sink is
// set (the command-line tool prints them instead); once the program ends, they go to standard
// error.
class QtHost : public HostServices {
public:
    using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;

    QtHost();

    void processEvents() override;
    void awaitEvents() override;
    void sleepMs(int ms) override;
    std::chrono::system_clock::time_point wallClock() const override {
        return std::chrono::system_clock::now();
    }
    void showMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;
    void setReplyTickHandler(std::function<void()> handler) override;
    std::unique_ptr<HostTimer> createTimer() override;
    int runModal(QDialog& dialog) override;
    void endModals() override;

    void setMessageSink(MessageSink sink) { sink_ = std::move(sink); }

protected:
    void postToEventLoop(std::function<void()> work) override;

private:
    // Shows `dialog` modally, unless the program ends.
    int execModal(QDialog& dialog);

    QObject context_;
    QTimer replyTick_;
    std::function<void()> tickHandler_;
    MessageSink sink_;
    std::vector<QPointer<QDialog>> open_;
    bool ending_ = false;
};

}  // namespace tracebay::platform
