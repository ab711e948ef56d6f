// References and the mask test in the window: kept, drawn over the picture and its exports,
// counted while uploads repeat.

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <fstream>

#include "export/UploadFile.h"
#include "mainwindow/Comparisons.h"
#include "mainwindow/PictureSharing.h"
#include "mainwindow/WavePicture.h"
#include "mask/Overlay.h"
#include "tests/mainwindow/MainWindowRig.h"
#include "tests/support/ScratchFolder.h"

namespace tracebay::mainwindow {
namespace {

size_t pixelsOf(const QImage& image, QRgb color) {
    size_t count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xFFFFFF) == color;
    return count;
}

class WindowComparisons : public ::testing::Test, public MainWindowRig {
protected:
    void SetUp() override {
        start();
        ASSERT_TRUE(connectOverSerial());
        click("cmdRefresh");
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
    Comparisons& comparisons() { return window->comparisons(); }
    size_t shownPixelsOf(QRgb color) {
        return pixelsOf(window->view().picture().drawn()->image(), color);
    }
    QString title() { return window->windowTitle(); }
};

// A reference is drawn over the picture and its exports, outlives the window, and is cleared.
TEST_F(WindowComparisons, ReferenceIsDrawnKeptAndCleared) {
    const QRgb refA = mask::referenceColor("REF A", true);
    EXPECT_EQ(shownPixelsOf(refA), 0u);
    EXPECT_FALSE(action("SaveREFAMATH")->isEnabled());
    action("SaveREFACH1")->trigger();
    EXPECT_GT(shownPixelsOf(refA), 300u);
    const QString png = folder.filePath("compared.png");
    window->sharing().setDialogs({[&](const FileRequest&) {
                                      return std::optional<FileChoice>(FileChoice{png, 0, "100%"});
                                  },
                                  {},
                                  {}});
    action("SavePicture")->trigger();
    EXPECT_GT(pixelsOf(QImage(png), refA), 300u);
    window.reset();
    start();
    EXPECT_GT(shownPixelsOf(refA), 300u) << "drawn as kept, before any upload";
    action("ClearReferences")->trigger();
    EXPECT_EQ(shownPixelsOf(refA), 0u);
    window.reset();
    start();
    EXPECT_EQ(shownPixelsOf(refA), 0u);
    EXPECT_TRUE(messageTexts().empty());
    // A file cut short is named, and stays as it is.
    const QString kept = referencesFile(settings);
    const std::string cut = testing::ScratchFolder::contentOf(kept.toStdString()).substr(0, 20);
    std::ofstream(kept.toStdString(), std::ios::binary) << cut;
    window.reset();
    start();
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_NE(messageTexts()[0].find("references.json\" cannot be read"), std::string::npos)
        << messageTexts()[0];
    EXPECT_EQ(testing::ScratchFolder::contentOf(kept.toStdString()), cut);
}

// Uploads are counted against the mask; the first failing one stops the repetition and is saved
// with its outcome, its samples outside marked on the picture.
TEST_F(WindowComparisons, FirstFailureStopsTheRepetitionAndIsSaved) {
    const QString failing = folder.filePath("failing");
    ASSERT_TRUE(QDir().mkpath(failing));
    comparisons().chooseMask = [&](const MaskChoice& initial, const QStringList& sources) {
        EXPECT_EQ(sources, QStringList{"CH1"});
        MaskChoice choice = initial;
        choice.tolerance = 0.2;
        choice.stopOnFail = true;
        choice.saveFailing = true;
        choice.failingFolder = failing;
        return std::optional<MaskChoice>(choice);
    };
    action("MaskTest")->trigger();
    EXPECT_GT(shownPixelsOf(qRgb(0, 50, 80) & 0xFFFFFF), 0u) << "the band over black";
    click("cmdRefresh");
    EXPECT_TRUE(title().endsWith(" - mask: 1 tested, 0 failed")) << title().toStdString();
    for (int i = 0; i < 10; ++i) window->session().pressKey(":TRIG_LVL_INC");
    host.advance(1000);
    action("RefreshContinuously")->trigger();
    host.advance(20'000);
    EXPECT_FALSE(action("RefreshContinuously")->isChecked());
    EXPECT_TRUE(title().endsWith(" - mask: 2 tested, 1 failed")) << title().toStdString();
    EXPECT_GT(shownPixelsOf(mask::OutsideColor), 0u);
    const QStringList saved = QDir(failing).entryList({"*.json"}, QDir::Files);
    ASSERT_EQ(saved.size(), 1);
    std::string error;
    const auto upload = exporting::readUpload(QDir(failing).filePath(saved[0]), error);
    ASSERT_TRUE(upload && upload->Mask) << error;
    EXPECT_FALSE(upload->Mask->passed());
    EXPECT_EQ(upload->Captured, window->view().slot().Captured);
    action("ClearMask")->trigger();
    EXPECT_EQ(shownPixelsOf(mask::OutsideColor), 0u);
    EXPECT_TRUE(messageTexts().empty());
}

struct FailingFolderRow {
    const char* name;
    bool goesAfterChoosing;  // the folder is made, then goes before the first failing upload
    const char* counts;      // how the title ends after two failing uploads; "" for no mask test
    const char* message;
};

std::ostream& operator<<(std::ostream& out, const FailingFolderRow& row) { return out << row.name; }

class FailingFolder : public WindowComparisons,
                      public ::testing::WithParamInterface<FailingFolderRow> {};

// A folder for failing uploads that cannot be made is told when chosen, and no mask test starts
// without it; one that goes later ends the saving at the first failing upload, told once, while
// the uploads are still tested and counted.
TEST_P(FailingFolder, IsToldOnceAndTheTestGoesOnOnlyWithTheFolderChosen) {
    const FailingFolderRow& row = GetParam();
    const QString failing = folder.filePath(row.goesAfterChoosing ? "failing" : "blocked/failing");
    if (!row.goesAfterChoosing) std::ofstream(folder.filePath("blocked").toStdString()) << "a file";
    comparisons().chooseMask = [&](const MaskChoice& initial, const QStringList&) {
        MaskChoice choice = initial;
        choice.tolerance = 0.2;
        choice.saveFailing = true;
        choice.failingFolder = failing;
        return std::optional<MaskChoice>(choice);
    };
    action("MaskTest")->trigger();
    if (row.goesAfterChoosing) {
        ASSERT_TRUE(QDir(failing).removeRecursively());
    }
    for (int i = 0; i < 10; ++i) window->session().pressKey(":TRIG_LVL_INC");
    host.advance(1000);
    click("cmdRefresh");
    click("cmdRefresh");
    const QString counts = row.counts;
    EXPECT_EQ(title().contains(" - mask: "), !counts.isEmpty()) << title().toStdString();
    EXPECT_TRUE(title().endsWith(counts)) << title().toStdString();
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_NE(messageTexts()[0].find(row.message), std::string::npos) << messageTexts()[0];
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, FailingFolder, ::testing::Values(
    FailingFolderRow{"CannotBeMade", false, "", "Cannot make the folder"},
    FailingFolderRow{"GoesLater", true, " - mask: 2 tested, 2 failed", "failing"}),
    [](const auto& row) { return row.param.name; });
// clang-format on

// OK waits for a mask file when one is to be opened (the only way without a trace to make one
// from), and for a folder when failing uploads are to be saved.
TEST(MaskDialogFields, OkWaitsForWhatTheChoiceNeeds) {
    for (const QStringList& sources : {QStringList{"CH1", "CH2"}, QStringList{}}) {
        MaskDialog dialog(MaskChoice{}, sources, nullptr);
        const auto field = [&](const char* name) { return dialog.findChild<QWidget*>(name); };
        QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        EXPECT_EQ(ok->isEnabled(), !sources.isEmpty());
        static_cast<QCheckBox*>(field("chkSaveFailing"))->setChecked(true);
        EXPECT_FALSE(ok->isEnabled());
        static_cast<QLineEdit*>(field("txtFailingFolder"))->setText(" /tmp/failing ");
        static_cast<QLineEdit*>(field("txtMaskFile"))->setText("mask.json");
        EXPECT_TRUE(ok->isEnabled());
        static_cast<QDoubleSpinBox*>(field("txtTolerance"))->setValue(0.3);
        const MaskChoice choice = dialog.choice();
        EXPECT_EQ(choice.fromFile, sources.isEmpty());
        EXPECT_EQ(choice.failingFolder, "/tmp/failing");
        EXPECT_DOUBLE_EQ(choice.tolerance, 0.3);
    }
}

}  // namespace
}  // namespace tracebay::mainwindow
