#include "controller/pacing.h"

#include "controller/frames.h"

namespace kova {
namespace {

// Milliseconds. Columns follow PacingProfile's field order.
constexpr bool kFirst = true, kLast = false, kGated = true, kAlways = false;
constexpr bool kBetween = true, kEach = false, kFileToo = true, kCtrlOnly = false;

const PacingProfile kProfiles[] = {
    // name            bef  W1   W2  n  rbW1 stg  order   bw    aw   awr  gate     conf entry  bet/each  file      readback              dump                     stop smpl sgap
    {"aux VELA",       500, 500, 400, 3, 500,   0, kLast,    0, 400,   0, kAlways, 400, 500, kEach,    kCtrlOnly, ReadBack::kSelector,   DumpAfterRead::kVelaOnly, 10,   0, 0},
    {"aux BRIO",       500, 400, 100, 3, 400,   0, kLast,    0, 100, 100, kGated,  100, 500, kEach,    kCtrlOnly, ReadBack::kSelector,   DumpAfterRead::kNever,    10,   0, 0},
    {"vehicle BRIO",   500, 400, 400, 3, 400,   0, kFirst,   0, 400, 400, kGated,  400,   0, kEach,    kCtrlOnly, ReadBack::kAlwaysFull, DumpAfterRead::kNever,    10,   0, 0},
    {"vehicle BRIO 1", 500, 400, 400, 3, 400,   0, kLast,    0, 400,   0, kGated,  400,   0, kEach,    kCtrlOnly, ReadBack::kSelector,   DumpAfterRead::kNever,    10,   0, 0},
    {"vehicle VELA",   500, 400, 400, 3, 400,   0, kLast, 1600, 400, 400, kGated,  800, 600, kEach,    kCtrlOnly, ReadBack::kSelector,   DumpAfterRead::kNever,    10,   0, 0},
    {"actuator",       500, 400, 400, 3, 400,   0, kLast,    0, 400, 400, kGated,  400, 500, kBetween, kCtrlOnly, ReadBack::kAlwaysFull, DumpAfterRead::kVelaOnly, 10,   0, 0},
    {"lambda",         500, 400, 400, 3, 400,   0, kLast,    0, 400, 400, kGated,  400,   0, kEach,    kCtrlOnly, ReadBack::kSelector,   DumpAfterRead::kNever,    10, 300, 5},
    {"monitor VELA",   500, 400, 400, 3, 500, 500, kLast,    0, 400,   0, kAlways, 400, 500, kEach,    kFileToo,  ReadBack::kAlwaysFull, DumpAfterRead::kVelaOnly, 10,   0, 0},
    {"monitor BRIO",   500, 400, 400, 3, 500, 500, kLast,    0, 100, 100, kGated,  100, 500, kEach,    kFileToo,  ReadBack::kAlwaysFull, DumpAfterRead::kVelaOnly, 10,   0, 0},
    {"customer",         0, 400,   0, 1, 400,   0, kLast,    0,   0,   0, kGated,    0,   0, kEach,    kCtrlOnly, ReadBack::kAlwaysFull, DumpAfterRead::kByModel,  10,   0, 0},
};
static_assert(sizeof kProfiles / sizeof kProfiles[0] == static_cast<int>(Pacing::kCount));

}  // namespace

const PacingProfile& Profile(Pacing pacing) { return kProfiles[static_cast<int>(pacing)]; }

Pacing AuxPacing(int model) { return model == kModelVela ? Pacing::kAuxVela : Pacing::kAuxBrio; }
Pacing MonitorPacing(int model) {
  return model == kModelVela ? Pacing::kMonitorVela : Pacing::kMonitorBrio;
}

}  // namespace kova
