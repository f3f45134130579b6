// The host's script: answers the plug-in's dialogs and message boxes from a thread timer, as
// a user would, and notes what was shown. Test and demo support only.
#pragma once

#include <string>
#include <vector>

namespace quillscript {

// One answer to the next dialog: type two texts into the change-password entries and press
// change, or press cancel or OK. Message boxes are always answered OK.
struct Answer {
    enum Kind { type, cancel, ok } kind;
    std::string first, second;
};

// Starts answering on the calling thread every `period` milliseconds.
void start(const std::vector<Answer>& answers, unsigned period = 40);
// Stops, wipes the answers' texts and answers what was shown, blank-separated:
// "change box 25028 error 26114".
std::string stop();
// What was shown so far.
std::string shown();
// Holds the change-password dialog on screen (no answers) until released.
void hold(bool on);

} // namespace quillscript
