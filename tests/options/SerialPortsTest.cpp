#include "options/SerialPorts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "platform/SerialLineSettings.h"

namespace tracebay::options {

void PrintTo(const SerialPortChoice& choice, std::ostream* out) {
    *out << '{' << choice.path << ", " << choice.description << '}';
}

namespace {

namespace fs = std::filesystem;

// A stand-in /dev: device files, and a by-id folder of links to some of them.
class SerialPortList : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(root_);
        fs::create_directories(byId_);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string device(const std::string& name) {
        const fs::path path = root_ / name;
        std::ofstream{path};
        return path.string();
    }
    std::string link(const std::string& name, const std::string& target) {
        const fs::path path = byId_ / name;
        fs::create_symlink(target, path);
        return path.string();
    }

    const fs::path root_ =
        fs::path(::testing::TempDir()) / ("tracebay-serial-ports-" + std::to_string(::getpid()));
    const fs::path byId_ = root_ / "by-id";
};

TEST_F(SerialPortList, NamesEachPortByItsLinkWhereOneExistsAndSortsByPath) {
    const auto adapter = device("ttyUSB0");
    const auto modem = device("ttyACM0");
    const auto stable = link("usb-Maker_Adapter_A1-if00-port0", "../ttyUSB0");
    link("broken-link", (root_ / "gone").string());

    const auto choices = serialPortChoices(
        {{modem, "ttyACM0", ""}, {adapter, "ttyUSB0", "USB serial adapter"}}, byId_);

    const std::vector<SerialPortChoice> expected{{stable, "USB serial adapter"}, {modem, ""}};
    EXPECT_EQ(choices, expected);
}

TEST_F(SerialPortList, LeavesOutThePortsThatComOneAndTwoStandFor) {
    const auto com1 = platform::portDeviceName(1, "");
    const auto com2 = platform::portDeviceName(2, "");
    const auto com3 = platform::portDeviceName(3, "");

    const auto choices = serialPortChoices(
        {{com1, "first", "built in"}, {"elsewhere", com2, "built in"}, {com3, "third", "card"}},
        byId_);

    EXPECT_EQ(choices, (std::vector<SerialPortChoice>{{com3, "card"}}));
}

TEST_F(SerialPortList, KeepsTheReportedPathsWithoutALinkFolder) {
    const auto adapter = device("ttyUSB0");
    const auto choices = serialPortChoices({{adapter, "ttyUSB0", "adapter"}}, root_ / "absent");
    EXPECT_EQ(choices, (std::vector<SerialPortChoice>{{adapter, "adapter"}}));
}

}  // namespace
}  // namespace tracebay::options
