#include "link/CommandChannel.h"

namespace tracebay::link {

CommandChannel::CommandChannel(platform::HostServices& host, Transport& transport)
    : host_(host), transport_(&transport) {
    host_.setReplyTickHandler([this] { transport_->onReplyTick(); });
}

CommandChannel::~CommandChannel() { host_.setReplyTickHandler(nullptr); }

void CommandChannel::report(const LinkError& error) {
    if (error.failure == LinkFailure::Abandoned) throw Abandoned();
    if (error.lost()) throw LinkLost(error);
    if (error.shown())
        host_.showMessage(error.text(), error.caption, platform::MessageIcon::Exclamation);
}

// The pause gives the instrument time to act before the next command, also after a failed send.
bool CommandChannel::SendCommand(const std::string& command) {
    const auto error = transport_->send(command);
    if (error) report(*error);
    host_.sleepMs(CommandPauseMs);
    return !error;
}

std::string CommandChannel::QueryCommand(const std::string& command) {
    if (const auto error = transport_->send(command)) {
        report(*error);
        // No reply can come to a command that never went out.
        if (error->failure == LinkFailure::CommandTooLong) return {};
    }
    auto reply = transport_->readLine();
    if (reply.error) report(*reply.error);
    return reply.value;
}

// A failure that is not shown loses its caption: the user has not been told of it.
Reply<Bytes> CommandChannel::ReadBlock(size_t capacity, ReadFailures failures) {
    auto reply = transport_->readBlock(capacity);
    if (!reply.error) return reply;
    const LinkFailure failure = reply.error->failure;
    if (failures == ReadFailures::Quiet &&
        (failure == LinkFailure::ReadFailed || failure == LinkFailure::TooLong))
        reply.error->caption.clear();
    report(*reply.error);
    return reply;
}

}  // namespace tracebay::link
