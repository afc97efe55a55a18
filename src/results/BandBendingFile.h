#pragma once

#include <string>

#include "engine/Simulation.h"

// The whole text of the band-bending file for the model as it stands, CR LF line ends included.
// Throws SaveError when there are no solved profiles.
std::string BandBendingText(const Simulation& model);
