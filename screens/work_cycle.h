// The data screens of a model's work cycle, in their order, each with its
// title and fields: what the screens show and write. Applying a file and
// the installation report walk these, so a field appears in both by
// construction.
#pragma once
#include <vector>

#include "screens/data_screen.h"

namespace kova {

std::vector<ScreenFields> WorkCycleScreens(int model);

}  // namespace kova
