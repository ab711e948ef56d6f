#include "export/UploadFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "acquisition/ScopeStateJson.h"
#include "export/Exporters.h"
#include "export/UploadRecorder.h"
#include "tests/display/SlotBuilder.h"

namespace tracebay::exporting {
namespace {

const Exporter& exporterNamed(const std::string& id) {
    for (const Exporter& exporter : exporters())
        if (exporter.id == id) return exporter;
    throw std::logic_error("no exporter " + id);
}

class ExportFiles : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& content) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }
    QByteArray contentOf(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    const Format& format(const std::string& exporter, const QString& suffix) {
        return *formatForSuffix(exporterNamed(exporter), suffix);
    }

    QTemporaryDir folder;
    display::SlotBuilder build;
};

TEST_F(ExportFiles, SavedUploadReadsBackWithEveryField) {
    build.slot.Ch1Samples = display::SlotBuilder::samples(42);
    build.slot.Ch1ScaleText = "500mV";
    build.byte(70, 1);
    const QString path = folder.filePath("screen.json");
    EXPECT_EQ(exportTo(format("SaveUpload", "json"), {build.slot}, path), "");
    std::string error;
    const auto upload = readUpload(path, error);
    ASSERT_TRUE(upload) << error;
    EXPECT_EQ(acquisition::toJson(*upload), acquisition::toJson(build.slot));
}

TEST_F(ExportFiles, WhatIsNotAnUploadIsRefusedWithTheReason) {
    const struct {
        QByteArray content;
        const char* reason;
    } cases[] = {
        {"PNG\x89 not text", "not a JSON object"},
        {"[1, 2, 3]", "not a JSON object but an array"},
        {R"({"name": "a package"})", "it holds no uploaded screen"},
        {R"({"HasData": true, "Ch1Samples": [1, 2, 3]})", "Ch1Samples holds 3 samples, not 6201"},
        {R"({"HasData": true, "SystemBlock": "00ff"})", "SystemBlock is not 224 hex digits"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(readUpload(write("bad.json", c.content), error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(readUpload(folder.filePath("missing.json"), error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

TEST_F(ExportFiles, AFailedExportLeavesTheFileThereAsItWasAndNamesIt) {
    const QString path = write("samples.csv", "kept\n");
    build.slot.HasData = false;  // no samples to write
    EXPECT_EQ(exportTo(format("ExportSamples", "csv"), {build.slot}, path),
              "Cannot save \"" + path.toStdString() + "\": nothing has been uploaded");
    EXPECT_EQ(contentOf(path), "kept\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"samples.csv"})
        << "no temporary file left behind";

    const QString unwritable = folder.filePath("no/such/folder/picture.png");
    const std::string failure = exportTo(format("SavePicture", "png"), {build.slot}, unwritable);
    EXPECT_EQ(failure.rfind("Cannot save \"" + unwritable.toStdString() + "\": ", 0), 0u)
        << failure;
    EXPECT_FALSE(QFileInfo::exists(unwritable));
}

TEST_F(ExportFiles, FormatsAreFoundByTheirSuffixAndTheirCommandLineFlag) {
    EXPECT_EQ(formatForSuffix(exporterNamed("SavePicture"), "SVG")->option, "--svg");
    EXPECT_EQ(formatForSuffix(exporterNamed("SavePicture"), "csv"), nullptr);
    EXPECT_EQ(formatForOption("--pdf")->suffix, "pdf");
    EXPECT_EQ(formatForOption("--csv")->suffix, "csv");
    EXPECT_EQ(formatForOption("--zoom"), nullptr);
}

// Each upload under its capture time, whole; two of the same millisecond both stay; the picture
// beside it when chosen, logic files only for uploads with logic lines.
TEST_F(ExportFiles, RecordingWritesEachUploadUnderItsCaptureTime) {
    UploadRecorder recorder(folder.path(), {true, true, false});
    build.slot.Ch1Samples = display::SlotBuilder::samples(42);
    const QStringList names{"2026-12-07T14-03-22.512Z", "2026-12-07T14-03-23.001Z",
                            "2026-12-07T14-03-23.001Z-2"};
    for (const char* captured :
         {"2026-12-07T14:03:22.512Z", "2026-12-07T14:03:23.001Z", "2026-12-07T14:03:23.001Z"}) {
        build.slot.Captured = captured;
        EXPECT_EQ(recorder.record({build.slot}), "");
    }
    EXPECT_EQ(recorder.recorded(), 3);
    QStringList expected;
    for (const QString& name : names) expected << name + ".json" << name + ".png";
    expected.sort();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files, QDir::Name), expected);
    std::string error;
    const auto last = readUpload(folder.filePath(names[2] + ".json"), error);
    ASSERT_TRUE(last) << error;
    EXPECT_EQ(last->Captured, "2026-12-07T14:03:23.001Z");
}

// The folder is opened once: an upload recorded after its path was given to a link to another
// folder still goes into the folder the recording began in.
TEST_F(ExportFiles, RecordingStaysInItsFolderWhenItsPathIsGivenToALink) {
    const QString path = folder.filePath("uploads");
    UploadRecorder recorder(path, {false, false, false});
    build.slot.Captured = "2026-12-07T14:03:22.512Z";
    ASSERT_EQ(recorder.record({build.slot}), "");
    ASSERT_TRUE(QDir(folder.path()).rename("uploads", "began"));
    ASSERT_TRUE(QDir(folder.path()).mkdir("elsewhere"));
    ASSERT_TRUE(QFile::link(folder.filePath("elsewhere"), path));
    build.slot.Captured = "2026-12-07T14:03:23.001Z";
    ASSERT_EQ(recorder.record({build.slot}), "");
    EXPECT_EQ(QDir(folder.filePath("began")).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(QDir(folder.filePath("elsewhere")).entryList(QDir::Files), QStringList());
}

// A recording that cannot write an upload's files says where and why and keeps none of them:
// the folder cannot be made, or the picture cannot be written after the upload's JSON was.
TEST_F(ExportFiles, RecordingThatCannotWriteKeepsNothingOfTheUpload) {
    write("file", "not a folder");
    const struct {
        const char* why;
        QString folder;
        rlim_t fileSizeLimit;
        const char* named;
    } rows[] = {
        {"a folder below a file", folder.filePath("file/below"), RLIM_INFINITY, "file/below"},
        {"a picture larger than a file may be", folder.filePath("kept"), 20'000, ".png"},
    };
    std::signal(SIGXFSZ, SIG_IGN);
    build.slot.Captured = "2026-12-07T14:03:22.512Z";
    for (const auto& row : rows) {
        UploadRecorder recorder(row.folder, {true, false, false});
        rlimit unlimited{};
        ::getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit limited{row.fileSizeLimit, unlimited.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
        const std::string failure = recorder.record({build.slot, {}, 10});  // at 1000%
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_NE(failure.find(row.named), std::string::npos) << row.why << ": " << failure;
        EXPECT_EQ(recorder.recorded(), 0) << row.why;
        EXPECT_TRUE(recorder.lastFiles().isEmpty()) << row.why;
        EXPECT_EQ(QDir(row.folder).entryList(QDir::Files | QDir::Hidden), QStringList()) << row.why;
    }
}

}  // namespace
}  // namespace tracebay::exporting
