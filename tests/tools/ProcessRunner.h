#pragma once

#include <chrono>
#include <csignal>
#include <map>
#include <string>
#include <vector>

namespace tracebay::testing {

struct ProcessResult {
    int status = -1;  // exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs a program to its end with extra environment variables, collecting its output.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {});

// A program left running in the background until destroyed (then interrupted); its standard
// error goes to a file.
class BackgroundProcess {
public:
    BackgroundProcess(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment = {});
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // The next line the program writes on its standard output, "" once it has ended.
    std::string nextLine();
    // Interrupts the program (or sends it `signal`), waits for it, and returns what it wrote on
    // standard error.
    std::string stop(int signal = SIGINT);
    // Interrupts the program without waiting for it.
    void interrupt();
    // What the program has written on standard error so far.
    std::string errors() const;
    // Waits until the program has written `text` on standard error: false when it has not
    // within `limit`.
    bool awaitError(const std::string& text, std::chrono::seconds limit) const;
    // How the program ended once stopped, as ProcessResult::status.
    int status() const { return status_; }

private:
    int pid_ = -1;
    int status_ = -1;
    int out_ = -1;
    std::string errPath_;
};

}  // namespace tracebay::testing
