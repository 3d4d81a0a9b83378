#pragma once
// Hands the window events that are waiting to the user interface, so that it stays responsive
// during a wait on the user-interface thread.
namespace velmaro {

class IEventPump {
  public:
    virtual ~IEventPump() = default;
    virtual void ProcessPendingEvents() = 0;
};

}  // namespace velmaro
