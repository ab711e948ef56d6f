#include "platform/QtHost.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

namespace tracebay::platform {

QtHost::QtHost() {
    replyTick_.setInterval(ReplyTickMs);
    QObject::connect(&replyTick_, &QTimer::timeout, [this] {
        if (tickHandler_) tickHandler_();
    });
}

void QtHost::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Waits pump in a loop; give the processor back between rounds instead of spinning.
    QThread::msleep(1);
}

void QtHost::sleepMs(int ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

void QtHost::showMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    if (sink_) {
        sink_(text, caption);
        return;
    }
    QMessageBox box(icon == MessageIcon::Question ? QMessageBox::Question : QMessageBox::Warning,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

void QtHost::setReplyTickHandler(std::function<void()> handler) {
    tickHandler_ = std::move(handler);
    if (tickHandler_)
        replyTick_.start();
    else
        replyTick_.stop();
}

}  // namespace tracebay::platform
