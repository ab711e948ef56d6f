#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "sim/InstrumentState.h"

namespace tracebay::sim {

struct Reply {
    enum class Kind { Text, Block };
    Kind kind = Kind::Text;
    std::string bytes;  // a text reply without its line feed, or a block's payload

    static Reply text(std::string t) { return {Kind::Text, std::move(t)}; }
    static Reply block(std::string b) { return {Kind::Block, std::move(b)}; }
};

// The instrument's command interpreter: one command line in, at most one reply out. Unknown
// commands are ignored, as the instrument does.
class Instrument {
public:
    explicit Instrument(Identity identity = {}, InstrumentState state = defaultState());
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    std::optional<Reply> execute(std::string_view line);

    const Identity& identity() const { return identity_; }
    InstrumentState& state() { return state_; }
    const InstrumentState& state() const { return state_; }

private:
    using Handler = std::function<std::optional<Reply>(const std::string& parameter)>;

    void addSettings();
    void addChannel(int channel);
    void addTrigger();
    void addTimebase();
    void addData();
    void add(const std::string& header, Handler handler) { handlers_[header] = std::move(handler); }

    Identity identity_;
    InstrumentState state_;
    std::map<std::string, Handler> handlers_;
};

// The text the instrument uses for a number: "5.000e-01".
std::string numberText(double value);

}  // namespace tracebay::sim
