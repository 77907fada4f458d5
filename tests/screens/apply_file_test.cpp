// "Gravar arquivo no equipamento" on the customer screen: what is compared,
// what is asked, what goes out and what is reported.
#include "screens/apply_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "resources/control_ids.h"
#include "screens/customer_screen.h"
#include "tests/support/screen_bench.h"

namespace kova {
namespace {

using Bytes = ScreenBench::Bytes;

class ApplyFile : public ::testing::Test {
 protected:
  explicit ApplyFile(int model = kModelBrio) : bench(model) {}
  // Loads a file holding the controller's values with some changed.
  void LoadFileWith(std::initializer_list<std::pair<const char*, const char*>> changed) {
    CKX4DATA file;
    file = bench.app.equipment;
    for (auto [k, v] : changed) file.Add(k, v);
    std::string path = bench.Path(bench.app.IsVela() ? "kit.VELA" : "kit.BRIO");
    file.WriteConfigINI(path, bench.app.ModelName());
    std::ofstream(path, std::ios::app) << "[" << bench.app.ModelName() << "]\r\nClientes=Oficina\r\n";
    bench.view.dialog_answers.push_back(path);
    screen.OnCommand(bench.view, IDC_LOAD);
    ASSERT_EQ(bench.app.source, kSourceFile);
    bench.Forget();
  }
  ScreenBench bench;
  CustomerScreen screen{bench.app, {[] { return true; }, nullptr}};
};

class ApplyFileVela : public ApplyFile {
 protected:
  ApplyFileVela() : ApplyFile(kModelVela) {}
};

TEST_F(ApplyFile, AsksWithTheDifferencesInScreenUnitsThenWritesAndVerifies) {
  screen.OnInit(bench.view);
  EXPECT_FALSE(bench.view.controls[IDC_APPLY_FILE].enabled);  // offered only with a file
  LoadFileWith({{"2B", "9"}, {"15", "2C"}, {"16", "1"}, {"1E", "32"}, {"7C", "60"}});
  EXPECT_TRUE(bench.view.controls[IDC_APPLY_FILE].enabled);
  bench.view.messages.clear();
  screen.OnCommand(bench.view, IDC_APPLY_FILE);
  ASSERT_EQ(bench.view.messages.size(), 2u);
  const std::string& question = bench.view.messages[0].text;
  EXPECT_EQ(bench.view.messages[0].caption, "Gravar arquivo no equipamento");
  EXPECT_NE(question.find("Número de Bobinas: equipamento 1, arquivo Tacômetro"), std::string::npos)
      << question;
  EXPECT_NE(question.find("Tempo de Aquecimento da Sonda Lâmbda: equipamento 120 s, arquivo 300 s"),
            std::string::npos)
      << question;
  EXPECT_NE(question.find("Tempo ON: equipamento 0.36 s, arquivo 0.50 s"),
            std::string::npos);
  // A speed band no screen writes is never sent.
  EXPECT_EQ(question.find("7C"), std::string::npos);
  // Sent with the ordinary transaction, last staged first, then everything
  // read back.
  EXPECT_EQ(bench.Writes(), (std::vector<Bytes>{{0, 0x16, 0x01}, {0, 0x15, 0x2C}, {0, 0x1E, 0x32},
                                          {0, 0x2B, 0x09}}));
  EXPECT_EQ(bench.Frames().back(), (Bytes{0x00, 0x04, 0x00}));
  EXPECT_EQ(bench.view.messages[1].text, "3 parâmetros gravados no equipamento.");
  EXPECT_EQ(bench.sim.Register(0x7C), 0x50);  // untouched
  EXPECT_EQ(bench.app.source, kSourceFile);  // the screens still show the file
  EXPECT_EQ(bench.Stored(bench.app.equipment, "2B"), "9");
}

TEST_F(ApplyFile, NoSendsNothingAndARefusedValueIsNamed) {
  screen.OnInit(bench.view);
  LoadFileWith({{"3D", "50"}, {"21", "14"}});
  bench.view.answers = {kIdNo};
  screen.OnCommand(bench.view, IDC_APPLY_FILE);
  EXPECT_TRUE(bench.Frames().empty());

  bench.sim.faults().read_only = {0x21};
  bench.view.messages.clear();
  screen.OnCommand(bench.view, IDC_APPLY_FILE);
  ASSERT_EQ(bench.view.messages.size(), 2u);
  EXPECT_EQ(bench.view.messages[1].text,
            "Gravados: 1.\nO equipamento não aceitou:\n\nAbertura de Cut Off: equipamento 10 "
            "Passo(s), arquivo 20 Passo(s)\n");
  EXPECT_EQ(bench.sim.Register(0x3D), 0x50);
}

TEST_F(ApplyFileVela, TheCutOffPeriodGoesAsOneValueAndASilentControllerEndsTheScreen) {
  screen.OnInit(bench.view);
  // 1 coil, 4 cylinders, 3000 rpm: period 10000 = 0x002710.
  LoadFileWith({{"27", "10"}, {"26", "27"}, {"25", "0"}});
  std::string question = ApplyQuestion(
      CompareForApply(bench.app.table, kModelVela, bench.app.equipment, bench.app.file_store));
  // Only what VELA's screens write is compared.
  EXPECT_EQ(question.find("Comutação"), std::string::npos);
  EXPECT_NE(question.find("RPM de Cut Off: equipamento 4500 RPM, arquivo 3000 RPM"),
            std::string::npos)
      << question;
  bench.sim.faults().silent = true;
  screen.OnCommand(bench.view, IDC_APPLY_FILE);
  EXPECT_EQ(bench.Writes(), (std::vector<Bytes>{{0x25, 0x00}, {0x26, 0x27}, {0x27, 0x10}}));
  EXPECT_EQ(bench.view.messages.back().text, "Erro na leitura dos parâmetros !!!");
  EXPECT_EQ(bench.view.ended, (std::vector<int>{kScreenLinkFailure}));
}

// What no screen allows is listed and never sent; what cannot be read is
// named; what the screens write is all compared, the probe mode included.
TEST_F(ApplyFile, RefusedAndUnreadableValuesAreNamedAndNeverSent) {
  screen.OnInit(bench.view);
  LoadFileWith({{"3D", "FF"}, {"2C", "3"}, {"70", "FF"}, {"60", "3"}, {"15", "FF"}, {"16", "FF"},
                {"21", "1G"}, {"78", "2"}, {"79", "7D"}, {"7C", "60"}});
  bench.view.messages.clear();
  screen.OnCommand(bench.view, IDC_APPLY_FILE);
  ASSERT_EQ(bench.view.messages.size(), 2u);
  const std::string& question = bench.view.messages[0].text;
  EXPECT_NE(question.find("Tempo Injeção Padrão: equipamento 3.0 ms, arquivo 12.5 ms"),
            std::string::npos)
      << question;
  const std::size_t refused = question.find("Não serão gravados");
  ASSERT_NE(refused, std::string::npos) << question;
  // The probe mode goes with the signal type it belongs to.
  for (const char* name : {"Baixa Rotação - Default", "Número de Cilindros", "Delay de Cut Off",
                           "Tipo de Sinal", "Tempo de Aquecimento da Sonda Lâmbda",
                           "Modo de Funcionamento: equipamento —, arquivo Manual (vai com Tipo de Sinal)"})
    EXPECT_NE(question.find(name, refused), std::string::npos) << name;
  EXPECT_NE(question.find("Abertura de Cut Off: 1G"), std::string::npos) << question;
  // Only the standard injection time goes out.
  EXPECT_EQ(bench.Writes(), (std::vector<Bytes>{{0, 0x79, 0x7D}}));
  EXPECT_EQ(bench.sim.Register(0x3D), 60);
  EXPECT_EQ(bench.sim.Register(0x2C), 4);
  EXPECT_NE(bench.view.messages[1].text.find("Não serão gravados"), std::string::npos);
}

// A new work cycle starts with empty stores and, with a file loaded, does
// not read the controller: applying reads both again before it compares.
TEST_F(ApplyFile, WorksInALaterWorkCycleAndNeverAfterAFailedLoad) {
  screen.OnInit(bench.view);
  LoadFileWith({{"21", "14"}, {"78", "1"}});  // the real probe against a simulated one
  screen.OnReturn(bench.view);
  EXPECT_FALSE(StoreHas(bench.app.equipment, "21"));
  bench.Forget();
  screen.OnInit(bench.view);
  EXPECT_TRUE(bench.Frames().empty());  // the cycle itself reads nothing
  screen.OnCommand(bench.view, IDC_APPLY_FILE);
  EXPECT_EQ(bench.Frames().front(), (Bytes{0, 4, 0}));
  EXPECT_NE(bench.view.messages.front().text.find("Tipo de Sinal: equipamento Padrão, arquivo Real"),
            std::string::npos);
  EXPECT_EQ(bench.sim.Register(0x21), 0x14);
  EXPECT_EQ(bench.sim.Register(0x78), 1);
  // The type, its operating mode and the opening.
  EXPECT_EQ(bench.view.messages.back().text, "3 parâmetros gravados no equipamento.");

  // A second load that fails leaves nothing that may be applied.
  std::string broken = bench.Path("broken.BRIO");
  std::ofstream(broken) << "[CONFIG_BRIO]\r\n2C=4\r\n";
  bench.view.dialog_answers.push_back(broken);
  screen.OnCommand(bench.view, IDC_LOAD);
  EXPECT_FALSE(bench.view.controls[IDC_APPLY_FILE].enabled);
  bench.Forget();
  EXPECT_TRUE(ApplyFileToController(bench.app, bench.view));
  EXPECT_TRUE(bench.Frames().empty());
}

}  // namespace
}  // namespace kova
