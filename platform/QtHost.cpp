#include "platform/QtHost.h"

#include <QCoreApplication>
#include <QDialog>
#include <QMessageBox>
#include <QThread>

namespace tracebay::platform {
namespace {

// A QTimer does not re-enter its own handler: Qt never activates a timer whose previous
// activation is still running.
class QtTimer : public HostTimer {
public:
    QtTimer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
    }

    void setInterval(int ms) override {
        timer_.setInterval(ms);
        if (timer_.isActive()) timer_.start();
    }
    int interval() const override { return timer_.interval(); }
    void setEnabled(bool enabled) override {
        if (enabled)
            timer_.start();
        else
            timer_.stop();
    }
    bool enabled() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

}  // namespace

std::unique_ptr<QMessageBox> messageBox(const std::string& text, const std::string& caption,
                                        MessageIcon icon) {
    QString lines = QString::fromStdString(text);
    for (const char* pair : {"\r\n", "\n\r"})
        lines.replace(QLatin1String(pair), QStringLiteral("\n"));
    lines.replace('\r', '\n');
    auto box = std::make_unique<QMessageBox>(
        icon == MessageIcon::Question ? QMessageBox::Question : QMessageBox::Warning,
        QString::fromStdString(caption), QString(), QMessageBox::Ok);
    box->setTextFormat(Qt::PlainText);
    box->setText(lines);
    return box;
}

QtHost::QtHost() {
    replyTick_.setInterval(ReplyTickMs);
    QObject::connect(&replyTick_, &QTimer::timeout, [this] {
        if (tickHandler_) tickHandler_();
    });
}

void QtHost::processEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtHost::awaitEvents() { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }

void QtHost::sleepMs(int ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

void QtHost::showMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    if (sink_) {
        sink_(text, caption);
        return;
    }
    messageBox(text, caption, icon)->exec();
}

void QtHost::setReplyTickHandler(std::function<void()> handler) {
    tickHandler_ = std::move(handler);
    if (tickHandler_)
        replyTick_.start();
    else
        replyTick_.stop();
}

std::unique_ptr<HostTimer> QtHost::createTimer() { return std::make_unique<QtTimer>(); }

int QtHost::runModal(QDialog& dialog) { return dialog.exec(); }

}  // namespace tracebay::platform
