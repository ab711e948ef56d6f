#include "session/UploadHistory.h"

namespace tracebay::session {
namespace {

size_t samplesBytes(const acquisition::ScopeState::Samples& samples) {
    return samples.capacity() * sizeof(samples[0]);
}

}  // namespace

size_t UploadHistory::footprint(const acquisition::ScopeState& u) {
    size_t bytes = sizeof u;
    for (const auto* samples :
         {&u.Ch1Samples, &u.Ch2Samples, &u.FftSamples, &u.MathSamples, &u.LaSamples})
        bytes += samplesBytes(*samples);
    bytes += u.Parts.capacity() * sizeof(acquisition::UploadPart);
    return bytes;
}

void UploadHistory::add(Screen upload, QString file) {
    bytes_ += footprint(*upload);
    entries_.push_back({std::move(upload), std::move(file)});
    while (entries_.size() > 1 && (entries_.size() > Capacity || bytes_ > ByteLimit)) {
        bytes_ -= footprint(*entries_.front().upload);
        entries_.pop_front();
    }
    shown_ = entries_.size() - 1;
}

const UploadHistory::Entry* UploadHistory::step(int direction) {
    if (direction < 0 && shown_ > 0)
        --shown_;
    else if (direction > 0 && shown_ + 1 < entries_.size())
        ++shown_;
    else
        return nullptr;
    return &entries_[shown_];
}

}  // namespace tracebay::session
