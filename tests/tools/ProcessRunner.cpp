#include "tests/tools/ProcessRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tracebay::testing {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string temporaryPath(const char* what) {
    std::string path = std::string(P_tmpdir) + "/tracebay-" + what + "-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    ::close(fd);
    return path;
}

[[noreturn]] void execute(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

void redirect(const std::string& path, int fd) {
    const int file = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    ::dup2(file, fd);
    ::close(file);
}

int exitStatus(int pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment) {
    const std::string outPath = temporaryPath("out");
    const std::string errPath = temporaryPath("err");
    const int pid = ::fork();
    if (pid == 0) {
        redirect(outPath, STDOUT_FILENO);
        redirect(errPath, STDERR_FILENO);
        for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
        execute(program, arguments);
    }
    ProcessResult result;
    result.status = exitStatus(pid);
    result.out = readAll(outPath);
    result.err = readAll(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return result;
}

BackgroundProcess::BackgroundProcess(const std::string& program,
                                     const std::vector<std::string>& arguments,
                                     const std::map<std::string, std::string>& environment)
    : errPath_(temporaryPath("background")) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        redirect(errPath_, STDERR_FILENO);
        for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
        execute(program, arguments);
    }
    ::close(pipeFds[1]);
    out_ = pipeFds[0];
}

BackgroundProcess::~BackgroundProcess() {
    stop();
    if (out_ >= 0) ::close(out_);
    ::unlink(errPath_.c_str());
}

std::string BackgroundProcess::nextLine() {
    std::string line;
    char c = 0;
    while (::read(out_, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

std::string BackgroundProcess::stop(int signal) {
    if (pid_ > 0) {
        ::kill(pid_, signal);
        status_ = exitStatus(pid_);
        pid_ = -1;
    }
    return readAll(errPath_);
}

void BackgroundProcess::interrupt() {
    if (pid_ > 0) ::kill(pid_, SIGINT);
}

std::string BackgroundProcess::errors() const { return readAll(errPath_); }

bool BackgroundProcess::awaitError(const std::string& text, std::chrono::seconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (errors().find(text) != std::string::npos) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace tracebay::testing
