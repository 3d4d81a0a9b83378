#pragma once
// Whether another copy of the program is already running, so that a second start can step aside.
namespace velmaro {

class ISingleInstance {
  public:
    virtual ~ISingleInstance() = default;
    // True when another running copy holds the program's claim. Otherwise this copy takes the
    // claim and keeps it for as long as the service object lives, so later copies see it.
    virtual bool AnotherInstanceRunning() = 0;
};

}  // namespace velmaro
