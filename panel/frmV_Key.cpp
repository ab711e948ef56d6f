#include "panel/frmV_Key.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyle>

#include "panel/KeyButton.h"
#include "panel/PanelLayout.h"

namespace tracebay::panel {
namespace {

using platform::toPixels;
using platform::twipsToPixels;

constexpr int TextPixels = 11;  // the panel's 8-point face at 96 dots per inch
constexpr int TitleGap = 2;     // room cleared around a group title where it crosses its outline
const QColor PanelGrey(214, 214, 210);
const QColor OutlineShadow(150, 150, 146);
const QColor OutlineLight(250, 250, 248);

QString qt(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string_view keyOf(int id) { return acquisition::KeyNames[static_cast<size_t>(id)]; }

QString toolTipOf(int id) {
    const QString command = qt(KeyPrefix) + qt(keyOf(id));
    if (!PanelKeys[static_cast<size_t>(id)].repeats) return command;
    return command + QStringLiteral(", repeated while held");
}

// Tahoma where it is installed; otherwise the desktop's sans-serif face.
QFont panelFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(TextPixels);
    return font;
}

}  // namespace

frmV_Key::frmV_Key(platform::HostServices& host, session::Session& session, QWidget* parent)
    : QDialog(parent), session_(session), ButtonPressTimer(host.createTimer()) {
    setupWindow();
    setupLabels();
    setupKeys();
    ButtonPressTimer->setInterval(RepeatIntervalMs);
    ButtonPressTimer->setEnabled(false);
    ButtonPressTimer->setHandler([this] { ButtonPressTimer_Timer(); });
}

frmV_Key::~frmV_Key() = default;

void frmV_Key::setupWindow() {
    setObjectName(QStringLiteral("frmV_Key"));
    setWindowTitle(QStringLiteral("Virtual Keyboard"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(PanelWidthTwips), twipsToPixels(PanelHeightTwips));
    setModal(true);
    setFont(panelFont());
    QPalette shade = palette();
    shade.setColor(QPalette::Window, PanelGrey);
    setPalette(shade);
    centreOnScreen();
}

void frmV_Key::setupLabels() {
    for (const PanelLabel& entry : PanelLabels) {
        auto* label = new QLabel(qt(entry.text), this);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        int margin = 0;
        if (entry.style == LabelStyle::GroupTitle) {
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
            // The title's own background breaks the outline it sits on.
            label->setAutoFillBackground(true);
            margin = TitleGap;
            label->setContentsMargins(margin, 0, margin, 0);
        }
        label->adjustSize();
        const int left = twipsToPixels(entry.left);
        label->move(entry.centred ? left - label->width() / 2 : left - margin,
                    twipsToPixels(entry.top));
    }
}

void frmV_Key::setupKeys() {
    for (int id = 0; id < static_cast<int>(PanelKeys.size()); ++id) {
        const PanelKey& key = PanelKeys[id];
        auto* button = new KeyButton(key.face, this);
        button->setObjectName(qt(key.name));
        button->setText(qt(key.caption));
        button->setToolTip(toolTipOf(id));
        button->setGeometry(toPixels(key.place));
        button->installEventFilter(this);
        keys_.addButton(button, id);
    }
    connect(&keys_, &QButtonGroup::idClicked, this, &frmV_Key::onKeyClicked);
}

// The client area in the middle of the screen the window opens on.
void frmV_Key::centreOnScreen() {
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

void frmV_Key::done(int result) {
    stopRepeat();
    QDialog::done(result);
}

// A box or another window that comes up takes the mouse, and its release with it.
bool frmV_Key::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) stopRepeat();
    return QDialog::event(event);
}

bool frmV_Key::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    // A repeat runs from the press of any mouse button to its release, wherever the pointer
    // goes meanwhile. The button's own pressed and released signals serve the left button only
    // and follow the pointer off and back onto the button, so the raw events decide.
    const int id = keys_.id(qobject_cast<QAbstractButton*>(watched));
    if (id >= 0 && isHoldKey(id)) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: onHoldPressed(id); break;
            case QEvent::MouseButtonRelease: stopRepeat(); break;
            default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmV_Key::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setBrush(Qt::NoBrush);
    for (const platform::TwipRect& outline : GroupOutlines) {
        const QRect box = toPixels(outline).adjusted(0, 0, -2, -2);
        painter.setPen(OutlineLight);
        painter.drawRect(box.translated(1, 1));
        painter.setPen(OutlineShadow);
        painter.drawRect(box);
    }
}

bool frmV_Key::isHoldKey(int id) const { return PanelKeys[static_cast<size_t>(id)].repeats; }

void frmV_Key::onKeyClicked(int id) { session_.pressKey(keyOf(id)); }

// Nothing is sent at the press: a press shorter than one interval sends only its click.
void frmV_Key::onHoldPressed(int id) {
    RepeatCommand = keyOf(id);
    holding_ = true;
    tickPending_ = false;
    ButtonPressTimer->setEnabled(true);
}

// A repeat asked for and not gone out yet is withdrawn: after the release only its click goes.
void frmV_Key::stopRepeat() {
    holding_ = false;
    tickPending_ = false;
    ButtonPressTimer->setEnabled(false);
    if (outstanding_ != 0) session_.withdrawKey(outstanding_);
    outstanding_ = 0;
    waiting_ = 0;
}

// While a repeat is on its way, a tick that falls due waits for it and follows at once.
void frmV_Key::ButtonPressTimer_Timer() {
    if (!holding_ || QGuiApplication::mouseButtons() == Qt::NoButton) {
        stopRepeat();
        return;
    }
    if (waiting_ != 0)
        tickPending_ = true;
    else
        sendRepeat();
}

void frmV_Key::sendRepeat() {
    const uint64_t repeat = ++repeats_;
    waiting_ = repeat;
    const QPointer<frmV_Key> self(this);
    const uint64_t press = session_.pressKey(RepeatCommand, [self, repeat](bool sent) {
        if (self) self->repeatDone(repeat, sent);
    });
    // A session on this thread may have sent it already.
    if (waiting_ == repeat) outstanding_ = press;
}

void frmV_Key::repeatDone(uint64_t repeat, bool sent) {
    if (repeat != waiting_) return;
    waiting_ = 0;
    outstanding_ = 0;
    if (!sent) {
        stopRepeat();
    } else if (tickPending_ && holding_) {
        tickPending_ = false;
        sendRepeat();
    }
}

}  // namespace tracebay::panel
