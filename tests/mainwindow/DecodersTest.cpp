// The protocol decoders in the window: the set-up in its dialog and in the settings, what they
// found on the band and in the Decoded window for every upload shown, and recording.

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "decode/Decoding.h"
#include "display/Repaint.h"
#include "mainwindow/DecodedWindow.h"
#include "mainwindow/DecodersDialog.h"
#include "mainwindow/Layout.h"
#include "mainwindow/ShownUploads.h"
#include "mainwindow/UploadDecoders.h"
#include "mainwindow/WavePicture.h"
#include "tests/decode/CraftedUploads.h"
#include "tests/mainwindow/MainWindowRig.h"

namespace tracebay::mainwindow {
namespace {

using decode::testing::hex;

const std::string Uart = "uart:rx=D0:baudrate=9600";

acquisition::ScopeState uartUpload(const std::string& bytes) {
    return decode::testing::uartOnD0(bytes, 9600);
}

class WindowDecoders : public ::testing::Test, public MainWindowRig {
protected:
    void startWith(const std::string& stacks) {
        storeSetting("Kavlo TraceBay Settings/DecoderStacks", QString::fromStdString(stacks));
        start();
    }
    WaveView& view() { return window->view(); }
    UploadDecoders& decoders() { return window->decoders(); }
    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
    // Shows the upload and waits for what the decoders found in it.
    void show(const acquisition::ScopeState& upload) {
        QSignalSpy found(&decoders(), &UploadDecoders::decodedShown);
        view().showUpload(std::make_shared<const acquisition::ScopeState>(upload));
        ASSERT_TRUE(found.wait(5000));
    }
    QTableWidget* table() {
        return decoders().decodedWindow().findChild<QTableWidget*>("tblDecoded");
    }
    // The texts of the table's rows of a class, in order.
    std::string tableTexts(const QString& className) {
        std::string texts;
        for (int r = 0; r < table()->rowCount(); ++r)
            if (table()->item(r, 2)->text() == className)
                texts += (texts.empty() ? "" : " ") + table()->item(r, 3)->text().toStdString();
        return texts;
    }
    int pictureHeight() { return window->findChild<WavePicture*>("WavePic")->height(); }
};

// The band lies under the picture, which is drawn as without it; the table lists the upload
// shown, also when the history steps back; copies take the band along.
TEST_F(WindowDecoders, BandAndTableFollowTheUploadShown) {
    startWith(Uart);
    show(uartUpload("Hi"));
    action("ShowDecoded")->trigger();
    EXPECT_EQ(tableTexts("rx-data"), hex("Hi"));
    const display::Band* band = view().band();
    ASSERT_NE(band, nullptr);
    ASSERT_GT(band->height(), 0);
    const double s = view().ScreenScale();
    EXPECT_EQ(pictureHeight(), Layout::wavePicSize(s).height() + band->height());

    const display::Screen screen{s};
    platform::PictureSurface alone(screen.pictureWidth(), screen.pictureHeight());
    display::Cursors cursors = view().cursors();
    display::CursorOverlay overlay;
    display::Repaint(alone, screen, view().slot(), cursors, overlay);
    const QImage shown = window->findChild<WavePicture*>("WavePic")->drawn()->image();
    EXPECT_EQ(shown.copy(0, 0, alone.width(), alone.height()), alone.image());

    action("CopyPicture")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().height(), pictureHeight());

    show(uartUpload("Bay"));
    EXPECT_EQ(tableTexts("rx-data"), hex("Bay"));
    QSignalSpy found(&decoders(), &UploadDecoders::decodedShown);
    action("PreviousUpload")->trigger();
    ASSERT_TRUE(found.wait(5000));
    EXPECT_EQ(tableTexts("rx-data"), hex("Hi"));
}

// A click on a row puts the time cursors on its annotation's start and end.
TEST_F(WindowDecoders, ARowMarksItsTimeWithTheTimeCursors) {
    startWith(Uart);
    show(uartUpload("Hi"));
    action("ShowDecoded")->trigger();
    const auto& annotations = decoders().decoded().annotations;
    ASSERT_GT(annotations.size(), 3u);
    const QRect cell = table()->visualRect(table()->model()->index(3, 0));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, cell.center());
    const double s = view().ScreenScale();
    EXPECT_TRUE(view().cursors().TimeCursorsOn);
    EXPECT_TRUE(action("TimeCursors")->isChecked());
    EXPECT_DOUBLE_EQ(view().cursors().CursorX1, 25 + annotations[3].startPlace * s);
    EXPECT_DOUBLE_EQ(view().cursors().CursorX2, 25 + annotations[3].endPlace * s);
}

// What the dialog returns is decoded, kept in the settings and read at the next start; without
// decoders the band is gone.
TEST_F(WindowDecoders, TheSetUpIsKeptAndTheBandGoesWithTheLastDecoder) {
    startWith("");
    view().showUpload(std::make_shared<const acquisition::ScopeState>(uartUpload("Hi")));
    EXPECT_EQ(view().band(), nullptr);
    const std::vector<std::string> setUp{"i2c:scl=D1:sda=D2,eeprom24xx", Uart};
    std::vector<std::string> offered;
    decoders().chooseDecoders = [&](std::vector<decode::DecoderInfo> all, const auto&) {
        for (const auto& d : all) offered.push_back(d.id);
        return std::optional(setUp);
    };
    QSignalSpy found(&decoders(), &UploadDecoders::decodedShown);
    QTest::keyClick(window.get(), Qt::Key_D);
    ASSERT_TRUE(found.wait(5000));
    EXPECT_NE(std::find(offered.begin(), offered.end(), "spi"), offered.end());
    EXPECT_EQ(tableTexts("rx-data"), hex("Hi"));
    start();
    EXPECT_EQ(decoders().stacks(), setUp);
    decoders().setStacks({});
    EXPECT_EQ(view().band(), nullptr);
    EXPECT_EQ(pictureHeight(), Layout::wavePicSize(view().ScreenScale()).height());
    EXPECT_EQ(qsettings.value("Kavlo TraceBay Settings/DecoderStacks").toString(), "");
}

// A decoding that a newer change overtook while under way is dropped: the window never shows
// what decoders no longer set up found.
TEST_F(WindowDecoders, ADecodingOvertakenWhileUnderWayIsNotShown) {
    startWith(Uart);
    show(uartUpload("Hi"));
    action("ShowDecoded")->trigger();
    view().showUpload(std::make_shared<const acquisition::ScopeState>(uartUpload("Bay")));
    decoders().setStacks({});
    // The library thread answers in turn: by this answer the decoding of "Bay" is handed back.
    decode::decodeUpload(acquisition::ScopeState{}, {});
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(decoders().decoded().annotations.empty());
    EXPECT_EQ(tableTexts("rx-data"), "");
}

// What cannot be decoded is named under the list on every upload: a stack in the settings that is
// no stack, a decoder that fails; the failure also in a message, once.
TEST_F(WindowDecoders, WhatCannotBeDecodedIsNamedAndAFailureToldOnce) {
    startWith("uart:rx\r\nuart:rx=D0:baudrate=0\n" + Uart);
    show(uartUpload("Hi"));
    show(uartUpload("Bay"));
    const std::string failure =
        "Decoder \"uart\" failed: ZeroDivisionError: float division by zero";
    EXPECT_EQ(messageTexts(), std::vector<std::string>{failure});
    EXPECT_EQ(decoders().decodedWindow().findChild<QLabel*>("lblProblems")->text().toStdString(),
              "uart:rx: uart: \"rx\" is no name=value\n" + failure);
    EXPECT_EQ(tableTexts("rx-data"), hex("Bay"));
}

// Each recorded upload's annotations go beside its JSON, under its name.
TEST_F(WindowDecoders, RecordingWritesTheAnnotationsBesideEachUpload) {
    startWith(Uart);
    const QString into = folder.filePath("recorded");
    ASSERT_TRUE(QDir().mkpath(into));
    window->shownUploads().chooseRecording = [&](const RecordingChoice&) {
        return std::optional<RecordingChoice>(RecordingChoice{into, {}});
    };
    action("RecordUploads")->trigger();
    view().showUpload(std::make_shared<const acquisition::ScopeState>(uartUpload("Hi")));
    QTRY_COMPARE_WITH_TIMEOUT(QDir(into).entryList({"*.decoded.json"}).size(), 1, 5000);
    const QStringList uploads = QDir(into).entryList({"*.json"}, QDir::Files, QDir::Name);
    ASSERT_EQ(uploads.size(), 2);
    QFile decoded(QDir(into).filePath(uploads[0]));
    ASSERT_TRUE(decoded.open(QIODevice::ReadOnly));
    EXPECT_TRUE(uploads[1].startsWith(uploads[0].chopped(QString("decoded.json").size())));
    EXPECT_NE(decoded.readAll().toStdString().find("\"texts\": [\"48\"]"), std::string::npos);
}

// The fields come from the decoder's own lists; what they say is added as -P writes it, and what
// the lists refuse is not.
TEST(DecodersDialogs, AddStacksAsTheFieldsDescribeThem) {
    DecodersDialog dialog(decode::listDecoders(), {"spi:clk=D3"}, nullptr);
    auto* decoder = dialog.findChild<QComboBox*>("cmbDecoder");
    const auto choose = [&](QComboBox* box, const QString& id) {
        box->setCurrentIndex(box->findData(id));
        ASSERT_GE(box->currentIndex(), 0) << id.toStdString();
    };
    const auto field = [&](const char* name) { return dialog.findChild<QComboBox*>(name); };
    const auto add = [&] { dialog.findChild<QPushButton*>("cmdAdd")->click(); };
    choose(decoder, "i2c");
    field("channel_scl")->setCurrentText("D1");
    field("channel_sda")->setCurrentText("D2");
    choose(dialog.findChild<QComboBox*>("cmbStacked"), "eeprom24xx");
    add();
    choose(decoder, "uart");
    field("channel_rx")->setCurrentText("CH1@1.5");
    dialog.findChild<QLineEdit*>("option_baudrate")->setText("9600");
    field("option_parity")->setCurrentText("odd");
    add();
    field("channel_rx")->setCurrentText("X3");
    add();
    EXPECT_EQ(dialog.findChild<QLabel*>("lblRefused")->text().toStdString(),
              "uart: rx=X3 names no line (D0 ... D15, CH1, CH2, or CH1@1.5 for a level in volts)");
    auto* list = dialog.findChild<QListWidget*>("lstStacks");
    list->setCurrentRow(0);
    dialog.findChild<QPushButton*>("cmdRemove")->click();
    EXPECT_EQ(dialog.stacks(),
              (std::vector<std::string>{"i2c:scl=D1:sda=D2,eeprom24xx",
                                        "uart:rx=CH1@1.5:baudrate=9600:parity=odd"}));
}

}  // namespace
}  // namespace tracebay::mainwindow
