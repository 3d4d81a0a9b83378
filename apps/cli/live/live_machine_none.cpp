#include "live_machine.h"

namespace velmaro::cli {

std::unique_ptr<LiveMachine> OpenLiveMachine() {
    return nullptr;
}

}  // namespace velmaro::cli
