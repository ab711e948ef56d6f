#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QRadioButton>
#include <QUrl>

#include <gtest/gtest.h>

#include "acquisition/ScopeStateJson.h"
#include "mainwindow/PictureSharing.h"
#include "mainwindow/WavePicture.h"
#include "tests/mainwindow/MainWindowRig.h"

namespace tracebay::mainwindow {
namespace {

QImage rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The main window on the simulated instrument, its dialogs answered by the test.
class PictureSharingTest : public ::testing::Test, public MainWindowRig {
protected:
    frmWave& startScripted() {
        start();
        window->sharing().setDialogs({
            [this](const FileRequest& r) {
                requests.push_back(r);
                return saveAnswer;
            },
            [this](const FileRequest& r) {
                requests.push_back(r);
                return openAnswer;
            },
            [this](QPrinter& printer) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(path("printed.pdf"));
                return true;
            },
        });
        return *window;
    }
    void upload() {
        ASSERT_TRUE(connectOverSerial());
        click("cmdRefresh");
        ASSERT_TRUE(window->view().slot().HasData);
    }
    void trigger(const char* action) { window->findChild<QAction*>(action)->trigger(); }
    void saveAs(const QString& name, const QString& zoom = "100%", int filter = 0) {
        saveAnswer = FileChoice{path(name), filter, zoom};
    }
    QString path(const QString& name) { return folder.filePath(name); }
    QImage picture() { return window->view().picture().drawn()->image().copy(); }
    void zoomTo(const QString& text) {
        find<QCheckBox>("BestFitChk")->setChecked(false);
        find<QComboBox>("ZoomCombo")->lineEdit()->setText(text);
    }

    std::optional<FileChoice> saveAnswer;
    std::optional<QString> openAnswer;
    std::vector<FileRequest> requests;
};

TEST_F(PictureSharingTest, PictureMenuOffersEveryActionWithTheStandardShortcuts) {
    startScripted();
    QStringList texts;
    for (QAction* action : window->view().pictureMenu().actions())
        if (!action->isSeparator()) texts << action->text();
    EXPECT_EQ(
        texts.mid(0, 8),
        (QStringList{"Copy picture", "Print...", "Save picture as...", "Export samples as CSV...",
                     "Export logic lines as VCD…", "Export logic lines as sigrok session…",
                     "Save upload as...", "Open upload..."}));
    const struct {
        const char* action;
        QKeySequence::StandardKey key;
    } shortcuts[] = {{"CopyPicture", QKeySequence::Copy},
                     {"SavePicture", QKeySequence::Save},
                     {"PrintPicture", QKeySequence::Print},
                     {"OpenUpload", QKeySequence::Open}};
    for (const auto& s : shortcuts)
        EXPECT_EQ(window->findChild<QAction*>(s.action)->shortcut(), QKeySequence(s.key))
            << s.action;

    window->setFocus();
    QTest::keySequence(window.get(), QKeySequence(QKeySequence::Save));
    EXPECT_TRUE(requests.empty()) << "nothing shown yet: nothing to save";
    for (const char* action : {"CopyPicture", "PrintPicture", "SavePicture", "SaveUpload"})
        EXPECT_FALSE(window->findChild<QAction*>(action)->isEnabled()) << action;
    EXPECT_TRUE(window->findChild<QAction*>("OpenUpload")->isEnabled());
    upload();
    QTest::keySequence(window.get(), QKeySequence(QKeySequence::Save));
    ASSERT_EQ(requests.size(), 1u) << "the shortcut asks where to save";
    EXPECT_EQ(requests[0].caption, "Save picture as");
    EXPECT_EQ(requests[0].filters,
              (QStringList{"PNG image (*.png)", "SVG drawing (*.svg)", "PDF document (*.pdf)"}));
    EXPECT_EQ(requests[0].zoom, "204%") << "the zoom the window shows";
    EXPECT_TRUE(messageTexts().empty()) << "cancelled: nothing said, nothing written";
}

TEST_F(PictureSharingTest, CopyPutsThePictureAsShownOnTheClipboard) {
    startScripted();
    upload();
    find<QRadioButton>("OptionColor_1")->setChecked(true);
    find<QCheckBox>("GridCheck")->setChecked(false);
    trigger("CopyPicture");
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), picture().size());
    EXPECT_EQ(rgb(copied), rgb(picture())) << "pixel for pixel";
}

TEST_F(PictureSharingTest, PictureSavedAtAZoomIsWhatTheWindowShowsAtThatZoom) {
    startScripted();
    upload();
    saveAs("screen", "300%");  // no suffix: the chosen PNG filter's
    trigger("SavePicture");
    EXPECT_TRUE(messageTexts().empty());
    const QImage saved(path("screen.png"));
    EXPECT_EQ(saved.size(), QSize(1050, 750));
    zoomTo("300%");
    EXPECT_EQ(rgb(saved), rgb(picture())) << "drawn at 300%, not scaled up";
    EXPECT_EQ(settings.read(platform::Settings::LastFolder), folder.path().toStdString());

    saveAs("screen.SVG", "50%");  // the name's suffix wins over the filter
    trigger("SavePicture");
    EXPECT_EQ(requests.back().folder, folder.path()) << "the last folder";
    EXPECT_TRUE(contentOf(path("screen.SVG")).contains("viewBox=\"0 0 175 125\""));
    saveAs("screen.pdf");
    trigger("SavePicture");
    EXPECT_TRUE(contentOf(path("screen.pdf")).startsWith("%PDF-"));

    saveAs("bad.png", "huge");
    trigger("SavePicture");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Invalid Zoom Factor"});
    EXPECT_FALSE(QFile::exists(path("bad.png")));
}

// With the cursors on, a picture saved at the zoom it is shown at is the screen's picture, the
// readout included: at best fit (not its rounded percentage), 100% and 333%.
TEST_F(PictureSharingTest, PictureSavedAtTheShownZoomReadsAsTheScreen) {
    startScripted();
    upload();
    trigger("TimeCursors");
    trigger("VoltCursors");
    for (const QString& zoom : {QString(), QString("100%"), QString("333%")}) {
        if (!zoom.isEmpty()) zoomTo(zoom);
        saveAs("cursors.png", find<QComboBox>("ZoomCombo")->currentText());
        trigger("SavePicture");
        EXPECT_EQ(rgb(QImage(path("cursors.png"))), rgb(picture())) << zoom.toStdString();
    }
    EXPECT_TRUE(messageTexts().empty());
}

TEST_F(PictureSharingTest, PrintingToAPdfPrinterProducesAPage) {
    startScripted();
    upload();
    QTest::keySequence(window.get(), QKeySequence(QKeySequence::Print));
    const QByteArray printed = contentOf(path("printed.pdf"));
    EXPECT_TRUE(printed.startsWith("%PDF-"));
    EXPECT_EQ(printed.count("/Type /Page\n"), 1);
    EXPECT_TRUE(messageTexts().empty());
}

TEST_F(PictureSharingTest, SamplesExportAsCsvAndAnUnwritablePlaceIsNamed) {
    startScripted();
    upload();
    saveAs("samples.csv");
    trigger("ExportSamples");
    const QList<QByteArray> lines = contentOf(path("samples.csv")).split('\n');
    EXPECT_EQ(lines.front(), "time (s),CH1 (V)");
    EXPECT_EQ(lines.size(), 602) << "a header, two samples a screen column, the last line's end";

    saveAnswer = FileChoice{"/no/such/folder/samples.csv", 0, ""};
    trigger("ExportSamples");
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_EQ(messageTexts()[0].rfind("Cannot save \"/no/such/folder/samples.csv\": ", 0), 0u)
        << messageTexts()[0];
    EXPECT_EQ(host.messages()[0].caption, "TraceBay");
}

TEST_F(PictureSharingTest, LogicLineExportsAreOfferedOnlyForAnUploadWithLogicLines) {
    startScripted();
    upload();  // CH1 only
    const auto offered = [this] {
        emit window->view().pictureMenu().aboutToShow();
        return std::pair(window->findChild<QAction*>("ExportLogicVcd")->isEnabled(),
                         window->findChild<QAction*>("ExportLogicSigrok")->isEnabled());
    };
    EXPECT_EQ(offered(), std::pair(false, false));
    EXPECT_TRUE(window->findChild<QAction*>("ExportSamples")->isEnabled());

    acquisition::ScopeState logic = *window->view().upload();
    logic.CapturedLa = true;
    logic.LaSamples.assign(acquisition::ScopeState::SampleCount, 0);
    logic.SystemBlock.bytes[70] = 1;  // the logic lines are valid
    window->view().showUpload(std::make_shared<const acquisition::ScopeState>(logic));
    EXPECT_EQ(offered(), std::pair(true, true));
    saveAs("lines", "", 0);
    trigger("ExportLogicVcd");
    EXPECT_TRUE(messageTexts().empty());
    EXPECT_TRUE(contentOf(path("lines.vcd")).startsWith("$version TraceBay $end"));
}

TEST_F(PictureSharingTest, ASavedUploadOpensInAnotherWindowAsIfJustUploaded) {
    startScripted();
    upload();
    saveAs("upload.json");
    trigger("SaveUpload");
    const std::string uploaded = acquisition::toJson(window->view().slot());
    const QImage shown = picture();

    window.reset();
    startScripted();
    ASSERT_FALSE(window->view().slot().HasData);
    openAnswer = path("upload.json");
    QTest::keySequence(window.get(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(requests.back().caption, "Open upload");
    EXPECT_EQ(acquisition::toJson(window->view().slot()), uploaded) << "every field";
    EXPECT_EQ(rgb(picture()), rgb(shown));
    EXPECT_EQ(window->windowTitle(), "TraceBay - upload.json");
    EXPECT_FALSE(connected());
}

TEST_F(PictureSharingTest, AFileThatIsNoUploadLeavesThePictureAndSaysWhy) {
    startScripted();
    upload();
    const std::string before = acquisition::toJson(window->view().slot());
    const QImage shown = picture();
    QFile corrupt(path("corrupt.json"));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
    corrupt.write(R"({"HasData": true, "Ch1Samples": [1, 2, 3]})");
    corrupt.close();
    openAnswer = corrupt.fileName();
    trigger("OpenUpload");
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"Cannot open \"" + corrupt.fileName().toStdString() +
                                       "\": Ch1Samples holds 3 samples, not 6201"});
    EXPECT_EQ(host.messages()[0].caption, "TraceBay");
    EXPECT_EQ(acquisition::toJson(window->view().slot()), before);
    EXPECT_EQ(rgb(picture()), rgb(shown));
}

// The upload that runs owns the picture: opening a file meanwhile is refused, and says why.
TEST_F(PictureSharingTest, OpeningAnUploadWhileOneRunsIsRefusedWithTheReason) {
    startScripted();
    upload();
    saveAs("earlier.json");
    trigger("SaveUpload");
    openAnswer = path("earlier.json");
    const size_t asked = requests.size();
    host.after(150, [this] { trigger("OpenUpload"); });
    host.after(160, [this] { window->sharing().openUploadFile(path("earlier.json")); });
    click("cmdRefresh");
    EXPECT_EQ(requests.size(), asked) << "no file asked for";
    const std::string why = "An upload is in progress: open the file once it has finished";
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{why, why}));
}

TEST_F(PictureSharingTest, AJsonFileDroppedOnTheWindowOpens) {
    startScripted();
    upload();
    saveAs("dropped.json");
    trigger("SaveUpload");
    window.reset();
    startScripted();

    const auto drag = [this](const QString& file, QEvent::Type type) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDropEvent event(QPointF(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier,
                         type);
        event.setAccepted(false);
        QApplication::sendEvent(window.get(), &event);
        QApplication::processEvents();
        return event.isAccepted();
    };
    EXPECT_FALSE(drag(path("notes.txt"), QEvent::DragEnter));
    EXPECT_TRUE(drag(path("dropped.json"), QEvent::DragEnter));
    EXPECT_TRUE(drag(path("dropped.json"), QEvent::Drop));
    EXPECT_TRUE(window->view().slot().HasData);
    EXPECT_TRUE(messageTexts().empty());
}

}  // namespace
}  // namespace tracebay::mainwindow
