// The three small selection screens: language, controller model and
// serial port.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "common/texts.h"
#include "serial/port_probe.h"
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

// The list entry of a port: "COM3", with the adapter's name when the
// system gives one ("COM3 - USB-SERIAL CH340"), and what the search found
// there ("... - controlador encontrado", "... - em uso").
std::string PortEntry(const SystemPort& port, ProbeOutcome outcome = ProbeOutcome::kNotAsked);

// What the port screen is given to find the controller.
struct PortSearch {
  // The system's serial ports.
  std::function<std::vector<SystemPort>()> list;
  // Asks the ports for the controller, one outcome each; may be empty, and
  // then the ports are only listed.
  std::function<std::vector<ProbeOutcome>(const std::vector<SystemPort>&)> probe;
};

// "Define Porta COM": the system's serial ports. Once the window shows, the
// port this program holds is closed and every port is asked at once
// whether the controller answers there, the status line saying so; the
// first that answered is marked and chosen. Next opens the chosen port.
class PortScreen final : public ScreenLogic {
 public:
  PortScreen(SerialPort& port, PortSearch search) : port_(port), search_(std::move(search)) {}
  void OnInit(View& view) override;
  void OnNext(View& view) override;
  bool HasCtrlShortcuts() const override { return false; }

 private:
  SerialPort& port_;
  PortSearch search_;
  std::vector<std::string> listed_;  // the entries of this visit
};

// What the port screen's status line says while it asks the ports.
inline constexpr char kSearchingStatus[] = "Procurando o controlador nas portas…";

}  // namespace kova
