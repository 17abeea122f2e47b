// The machine identifier of the class library: a stable text derived from the hardware,
// sent only as a one-way digest.
#pragma once
#include <string>

std::string GetMachineIdentifier();
