#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "options/frmOption.h"
#include "tests/mainwindow/MainWindowRig.h"

namespace tracebay::mainwindow {
namespace {

// The options dialog opened from the main window, worked by scheduled actions while it is open.
class OptionsFromTheWindow : public ::testing::Test, public MainWindowRig {
protected:
    void withOptions(const std::function<void(options::frmOption&)>& user) {
        host.after(5, [this, user] {
            auto* dialog = window->findChild<options::frmOption*>();
            ASSERT_NE(dialog, nullptr);
            ASSERT_TRUE(dialog->isVisible());
            user(*dialog);
        });
        click("FlatBtnUpload_2");
    }
    static void press(options::frmOption& dialog, const char* name) {
        QTest::mouseClick(dialog.findChild<QAbstractButton*>(name), Qt::LeftButton);
    }
    static QComboBox* portCombo(options::frmOption& dialog) {
        return dialog.findChild<QComboBox*>("PortCombo");
    }
    std::string saved(const char* key) {
        QSettings file(folder.filePath("TraceBay.conf"), QSettings::IniFormat);
        return file.value(QString("Kavlo TraceBay IO Settings/") + key).toString().toStdString();
    }
};

TEST_F(OptionsFromTheWindow, OkWhileConnectedDisconnectsOverTheLinkInUseThenTakesTheChoice) {
    start();
    ASSERT_TRUE(connectOverSerial());
    std::vector<std::string> overSerial, overUsb;
    face.onCommand = [&](const std::string& c) { overSerial.push_back(c); };
    device.onCommand = [&](const std::string& c) { overUsb.push_back(c); };
    withOptions([](options::frmOption& dialog) {
        press(dialog, "PortSelectOption_0");
        press(dialog, "cmdOK");
    });
    EXPECT_FALSE(connected());
    EXPECT_EQ(overSerial, std::vector<std::string>{":KEY:LOCK:ENABLE"})
        << "the key lock goes out over the link still connected";
    EXPECT_TRUE(overUsb.empty());
    EXPECT_EQ(window->linkOptions().IoType, 0);
    EXPECT_TRUE(host.messages().empty());
}

// OK during a slow connect leaves it alone: the connection it makes stays, the choice is for
// the next connect.
TEST_F(OptionsFromTheWindow, OkDuringAConnectLeavesItAlone) {
    start();
    faults.target = "*IDN?";
    faults.trickleMs = 20;
    host.after(300, [&] {
        session::LinkOptions usb;
        window->applyLinkOptions(usb);
    });
    EXPECT_TRUE(connectOverSerial());
    host.advance(1000);
    EXPECT_TRUE(connected());
    EXPECT_EQ(std::count(commands.begin(), commands.end(), ":KEY:LOCK:ENABLE"), 1)
        << "the connect's own, and no more";
    EXPECT_EQ(window->linkOptions().IoType, 0);
}

TEST_F(OptionsFromTheWindow, CancelKeepsTheConnectionAndTheSettings) {
    start();
    ASSERT_TRUE(connectOverSerial());
    withOptions([](options::frmOption& dialog) {
        press(dialog, "PortSelectOption_0");
        press(dialog, "cmdCancel");
    });
    EXPECT_TRUE(connected());
    EXPECT_EQ(window->linkOptions().IoType, 2);
}

TEST_F(OptionsFromTheWindow, AStoredPortNumberOtherThanOneOrTwoBecomesComOne) {
    for (const char* stored : {"5", "COMX"}) {
        storeSetting("Kavlo TraceBay IO Settings/COM_Port", stored);
        start();
        EXPECT_EQ(window->linkOptions().ComPort, std::string(stored) == "5" ? 5 : 0) << stored;
        std::string shown;
        withOptions([&](options::frmOption& dialog) {
            shown = portCombo(dialog)->currentText().toStdString();
            press(dialog, "cmdOK");
        });
        EXPECT_EQ(shown, "COM1") << stored;
        window->close();
        EXPECT_EQ(saved("COM_Port"), "1") << stored;
    }
}

TEST_F(OptionsFromTheWindow, AChosenDeviceIsKeptBetweenRunsUntilComOneIsChosen) {
    start();
    withOptions([](options::frmOption& dialog) {
        press(dialog, "PortSelectOption_2");
        portCombo(dialog)->lineEdit()->setText("/dev/ttyUSB7");
        press(dialog, "cmdOK");
    });
    window->close();
    EXPECT_EQ(saved("SerialDevice"), "/dev/ttyUSB7");
    EXPECT_EQ(saved("ScopeIOType"), "2");

    start();
    EXPECT_EQ(window->linkOptions().SerialDevice, "/dev/ttyUSB7");
    withOptions([](options::frmOption& dialog) {
        EXPECT_EQ(portCombo(dialog)->currentText(), "/dev/ttyUSB7");
        portCombo(dialog)->setCurrentIndex(portCombo(dialog)->findText("COM1"));
        press(dialog, "cmdOK");
    });
    EXPECT_EQ(window->linkOptions().SerialDevice, "");
    window->close();
    EXPECT_EQ(saved("SerialDevice"), "");
}

}  // namespace
}  // namespace tracebay::mainwindow
