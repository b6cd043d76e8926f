#pragma once

#include "platform/EventPump.h"

namespace tq {

// Waits on the Qt event loop of the running QCoreApplication.
class QtEventPump final : public EventPump {
public:
    bool WaitForInput(int32_t timeoutMs) override;
    void ProcessPendingEvents() override;
};

} // namespace tq
