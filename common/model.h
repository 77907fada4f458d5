// The few names every layer of KOVA.exe shares: the controller models, the
// model family's name, the screen results and the source the screens show.
#pragma once
#include <string>

namespace kova {

// Model codes, as the model screen lists them.
enum : int { kModelBrio = 0, kModelVela = 1, kModelVelaPlus = 2 };

// The models by name, in model-code order: the model screen's list, the
// installation report.
inline constexpr const char* kModelNames[] = {"BRIO", "VELA", "VELA plus"};

// The model family's name: "VELA" for VELA, "BRIO" for BRIO and VELA plus.
// It names the parameter-file extension, the customer section, the settings
// section ("CONFIG_" + name) and the dump file.
inline std::string ModelName(int model) { return model == kModelVela ? "VELA" : "BRIO"; }

// What a modal screen ends with.
enum : int {
  kScreenNext = 1,
  kScreenExit = 2,
  kScreenLinkFailure = 3,
  kScreenReturn = 4,
  // The selection screens end the application on this result too.
  kScreenAbort = 8,
};

// The screens' source: the file store ("Arquivo") or the equipment store
// ("Equipamento"). The source flag holds 1 for the file.
enum : unsigned char { kSourceEquipment = 0, kSourceFile = 1 };
// Positions of the two entries in every screen's source selector.
enum : int { kSelectorFile = 0, kSelectorEquipment = 1 };

}  // namespace kova
