#pragma once

#include <QString>

#include <string>

namespace tracebay::mainwindow {

// What the main window's title tells of what it shows.
struct TitleFacts {
    QString file;          // the file an upload was opened from; empty for one from the instrument
    std::string model;     // the instrument an upload came from
    std::string captured;  // when, as the upload's Captured text
    QString place;         // where the upload shown stands among those kept: "3 of 100"
    bool live = false;     // uploads repeat
    bool recording = false;
    QString maskCounts;  // "mask: 12 tested, 1 failed"
};

// "TraceBay" before anything is shown; "TraceBay - upload.json" for an opened file;
// "TraceBay - QM1102D 14:03:22" for an upload, at the local time it was captured; then its place
// among the uploads kept (" - 3 of 100"), " - live" while uploads repeat, " - recording"
// while they are recorded, and the mask test's counts.
QString titleOf(const TitleFacts& facts);

}  // namespace tracebay::mainwindow
