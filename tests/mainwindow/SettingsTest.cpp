#include "mainwindow/ProgramSettings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tracebay::mainwindow {
namespace {

namespace Keys = platform::Settings;

// The settings file of one test, and the values the program holds as it starts.
class SettingsFile : public ::testing::Test {
protected:
    SettingsFile() { link.ComPort = 0; }

    void store(const platform::SettingKey& key, const char* value) {
        qsettings.setValue(QString::fromUtf8(key.section.data(), key.section.size()) + '/' +
                               QString::fromUtf8(key.name.data(), key.name.size()),
                           value);
    }
    ProgramSettings held() { return {link, ticked, gpib}; }

    QTemporaryDir folder;
    QSettings qsettings{folder.filePath("TraceBay.conf"), QSettings::IniFormat};
    platform::SettingsStore settings{qsettings};
    session::LinkOptions link;
    acquisition::Sources ticked;
    int32_t gpib = 0;
};

TEST_F(SettingsFile, AFirstRunTakesTheDefaults) {
    LoadSettings(settings, held());
    EXPECT_EQ(link.IoType, 0);
    EXPECT_EQ(link.ComPort, 1);
    EXPECT_EQ(link.BaudRate, "9600");
    EXPECT_EQ(link.SerialDevice, "");
    EXPECT_EQ(gpib, 7);
    EXPECT_EQ(ticked, (acquisition::Sources{true, false, false, false}));
}

TEST_F(SettingsFile, AValueThatDoesNotConvertIsSkippedAndTheRestAreRead) {
    store(Keys::ComPort, "COM3");
    store(Keys::ScopeIOType, "2");
    store(Keys::IsDispCH1Wave, "maybe");
    store(Keys::IsDispCH2Wave, "-1");
    store(Keys::BaudRate, "fast");
    LoadSettings(settings, held());
    EXPECT_EQ(link.ComPort, 0) << "what it held at start";
    EXPECT_EQ(link.IoType, 2);
    EXPECT_FALSE(ticked.ch1) << "what it held at start";
    EXPECT_TRUE(ticked.ch2);
    EXPECT_EQ(link.BaudRate, "fast") << "any baud text is kept";
}

// A file edited by hand: a value with a comma is one text, not a list, and is written back so.
TEST(HandEditedSettings, AValueWithACommaIsReadAndWrittenAsItsText) {
    QTemporaryDir folder;
    const QString path = folder.filePath("TraceBay.conf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Kavlo%20TraceBay%20IO%20Settings]\nBaudRate=19200, 8\n");
    file.close();
    QSettings qsettings(path, QSettings::IniFormat);
    platform::SettingsStore store(qsettings);
    EXPECT_EQ(store.read(Keys::BaudRate), "19200, 8");
    session::LinkOptions link;
    acquisition::Sources ticked;
    int32_t gpib = 0;
    LoadSettings(store, {link, ticked, gpib});
    SaveSettings(store, {link, ticked, gpib});
    store.sync();
    QSettings again(path, QSettings::IniFormat);
    EXPECT_EQ(platform::SettingsStore(again).read(Keys::BaudRate), "19200, 8");
}

TEST_F(SettingsFile, EveryValueIsWrittenAsTextAndReadBack) {
    link.IoType = 2;
    link.ComPort = 2;
    link.BaudRate = "38400";
    link.SerialDevice = "/dev/serial/by-id/usb-adapter";
    gpib = 12;
    ticked = {false, false, true, true};
    SaveSettings(settings, held());
    qsettings.sync();
    QSettings file(folder.filePath("TraceBay.conf"), QSettings::IniFormat);
    EXPECT_EQ(file.value("Kavlo TraceBay IO Settings/ScopeIOType").toString(), "2");
    EXPECT_EQ(file.value("Kavlo TraceBay IO Settings/SerialDevice").toString(),
              "/dev/serial/by-id/usb-adapter");
    EXPECT_EQ(file.value("Kavlo TraceBay Disp Wave/IsDispCH1Wave").toString(), "False");
    EXPECT_EQ(file.value("Kavlo TraceBay Disp Wave/IsDispLAWave").toString(), "True");

    session::LinkOptions restored;
    acquisition::Sources restoredTicks;
    int32_t restoredGpib = 0;
    platform::SettingsStore again(file);
    LoadSettings(again, {restored, restoredTicks, restoredGpib});
    EXPECT_EQ(restored.IoType, 2);
    EXPECT_EQ(restored.ComPort, 2);
    EXPECT_EQ(restored.BaudRate, "38400");
    EXPECT_EQ(restored.SerialDevice, "/dev/serial/by-id/usb-adapter");
    EXPECT_EQ(restoredGpib, 12);
    EXPECT_EQ(restoredTicks, ticked);
}

TEST_F(SettingsFile, ARunWithoutItsOwnTransportLeavesTheStoredOneAlone) {
    store(Keys::ScopeIOType, "0");
    store(Keys::SerialDevice, "/dev/ttyUSB0");
    link.IoType = 2;
    link.SerialDevice = "/dev/pts/7";
    ticked.ch2 = true;
    SaveSettings(settings, held(), false);
    EXPECT_EQ(settings.read(Keys::ScopeIOType), "0");
    EXPECT_EQ(settings.read(Keys::SerialDevice), "/dev/ttyUSB0");
    EXPECT_EQ(settings.read(Keys::IsDispCH2Wave), "True");
}

TEST(SettingConversion, NumbersAndFlagsAsTheStoreHoldsThem) {
    EXPECT_EQ(platform::settingToInt(" 12 "), 12);
    EXPECT_EQ(platform::settingToInt("2.5"), 2);
    EXPECT_EQ(platform::settingToInt("-3"), -3);
    for (const char* bad : {"", "COM1", "1x", "99999999999", "nan", "inf"})
        EXPECT_EQ(platform::settingToInt(bad), std::nullopt) << bad;
    EXPECT_EQ(platform::settingToBool("True"), true);
    EXPECT_EQ(platform::settingToBool("false"), false);
    EXPECT_EQ(platform::settingToBool("-1"), true);
    EXPECT_EQ(platform::settingToBool("0"), false);
    EXPECT_EQ(platform::settingToBool("yes"), std::nullopt);
}

}  // namespace
}  // namespace tracebay::mainwindow
