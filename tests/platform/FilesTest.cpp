// Whole-file reads and writes of the program's own files (saved uploads, pictures).

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
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
// write failed and said why as the system does: the write cut short at the limit does not say,
// the next one does.
[[noreturn]] void writeBeyondTheFileSizeLimit(const std::string& target) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string why;
    const bool written = writeFileAtomically(target, std::string(10000, 'x'), why);
    std::exit(!written && why == std::strerror(EFBIG) ? 0 : 1);
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

// A device or a pipe is written, never replaced by a file, and never waited for: a pipe that
// nobody reads fails at once.
TEST_F(Files, WhatIsNotARegularFileIsWrittenInPlaceWithoutWaiting) {
    const std::string pipe = path("pipe");
    const std::string readPipe = path("read-pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(readPipe.c_str(), 0600), 0);
    const int reader = ::open(readPipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const struct {
        std::string path;
        const char* failure;  // nothing when the write succeeds
    } cases[] = {
        {"/dev/null", nullptr}, {"/dev/full", "space"}, {pipe, "no reader"}, {readPipe, nullptr}};
    for (const auto& c : cases) {
        struct stat before {};
        ASSERT_EQ(::stat(c.path.c_str(), &before), 0);
        error.clear();
        EXPECT_EQ(writeFileAtomically(c.path, "bytes", error), !c.failure) << c.path;
        if (c.failure) {
            EXPECT_NE(error.find(c.failure), std::string::npos) << error;
        }
        struct stat after {};
        ASSERT_EQ(::stat(c.path.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode) << c.path;
        EXPECT_EQ(after.st_rdev, before.st_rdev) << c.path;
    }
    char taken[16] = {};
    EXPECT_EQ(::read(reader, taken, sizeof taken), 5);
    EXPECT_STREQ(taken, "bytes");
    ::close(reader);
    EXPECT_EQ(fileCount(), 2u);
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
