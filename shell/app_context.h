// The process-wide state of KOVA.exe as one object handed to every screen:
// model, source and flags, the three keyword stores, the serial port, the
// parameter table, the change list, the customer record, the current file
// path, the dump file object and the clock. Created once at start-up and
// kept until the process ends.
#pragma once
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "common/clock.h"
#include "controller/change_list.h"
#include "controller/exchange.h"
#include "controller/parameter_table.h"
#include "serial/serial_port.h"
#include "shell/screen_flow.h"
#include "shell/view.h"
#include "store/ckx4data.h"
#include "store/ckx4file.h"
#include "store/customer_record.h"
#include "store/settings.h"

namespace kova {

struct AppContext {
  AppContext(SerialPort& serial, Clock& clk) : port(serial), clock(clk) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  int model = kModelVela;      // 0 BRIO, 1 VELA, 2 VELA plus
  uint8_t source = 0;          // 1: the screens show the file store ("Arquivo")
  uint8_t file_loaded = 0;     // a parameter file was loaded in this run
  uint8_t ctrl = 0;            // the Ctrl key is held

  CKX4DATA equipment;          // what was last read from the controller
  CKX4DATA file_store;         // what was last loaded from a parameter file
  CKX4DATA live;               // the monitor's live values
  CKX4FILE dump_file;

  SerialPort& port;
  ParameterTable table;
  ChangeList changes;
  CustomerRecord customer;
  std::string current_path;    // the last parameter file loaded or saved
  // The parameter file whose values the screens show as "Arquivo" and that
  // may be written to the controller: the last one loaded or saved; empty
  // after a load that failed.
  std::string loaded_file;
  std::string current_key;     // the field that last got the focus ("2C", "75_76")
  // When the controller's answer last came into the equipment store (the
  // installation report tells it); nothing once the stores are cleared.
  std::optional<std::time_t> equipment_read_at;
  Clock& clock;

  // Where the diagnostic dumps go; empty: the platform's dump folder.
  std::string dump_folder;
  // Where KOVA.INI lives: the working folder when the program started (or
  // the user's folder), fixed then, so that a file dialog that moves the
  // working folder does not move the settings with it.
  SettingsFolders settings = DefaultSettingsFolders();

  bool IsVela() const { return model == kModelVela; }
  // The model family's name: file extension, customer and settings section.
  std::string ModelName() const { return kova::ModelName(model); }
  // Empties the three stores at the end of a work cycle.
  void ClearStores();
  // Writes the diagnostic dump of a store to the named file; a folder that
  // does not exist skips it.
  void Dump(CKX4DATA& store, const char* path);
  // KOVA.INI "GET" / "SET" of the port for the current model family.
  int PortSetting(int& port_number, const std::string& action);
  // The port stored for a model, or nothing.
  std::optional<int> StoredPort(int for_model);
  // The objects the controller exchange works on.
  ExchangeEnv Exchange();
};

}  // namespace kova
