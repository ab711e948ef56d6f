#include "usblink/UsbLink.h"

#include <gtest/gtest.h>

#include "tests/usblink/ScriptedDeviceAccess.h"

namespace usblink {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string result;
    for (int v : values) result += static_cast<char>(v);
    return result;
}

// A bulk-in packet: header for `payloadLength` with message ID `id`, then `payload`.
std::string inPacket(uint32_t payloadLength, const std::string& payload, int id = 2) {
    return bytes({id, 3, 0xFC, 0, static_cast<int>(payloadLength & 0xFF),
                  static_cast<int>((payloadLength >> 8) & 0xFF),
                  static_cast<int>((payloadLength >> 16) & 0xFF),
                  static_cast<int>(payloadLength >> 24), 1, 0, 0, 0}) +
           payload;
}

std::string counting(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>(i % 251);
    return s;
}

class UsbLinkTest : public ::testing::Test {
protected:
    bool write(uint8_t id, uint8_t tag, const std::string& data) {
        return link.WriteUSB(id, tag, static_cast<uint32_t>(data.size()),
                             reinterpret_cast<const uint8_t*>(data.data()));
    }
    void expectClosed() {
        EXPECT_EQ(link.DeviceHandle, InvalidHandle);
        EXPECT_FALSE(device.isOpen);
    }

    ScriptedDeviceAccess device;
    UsbLink link{device};
};

TEST_F(UsbLinkTest, CommandGoesAsHeaderThenData) {
    ASSERT_TRUE(write(1, 7, "*IDN?12345"));
    ASSERT_EQ(device.writes.size(), 2u);
    EXPECT_EQ(device.writes[0],
              bytes({0x01, 0x07, 0xF8, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(device.writes[1], "*IDN?12345");
    expectClosed();
}

TEST_F(UsbLinkTest, ReplyRequestIsTheHeaderAlone) {
    ASSERT_TRUE(link.WriteUSB(2, 8, 0, nullptr));
    ASSERT_EQ(device.writes.size(), 1u);
    EXPECT_EQ(device.writes[0],
              bytes({0x02, 0x08, 0xF7, 0x00, 0x40, 0x00, 0x00, 0x00, 0x01, 0x0A, 0x00, 0x00}));
}

struct HeaderRow {
    uint8_t id;
    uint32_t size;
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const HeaderRow& row) {
    return out << "message " << static_cast<int>(row.id);
}

class BulkOutHeader : public ::testing::TestWithParam<HeaderRow> {};

TEST_P(BulkOutHeader, FollowsTheMessageTable) {
    uint8_t header[12];
    fillBulkOutHeader(header, GetParam().id, 0x10, GetParam().size);
    EXPECT_EQ(std::string(header, header + 12), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, BulkOutHeader,
    ::testing::Values(HeaderRow{1, 0x123456,
                                bytes({1, 0x10, 0xEF, 0, 0x56, 0x34, 0x12, 0, 1, 0, 0, 0})},
                      HeaderRow{2, 999, bytes({2, 0x10, 0xEF, 0, 64, 0, 0, 0, 1, 0x0A, 0, 0})},
                      HeaderRow{126, 300, bytes({126, 0x10, 0xEF, 0, 0x2C, 1, 0, 0, 0, 0, 0, 0})},
                      HeaderRow{127, 5, bytes({127, 0x10, 0xEF, 0, 5, 0, 0, 0, 0, 0, 0, 0})},
                      HeaderRow{128, 77, bytes({128, 0x10, 0xEF, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
                      HeaderRow{42, 77, bytes({42, 0x10, 0xEF, 0, 0, 0, 0, 0, 0, 0, 0, 0})}));

class Chunking : public UsbLinkTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(Chunking, DataGoesInChunksOfAtMost4096) {
    const std::string data = counting(GetParam());
    ASSERT_TRUE(write(1, 1, data));
    std::string joined;
    for (size_t i = 1; i < device.writes.size(); ++i) {
        EXPECT_LE(device.writes[i].size(), 4096u);
        joined += device.writes[i];
    }
    EXPECT_EQ(joined, data);
    EXPECT_EQ(device.writes.size(), 1 + (GetParam() + 4095) / 4096);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Chunking, ::testing::Values(1, 4096, 4097, 8191, 8192, 10000));

TEST_F(UsbLinkTest, Size4097IsWrittenAs4096And1) {
    ASSERT_TRUE(write(1, 1, counting(4097)));
    ASSERT_EQ(device.writes.size(), 3u);
    EXPECT_EQ(device.writes[1].size(), 4096u);
    EXPECT_EQ(device.writes[2].size(), 1u);
}

TEST_F(UsbLinkTest, Size8191IsWrittenAs4096And4095) {
    ASSERT_TRUE(write(1, 1, counting(8191)));
    ASSERT_EQ(device.writes.size(), 3u);
    EXPECT_EQ(device.writes[2].size(), 4095u);
}

TEST_F(UsbLinkTest, FailedWriteFailsAndCloses) {
    device.writesFail = true;
    EXPECT_FALSE(write(1, 1, "x"));
    EXPECT_EQ(device.writes.size(), 1u);  // the header; nothing after it
    expectClosed();
}

TEST_F(UsbLinkTest, ShortReplyIsCompleteAfterTheFirstPacket) {
    device.packets = {inPacket(8, "ABCDEFG\n")};
    uint8_t destination[8] = {};
    uint32_t length = 0;
    ASSERT_TRUE(link.ReadUSB(&length, destination));
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(std::string(destination, destination + 8), "ABCDEFG\n");
    ASSERT_EQ(device.reads.size(), 1u);
    EXPECT_EQ(device.reads[0].asked, 64u);
    expectClosed();
}

TEST_F(UsbLinkTest, LongReplyIsReadAsFirstPacketThenTheRest) {
    const std::string payload = counting(600);
    device.packets = {inPacket(600, payload.substr(0, 52)), payload.substr(52)};
    std::vector<uint8_t> destination(600);
    uint32_t length = 0;
    ASSERT_TRUE(link.ReadUSB(&length, destination.data()));
    EXPECT_EQ(length, 600u);
    EXPECT_EQ(std::string(destination.begin(), destination.end()), payload);
    ASSERT_EQ(device.reads.size(), 2u);
    EXPECT_EQ(device.reads[1].asked, 548u);
}

TEST_F(UsbLinkTest, ChunkCountIsFixedWhenTheDeviceSendsLess) {
    // 5000 bytes announced: 52 in the first packet, then two chunks, each answered short.
    device.packets = {inPacket(5000, counting(52)), counting(100), counting(100)};
    std::vector<uint8_t> destination(5000);
    uint32_t length = 0;
    ASSERT_TRUE(link.ReadUSB(&length, destination.data()));
    EXPECT_EQ(length, 5000u);
    ASSERT_EQ(device.reads.size(), 3u);
    EXPECT_EQ(device.reads[1].asked, 4096u);
    EXPECT_EQ(device.reads[2].asked, 4096u);
}

TEST_F(UsbLinkTest, WrongMessageIdShowsTheProtocolBoxAndKeepsTheDeviceOpen) {
    device.packets = {inPacket(8, "ABCDEFGH", 1)};
    uint8_t destination[8] = {};
    uint32_t length = 99;
    EXPECT_FALSE(link.ReadUSB(&length, destination));
    ASSERT_EQ(device.boxes.size(), 1u);
    EXPECT_EQ(device.boxes[0],
              "Kavlo Device|Transfer protocols erros ouccrs,please send Initiate_abort_bulk_in "
              "request!");
    EXPECT_EQ(length, 99u);
    EXPECT_NE(link.DeviceHandle, InvalidHandle);
    // The next call uses the handle left open, then closes it.
    EXPECT_TRUE(link.WriteUSB(2, 1, 0, nullptr));
    EXPECT_EQ(device.opens, 1);
    expectClosed();
}

TEST_F(UsbLinkTest, EmptyReplyFailsWithTheDeviceLeftOpen) {
    device.packets = {inPacket(0, "")};
    uint8_t destination[4] = {};
    uint32_t length = 0;
    EXPECT_FALSE(link.ReadUSB(&length, destination));
    EXPECT_TRUE(device.boxes.empty());
    EXPECT_NE(link.DeviceHandle, InvalidHandle);
}

TEST_F(UsbLinkTest, FirstPacketShorterThanItsHeaderFailsCleanly) {
    device.packets = {bytes({2, 1, 0xFE, 0, 0xFF, 0xFF, 0, 0})};
    uint8_t destination[4] = {1, 2, 3, 4};
    uint32_t length = 7;
    EXPECT_FALSE(link.ReadUSB(&length, destination));
    EXPECT_EQ(length, 7u);
    EXPECT_EQ(destination[0], 1);
    expectClosed();
}

// The refused reply is read to its end and dropped, in chunks, so that the next reply starts
// with its own header.
TEST_F(UsbLinkTest, BoundedReadRefusesALengthLargerThanTheBufferAndDrainsIt) {
    device.packets = {inPacket(10000, counting(52)), counting(4096), counting(4096), counting(1756),
                      inPacket(2, "OK")};
    std::vector<uint8_t> destination(6200, 0xAA);
    uint32_t length = 5;
    EXPECT_FALSE(link.ReadUSB(&length, destination.data(), 6200));
    EXPECT_EQ(length, 10000u);
    for (uint8_t b : destination) ASSERT_EQ(b, 0xAA);
    ASSERT_EQ(device.reads.size(), 4u);
    EXPECT_EQ(device.reads[1].asked, 4096u);
    EXPECT_EQ(device.reads[3].asked, 1756u);
    expectClosed();
    EXPECT_TRUE(link.ReadUSB(&length, destination.data(), 6200));
    EXPECT_EQ(length, 2u);
}

// A reply too long for its reader is dropped to its end, but one that trickles its bytes, one
// every 3 s, no longer than 10 s from its start.
TEST_F(UsbLinkTest, DrainOfATricklingReplyEndsTenSecondsAfterItBegan) {
    device.readMs = 3000;
    device.packets.assign(100, "7");
    device.packets.push_front(inPacket(600, "7"));
    std::vector<uint8_t> destination(112);
    uint32_t length = 0;
    EXPECT_FALSE(link.ReadUSB(&length, destination.data(), 112));
    EXPECT_EQ(device.reads.size(), 4u) << "the first packet at 3 s, then drops at 6, 9 and 12 s";
    expectClosed();
}

TEST_F(UsbLinkTest, DrainEndsWhenTheDeviceStopsSending) {
    device.packets = {inPacket(113, counting(52)), counting(20)};
    std::vector<uint8_t> destination(112);
    uint32_t length = 0;
    EXPECT_FALSE(link.ReadUSB(&length, destination.data(), 112));
    EXPECT_EQ(device.reads.size(), 3u);  // the last read found nothing
    expectClosed();
}

TEST_F(UsbLinkTest, BoundedReadFailsWhenTheReplyEndsShort) {
    device.packets = {inPacket(600, counting(52)), counting(538)};
    std::vector<uint8_t> destination(600);
    uint32_t length = 0;
    EXPECT_FALSE(link.ReadUSB(&length, destination.data(), 600));
    expectClosed();
}

TEST_F(UsbLinkTest, BoundedReadTakesAReplyThatFitsExactly) {
    device.packets = {inPacket(112, counting(52)), counting(112).substr(52)};
    std::vector<uint8_t> destination(112);
    uint32_t length = 0;
    EXPECT_TRUE(link.ReadUSB(&length, destination.data(), 112));
    EXPECT_EQ(length, 112u);
}

TEST_F(UsbLinkTest, FailedChunkReadFailsAndCloses) {
    device.packets = {inPacket(600, counting(52))};
    std::vector<uint8_t> destination(600);
    uint32_t length = 0;
    EXPECT_FALSE(link.ReadUSB(&length, destination.data()));
    expectClosed();
}

TEST_F(UsbLinkTest, NoDeviceFailsEveryExportAndLeavesNoHandle) {
    device.present = false;
    uint8_t buffer[16] = {};
    uint32_t length = 0;
    EXPECT_FALSE(write(1, 1, "*IDN?"));
    EXPECT_FALSE(link.ReadUSB(&length, buffer));
    EXPECT_FALSE(link.Vendor_Request_Read(9, 0, 0, 4, buffer));
    EXPECT_FALSE(link.Vendor_Request_Write(1, 0, 0, 0));
    EXPECT_FALSE(link.Class_Request_Read(1, 0, 0, 4, buffer, 1));
    EXPECT_FALSE(link.Class_Request_Write(1, 0, 0, 0, 1));
    expectClosed();
    EXPECT_TRUE(device.writes.empty());
}

// What stood in the way is told of the last call only: once the instrument is there, nothing.
TEST_F(UsbLinkTest, OpenProblemIsThatOfTheLastCall) {
    for (const bool present : {false, true, false}) {
        device.present = present;
        EXPECT_EQ(write(1, 1, ":RUN"), present);
        EXPECT_EQ(link.OpenProblem, present ? "" : "no instrument found");
    }
}

TEST_F(UsbLinkTest, EveryCallOpensTheFirstMemberOfTheInterfaceClass) {
    write(1, 1, ":RUN");
    uint8_t status[4];
    link.Vendor_Request_Read(9, 0, 0, 4, status);
    EXPECT_EQ(device.opens, 2);
    EXPECT_EQ(device.closes, 2);
    EXPECT_EQ(device.openedMembers, (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(device.openedClasses[0], 0xD169FD78u);
}

TEST_F(UsbLinkTest, ControlRequestRecordCarriesRequestValueIndexLength) {
    device.ioctlAnswer = bytes({1, 2, 3, 4});
    uint8_t status[4] = {};
    ASSERT_TRUE(link.Vendor_Request_Read(9, 0x1234, 0x5678, 4, status));
    ASSERT_EQ(device.ioctls.size(), 1u);
    EXPECT_EQ(device.ioctls[0].code, 0x222008u);
    EXPECT_EQ(device.ioctls[0].input, bytes({9, 0x34, 0x12, 0x78, 0x56, 4, 0}));
    EXPECT_EQ(device.ioctls[0].inputLength, 4096u);
    EXPECT_EQ(device.ioctls[0].outputLength, 4096u);
    EXPECT_EQ(std::string(status, status + 4), bytes({1, 2, 3, 4}));
    expectClosed();
}

TEST_F(UsbLinkTest, ControlReadNeverCopiesMoreThanItsLength) {
    device.ioctlAnswer = counting(64);
    uint8_t status[6] = {0, 0, 0, 0, 0xEE, 0xEE};
    ASSERT_TRUE(link.Vendor_Request_Read(9, 0, 0, 4, status));
    EXPECT_EQ(status[4], 0xEE);
}

TEST_F(UsbLinkTest, EachRequestKindHasItsControlCode) {
    uint8_t buffer[8];
    link.Class_Request_Read(1, 0, 0, 1, buffer, 1);
    link.Class_Request_Write(1, 0, 0, 0, 1);
    link.Vendor_Request_Read(1, 0, 0, 1, buffer);
    link.Vendor_Request_Write(1, 0, 0, 0);
    link.Class_Request_Read(1, 0, 0, 1, buffer, 2);
    link.Class_Request_Write(1, 0, 0, 0, 0);
    std::vector<uint32_t> codes;
    for (const auto& call : device.ioctls) codes.push_back(call.code);
    EXPECT_EQ(codes,
              (std::vector<uint32_t>{0x222000, 0x222004, 0x222008, 0x22200C, 0x222010, 0x222014}));
    expectClosed();
}

TEST_F(UsbLinkTest, FailedControlRequestFailsAndCloses) {
    device.ioctlFails = true;
    EXPECT_FALSE(link.Vendor_Request_Write(3, 0, 0, 0));
    expectClosed();
}

}  // namespace
}  // namespace usblink
