#include "screens/customer_screen.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "resources/control_ids.h"
#include "screens/file_actions.h"
#include "sim/controller_sim.h"
#include "store/platform_file.h"
#include "sim/sim_serial_port.h"
#include "store/ini.h"
#include "tests/support/fake_view.h"

namespace kova {
namespace {

namespace fs = std::filesystem;
using Field = CustomerRecord::Field;

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A work bench: the simulated controller on an in-process link, a virtual
// clock and private folders for KOVA.INI, the dumps and parameter files.
class CustomerScreenTest : public ::testing::Test {
 protected:
  explicit CustomerScreenTest(int model = 1)
      : sim_(model, clock_), port_(sim_, clock_), app_(port_, clock_) {
    dir_ = fs::temp_directory_path() /
           ("kova_customer_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "work");
    fs::create_directories(dir_ / "user");
    fs::create_directories(dir_ / "dump");
    app_.model = model;
    app_.settings = SettingsFolders{(dir_ / "work").string(), (dir_ / "user").string()};
    app_.dump_folder = (dir_ / "dump").string();
  }
  ~CustomerScreenTest() override { fs::remove_all(dir_); }

  CustomerScreen Screen(bool has_next = false) {
    return CustomerScreen(app_, {[has_next] { return has_next; }, nullptr});
  }
  std::string Ini() { return ReadFile(dir_ / "work" / "KOVA.INI"); }

  VirtualClock clock_;
  sim::ControllerSim sim_;
  sim::SimSerialPort port_;
  AppContext app_;
  FakeView view_;
  fs::path dir_;
};

class CustomerScreenVelaPlus : public CustomerScreenTest {
 protected:
  CustomerScreenVelaPlus() : CustomerScreenTest(2) {}
};

TEST_F(CustomerScreenTest, FirstWorkCycleReadsEverythingOnce) {
  CustomerScreen screen = Screen();
  screen.OnInit(view_);
  EXPECT_TRUE(view_.ended.empty());
  EXPECT_TRUE(view_.messages.empty());
  // No port chosen and no KOVA.INI: port 1 at 9600 baud; one full read.
  EXPECT_EQ(port_.GetPortNumber(), 1);
  EXPECT_EQ(port_.BaudRate(), 9600u);
  ASSERT_EQ(sim_.Frames().size(), 1u);
  EXPECT_EQ(sim_.Frames()[0].bytes, (std::vector<uint8_t>{0x09, 0x00}));
  std::string v;
  EXPECT_TRUE(app_.equipment.GetText("1E", v));
  EXPECT_TRUE(app_.equipment.GetText("1F", v));
  // The dump holds one line per register read.
  std::string dump = ReadFile(dir_ / "dump" / "novoVELA.txt");
  size_t lines = 0;
  for (size_t p = dump.find("\r\n"); p != std::string::npos; p = dump.find("\r\n", p + 2)) ++lines;
  EXPECT_EQ(lines, app_.equipment.GetQtyUsed());
  EXPECT_EQ(lines, sim_.RegisterAddresses().size());
  // The port in use is remembered for the family.
  EXPECT_NE(Ini().find("[CONFIG_VELA]"), std::string::npos);
  EXPECT_NE(Ini().find("COM=1"), std::string::npos);
  // Without a file the source selector stays hidden.
  EXPECT_FALSE(view_.controls[IDC_SOURCE].visible);
  EXPECT_EQ(view_.controls[IDC_SOURCE].entries, (std::vector<std::string>{"Arquivo", "Equipamento"}));
}

TEST_F(CustomerScreenTest, NextOnlyWhereAScreenFollowsAndMonitorOnlyWhenBuilt) {
  CustomerScreen without = Screen(false);
  without.OnInit(view_);
  EXPECT_FALSE(view_.controls[IDC_NEXT].enabled);
  EXPECT_FALSE(view_.controls[IDC_MONITOR].enabled);
  without.OnNext(view_);
  EXPECT_TRUE(view_.ended.empty());

  FakeView view;
  int monitor_runs = 0;
  CustomerScreen with(app_, {[] { return true; }, [&] { return ++monitor_runs, 2; }});
  with.OnInit(view);
  EXPECT_TRUE(view.controls[IDC_NEXT].enabled);
  EXPECT_TRUE(view.controls[IDC_MONITOR].enabled);
  with.OnCommand(view, IDC_MONITOR);  // Exit inside the monitor exits here
  with.OnNext(view);
  EXPECT_EQ(monitor_runs, 1);
  EXPECT_EQ(view.ended, (std::vector<int>{2, 1}));
}

TEST_F(CustomerScreenTest, SilentControllerLeadsToThePortScreen) {
  sim_.faults().silent = true;
  CustomerScreen screen = Screen();
  screen.OnInit(view_);
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].text, "Erro na leitura dos parâmetros !!!");
  EXPECT_EQ(view_.ended, (std::vector<int>{3}));
  EXPECT_EQ(sim_.Frames().size(), 3u);  // three complete attempts
}

TEST_F(CustomerScreenTest, LoadedFileSuppressesTheNextRead) {
  app_.file_loaded = 1;
  app_.source = 1;
  CustomerScreen screen = Screen();
  screen.OnInit(view_);
  EXPECT_TRUE(sim_.Frames().empty());
  EXPECT_TRUE(view_.ended.empty());
  EXPECT_TRUE(view_.controls[IDC_SOURCE].visible);
  EXPECT_EQ(view_.GetSelection(IDC_SOURCE), 0);  // "Arquivo"

  FakeView second;
  app_.source = 0;
  screen.OnInit(second);
  EXPECT_TRUE(sim_.Frames().empty());
  EXPECT_EQ(second.GetSelection(IDC_SOURCE), 1);  // "Equipamento"

  second.SelectEntry(IDC_SOURCE, 0);
  screen.OnSelectionChange(second, IDC_SOURCE);
  EXPECT_EQ(app_.source, 1);
  second.SelectEntry(IDC_SOURCE, 1);
  screen.OnSelectionChange(second, IDC_SOURCE);
  EXPECT_EQ(app_.source, 0);
}

TEST_F(CustomerScreenTest, ReturnEndsTheWorkCycle) {
  CustomerScreen screen = Screen();
  screen.OnInit(view_);
  app_.file_store.Add("15", "1");
  app_.live.Add("11", "20");
  // Typed and left with the keyboard: the box never reported losing the
  // focus, yet the record takes it.
  view_.SetText(IDC_CLIENT, "Oficina");
  ASSERT_GT(app_.equipment.GetQtyUsed(), 0u);
  int closes = port_.Closes();
  clock_.ClearWaits();

  screen.OnReturn(view_);
  EXPECT_EQ(view_.ended, (std::vector<int>{4}));
  EXPECT_EQ(port_.Closes(), closes + 1);
  EXPECT_EQ(port_.PortConnected(), 0);
  EXPECT_EQ(port_.GetPortNumber(), 0);
  EXPECT_EQ(clock_.Waits(), (std::vector<uint32_t>{1000}));
  EXPECT_EQ(app_.equipment.GetQtyUsed(), 0u);
  EXPECT_EQ(app_.file_store.GetQtyUsed(), 0u);
  EXPECT_EQ(app_.live.GetQtyUsed(), 0u);
  EXPECT_EQ(app_.customer.Get(Field::kClientes), "Oficina");  // the record stays
}

TEST_F(CustomerScreenTest, BoxesAreCutToTheirCapacity) {
  CustomerScreen screen = Screen();
  screen.OnInit(view_);
  view_.SetText(IDC_CLIENT, "");
  screen.OnFieldLeft(view_, IDC_CLIENT);  // leaving an unchanged box changes nothing
  EXPECT_FALSE(app_.customer.changed);
  view_.SetText(IDC_CLIENT, std::string(60, 'A'));
  screen.OnFieldLeft(view_, IDC_CLIENT);
  EXPECT_EQ(app_.customer.Get(Field::kClientes), std::string(49, 'A'));
  EXPECT_TRUE(app_.customer.changed);
  // Capacity counts characters: accented letters are one byte each in the
  // record, not two.
  std::string plate;
  for (int i = 0; i < 35; ++i) plate += "ç";
  view_.SetText(IDC_PLATE, plate);
  screen.OnFieldLeft(view_, IDC_PLATE);
  EXPECT_EQ(app_.customer.Get(Field::kPlaca), std::string(29, '\xE7'));
  view_.SetText(IDC_NOTES, std::string(400, 'n'));
  screen.OnFieldLeft(view_, IDC_NOTES);
  EXPECT_EQ(app_.customer.Get(Field::kObservacoesGerais).size(), 298u);

  // The boxes show the record on the next visit.
  FakeView again;
  screen.OnInit(again);
  EXPECT_EQ(again.GetText(IDC_CLIENT), std::string(49, 'A'));
  EXPECT_EQ(again.GetText(IDC_PLATE).substr(0, 2), "ç");
}

TEST_F(CustomerScreenTest, ObservationsAreSavedOnOneLine) {
  CustomerScreen screen = Screen();
  screen.OnInit(view_);
  view_.SetText(IDC_NOTES, "linha1\nlinha2\r\nlinha3");
  screen.OnFieldLeft(view_, IDC_NOTES);
  view_.SetText(IDC_CLIENT, "Oficina São Jorge");
  screen.OnFieldLeft(view_, IDC_CLIENT);
  fs::path file = dir_ / "carro.VELA";
  view_.dialog_answers.push_back(file.string());
  screen.OnCommand(view_, IDC_SAVE);

  ASSERT_EQ(view_.dialogs.size(), 1u);
  EXPECT_TRUE(view_.dialogs[0].save);
  EXPECT_EQ(view_.dialogs[0].filter, "Arquivos Padrão Kova (*.VELA)|*.VELA|");
  std::string text = ReadFile(file);
  EXPECT_NE(text.find("ObservacoesGerais=linha1-linha2--linha3\r\n"), std::string::npos);
  EXPECT_NE(text.find("Clientes=Oficina S\xE3o Jorge"), std::string::npos);
  EXPECT_NE(text.find("[CONFIG_VELA]"), std::string::npos);
  EXPECT_EQ(app_.current_path, file.string());
  EXPECT_EQ(app_.source, 0);  // saving does not change the source here
}

TEST_F(CustomerScreenTest, LoadingAFileWithoutCustomerKeysEmptiesTheBoxes) {
  CustomerScreen screen = Screen();
  screen.OnInit(view_);
  app_.customer.Set(Field::kMarca, "Fiat");
  fs::path file = dir_ / "sem_cliente.VELA";
  {
    // Every register the controller gave, but no customer section.
    std::ofstream out(file, std::ios::binary);
    out << "[CONFIG_VELA]\r\n";
    for (unsigned i = 0; i < app_.equipment.GetQtyUsed(); ++i) {
      std::string k;
      app_.equipment.GetParam(i, k);
      out << k << "=5\r\n";
    }
  }
  view_.SetText(IDC_MAKE, "Fiat");
  view_.dialog_answers.push_back(file.string());
  screen.OnCommand(view_, IDC_LOAD);
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_EQ(view_.GetText(IDC_MAKE), "");
  EXPECT_EQ(app_.customer.Get(Field::kMarca), "");
  EXPECT_EQ(app_.file_loaded, 1);
  EXPECT_EQ(app_.source, 1);
  EXPECT_TRUE(view_.controls[IDC_SOURCE].visible);
  std::string v;
  ASSERT_TRUE(app_.file_store.GetText("1E", v));
  EXPECT_EQ(v, "5");
}

TEST(Settings, StayWhereTheProgramStartedWhenTheWorkingFolderMoves) {
  fs::path start = fs::temp_directory_path() / ("kova_start_" + std::to_string(::getpid()));
  fs::path elsewhere = start / "cliente";
  fs::create_directories(elsewhere);
  fs::path before = fs::current_path();
  fs::current_path(start);
  VirtualClock clock;
  sim::ControllerSim sim(kModelVela, clock);
  sim::SimSerialPort port(sim, clock);
  AppContext app(port, clock);
  // A save into the customer's folder moved the working folder.
  fs::current_path(elsewhere);
  int n = 4;
  EXPECT_EQ(app.PortSetting(n, "SET"), 0);
  fs::current_path(before);
  EXPECT_TRUE(fs::exists(start / "KOVA.INI"));
  EXPECT_FALSE(fs::exists(elsewhere / "KOVA.INI"));
  EXPECT_EQ(app.StoredPort(kModelVela), 4);

  // A program folder that cannot be written (a protected install folder)
  // sends the file dialogs to the user's documents.
  FakeView view;
  EXPECT_EQ(FileContext(app, view, IDC_SOURCE).folder, "");
  app.settings.work = (start / "protegida").string();  // no folder can be written there
  EXPECT_EQ(FileContext(app, view, IDC_SOURCE).folder, file::DocumentsFolder());
  fs::remove_all(start);
}

TEST_F(CustomerScreenVelaPlus, PortComesFromTheBrioSettings) {
  std::ofstream(dir_ / "work" / "KOVA.INI") << "[CONFIG_VELA]\r\nCOM=7\r\n[CONFIG_BRIO]\r\nCOM=3\r\n";
  CustomerScreen screen = Screen();
  screen.OnInit(view_);
  EXPECT_EQ(port_.GetPortNumber(), 3);
  EXPECT_EQ(port_.BaudRate(), 38400u);
  ASSERT_FALSE(sim_.Frames().empty());
  EXPECT_EQ(sim_.Frames()[0].bytes, (std::vector<uint8_t>{0x00, 0x06, 0x00}));
  EXPECT_TRUE(fs::exists(dir_ / "dump" / "novoBRIO.txt"));
}

}  // namespace
}  // namespace kova
