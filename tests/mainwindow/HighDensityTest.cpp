// Runs with QT_SCALE_FACTOR=2: a screen of twice the usual pixel density.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "mainwindow/WavePicture.h"
#include "tests/mainwindow/MainWindowRig.h"

namespace tracebay::mainwindow {
namespace {

class HighDensity : public ::testing::Test, public MainWindowRig {};

TEST_F(HighDensity, ThePictureIsDrawnAtTheScreensDensityWhileTheLayoutStaysLogical) {
    start(clientFor({700, 500}));
    ASSERT_DOUBLE_EQ(window->devicePixelRatioF(), 2);
    EXPECT_EQ(find<QWidget>("BackPic")->geometry(), QRect(80, 7, 704, 504));
    EXPECT_DOUBLE_EQ(window->view().ScreenScale(), 2);
    EXPECT_EQ(window->view().picture().size(), QSize(700, 500));
    const QImage image = window->view().picture().drawn()->image();
    EXPECT_EQ(image.size(), QSize(1400, 1000));
    EXPECT_DOUBLE_EQ(image.devicePixelRatio(), 2);
    // The grid's top border, two logical pixels wide on rows 24 and 25: rows 48 to 51.
    const QRgb grey = qRgb(192, 192, 192);
    for (int y : {48, 51}) EXPECT_EQ(image.pixel(300, y), grey) << y;
    for (int y : {46, 53}) EXPECT_NE(image.pixel(300, y), grey) << y;
    // The centre line at logical row 25 + 100 x 2: rows 450 and 451.
    EXPECT_EQ(image.pixel(300, 450), grey);
    EXPECT_EQ(image.pixel(300, 451), grey);
}

TEST_F(HighDensity, ScrollingAndCursorsStayInLogicalPixels) {
    start(clientFor({675, 700}));
    find<QCheckBox>("BestFitChk")->setChecked(false);
    find<QComboBox>("ZoomCombo")->setCurrentIndex(find<QComboBox>("ZoomCombo")->findText("250%"));
    ASSERT_EQ(window->view().HScrollSpan(), 200);
    find<QScrollBar>("HScroll")->setValue(100);
    EXPECT_EQ(window->view().picture().pos(), QPoint(-200, 0));
    window->findChild<QAction*>("TimeCursors")->setChecked(true);
    // The dotted line of the first cursor at logical x 102: device columns 204 and 205.
    const QImage image = window->view().picture().drawn()->image();
    const auto cursorPixels = [&](int x) {
        int count = 0;
        for (int y = 100; y < 1000; ++y) count += image.pixel(x, y) == qRgb(0, 128, 200);
        return count;
    };
    EXPECT_GT(cursorPixels(204), 300);
    EXPECT_GT(cursorPixels(205), 300);
    EXPECT_EQ(cursorPixels(202), 0);
    EXPECT_EQ(cursorPixels(207), 0);
}

}  // namespace
}  // namespace tracebay::mainwindow
