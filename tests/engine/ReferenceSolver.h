#pragma once

#include <cstdint>

#include "engine/Simulation.h"

// The mesh and the relaxation written as plainly as possible, loop for loop and operation for
// operation, with none of the solver's batching or hoisting. The real solver must match it bit for
// bit. Returns the number of sweeps begun.
std::int64_t ReferenceSolve(Simulation& model);
