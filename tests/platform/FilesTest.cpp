// Whole-file reads and writes of the program's own files (saved uploads, pictures).

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"
#include "tests/support/ScratchFolder.h"

namespace tracebay::platform {
namespace {

namespace fs = std::filesystem;

class Files : public ::testing::Test, public tracebay::testing::ScratchFolder {
protected:
    Files() : ScratchFolder("files-") {}

    std::string error;
};

TEST_F(Files, ReplacementTakesTheOldFilesPlaceAndPermissions) {
    const std::string target = write("upload.json", "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(writeFileAtomically(target, "new content", error)) << error;
    EXPECT_EQ(contentOf(target), "new content");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(fileCount(), 1u);
    ASSERT_TRUE(writeFileAtomically(path("new.png"), "picture", error)) << error;
    EXPECT_EQ(contentOf(path("new.png")), "picture");
}

// Run in a process of its own: no file may grow beyond 1000 bytes there. Exits with 0 when the
// write failed and said why.
[[noreturn]] void writeBeyondTheFileSizeLimit(const std::string& target) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string why;
    const bool written = writeFileAtomically(target, std::string(10000, 'x'), why);
    std::exit(!written && !why.empty() ? 0 : 1);
}

// The disk fills up half-way: the good file stays, and nothing is left beside it.
TEST_F(Files, WriteThatFailsHalfWayLeavesTheOldFileAlone) {
    const std::string target = write("screen.png", "the good picture");
    EXPECT_EXIT(writeBeyondTheFileSizeLimit(target), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(contentOf(target), "the good picture");
    EXPECT_EQ(fileCount(), 1u);
}

TEST_F(Files, WriteWhereNoFileCanBeIsRefused) {
    EXPECT_FALSE(writeFileAtomically(folder.string(), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(writeFileAtomically(path("no-such-folder/upload.json"), "x", error));
    EXPECT_FALSE(error.empty());
}

// A device is written, never replaced by a file.
TEST_F(Files, DeviceIsWrittenInPlace) {
    struct stat before {};
    ASSERT_EQ(::stat("/dev/full", &before), 0);
    ASSERT_TRUE(S_ISCHR(before.st_mode));
    EXPECT_TRUE(writeFileAtomically("/dev/null", "discarded", error)) << error;
    EXPECT_FALSE(writeFileAtomically("/dev/full", "nowhere to go", error));
    EXPECT_NE(error.find("space"), std::string::npos) << error;
    struct stat after {};
    ASSERT_EQ(::stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, before.st_rdev);
}

TEST_F(Files, RegularFileUpToTheLimitIsRead) {
    EXPECT_EQ(readRegularFile(write("a.json", "12345"), 5, error), "12345");
    EXPECT_EQ(readRegularFile(write("empty.json", ""), 5, error), "");
}

struct Unreadable {
    const char* what;
    std::string path;
    const char* reason;
};

TEST_F(Files, AnythingButASmallRegularFileIsRefused) {
    const std::string fifo = path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<Unreadable> cases = {
        {"larger file", write("big.json", "123456"), "larger than 5 bytes"},
        {"folder", folder.string(), "not a regular file"},
        {"endless device", "/dev/zero", "not a regular file"},
        {"pipe nobody writes", fifo, "not a regular file"},
        {"missing file", path("missing.json"), "No such file"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(readRegularFile(c.path, 5, error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }
    constexpr size_t MiB = 1024 * 1024;
    EXPECT_FALSE(
        readRegularFile(write("huge.json", std::string(2 * MiB + 1, ' ')), 2 * MiB, error));
    EXPECT_EQ(error, "larger than 2 MiB");
}

}  // namespace
}  // namespace tracebay::platform
