#pragma once

#include <string>

#include "acquisition/ScopeState.h"
#include "link/CommandChannel.h"

namespace tracebay::acquisition {

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

    explicit Connection(link::CommandChannel& channel) : channel_(channel) {}

    // A link that goes away meanwhile ends it with LinkLost.
    ConnectOutcome ConnectScope();
    void DisconnectScope();
    // The connection ended without a word to the instrument: the link went away.
    void linkLost() { ScopeConnected = false; }

    bool ScopeConnected = false;
    // The fields of the last identity reply that got that far: maker, model, serial number and
    // firmware version (as the instrument sent it, a line feed included).
    std::string Maker;
    std::string ScopeModel;
    std::string SerialNumber;
    std::string FirmwareVersion;
    bool HasLogicAnalyzer = false;
    // Those fields as an upload names its instrument: the firmware without its line end.
    InstrumentIdentity identity() const;

private:
    std::string queryIdentity();
    ConnectOutcome checkIdentity(const std::string& reply);
    void deviceNotFound(bool silence);
    void message(const std::string& text, const std::string& caption);

    link::CommandChannel& channel_;
};

// The number a firmware version text stands for: its groups at characters 1-2, 4-5 and 7-8 as
// 10000 a + 100 b + c. A group that is not two decimal digits counts as 0.
int32_t firmwareValue(const std::string& version);

}  // namespace tracebay::acquisition
