// What becomes of the uploads the window shows: the history stepped through, the measurements
// window, recording into a folder, and the panel while uploads repeat.

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <algorithm>

#include "export/UploadFile.h"
#include "mainwindow/MeasurementsWindow.h"
#include "mainwindow/PictureSharing.h"
#include "mainwindow/ShownUploads.h"
#include "tests/mainwindow/MainWindowRig.h"

namespace tracebay::mainwindow {
namespace {

class LiveView : public ::testing::Test, public MainWindowRig {
protected:
    void SetUp() override {
        start();
        ASSERT_TRUE(connectOverSerial());
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
    ShownUploads& shown() { return window->shownUploads(); }
    const std::string& shownCapture() { return window->view().slot().Captured; }
    // One press of Refresh; what it captured.
    std::string refresh() {
        click("cmdRefresh");
        return shownCapture();
    }
    QString title() { return window->windowTitle(); }
};

// Three uploads; stepping back shows the first, and what acts on the picture acts on it; a new
// upload shows the newest again.
TEST_F(LiveView, HistoryStepsThroughTheUploadsAndANewOneShowsTheNewest) {
    const std::vector<std::string> captured{refresh(), refresh(), refresh()};
    ASSERT_LT(captured[0], captured[2]);
    EXPECT_FALSE(action("NextUpload")->isEnabled());
    for (int i = 0; i < 2; ++i) QTest::keyClick(window.get(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(shownCapture(), captured[0]);
    EXPECT_TRUE(title().endsWith(" - 1 of 3")) << title().toStdString();
    EXPECT_FALSE(action("PreviousUpload")->isEnabled());
    const QString saved = folder.filePath("shown.json");
    window->sharing().setDialogs({[&](const FileRequest&) {
                                      return std::optional<FileChoice>(FileChoice{saved, 0, {}});
                                  },
                                  {},
                                  {}});
    action("SaveUpload")->trigger();
    std::string error;
    EXPECT_EQ(exporting::readUpload(saved, error)->Captured, captured[0]) << error;
    action("NextUpload")->trigger();
    EXPECT_EQ(shownCapture(), captured[1]);
    const std::string newest = refresh();
    EXPECT_GT(newest, captured[2]);
    EXPECT_TRUE(title().endsWith(" - 4 of 4")) << title().toStdString();
    EXPECT_TRUE(messageTexts().empty());
}

// Recording writes each upload from the instrument whole; a write that fails stops it with one
// message.
TEST_F(LiveView, RecordingWritesEveryUploadAndAFailedWriteStopsIt) {
    const QString into = folder.filePath("recorded");
    ASSERT_TRUE(QDir().mkpath(into));
    shown().chooseRecording = [&](const RecordingChoice&) {
        return std::optional<RecordingChoice>(RecordingChoice{into, {true, false, false}});
    };
    action("RecordUploads")->trigger();
    EXPECT_TRUE(title().endsWith(" - recording"));
    for (int i = 0; i < 3; ++i) refresh();
    const QStringList files = QDir(into).entryList({"*.json"}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(QDir(into).entryList({"*.png"}, QDir::Files).size(), 3);
    std::string error;
    EXPECT_EQ(exporting::readUpload(QDir(into).filePath(files[2]), error)->Captured,
              shownCapture());
    QDir(into).removeRecursively();
    refresh();
    refresh();
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_NE(messageTexts()[0].find("recorded"), std::string::npos) << messageTexts()[0];
    EXPECT_FALSE(action("RecordUploads")->isChecked());
    EXPECT_FALSE(title().contains("recording"));
    EXPECT_EQ(settings.read(platform::Settings::RecordPng), "True");
}

TEST_F(LiveView, MeasurementsFollowTheUploadsAndAddUpWhileTheyRepeat) {
    QTest::keyClick(window.get(), Qt::Key_M);
    MeasurementsWindow* measurements = shown().measurementsWindow();
    ASSERT_NE(measurements, nullptr);
    EXPECT_TRUE(measurements->isVisible());
    EXPECT_EQ(measurements->windowTitle(), "Measurements");
    EXPECT_TRUE(measurements->table().rows.empty());
    refresh();
    ASSERT_EQ(measurements->table().rows.size(), 1u);
    EXPECT_EQ(measurements->table().rows[0][0], "CH1");
    action("RefreshContinuously")->trigger();
    host.advance(20'000);
    action("RefreshContinuously")->setChecked(false);
    host.advance(10'000);
    EXPECT_EQ(measurements->table().rows.size(), 6u)
        << "the figures, mean, minimum, maximum, standard deviation, count";
}

// The panel stays modal; while it is open, uploads go on repeating, its key goes out between
// two of them, and the next picture shows what the key did.
TEST_F(LiveView, PanelKeysGoOutBetweenRepeatedUploads) {
    action("RefreshContinuously")->trigger();
    host.advance(5'000);
    const std::string before = window->view().slot().TimeScaleText;
    host.after(100, [&] {
        auto* panel = window->findChild<QDialog*>("frmV_Key");
        ASSERT_NE(panel, nullptr);
        commands.clear();
        QTest::mouseClick(panel->findChild<QWidget*>("VK_H_Inc"), Qt::LeftButton);
        host.after(15'000, [panel] { QTest::keyClick(panel, Qt::Key_Escape); });
    });
    click("FlatBtnUpload_3");
    EXPECT_TRUE(action("RefreshContinuously")->isChecked());
    const auto key = std::find(commands.begin(), commands.end(), ":KEY:H_SCALE_INC");
    ASSERT_NE(key, commands.end());
    ASSERT_NE(key, commands.begin());
    EXPECT_EQ(*(key - 1), ":WAVEFORM:DATA? CHANNEL1") << "after an upload's last block";
    ASSERT_NE(key + 1, commands.end());
    EXPECT_EQ(*(key + 1), ":TRIGGER:STATUS?") << "before the next upload's first query";
    EXPECT_NE(window->view().slot().TimeScaleText, before);
}

}  // namespace
}  // namespace tracebay::mainwindow
