#pragma once

#include <cstdint>

namespace tq {

// Process priority classes, as the program names them, and their nice values here.
enum class PriorityClass : uint32_t {
    Idle = 0x40,
    BelowNormal = 0x4000,
    Normal = 0x20,
    AboveNormal = 0x8000,
    High = 0x80,
    Realtime = 0x100,
};

// Sets a process's priority class and returns the class it has afterwards (0 when it
// cannot be read). Process id 0 means this process. A class the process may not take
// (raising priority without the right) is left as it was.
uint32_t SetProcessPriority(int32_t processId, PriorityClass priority);

} // namespace tq
