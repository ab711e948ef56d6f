#pragma once

#include <QString>

#include <cstddef>
#include <deque>

#include "acquisition/ScopeState.h"
#include "session/Upload.h"

namespace tracebay::session {

// The uploads shown lately, oldest first, and which of them is shown. A new one is shown at
// once; the oldest go when there are more than Capacity or they take more than ByteLimit.
class UploadHistory {
public:
    static constexpr size_t Capacity = 100;
    static constexpr size_t ByteLimit = 20 * 1024 * 1024;

    struct Entry {
        Screen upload;
        QString file;  // the file it was opened from; empty for one from the instrument
    };

    void add(Screen upload, QString file);
    // The entry shown, after stepping one back (-1) or forward (1); nothing at either end.
    const Entry* step(int direction);

    const Entry* shown() const { return entries_.empty() ? nullptr : &entries_[shown_]; }
    size_t count() const { return entries_.size(); }
    // From 1 for the oldest to count() for the newest.
    size_t place() const { return shown_ + 1; }
    bool newestShown() const { return shown_ + 1 == entries_.size(); }
    size_t bytes() const { return bytes_; }

    // What an upload takes in memory, its samples above all.
    static size_t footprint(const acquisition::ScopeState& upload);

private:
    std::deque<Entry> entries_;
    size_t shown_ = 0;
    size_t bytes_ = 0;
};

}  // namespace tracebay::session
