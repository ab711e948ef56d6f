#include "options/frmOption.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <memory>
#include <stdexcept>

#include "platform/SerialLineSettings.h"
#include "platform/VirtualHost.h"

namespace tracebay::options {

void PrintTo(const IoOptions& options, std::ostream* out) {
    *out << "{IoType " << options.IoType << ", ComPort " << options.ComPort << ", BaudRate \""
         << options.BaudRate << "\", SerialDevice \"" << options.SerialDevice << "\"}";
}

namespace {

const std::string Adapter = "/dev/serial/by-id/usb-Maker_Adapter_A1-if00-port0";
const std::string Modem = "/dev/ttyACM0";
const std::vector<SerialPortChoice> Ports{{Adapter, "USB serial adapter"}, {Modem, ""}};

// Opens the dialog and works it as a user would: clicks, choices from drop-down lists, typing.
class DialogUser {
protected:
    frmOption& create(const IoOptions& current) {
        dialog_ = std::make_unique<frmOption>(current, Ports);
        return *dialog_;
    }
    frmOption& open(const IoOptions& current) {
        create(current).show();
        return *dialog_;
    }

    template <typename Control>
    Control& control(const char* name) {
        auto* found = dialog_->findChild<Control*>(name);
        if (!found) throw std::logic_error(std::string("no control ") + name);
        return *found;
    }

    void click(const char* button) {
        QTest::mouseClick(&control<QPushButton>(button), Qt::LeftButton);
    }
    void select(const char* option) {
        auto& button = control<QRadioButton>(option);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(6, button.height() / 2));
    }
    void choose(const char* comboName, const std::string& itemText) {
        auto& combo = control<QComboBox>(comboName);
        const int item = combo.findText(QString::fromStdString(itemText));
        ASSERT_GE(item, 0) << itemText;
        combo.showPopup();
        auto* list = combo.view();
        const QRect place = list->visualRect(list->model()->index(item, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
        ASSERT_FALSE(list->isVisible());
    }
    void type(const char* comboName, const std::string& text) {
        QLineEdit* field = control<QComboBox>(comboName).lineEdit();
        // Into the field first, as a user would: completion acts only where the focus is.
        dialog_->activateWindow();
        QCoreApplication::processEvents();
        QTest::mouseClick(field, Qt::LeftButton);
        EXPECT_TRUE(field->hasFocus());
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, QString::fromStdString(text));
    }
    std::string shown(const char* comboName) {
        return control<QComboBox>(comboName).currentText().toStdString();
    }

    std::unique_ptr<frmOption> dialog_;
};

class OptionsDialog : public ::testing::Test, public DialogUser {};

struct IoTypeCase {
    int stored;
    bool rs232Shown;
    int afterOk;
};

void PrintTo(const IoTypeCase& row, std::ostream* out) { *out << "IoType " << row.stored; }

class IoTypeAtOpen : public ::testing::TestWithParam<IoTypeCase>, public DialogUser {};

TEST_P(IoTypeAtOpen, SelectsRs232OnlyForTwoAndOkGivesTheSelectedTransport) {
    const auto [stored, rs232Shown, afterOk] = GetParam();
    open({stored, 1, "9600", ""});
    EXPECT_EQ(control<QRadioButton>("PortSelectOption_2").isChecked(), rs232Shown);
    EXPECT_EQ(control<QRadioButton>("PortSelectOption_0").isChecked(), !rs232Shown);
    click("cmdOK");
    EXPECT_EQ(dialog_->values().IoType, afterOk);
}

INSTANTIATE_TEST_SUITE_P(Stored, IoTypeAtOpen,
                         ::testing::Values(IoTypeCase{0, false, 0}, IoTypeCase{1, false, 0},
                                           IoTypeCase{2, true, 2}, IoTypeCase{-1, false, 0}));

struct ComPortCase {
    int stored;
    std::string shown;
    int corrected;
};

void PrintTo(const ComPortCase& row, std::ostream* out) { *out << "COM_Port " << row.stored; }

class ComPortAtOpen : public ::testing::TestWithParam<ComPortCase>, public DialogUser {};

TEST_P(ComPortAtOpen, ShowsComOneForAnyNumberButTwoAndOkKeepsTheCorrection) {
    const auto& [stored, shownText, corrected] = GetParam();
    open({0, stored, "9600", ""});
    EXPECT_EQ(shown("PortCombo"), shownText);
    EXPECT_EQ(dialog_->values().ComPort, corrected);
    click("cmdOK");
    EXPECT_EQ(dialog_->values().ComPort, corrected);
}

INSTANTIATE_TEST_SUITE_P(Stored, ComPortAtOpen,
                         ::testing::Values(ComPortCase{1, "COM1", 1}, ComPortCase{2, "COM2", 2},
                                           ComPortCase{5, "COM1", 1}, ComPortCase{0, "COM1", 1}));

TEST_F(OptionsDialog, OkReturnsTheChosenTransportPortAndBaudRate) {
    platform::VirtualHost host;
    create({});
    host.after(1, [&] {
        select("PortSelectOption_2");
        choose("PortCombo", "COM2");
        choose("BaudCombo", "19200");
        click("cmdOK");
    });
    EXPECT_EQ(host.runModal(*dialog_), QDialog::Accepted);
    EXPECT_EQ(dialog_->values(), (IoOptions{2, 2, "19200", ""}));
}

TEST_F(OptionsDialog, CancelLeavesTheValuesAsLoaded) {
    platform::VirtualHost host;
    create({2, 5, "4800", Modem});
    host.after(1, [&] {
        select("PortSelectOption_0");
        choose("PortCombo", "COM2");
        type("BaudCombo", "38400");
        click("cmdCancel");
    });
    EXPECT_EQ(host.runModal(*dialog_), QDialog::Rejected);
    EXPECT_EQ(dialog_->values(), (IoOptions{2, 1, "4800", Modem}));
}

class TypedBaudRate : public ::testing::TestWithParam<std::string>, public DialogUser {};

TEST_P(TypedBaudRate, IsTakenAsItStands) {
    open({});
    type("BaudCombo", GetParam());
    click("cmdOK");
    EXPECT_EQ(dialog_->values().BaudRate, GetParam());
}

// "1" and "4" begin listed rates: nothing may complete them.
INSTANTIATE_TEST_SUITE_P(Texts, TypedBaudRate,
                         ::testing::Values("115200", "1", "4", "fast", " 9600 baud"));

TEST_F(OptionsDialog, ListsTheSixRatesAndShowsTheStoredBaudTextAsItStands) {
    open({0, 1, "fast", ""});
    auto& baud = control<QComboBox>("BaudCombo");
    QStringList rates;
    for (int i = 0; i < baud.count(); ++i) rates << baud.itemText(i);
    EXPECT_EQ(rates, QStringList({"300", "2400", "4800", "9600", "19200", "38400"}));
    EXPECT_EQ(shown("BaudCombo"), "fast");
    click("cmdOK");
    EXPECT_EQ(dialog_->values().BaudRate, "fast");
}

TEST_F(OptionsDialog, ListsComOneAndTwoFirstThenTheSystemPortsWithTheirDescriptions) {
    open({});
    auto& ports = control<QComboBox>("PortCombo");
    QStringList items;
    for (int i = 0; i < ports.count(); ++i) items << ports.itemText(i);
    EXPECT_EQ(items, QStringList({"COM1", "COM2",
                                  QString::fromStdString(Adapter) + "  (USB serial adapter)",
                                  QString::fromStdString(Modem)}));
    const auto com2Device = QString::fromStdString(platform::portDeviceName(2, ""));
    if (com2Device != "COM2") {
        EXPECT_EQ(ports.itemData(1, Qt::ToolTipRole), com2Device);
    }
}

// With its description or without one, when the list shows its path alone.
TEST_F(OptionsDialog, AListedPortBecomesTheDeviceAndKeepsThePortNumber) {
    for (const auto& [item, device] :
         {std::pair{Adapter + "  (USB serial adapter)", Adapter}, std::pair{Modem, Modem}}) {
        open({0, 2, "9600", ""});
        choose("PortCombo", item);
        EXPECT_EQ(shown("PortCombo"), device);
        click("cmdOK");
        EXPECT_EQ(dialog_->values(), (IoOptions{0, 2, "9600", device}));
    }
}

TEST_F(OptionsDialog, ComOneChosenAfterADeviceClearsTheDevice) {
    open({0, 2, "9600", Adapter});
    choose("PortCombo", "COM1");
    click("cmdOK");
    EXPECT_EQ(dialog_->values(), (IoOptions{0, 1, "9600", ""}));
}

struct TypedPortCase {
    std::string typed;
    int comPort;
    std::string device;
};

void PrintTo(const TypedPortCase& row, std::ostream* out) { *out << '"' << row.typed << '"'; }

class TypedPort : public ::testing::TestWithParam<TypedPortCase>, public DialogUser {};

TEST_P(TypedPort, PathBecomesTheDeviceComNameTheNumberAndAnEmptyFieldChangesNothing) {
    const auto& [typed, comPort, device] = GetParam();
    open({0, 2, "9600", "/dev/ttyUSB3"});
    type("PortCombo", typed);
    click("cmdOK");
    EXPECT_EQ(dialog_->values(), (IoOptions{0, comPort, "9600", device}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedPort,
    ::testing::Values(TypedPortCase{"/tmp/sim-link", 2, "/tmp/sim-link"},
                      TypedPortCase{" /dev/ttyUSB7 ", 2, "/dev/ttyUSB7"},
                      TypedPortCase{"/dev/ttyACM", 2, "/dev/ttyACM"}, TypedPortCase{"COM1", 1, ""},
                      TypedPortCase{"com1", 1, ""}, TypedPortCase{"Com2", 2, ""},
                      TypedPortCase{Adapter + "  (USB serial adapter)", 2, Adapter},
                      TypedPortCase{"", 2, "/dev/ttyUSB3"}));

class CurrentDevice : public ::testing::TestWithParam<std::string>, public DialogUser {};

TEST_P(CurrentDevice, IsShownAtOpenAndListedOnce) {
    const std::string device = GetParam();
    open({0, 2, "9600", device});
    auto& ports = control<QComboBox>("PortCombo");
    EXPECT_EQ(shown("PortCombo"), device);
    EXPECT_EQ(ports.findData(QString::fromStdString(device)), ports.currentIndex());
    EXPECT_EQ(ports.count(), device == Adapter ? 4 : 5);
    click("cmdOK");
    EXPECT_EQ(dialog_->values(), (IoOptions{0, 2, "9600", device}));
}

INSTANTIATE_TEST_SUITE_P(Devices, CurrentDevice, ::testing::Values(Adapter, "/dev/ttyUSB9"));

struct ControlCase {
    const char* name;
    const char* container;
    const char* property;
    const char* caption;
};

TEST_F(OptionsDialog, EveryControlCarriesItsNameAndCaption) {
    open({});
    EXPECT_EQ(dialog_->objectName(), "frmOption");
    EXPECT_EQ(dialog_->windowTitle(), "Options");
    const ControlCase controls[] = {
        {"fraSample2", "frmOption", "title", "IO Selection"},
        {"PortSelectOption_0", "fraSample2", "text", "USB"},
        {"PortSelectOption_2", "fraSample2", "text", "RS232"},
        {"Frame2", "frmOption", "title", "RS232 Setting"},
        {"Label2", "Frame2", "text", "RS232 Port"},
        {"PortCombo", "Frame2", "editable", "true"},
        {"Label3", "Frame2", "text", "Baud Rate"},
        {"BaudCombo", "Frame2", "editable", "true"},
        {"cmdOK", "frmOption", "text", "OK"},
        {"cmdCancel", "frmOption", "text", "Cancel"},
    };
    for (const auto& [name, container, property, caption] : controls) {
        SCOPED_TRACE(name);
        auto& widget = control<QWidget>(name);
        EXPECT_EQ(widget.parentWidget()->objectName(), container);
        EXPECT_EQ(widget.property(property).toString(), caption);
        EXPECT_TRUE(widget.isVisible());
    }
}

TEST_F(OptionsDialog, IsModalOfFixedSizeAndCentredOnTheScreen) {
    open({});
    EXPECT_TRUE(dialog_->isModal());
    EXPECT_EQ(dialog_->minimumSize(), dialog_->maximumSize());
    const QRect screen = dialog_->screen()->geometry();
    const QRect frame = dialog_->frameGeometry();
    EXPECT_EQ(frame.left() - screen.left(), (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.top() - screen.top(), (screen.height() - frame.height()) / 2);
}

}  // namespace
}  // namespace tracebay::options
