#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// qm1000-sim started as a user would, answered over its pseudo-terminal.
class SimProgram : public ::testing::Test {
protected:
    void start(std::vector<std::string> arguments) {
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        pid_ = ::fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            std::vector<char*> argv{const_cast<char*>(QM1000_SIM)};
            for (auto& a : arguments) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(QM1000_SIM, argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        pipe_ = ::fdopen(out[0], "r");
        char line[256] = {};
        ASSERT_NE(fgets(line, sizeof line, pipe_), nullptr);
        path_ = line;
        path_.erase(path_.find_last_not_of("\n") + 1);
        fd_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd_, 0) << path_;
        termios raw{};
        tcgetattr(fd_, &raw);
        cfmakeraw(&raw);
        tcsetattr(fd_, TCSANOW, &raw);
    }

    // Sends `signal` and gives the program two seconds to end; true when it ended well.
    bool stopsAtOnce(int signal) {
        ::kill(pid_, signal);
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        int status = 0;
        pid_t ended = 0;
        while ((ended = ::waitpid(pid_, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        if (ended == 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        }
        pid_ = -1;
        return ended == 0 ? false : WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // Bytes the simulator has written that nobody read yet.
    int unread() const {
        int count = 0;
        ::ioctl(fd_, FIONREAD, &count);
        return count;
    }

    void TearDown() override {
        if (fd_ >= 0) ::close(fd_);
        if (pid_ > 0) {
            ::kill(pid_, SIGINT);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            if (!link_.empty()) {
                EXPECT_FALSE(std::filesystem::is_symlink(link_));
            }
        }
        if (pipe_) fclose(pipe_);
    }

    std::string query(const std::string& command, size_t expected) {
        EXPECT_EQ(::write(fd_, (command + "\n").data(), command.size() + 1),
                  static_cast<ssize_t>(command.size() + 1));
        std::string reply;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (reply.size() < expected && std::chrono::steady_clock::now() < deadline) {
            pollfd fd{fd_, POLLIN, 0};
            if (::poll(&fd, 1, 100) <= 0) continue;
            char buffer[4096];
            const auto n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0) reply.append(buffer, static_cast<size_t>(n));
        }
        return reply;
    }

    pid_t pid_ = -1;
    FILE* pipe_ = nullptr;
    int fd_ = -1;
    std::string path_;
    std::string link_;
};

// The link a simulator that was killed left behind is taken over.
TEST_F(SimProgram, AnswersOverItsPseudoTerminal) {
    const std::string link = ::testing::TempDir() + "sim-program-test-link";
    std::filesystem::remove(link);
    std::filesystem::create_symlink("/dev/pts/999999", link);
    start({"--model", "QM1052", "--firmware", "01.02.03", "--link", link});
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), path_);
    link_ = link;
    EXPECT_EQ(query("*IDN?", 49), "KAVLO TECHNOLOGIES,QM1052,QM11020000042,01.02.03\n");
    const std::string system = query(":SYSTEM:DATA?", 116);
    EXPECT_EQ(system.size(), 116u);
    EXPECT_EQ(system.substr(0, 4), std::string("\x70\x00\x00\x00", 4));
}

// Only its own link is removed at the end: a file put in its place meanwhile stays.
TEST_F(SimProgram, RemovesOnlyItsOwnLink) {
    const std::string link = ::testing::TempDir() + "sim-program-test-replaced-link";
    std::filesystem::remove(link);
    start({"--link", link});
    std::filesystem::remove(link);
    std::FILE* file = std::fopen(link.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_TRUE(stopsAtOnce(SIGTERM));
    EXPECT_TRUE(std::filesystem::is_regular_file(link));
    std::filesystem::remove(link);
}

TEST_F(SimProgram, PresetChoosesTheScreen) {
    start({"--preset", "xy"});
    EXPECT_EQ(query(":TIMEBASE:FORMAT?", 4), "X-Y\n");
}

// A reply nobody reads fills the terminal and holds up the simulator's write.
TEST_F(SimProgram, StopsAtOnceWhileAWriteIsHeldUp) {
    start({});
    std::string commands;
    for (int i = 0; i < 100; ++i) commands += ":WAVEFORM:DATA? DIGITAL\n";
    ASSERT_EQ(::write(fd_, commands.data(), commands.size()),
              static_cast<ssize_t>(commands.size()));
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    int before = -1;
    while (unread() != before && std::chrono::steady_clock::now() < deadline) {
        before = unread();
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_GT(before, 0);
    ASSERT_LT(before, 100 * 2052);  // the simulator is stuck with the rest
    EXPECT_TRUE(stopsAtOnce(SIGTERM));
}

TEST_F(SimProgram, StopsAtOnceWhileTricklingAReply) {
    start({"--fault", "trickle=1000"});
    ASSERT_EQ(::write(fd_, "*IDN?\n", 6), 6);
    pollfd first{fd_, POLLIN, 0};
    ASSERT_EQ(::poll(&first, 1, 5000), 1);  // a byte a second: 48 more to come
    EXPECT_TRUE(stopsAtOnce(SIGINT));
}

TEST(SimProgramOptions, HelpNamesEveryOptionAndPreset) {
    FILE* pipe = popen((std::string(QM1000_SIM) + " --help").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string help;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) help += buffer;
    EXPECT_EQ(pclose(pipe), 0);
    for (const char* word : {"--maker", "--model", "--firmware", "--preset", "--link", "--verbose",
                             "--fault", "--baud", "fft-split", "alternate", "logic", "scan"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
}

int exitStatus(const std::string& arguments) {
    FILE* pipe = popen((std::string(QM1000_SIM) + " " + arguments + " 2>/dev/null").c_str(), "r");
    return pipe ? WEXITSTATUS(pclose(pipe)) : -1;
}

TEST(SimProgramOptions, UnknownPresetIsRefused) { EXPECT_EQ(exitStatus("--preset nonsense"), 2); }

// A name that is taken by anything but a pseudo-terminal's link is no place for the link.
TEST(SimProgramOptions, LinkWhereSomethingElseIsIsRefusedAndItStays) {
    namespace fs = std::filesystem;
    const fs::path top = ::testing::TempDir() + "sim-program-taken-" + std::to_string(::getpid());
    fs::create_directories(top / "folder");
    std::FILE* file = std::fopen((top / "notes.txt").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    fs::create_symlink(top / "notes.txt", top / "link");
    for (const char* name : {"notes.txt", "folder", "link"}) {
        const fs::path taken = top / name;
        const auto before = fs::symlink_status(taken).type();
        EXPECT_EQ(exitStatus("--link " + taken.string()), 1) << name;
        EXPECT_EQ(fs::symlink_status(taken).type(), before) << name;
    }
    EXPECT_EQ(fs::read_symlink(top / "link"), top / "notes.txt");
    fs::remove_all(top);
}

}  // namespace
