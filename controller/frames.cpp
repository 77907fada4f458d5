#include "controller/frames.h"

namespace kova {

Frame MakeFrame(int model, uint8_t command, uint8_t argument) {
  Frame f;
  if (model == kModelVela) {
    f.bytes[0] = command;
    f.bytes[1] = argument;
    f.size = 2;
  } else {
    f.bytes[0] = 0x00;
    f.bytes[1] = command;
    f.bytes[2] = argument;
    f.size = 3;
  }
  return f;
}

Frame ReadFrame(int model, uint8_t address) {
  uint8_t cmd = model == kModelVela       ? kCmdReadVela
                : model == kModelVelaPlus ? kCmdReadVelaPlus
                                          : kCmdReadBrio;
  return MakeFrame(model, cmd, address);
}

Frame WriteFrame(int model, uint8_t address, uint8_t value) {
  return MakeFrame(model, address, value);
}
Frame ConfirmFrame(int model) { return MakeFrame(model, kCmdConfirm, kConfirmArg); }
Frame StartStreamFrame(int model) { return MakeFrame(model, kCmdStartStream, 0); }
Frame StopStreamFrame(int model) { return MakeFrame(model, kCmdStopStream, 0); }
Frame CalibrateFrame(int model) { return MakeFrame(model, kCmdCalibrate, 0); }

unsigned long BaudRate(int model) { return model == kModelVela ? 9600 : 38400; }

}  // namespace kova
