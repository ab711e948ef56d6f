#include "mainwindow/MeasurementsWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "tests/display/SlotBuilder.h"

namespace tracebay::mainwindow {
namespace {

namespace Keys = platform::Settings;

class MeasurementsWindows : public ::testing::Test {
protected:
    MeasurementsWindows() { owner.setGeometry(10, 20, 400, 300); }

    std::unique_ptr<MeasurementsWindow> open() {
        return std::make_unique<MeasurementsWindow>(settings, &owner);
    }

    // CH1 at 1 V per division: a 1 kHz square from ground to `volts` above it.
    static acquisition::ScopeState square(int volts) {
        display::SlotBuilder b;
        b.slot.CapturedCh1 = true;
        b.slot.Ch1ScaleText = "1.00V";
        b.slot.Ch1OffsetText = "0.00uV";
        b.slot.Ch1Samples = display::SlotBuilder::samples(100);
        for (int n = 0; n < 600; ++n)  // elements 213..812, two a column
            b.slot.Ch1Samples[static_cast<size_t>(213 + n)] = n % 100 < 50 ? 100 - 25 * volts : 100;
        b.byte(13, 1);
        return b.slot;
    }

    QString cell(int row, const QString& column) const {
        const auto* table = window->findChild<QTableWidget*>("tblMeasurements");
        for (int c = 0; c < table->columnCount(); ++c)
            if (table->horizontalHeaderItem(c)->text() == column)
                return table->item(row, c) ? table->item(row, c)->text() : QString();
        return "no column " + column;
    }
    int rows() const { return window->findChild<QTableWidget*>("tblMeasurements")->rowCount(); }
    void click(const char* button) { window->findChild<QPushButton*>(button)->click(); }

    QTemporaryDir folder;
    QSettings qsettings{folder.filePath("TraceBay.conf"), QSettings::IniFormat};
    platform::SettingsStore settings{qsettings};
    QWidget owner;
    std::unique_ptr<MeasurementsWindow> window = open();
};

TEST_F(MeasurementsWindows, ShowsARowPerSourceOfTheUpload) {
    window->showUpload(square(1));
    EXPECT_EQ(window->windowTitle(), "Measurements");
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, "source"), "CH1");
    EXPECT_EQ(cell(0, "vpp"), "1.00 V");
    EXPECT_EQ(cell(0, "frequency"), "1.00 kHz");
    EXPECT_EQ(cell(0, "duty"), "50 %");
}

TEST_F(MeasurementsWindows, ContinuousRoundsShowMeanMinimumAndMaximumSinceReset) {
    for (int volts : {1, 3, 2}) window->showUpload(square(volts), true);
    ASSERT_EQ(rows(), 4);
    EXPECT_EQ(cell(0, "vpp"), "2.00 V") << "the last round";
    EXPECT_EQ(cell(1, "source"), "CH1 mean");
    EXPECT_EQ(cell(1, "vpp"), "2.00 V");
    EXPECT_EQ(cell(2, "vpp"), "1.00 V");
    EXPECT_EQ(cell(3, "vpp"), "3.00 V");

    click("cmdReset");
    EXPECT_EQ(cell(1, "vpp"), "\u2014");
    window->showUpload(square(3), true);
    EXPECT_EQ(cell(2, "vpp"), "3.00 V") << "only the round since Reset";

    window->showUpload(square(1));
    EXPECT_EQ(rows(), 1) << "a single upload ends the series";
    window->showUpload(square(3), true);
    EXPECT_EQ(cell(2, "vpp"), "3.00 V");
}

TEST_F(MeasurementsWindows, CopyPutsTheTableOnTheClipboardTabSeparated) {
    window->showUpload(square(1));
    QGuiApplication::clipboard()->clear();
    click("cmdCopy");
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 3) << "header, CH1 and the final line end";
    EXPECT_TRUE(lines[0].startsWith("source\tvmax\tvmin\tvpp\t")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("CH1\t1.00 V\t0 V\t1.00 V\t")) << lines[1].toStdString();
}

// Never placed, or placed off the screen: beside the main window, as far as the screen reaches.
TEST_F(MeasurementsWindows, OpensWhereItWasLeftUnlessThatIsOffTheScreen) {
    const int screenRight = QGuiApplication::primaryScreen()->availableGeometry().right();
    const struct {
        int ownerWidth;
        const char* left;
        const char* top;
        QPoint expected;
    } cases[] = {{20, "", "", {30, 20}},
                 {400, "", "", {screenRight + 1 - 760, 20}},
                 {400, "4500", "3000", {300, 200}},
                 {20, "300000", "3000", {30, 20}}};
    for (const auto& c : cases) {
        owner.setGeometry(10, 20, c.ownerWidth, 300);
        settings.write(Keys::MeasurementsLeft, c.left);
        settings.write(Keys::MeasurementsTop, c.top);
        EXPECT_EQ(open()->pos(), c.expected) << c.ownerWidth << " " << c.left;
    }
    window->move(150, 75);
    window->show();
    window->close();
    EXPECT_EQ(settings.read(Keys::MeasurementsLeft), "2250");
    EXPECT_EQ(settings.read(Keys::MeasurementsTop), "1125");
}

}  // namespace
}  // namespace tracebay::mainwindow
