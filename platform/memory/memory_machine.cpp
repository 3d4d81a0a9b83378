#include "memory/memory_machine.h"
