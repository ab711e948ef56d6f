#pragma once

namespace tracebay::cli {

// Ctrl+C and SIGTERM for the commands that talk to the instrument. Ending the program where it
// stands would leave the instrument's keys locked, so a stop is noted instead and the command
// ends in order, the keys unlocked at the close.
enum class FirstStop {
    EndsAfterTheUpload,  // a recording: the upload in progress ends whole; the second stop as
                         // EndsAtOnce
    EndsAtOnce,          // the waits give up and the command ends
};
void catchStopSignals(FirstStop first);

// A stop came.
bool stopAsked();
// The waits are to give up: the upload in progress is given up.
bool endAtOnce();
// The exit status of a command a stop ended at once: 128 + the signal, as a shell reports a
// program that signal ended.
int stoppedStatus();

}  // namespace tracebay::cli
