#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <functional>

#include "mainwindow/ConnectionLed.h"
#include "mainwindow/Layout.h"
#include "mainwindow/WavePicture.h"
#include "tests/mainwindow/MainWindowRig.h"

namespace tracebay::mainwindow {
namespace {

constexpr const char* KeyLock = ":KEY:LOCK:ENABLE";

class MainWindow : public ::testing::Test, public MainWindowRig {
protected:
    QComboBox* zoom() { return find<QComboBox>("ZoomCombo"); }
    QScrollBar* bar(const char* name) { return find<QScrollBar>(name); }
    QSize pictureSize() { return window->view().picture().size(); }
    QImage picture() { return window->view().picture().drawn()->image().copy(); }
    // Best fit off, then a factor typed into the zoom field.
    void zoomTo(const QString& text) {
        find<QCheckBox>("BestFitChk")->setChecked(false);
        zoom()->lineEdit()->setText(text);
    }
};

TEST_F(MainWindow, StartUpPaintsTheEmptyGridFittedToTheViewportOnTheFirstTick) {
    window = std::make_unique<frmWave>(services());
    window->show();
    EXPECT_TRUE(window->view().InitPending());
    EXPECT_EQ(window->view().picture().drawn(), nullptr)
        << "nothing is painted before the first tick";
    host.advance(2);
    EXPECT_FALSE(window->view().InitPending());
    EXPECT_TRUE(window->view().slot().ViewApplied);
    EXPECT_EQ(window->size(), DesignClient);
    EXPECT_EQ(window->windowTitle(), "TraceBay");
    EXPECT_FALSE(zoom()->isEnabled());
    EXPECT_EQ(zoom()->currentText(), "204%") << "the fit of a 715 x 591 viewport, not 150%";
    EXPECT_DOUBLE_EQ(window->view().ScreenScale(), 715 / 350.0);
    EXPECT_FALSE(bar("HScroll")->isVisible());
    EXPECT_FALSE(bar("VScroll")->isVisible());
    EXPECT_EQ(pictureSize(), Layout::wavePicSize(715 / 350.0));
    EXPECT_EQ(picture().pixel(25, 25), qRgb(192, 192, 192)) << "the grid's corner";
    EXPECT_TRUE(find<ConnectionLed>("picLED_OFF")->isVisible());
    EXPECT_FALSE(find<ConnectionLed>("picLED_ON")->isVisible());
}

// The icon comes from the SVG compiled into the program: a grey bezel round a black screen with a
// yellow trace.
TEST_F(MainWindow, WindowIconIsTheInstrumentScreen) {
    window = std::make_unique<frmWave>(services());
    const QImage icon = window->windowIcon().pixmap(32).toImage();
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.pixel(5, 7), qRgb(0, 0, 0)) << "the screen";
    EXPECT_EQ(icon.pixel(20, 27), qRgb(210, 210, 210)) << "the bezel";
    const QColor trace = icon.pixelColor(10, 9);
    EXPECT_GT(trace.red(), 150);
    EXPECT_GT(trace.green(), 150);
    EXPECT_LT(trace.blue(), 50);
}

TEST_F(MainWindow, ControlsSitWhereTheWindowDesignPutsThem) {
    start();
    struct Place {
        const char* name;
        QRect twips;
    };
    const Place places[] = {
        {"cmdRefresh", {0, 0, 1185, 390}},   {"Frame1", {0, 480, 1185, 1455}},
        {"Frame4", {60, 200, 1065, 1185}},   {"ChkCH_2", {60, 660, 945, 255}},
        {"Frame2_0", {0, 1950, 1185, 2355}}, {"Frame6", {60, 210, 1065, 1005}},
        {"ZoomCombo", {60, 210, 945, 315}},  {"BestFitChk", {60, 540, 825, 345}},
        {"Frame3", {60, 1200, 1065, 765}},   {"GridCheck", {120, 1950, 825, 375}},
        {"Frame2_1", {0, 4350, 1185, 1635}}, {"FlatBtnUpload_3", {30, 1260, 1125, 330}},
    };
    for (const Place& p : places) {
        const QRect& t = p.twips;
        EXPECT_EQ(find<QWidget>(p.name)->geometry(),
                  QRect(qRound(t.x() / 15.0), qRound(t.y() / 15.0), qRound(t.width() / 15.0),
                        qRound(t.height() / 15.0)))
            << p.name;
    }
    EXPECT_EQ(find<QWidget>("BackPic")->geometry(), QRect(80, 7, 719, 595));
    EXPECT_EQ(find<QPushButton>("cmdRefresh")->text(), "     Refresh");
    EXPECT_EQ(find<QPushButton>("cmdRefresh")->toolTip(), "Refresh Data(F5)");
    EXPECT_EQ(find<QPushButton>("FlatBtnUpload_1")->text(), "    DisConnect");
    EXPECT_EQ(find<QRadioButton>("OptionColor_1")->text(), "B&&W");
    EXPECT_EQ(find<QCheckBox>("GridCheck")->text(), "  Grid");
    EXPECT_EQ(find<QLabel>("Label1")->text(), "DisConnect");
    EXPECT_EQ(find<ConnectionLed>("picLED_ON")->toolTip(), "Connection Status-[Connected]");
}

TEST_F(MainWindow, BestFitFollowsTheViewport) {
    start(clientFor({700, 375}));
    EXPECT_DOUBLE_EQ(window->view().ScreenScale(), 1.5);
    EXPECT_EQ(pictureSize(), QSize(525, 375));
    EXPECT_EQ(zoom()->currentText(), "150%");
    setClient(clientFor({2, 300}));
    EXPECT_DOUBLE_EQ(window->view().ScreenScale(), 0.01);
    EXPECT_EQ(zoom()->currentText(), "1%");
    setClient(clientFor({3600, 2600}));  // a large screen: no more than the zoom field takes
    EXPECT_DOUBLE_EQ(window->view().ScreenScale(), 10);
    EXPECT_EQ(zoom()->currentText(), "1000%");
}

TEST_F(MainWindow, AZoomLargerThanTheViewportShowsScrollBarsForTheOverflow) {
    start(clientFor({600, 400}));
    zoomTo("200%");
    EXPECT_EQ(pictureSize(), QSize(700, 500));
    EXPECT_TRUE(bar("HScroll")->isVisible());
    EXPECT_TRUE(bar("VScroll")->isVisible());
    EXPECT_EQ(window->view().HScrollSpan(), 100);
    EXPECT_EQ(window->view().VScrollSpan(), 100);
    EXPECT_EQ(bar("HScroll")->pageStep(), 86);
    EXPECT_EQ(bar("VScroll")->pageStep(), 80);
}

TEST_F(MainWindow, AFactorFromTheListSetsTheScale) {
    start();
    find<QCheckBox>("BestFitChk")->setChecked(false);
    EXPECT_TRUE(zoom()->isEnabled());
    zoom()->setCurrentIndex(zoom()->findText("250%"));
    EXPECT_DOUBLE_EQ(window->view().ScreenScale(), 2.5);
    EXPECT_EQ(pictureSize(), QSize(875, 625));
}

TEST_F(MainWindow, TypedFactorsAreNormalisedAndKeptWithinOneToAThousandPercent) {
    struct Case {
        const char* typed;
        double scale;
        const char* shown;
    };
    const Case cases[] = {{"33.3%", 0.33, "33%"},
                          {"0%", 0.01, "1%"},
                          {"-5%", 0.01, "1%"},
                          {"100000%", 10, "1000%"},
                          {"125%", 1.25, "125%"}};
    start();
    for (const Case& c : cases) {
        zoomTo(c.typed);
        EXPECT_DOUBLE_EQ(window->view().ScreenScale(), c.scale) << c.typed;
        EXPECT_EQ(zoom()->currentText(), c.shown) << c.typed;
    }
    EXPECT_EQ(pictureSize(), QSize(438, 312)) << "125%";
    EXPECT_TRUE(host.messages().empty());
}

// The digits in front of the "%" are edited one at a time, the text cursor staying where it is.
TEST_F(MainWindow, TheZoomDigitsAreEditedOneAtATime) {
    start();
    zoomTo("204%");
    QLineEdit* edit = zoom()->lineEdit();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(zoom()->currentText(), "20%");
    QTest::keyClick(edit, Qt::Key_0);
    EXPECT_EQ(zoom()->currentText(), "200%");
    EXPECT_DOUBLE_EQ(window->view().ScreenScale(), 2);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(MainWindow, AnInvalidFactorIsRefusedAndTheCurrentOneShownAgain) {
    start();
    zoomTo("75%");
    for (const char* typed : {"abc%", "", "75"}) {
        host.clearRecords();
        zoom()->lineEdit()->setText(typed);
        ASSERT_EQ(host.messages().size(), 1u) << typed;
        EXPECT_EQ(host.messages()[0].text, "Invalid Zoom Factor");
        EXPECT_EQ(host.messages()[0].caption, "TraceBay");
        EXPECT_EQ(zoom()->currentText(), "75%") << typed;
        EXPECT_DOUBLE_EQ(window->view().ScreenScale(), 0.75);
    }
}

TEST_F(MainWindow, LeavingBestFitKeepsThePictureUntilAFactorIsChosen) {
    start(clientFor({700, 375}));
    const QImage fitted = picture();
    find<QCheckBox>("BestFitChk")->setChecked(false);
    EXPECT_TRUE(zoom()->isEnabled());
    EXPECT_EQ(zoom()->currentText(), "150%");
    EXPECT_DOUBLE_EQ(window->view().ScreenScale(), 1.5);
    EXPECT_EQ(picture(), fitted);
    find<QCheckBox>("BestFitChk")->setChecked(true);
    EXPECT_FALSE(zoom()->isEnabled());
}

TEST_F(MainWindow, ScrollingMovesThePictureAndTheIndicatorWithoutRepainting) {
    start(clientFor({675, 700}));
    zoomTo("250%");
    ASSERT_EQ(window->view().HScrollSpan(), 200);
    ASSERT_FALSE(bar("VScroll")->isVisible());
    const QImage before = picture();
    bar("HScroll")->setValue(100);
    EXPECT_EQ(window->view().picture().pos(), QPoint(-200, 0));
    auto* led = find<ConnectionLed>("picLED_OFF");
    EXPECT_EQ(led->x(), -200 + 25 + 750 - led->width() + 1);
    EXPECT_EQ(picture(), before);
    bar("HScroll")->setValue(50);
    EXPECT_EQ(window->view().picture().pos(), QPoint(-100, 0));
    // A layout pass, here for the scheme, leaves the picture where the scroll bar says.
    find<QRadioButton>("OptionColor_1")->click();
    EXPECT_EQ(window->view().picture().pos(), QPoint(-100, 0));
    EXPECT_EQ(bar("HScroll")->value(), 50);
}

// The wheel scrolls (Shift: sideways), Ctrl and the wheel step through the zoom list, and the
// window's keys scroll, one after another on a picture 100 pixels larger than the viewport.
TEST_F(MainWindow, TheWheelAndTheKeysMoveAZoomedPicture) {
    start(clientFor({600, 400}));
    zoomTo("200%");
    auto* pic = find<QWidget>("WavePic");
    const auto wheel = [&](int notches, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(50, 50), pic->mapToGlobal(QPointF(50, 50)), {},
                          {0, 120 * notches}, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pic, &event);
    };
    const auto key = [&](Qt::Key k) { QTest::keyClick(window.get(), k); };
    QTest::mouseClick(pic, Qt::LeftButton, {}, {60, 60});
    EXPECT_EQ(QApplication::focusWidget(), window.get()) << "a click leaves the keys with it";
    struct Step {
        const char* what;
        std::function<void()> act;
        QPoint place;
    };
    const Step steps[] = {
        {"wheel down", [&] { wheel(-1, Qt::NoModifier); }, {0, -10}},
        {"Shift and wheel down", [&] { wheel(-1, Qt::ShiftModifier); }, {-10, -10}},
        {"End", [&] { key(Qt::Key_End); }, {-100, -100}},
        {"Home", [&] { key(Qt::Key_Home); }, {0, 0}},
        {"Page Down", [&] { key(Qt::Key_PageDown); }, {0, -80}},
        {"Up", [&] { key(Qt::Key_Up); }, {0, -75}},
        {"Right", [&] { key(Qt::Key_Right); }, {-5, -75}},
        {"wheel up", [&] { wheel(1, Qt::NoModifier); }, {-5, -65}},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(window->view().picture().pos(), step.place) << step.what;
    }
    wheel(1, Qt::ControlModifier);
    EXPECT_EQ(zoom()->currentText(), "250%");
    wheel(-1, Qt::ControlModifier);
    wheel(-1, Qt::ControlModifier);
    EXPECT_EQ(zoom()->currentText(), "150%");
    EXPECT_DOUBLE_EQ(window->view().ScreenScale(), 1.5);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(MainWindow, BlackAndWhiteRepaintsTheScreenAndTurnsTheIndicatorsWhite) {
    start();
    find<QRadioButton>("OptionColor_1")->click();
    EXPECT_FALSE(window->view().slot().ColorDisplay);
    EXPECT_EQ(picture().pixel(2, 2), qRgb(255, 255, 255));
    for (const char* name : {"picLED_ON", "picLED_OFF"}) {
        auto* led = find<ConnectionLed>(name);
        EXPECT_EQ(led->palette().color(QPalette::Window), QColor(Qt::white)) << name;
        EXPECT_EQ(led->label()->palette().color(QPalette::WindowText), QColor(Qt::black));
    }
    find<QRadioButton>("OptionColor_0")->click();
    EXPECT_EQ(find<ConnectionLed>("picLED_ON")->label()->palette().color(QPalette::WindowText),
              QColor(0, 255, 255));
    EXPECT_EQ(picture().pixel(2, 2), qRgb(0, 0, 0));
}

TEST_F(MainWindow, TheGridSwitchRepaints) {
    start();
    const QImage withGrid = picture();
    find<QCheckBox>("GridCheck")->click();
    EXPECT_FALSE(window->view().slot().GridVisible);
    EXPECT_NE(picture(), withGrid);
    find<QCheckBox>("GridCheck")->click();
    EXPECT_EQ(picture(), withGrid);
}

TEST_F(MainWindow, F5RefreshesOnlyWhenTheWindowItselfHasTheFocusAndNoModifierIsHeld) {
    start();
    window->setFocus();
    QTest::keyClick(window.get(), Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_TRUE(host.messages().empty());
    auto* box = find<QCheckBox>("ChkCH_0");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F5);
    EXPECT_TRUE(host.messages().empty());
    window->setFocus();
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Please Connect Oscilloscope First"});
}

TEST_F(MainWindow, ConnectAndDisconnectDriveTheIndicator) {
    start();
    ASSERT_TRUE(connectOverSerial());
    EXPECT_TRUE(find<ConnectionLed>("picLED_ON")->isVisible());
    EXPECT_FALSE(find<ConnectionLed>("picLED_OFF")->isVisible());
    click("FlatBtnUpload_1");
    EXPECT_FALSE(connected());
    EXPECT_FALSE(find<ConnectionLed>("picLED_ON")->isVisible());
    EXPECT_TRUE(find<ConnectionLed>("picLED_OFF")->isVisible());
}

TEST_F(MainWindow, ThePanelNeedsAConnection) {
    start();
    click("FlatBtnUpload_3");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Please Connect Oscilloscope First"});
    EXPECT_EQ(host.messages()[0].caption, "TraceBay");
    EXPECT_TRUE(QApplication::topLevelWidgets().contains(window.get()));
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible() && w->objectName() == "frmV_Key");
}

TEST_F(MainWindow, ThePanelOpensModallyWhileConnectedAndPressesTheInstrumentsKeys) {
    start();
    ASSERT_TRUE(connectOverSerial());
    commands.clear();
    bool modal = false;
    host.after(5, [&] {
        auto* panel = window->findChild<QDialog*>("frmV_Key");
        ASSERT_NE(panel, nullptr);
        modal = panel->isVisible() && panel->isModal();
        QTest::mouseClick(panel->findChild<QWidget*>("VK_Run"), Qt::LeftButton);
        QTest::keyClick(panel, Qt::Key_Escape);
    });
    click("FlatBtnUpload_3");
    EXPECT_TRUE(modal);
    EXPECT_EQ(commands, std::vector<std::string>{":KEY:RUN"});
}

TEST_F(MainWindow, ClosingWhileConnectedLocksTheKeysOnceClosesThePortAndSavesTheSettings) {
    start();
    ASSERT_TRUE(connectOverSerial());
    find<QCheckBox>("ChkCH_1")->click();
    commands.clear();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(std::count(commands.begin(), commands.end(), KeyLock), 1);
    EXPECT_EQ(commands.size(), 1u);
    EXPECT_FALSE(port.PortOpen());
    EXPECT_FALSE(window->view().slot().ViewApplied);
    QSettings saved(folder.filePath("TraceBay.conf"), QSettings::IniFormat);
    EXPECT_EQ(saved.value("Kavlo TraceBay IO Settings/ScopeIOType").toString(), "2");
    EXPECT_EQ(saved.value("Kavlo TraceBay Disp Wave/IsDispCH2Wave").toString(), "True");
}

// The disk is as good as full: the settings cannot be written, the user is told once where
// they were to go and why, and the file of the last run stays as it was.
TEST_F(MainWindow, SettingsThatCannotBeSavedAreNamedOnceAtClose) {
    const auto contentOf = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    storeSetting("Kavlo TraceBay Disp Wave/IsDispCH2Wave", "False");
    qsettings.sync();
    start();
    const QString file = folder.filePath("TraceBay.conf");
    const QByteArray before = contentOf(file);
    ASSERT_FALSE(before.isEmpty());
    find<QCheckBox>("ChkCH_1")->click();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{16, limit.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool closed = window->close();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_TRUE(closed);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"The settings could not be saved in \"" +
                                                       file.toStdString() + "\": File too large"});
    EXPECT_EQ(contentOf(file), before);
}

TEST_F(MainWindow, ClosingWhileDisconnectedSendsNothing) {
    start();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(commands.empty());
}

// The close asked for during an upload happens when the upload has ended, in order.
TEST_F(MainWindow, ClosingDuringATransferWaitsForItsEnd) {
    start();
    ASSERT_TRUE(connectOverSerial());
    bool closedAtOnce = true;
    host.after(300, [&] { closedAtOnce = window->close() || !window->isVisible(); });
    click("cmdRefresh");
    EXPECT_FALSE(closedAtOnce);
    EXPECT_TRUE(window->view().slot().HasData);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(commands.back(), ":KEY:LOCK:ENABLE");
    EXPECT_EQ(qsettings.value("Kavlo TraceBay Disp Wave/IsDispCH1Wave").toString(), "True");
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(MainWindow, ClosingWhileTheInstrumentIsIdentifiedIsRefused) {
    start();
    faults.target = "*IDN?";
    faults.silent = true;
    bool closed = true;
    host.after(500, [&] { closed = window->close(); });
    host.after(1000, [&] { click("FlatBtnUpload_0"); });  // a second Connect does nothing
    EXPECT_FALSE(connectOverSerial());
    EXPECT_FALSE(closed);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "*IDN?"), 3);
    EXPECT_FALSE(window->isVisible()) << "closed once the connect has ended";
    EXPECT_EQ(messageTexts().size(), 1u) << "Device not found, while the window was there";
}

TEST_F(MainWindow, TheSourceBoxesStartFromTheStoredSelectionAndFollowTheUser) {
    storeSetting("Kavlo TraceBay Disp Wave/IsDispCH1Wave", "False");
    storeSetting("Kavlo TraceBay Disp Wave/IsDispMathWave", "True");
    start();
    EXPECT_FALSE(find<QCheckBox>("ChkCH_0")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("ChkCH_2")->isChecked());
    find<QCheckBox>("ChkCH_1")->click();
    EXPECT_TRUE(window->view().slot().ShowCh2);
    ASSERT_TRUE(connectOverSerial());
    bool undone = false;
    host.after(300, [&] {
        find<QCheckBox>("ChkCH_1")->click();
        undone = find<QCheckBox>("ChkCH_1")->isChecked() && window->view().slot().ShowCh2;
    });
    click("cmdRefresh");
    EXPECT_TRUE(undone) << "a click during a transfer is undone";
}

}  // namespace
}  // namespace tracebay::mainwindow
