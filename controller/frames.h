// Command frames per controller model. VELA takes 2-byte frames (command,
// argument); BRIO and VELA plus take 3 bytes with a leading 0x00.
#pragma once
#include <cstddef>
#include <cstdint>

#include "common/model.h"

namespace kova {


// Commands besides the register writes (whose command byte is the address).
enum : uint8_t {
  kCmdStopStream = 0x07,
  kCmdStartStream = 0x08,
  kCmdConfirm = 0x05,
  kConfirmArg = 0x18,
  kCmdCalibrate = 0x61,
  kCmdReadVela = 0x09,
  kCmdReadBrio = 0x04,
  kCmdReadVelaPlus = 0x06,
};

struct Frame {
  uint8_t bytes[3] = {};
  std::size_t size = 0;
};

Frame MakeFrame(int model, uint8_t command, uint8_t argument);
// The read command of the model: 0x00 reads every register, an address one.
Frame ReadFrame(int model, uint8_t address);
Frame WriteFrame(int model, uint8_t address, uint8_t value);
Frame ConfirmFrame(int model);
Frame StartStreamFrame(int model);
Frame StopStreamFrame(int model);
Frame CalibrateFrame(int model);

// Link speed of the model: 9600 for VELA, 38400 otherwise.
unsigned long BaudRate(int model);

}  // namespace kova
