// The three small selection screens: language, controller model and
// serial port.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "common/texts.h"
#include "serial/serial_port.h"
#include "shell/screen_design.h"
#include "shell/screen_logic.h"

namespace kova {

// The design the model and port screens share: the template's title,
// Return, Next and Exit with their tooltips, the selection background.
ScreenDesign SelectionDesign(int template_id);

// "Selecione o Idioma": each button chooses its language for the work
// cycle and has it remembered; the current language's button has the
// focus, and Enter goes on in it.
class LanguageScreen final : public ScreenLogic {
 public:
  explicit LanguageScreen(std::function<void(Language)> remember = nullptr)
      : remember_(std::move(remember)) {}
  void OnInit(View& view) override;
  void OnEnter(View& view) override { view.EndScreen(kScreenNext); }
  void OnCommand(View& view, int id) override;
  bool HasCtrlShortcuts() const override { return false; }
  static ScreenDesign Design();

 private:
  std::function<void(Language)> remember_;
};

// "Modelo do Equipamento": BRIO, VELA, VELA plus; VELA preselected.
class ModelScreen final : public ScreenLogic {
 public:
  // `build_table` fills the parameter table for the chosen model.
  ModelScreen(int& model, std::function<void(int)> build_table)
      : model_(model), build_table_(std::move(build_table)) {}
  void OnInit(View& view) override;
  void OnNext(View& view) override;

 private:
  int& model_;
  std::function<void(int)> build_table_;
};

// Lists "COM%d" for 0 to 99 whose open succeeds; `can_open` tries one.
std::vector<std::string> ProbePorts(const std::function<bool(int)>& can_open);

// The port number of a list entry: the number after "COM" (0 when none).
int PortNumberOfEntry(const std::string& entry);

// The list entry of a port where a controller answered.
std::string FoundEntry(const std::string& name);

// "Define Porta COM": the openable ports; Next opens the chosen one. With
// `finds_controller`, each listed port is also asked whether a controller
// answers there; the first that does is marked and chosen.
class PortScreen final : public ScreenLogic {
 public:
  PortScreen(SerialPort& port, std::function<bool(int)> can_open,
             std::function<bool(int)> finds_controller = nullptr)
      : port_(port), can_open_(std::move(can_open)), finds_(std::move(finds_controller)) {}
  void OnInit(View& view) override;
  void OnNext(View& view) override;
  bool HasCtrlShortcuts() const override { return false; }

 private:
  SerialPort& port_;
  std::function<bool(int)> can_open_;
  std::function<bool(int)> finds_;
  std::vector<std::string> listed_;  // the entries of this visit
};

}  // namespace kova
