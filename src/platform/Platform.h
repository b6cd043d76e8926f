#pragma once

namespace tq {

class Clock;
class EventPump;
class FileDialogs;
class MessageBoxes;
class Speaker;

// The outside world as the program sees it, gathered once in main() and handed down.
// Tests fill it with fakes.
struct Platform {
    Clock* clock = nullptr;
    EventPump* pump = nullptr;
    MessageBoxes* boxes = nullptr;
    FileDialogs* dialogs = nullptr;
    Speaker* speaker = nullptr;
};

} // namespace tq
