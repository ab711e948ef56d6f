#include "platform/QtHost.h"

#include <QCoreApplication>
#include <QDialog>
#include <QMessageBox>
#include <QThread>

#include <iostream>

#include "platform/EscapedText.h"

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
    if (ending_) {
        std::cerr << caption << ": " << escapeControls(text) << std::endl;
        return;
    }
    execModal(*messageBox(text, caption, icon));
}

void QtHost::setReplyTickHandler(std::function<void()> handler) {
    tickHandler_ = std::move(handler);
    if (tickHandler_)
        replyTick_.start();
    else
        replyTick_.stop();
}

std::unique_ptr<HostTimer> QtHost::createTimer() { return std::make_unique<QtTimer>(); }

int QtHost::runModal(QDialog& dialog) {
    return ending_ ? static_cast<int>(QDialog::Rejected) : execModal(dialog);
}

int QtHost::execModal(QDialog& dialog) {
    const ModalScope open(*this);
    open_.emplace_back(&dialog);
    const int result = dialog.exec();
    open_.pop_back();
    return result;
}

// A box with OK alone takes OK for its Escape: rejecting it answers OK.
void QtHost::endModals() {
    ending_ = true;
    for (const QPointer<QDialog>& dialog : open_)
        if (dialog) dialog->reject();
}

void QtHost::postToEventLoop(std::function<void()> work) {
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
}

}  // namespace tracebay::platform
