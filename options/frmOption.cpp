#include "options/frmOption.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>

#include "platform/SerialLineSettings.h"
#include "platform/Twips.h"

namespace tracebay::options {
namespace {

constexpr int UsbId = 0;
constexpr int Rs232Id = 2;
constexpr int ListedComPorts = 2;  // "COM1" and "COM2" lead the port list
constexpr const char* BaudRates[] = {"300", "2400", "4800", "9600", "19200", "38400"};

using Twips = platform::TwipRect;

// Control places in twips, relative to their container.
constexpr Twips ClientArea{0, 0, 4800, 2880};
constexpr Twips IoSelectionPlace{120, 90, 4560, 720};
constexpr Twips UsbPlace{240, 300, 1215, 285};
constexpr Twips Rs232Place{1560, 300, 1215, 285};
constexpr Twips Rs232SettingPlace{120, 915, 4560, 1320};
constexpr Twips PortLabelPlace{240, 330, 1215, 330};
constexpr Twips PortComboPlace{1560, 330, 2835, 330};
constexpr Twips BaudLabelPlace{240, 795, 1215, 330};
constexpr Twips BaudComboPlace{1560, 795, 2835, 330};
constexpr Twips OkPlace{2040, 2385, 1215, 375};
constexpr Twips CancelPlace{3465, 2385, 1215, 375};

template <typename Control, typename... Args>
Control* addControl(QWidget* container, const char* name, Twips place, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)..., container);
    control->setObjectName(name);
    control->setGeometry(platform::toPixels(place));
    return control;
}

QString comPortName(int comPort) { return QStringLiteral("COM%1").arg(comPort); }

QString comPortDevice(int comPort) {
    return QString::fromStdString(platform::portDeviceName(comPort, ""));
}

QString portComboToolTip() {
    QString tip = "Choose a port from the list, or type the path of any serial device";
    if (comPortDevice(1) != comPortName(1))
        tip += QStringLiteral(" (COM1 is %1, COM2 is %2)").arg(comPortDevice(1), comPortDevice(2));
    return tip;
}

QString choiceText(const SerialPortChoice& port) {
    const auto path = QString::fromStdString(port.path);
    if (port.description.empty()) return path;
    return QStringLiteral("%1  (%2)").arg(path, QString::fromStdString(port.description));
}

}  // namespace

frmOption::frmOption(const IoOptions& current, const std::vector<SerialPortChoice>& ports,
                     QWidget* parent)
    : QDialog(parent), values_(current) {
    createControls();
    loadIoSelection();
    loadPortCombo(ports);
    loadBaudCombo();
}

void frmOption::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) centreOnScreen();
    QDialog::showEvent(event);
}

void frmOption::createControls() {
    setObjectName("frmOption");
    setWindowTitle("Options");
    setModal(true);
    setFixedSize(platform::toPixels(ClientArea).size());

    auto* ioSelection = addControl<QGroupBox>(this, "fraSample2", IoSelectionPlace, "IO Selection");
    portSelectOption_ = new QButtonGroup(this);
    portSelectOption_->addButton(
        addControl<QRadioButton>(ioSelection, "PortSelectOption_0", UsbPlace, "USB"), UsbId);
    portSelectOption_->addButton(
        addControl<QRadioButton>(ioSelection, "PortSelectOption_2", Rs232Place, "RS232"), Rs232Id);

    auto* rs232Setting = addControl<QGroupBox>(this, "Frame2", Rs232SettingPlace, "RS232 Setting");
    addControl<QLabel>(rs232Setting, "Label2", PortLabelPlace, "RS232 Port");
    portCombo_ = addControl<QComboBox>(rs232Setting, "PortCombo", PortComboPlace);
    addControl<QLabel>(rs232Setting, "Label3", BaudLabelPlace, "Baud Rate");
    baudCombo_ = addControl<QComboBox>(rs232Setting, "BaudCombo", BaudComboPlace);
    for (auto* combo : {portCombo_, baudCombo_}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    // Typed text is taken as it stands: no completion may lengthen a baud rate or a path
    // ("/dev/ttyUSB1" into "/dev/ttyUSB10").
    baudCombo_->setCompleter(nullptr);
    portCombo_->setCompleter(nullptr);
    portCombo_->setToolTip(portComboToolTip());

    auto* ok = addControl<QPushButton>(this, "cmdOK", OkPlace, "OK");
    ok->setDefault(true);
    auto* cancel = addControl<QPushButton>(this, "cmdCancel", CancelPlace, "Cancel");

    connect(ok, &QPushButton::clicked, this, &frmOption::cmdOKClick);
    connect(cancel, &QPushButton::clicked, this, &frmOption::cmdCancelClick);
    connect(portCombo_, &QComboBox::activated, this, &frmOption::portComboActivated);
}

void frmOption::loadIoSelection() {
    portSelectOption_->button(values_.IoType == Rs232Id ? Rs232Id : UsbId)->setChecked(true);
}

void frmOption::loadPortCombo(const std::vector<SerialPortChoice>& ports) {
    portCombo_->clear();
    for (int comPort = 1; comPort <= ListedComPorts; ++comPort) {
        portCombo_->addItem(comPortName(comPort));
        if (comPortDevice(comPort) != comPortName(comPort))
            portCombo_->setItemData(comPort - 1, comPortDevice(comPort), Qt::ToolTipRole);
    }
    for (const auto& port : ports)
        portCombo_->addItem(choiceText(port), QString::fromStdString(port.path));
    // The list may be far wider than the field; the drop-down shows whole names.
    portCombo_->view()->setMinimumWidth(portCombo_->view()->sizeHintForColumn(0) + 8);

    if (values_.ComPort != 1 && values_.ComPort != 2) values_.ComPort = 1;
    portCombo_->setCurrentIndex(values_.ComPort - 1);
    if (values_.SerialDevice.empty()) return;

    const auto device = QString::fromStdString(values_.SerialDevice);
    int item = portCombo_->findData(device);
    if (item < ListedComPorts) {
        portCombo_->addItem(device, device);
        item = portCombo_->count() - 1;
    }
    portCombo_->setCurrentIndex(item);
    showPath(device);
}

void frmOption::loadBaudCombo() {
    baudCombo_->clear();
    for (const char* rate : BaudRates) baudCombo_->addItem(rate);
    const auto baud = QString::fromStdString(values_.BaudRate);
    baudCombo_->setCurrentIndex(baudCombo_->findText(baud));
    baudCombo_->setEditText(baud);
}

// Done as the window is shown, when the platform knows its frame: the whole window is centred,
// border included.
void frmOption::centreOnScreen() {
    const QRect screenArea = screen()->geometry();
    const QSize outer = frameGeometry().size();
    move(screenArea.x() + (screenArea.width() - outer.width()) / 2,
         screenArea.y() + (screenArea.height() - outer.height()) / 2);
}

void frmOption::portComboActivated(int index) {
    const auto path = portCombo_->itemData(index).toString();
    if (!path.isEmpty()) showPath(path);
}

// A long path reads from its start, like the list above it.
void frmOption::showPath(const QString& path) {
    portCombo_->setEditText(path);
    portCombo_->lineEdit()->setCursorPosition(0);
}

void frmOption::cmdOKClick() {
    values_.IoType = portSelectOption_->checkedId() == Rs232Id ? Rs232Id : UsbId;
    readPortChoice();
    values_.BaudRate = baudCombo_->currentText().toStdString();
    accept();
}

void frmOption::cmdCancelClick() { reject(); }

// COM1 and COM2 set the port number and clear the device; a listed port or a typed path sets
// the device and keeps the number. An emptied field changes nothing.
void frmOption::readPortChoice() {
    const QString text = portCombo_->currentText().trimmed();
    if (text.isEmpty()) return;
    // "com2" typed by hand is COM2, not a device path of that name.
    const int com = portCombo_->findText(text, Qt::MatchFixedString);
    if (com >= 0 && com < ListedComPorts) {
        values_.ComPort = com + 1;
        values_.SerialDevice.clear();
        return;
    }
    const int item = portCombo_->findText(text);
    const QString path = item >= 0 ? portCombo_->itemData(item).toString() : text;
    values_.SerialDevice = path.toStdString();
}

}  // namespace tracebay::options
