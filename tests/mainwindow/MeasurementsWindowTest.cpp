#include "mainwindow/MeasurementsWindow.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
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

    // CH1 at 1 V per division with its top above the grid.
    static acquisition::ScopeState clipped() {
        acquisition::ScopeState slot = square(1);
        for (int n = 0; n < 600; ++n)
            if (n % 100 < 50) slot.Ch1Samples[static_cast<size_t>(213 + n)] = 0;
        return slot;
    }

    const QTableWidgetItem* item(int row, const QString& column) const {
        const auto* table = window->findChild<QTableWidget*>("tblMeasurements");
        for (int c = 0; c < table->columnCount(); ++c)
            if (table->horizontalHeaderItem(c)->text() == column) return table->item(row, c);
        return nullptr;
    }
    QString cell(int row, const QString& column) const {
        const auto* found = item(row, column);
        return found ? found->text() : "no column " + column;
    }
    QStringList columns() const {
        const auto* table = window->findChild<QTableWidget*>("tblMeasurements");
        QStringList names;
        for (int c = 0; c < table->columnCount(); ++c)
            names << table->horizontalHeaderItem(c)->text();
        return names;
    }
    void choose(const char* key) {
        window->findChild<QAction*>(QString("figure_") + key)->trigger();
    }
    int rows() const { return window->findChild<QTableWidget*>("tblMeasurements")->rowCount(); }
    void click(const char* button) { window->findChild<QPushButton*>(button)->click(); }

    QTemporaryDir folder;
    QSettings qsettings{folder.filePath("TraceBay.conf"), QSettings::IniFormat};
    platform::SettingsStore settings{qsettings};
    QWidget owner;
    std::unique_ptr<MeasurementsWindow> window = open();
};

TEST_F(MeasurementsWindows, ShowsARowPerSourceOfTheUploadInColumnsNamedAsPeopleReadThem) {
    window->showUpload(square(1));
    EXPECT_EQ(window->windowTitle(), "Measurements");
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(columns(), (QStringList{"Source", "Max", "Min", "Pk-Pk", "Mean", "RMS", "Freq",
                                      "Period", "Duty", "Rise", "Fall"}));
    EXPECT_EQ(cell(0, "Source"), "CH1");
    EXPECT_EQ(cell(0, "Pk-Pk"), "1.00 V");
    EXPECT_EQ(cell(0, "Freq"), "1.00 kHz");
    EXPECT_EQ(cell(0, "Duty"), "50 %");
    EXPECT_EQ(cell(0, "Rise"), "\u2014");
    EXPECT_EQ(item(0, "Rise")->toolTip(), "faster than one sample (< 10 us)");
}

TEST_F(MeasurementsWindows, AClippedSourceIsMarkedAndItsCorruptedFiguresSayWhy) {
    window->showUpload(clipped());
    EXPECT_EQ(cell(0, "Source"), "CH1 (clipped)");
    EXPECT_EQ(item(0, "Source")->toolTip(), "clipped at the top of the grid");
    EXPECT_EQ(cell(0, "Max"), "\u2014");
    EXPECT_EQ(item(0, "Max")->toolTip(), "clipped at the top of the grid");
    EXPECT_EQ(cell(0, "Min"), "0.00 V") << "the bottom is whole";
    EXPECT_EQ(cell(0, "Freq"), "1.00 kHz");
}

TEST_F(MeasurementsWindows, TheFiguresShownAreChosenAndKept) {
    window->showUpload(square(1));
    choose("vmax");
    choose("top");
    choose("pwidth");
    EXPECT_EQ(columns().mid(0, 4), (QStringList{"Source", "Min", "Pk-Pk", "Mean"}));
    EXPECT_TRUE(columns().contains("Top"));
    EXPECT_EQ(cell(0, "+Width"), "0.50 ms");
    EXPECT_EQ(settings.read(Keys::MeasurementsFigures),
              "vmin,vpp,vmean,vrms,top,frequency,period,duty,pwidth,rise,fall,peak_frequency,"
              "peak_level,delay,phase");
    window = open();
    window->showUpload(square(1));
    EXPECT_FALSE(columns().contains("Max")) << "as chosen before";
    EXPECT_TRUE(columns().contains("+Width"));
}

TEST_F(MeasurementsWindows, ContinuousRoundsShowMeanMinimumMaximumDeviationAndCountSinceReset) {
    for (int volts : {1, 3, 2}) window->showUpload(square(volts), true);
    ASSERT_EQ(rows(), 6);
    EXPECT_EQ(cell(0, "Pk-Pk"), "2.00 V") << "the last round";
    EXPECT_EQ(cell(1, "Source"), "CH1 mean");
    EXPECT_EQ(cell(1, "Pk-Pk"), "2.00 V");
    EXPECT_EQ(cell(2, "Pk-Pk"), "1.00 V");
    EXPECT_EQ(cell(3, "Pk-Pk"), "3.00 V");
    EXPECT_EQ(cell(4, "Source"), "CH1 std dev");
    EXPECT_EQ(cell(4, "Pk-Pk"), "1.00 V");
    EXPECT_EQ(cell(5, "Source"), "CH1 count");
    EXPECT_EQ(cell(5, "Pk-Pk"), "3");
    EXPECT_EQ(cell(5, "Rise"), "0") << "never determined";

    click("cmdReset");
    EXPECT_EQ(cell(1, "Pk-Pk"), "\u2014");
    window->showUpload(square(3), true);
    EXPECT_EQ(cell(2, "Pk-Pk"), "3.00 V") << "only the round since Reset";
    EXPECT_EQ(cell(4, "Pk-Pk"), "\u2014") << "no deviation from one round";

    window->showUpload(square(1));
    EXPECT_EQ(rows(), 1) << "a single upload ends the series";
    window->showUpload(square(3), true);
    EXPECT_EQ(cell(2, "Pk-Pk"), "3.00 V");
}

TEST_F(MeasurementsWindows, CopyPutsTheTableOnTheClipboardTabSeparated) {
    window->showUpload(square(1));
    QGuiApplication::clipboard()->clear();
    click("cmdCopy");
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 3) << "header, CH1 and the final line end";
    EXPECT_TRUE(lines[0].startsWith("Source\tMax\tMin\tPk-Pk\t")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("CH1\t1.00 V\t0.00 V\t1.00 V\t")) << lines[1].toStdString();
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
