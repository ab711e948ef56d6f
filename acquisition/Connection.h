#pragma once

#include <string>

#include "link/CommandChannel.h"

namespace tracebay::acquisition {

// Where the connection state shows: the main window's indicator.
class ConnectionIndicator {
public:
    virtual ~ConnectionIndicator() = default;
    virtual void showConnected(bool connected) = 0;
};

// How a connect attempt ended, for callers that need more than ScopeConnected.
enum class ConnectOutcome { Connected, LinkFailed, NoReply, NotFound, FirmwareTooOld };

// Connecting and identifying the instrument: only the QM1000 family with firmware 01.01.01 or
// later is accepted.
class Connection {
public:
    static constexpr std::string_view ExpectedIdentity = "KAVLO TECHNOLOGIES,QM1";
    static constexpr std::string_view ModelFamily = "QM1";
    static constexpr std::string_view FirmwareMinimumText = "01.01.01";
    static constexpr int32_t FirmwareMinimum = 10101;
    static constexpr int IdentityAttempts = 3;
    static constexpr int RetryPauseMs = 50;
    static constexpr std::string_view MakerWebAddress = "www.kavlo.example/support";

    Connection(link::CommandChannel& channel, ConnectionIndicator& indicator)
        : channel_(channel), indicator_(indicator) {}

    ConnectOutcome ConnectScope();
    void DisconnectScope();

    bool ScopeConnected = false;
    std::string ScopeModel;
    bool HasLogicAnalyzer = false;
    // The firmware version text of the last identity reply that got that far.
    std::string FirmwareVersion;

private:
    std::string queryIdentity();
    ConnectOutcome checkIdentity(const std::string& reply);
    void setConnected(bool connected);
    void deviceNotFound(bool silence);

    link::CommandChannel& channel_;
    ConnectionIndicator& indicator_;
};

// The number a firmware version text stands for: its groups at characters 1-2, 4-5 and 7-8 as
// 10000 a + 100 b + c. A group that is not two decimal digits counts as 0.
int32_t firmwareValue(const std::string& version);

}  // namespace tracebay::acquisition
