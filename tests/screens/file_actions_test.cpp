// Load File and Save File of the data screens, on real files in a fresh
// folder per test, through the fake view.
#include "screens/file_actions.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "store/ckx4data.h"
#include "tests/support/temp_folder.h"
#include "store/customer_record.h"
#include "store/ini.h"
#include "store/profile.h"
#include "tests/support/fake_view.h"

namespace {

namespace fs = std::filesystem;

using kova::testing::Folder;
using kova::testing::Value;



class Actions : public Folder {
 protected:
  static constexpr int kSelector = 1040;
  CKX4DATA equipment, file_store;
  kova::CustomerRecord customer;
  std::string current_path, loaded_file;
  unsigned char source = 0, loaded = 0;
  kova::FakeView view;

  kova::ParameterFileContext Ctx(int model) {
    return {equipment, file_store, customer, current_path, loaded_file, model,
            source,    loaded,     view,     kSelector};
  }
};

TEST_F(Actions, SavedVelaFileHoldsParametersAndCustomerAndLoadsBack) {
  equipment.Add("15", "58");
  equipment.Add("16", "2");
  customer.Set(kova::CustomerRecord::kClientes, "Jo\xe3o da Silva");
  customer.Set(kova::CustomerRecord::kPlaca, "ABC-1234");
  customer.Set(kova::CustomerRecord::kModeloRedutor, "R1");
  customer.Set(kova::CustomerRecord::kModeloMisturador, "M2");
  customer.Set(kova::CustomerRecord::kObservacoesGerais, "linha1\nlinha2\r\nlinha3");
  customer.changed = true;
  const std::string path = Path("cliente.VELA");
  view.dialog_answers.push_back(path);
  auto ctx = Ctx(1);
  ASSERT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kDone);

  ASSERT_EQ(view.dialogs.size(), 1u);
  EXPECT_TRUE(view.dialogs[0].save);
  EXPECT_EQ(view.dialogs[0].filter, "Arquivos Padrão Kova (*.VELA)|*.VELA|");
  EXPECT_EQ(view.dialogs[0].default_ext, "VELA");
  EXPECT_EQ(view.dialogs[0].initial, "");
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text,
            "O arquivo vai receber os valores de configuração do Equipamento.");
  EXPECT_EQ(view.messages[0].caption, "Gravando...");
  EXPECT_EQ(view.messages[0].flags, kova::kMbIconInformation);
  EXPECT_EQ(Slurp(path),
            "[VELA]\r\nClientes=Jo\xe3o da Silva\r\nDataInstalacao=\r\nMarca=\r\nModelo=\r\n"
            "AnoFabricacao=\r\nPlaca=ABC-1234\r\nModeloRedutor=R1\r\nModeloMisturador=M2\r\n"
            "ObservacoesGerais=linha1-linha2--linha3\r\n"
            "[CONFIG_VELA]\r\n15=58\r\n16=2\r\n");
  EXPECT_EQ(customer.Get(kova::CustomerRecord::kObservacoesGerais), "linha1-linha2--linha3");
  EXPECT_FALSE(customer.changed);
  EXPECT_EQ(current_path, path);
  EXPECT_EQ(source, 1);
  EXPECT_EQ(view.controls[kSelector].selection, 0);

  // Load it back into a fresh run: the store and the record come back.
  CKX4DATA equipment2, file2;
  equipment2.Add("15", "0");
  equipment2.Add("16", "0");
  kova::CustomerRecord customer2;
  std::string path2, loaded_file2;
  unsigned char source2 = 0, loaded2 = 0;
  kova::FakeView view2;
  view2.dialog_answers.push_back(path);
  kova::ParameterFileContext ctx2{equipment2, file2,   customer2, path2,    loaded_file2, 1,
                                  source2,    loaded2, view2,     kSelector};
  ASSERT_EQ(kova::LoadParameterFile(ctx2), kova::FileAction::kDone);
  EXPECT_FALSE(view2.dialogs[0].save);
  EXPECT_EQ(view2.dialogs[0].default_ext, "");
  EXPECT_EQ(Value(file2, "15"), "58");
  EXPECT_EQ(Value(file2, "16"), "2");
  EXPECT_EQ(Value(equipment2, "15"), "0");
  for (int i = 0; i < kova::CustomerRecord::kFieldCount; ++i) {
    auto fld = static_cast<kova::CustomerRecord::Field>(i);
    EXPECT_EQ(customer2.Get(fld), customer.Get(fld)) << kova::CustomerRecord::Key(fld);
  }
  EXPECT_EQ(path2, path);
  EXPECT_EQ(source2, 1);
  EXPECT_EQ(loaded2, 1);
  EXPECT_TRUE(view2.controls[kSelector].visible);
  EXPECT_EQ(view2.controls[kSelector].selection, 0);
  EXPECT_TRUE(view2.messages.empty());
}

TEST_F(Actions, LoadingAFileThatLacksAKeywordFailsForBothFamilies) {
  for (int model : {0, 1, 2}) {
    const std::string name = model == 1 ? "VELA" : "BRIO";
    const std::string path = Path("short." + name);
    Put(path, "[" + name + "]\r\nClientes=X\r\n[CONFIG_" + name + "]\r\n15=1\r\n");
    CKX4DATA eq, fs_;
    eq.Add("15", "9");
    eq.Add("16", "9");
    kova::CustomerRecord c;
    c.Set(kova::CustomerRecord::kClientes, "kept");
    std::string cur = "previous", applicable = "previous";
    unsigned char src = 1, ld = 0;
    kova::FakeView v;
    v.dialog_answers.push_back(path);
    kova::ParameterFileContext ctx{eq, fs_, c, cur, applicable, model, src, ld, v, kSelector};
    EXPECT_EQ(kova::LoadParameterFile(ctx), kova::FileAction::kFailed);
    ASSERT_EQ(v.messages.size(), 1u);
    EXPECT_EQ(v.messages[0].text, "Ocorreu um erro na tentativa de Carregar o Arquivo.");
    EXPECT_EQ(v.messages[0].caption, "Leitura incompleta");
    EXPECT_EQ(v.messages[0].flags, kova::kMbIconInformation);
    EXPECT_EQ(v.dialogs[0].filter, "Arquivos Padrão Kova (*." + name + ")|*." + name + "|");
    EXPECT_EQ(v.dialogs[0].initial, "previous");
    EXPECT_EQ(Value(fs_, "15"), "1");  // read before the missing one
    EXPECT_EQ(Value(fs_, "16"), "9");
    EXPECT_EQ(c.Get(kova::CustomerRecord::kClientes), "kept");
    EXPECT_EQ(applicable, "");  // nothing half-read may be applied
    EXPECT_EQ(cur, "previous");
    EXPECT_EQ(src, 0);
    EXPECT_EQ(ld, 0);
    EXPECT_EQ(v.controls[kSelector].selection, 1);
  }
}

TEST_F(Actions, CancelledLoadStillMergesAndEmptyStoresLoadAnything) {
  equipment.Add("15", "1");
  file_store.Add("30", "3");
  auto ctx = Ctx(0);
  EXPECT_EQ(kova::LoadParameterFile(ctx), kova::FileAction::kCancelled);
  EXPECT_EQ(Value(file_store, "15"), "1");
  EXPECT_EQ(Value(file_store, "30"), "3");
  EXPECT_EQ(loaded, 0);

  CKX4DATA e2, f2;
  Put(Path("nokeys.BRIO"), "[OTHER]\r\nx=1\r\n");
  customer.Set(kova::CustomerRecord::kMarca, "old");
  view.dialog_answers.push_back(Path("nokeys.BRIO"));
  kova::ParameterFileContext ctx2{e2,     f2,     customer, current_path, loaded_file, 0,
                                  source, loaded, view,     kSelector};
  EXPECT_EQ(kova::LoadParameterFile(ctx2), kova::FileAction::kDone);
  EXPECT_EQ(f2.GetQtyUsed(), 0u);
  EXPECT_EQ(customer.Get(kova::CustomerRecord::kMarca), "");  // missing keys empty the record
  EXPECT_EQ(loaded, 1);
}

TEST_F(Actions, LongCustomerValuesFromAFileAreCut) {
  const std::string path = Path("long.BRIO");
  Put(path, "[BRIO]\r\nClientes=" + std::string(499, 'c') + "\r\nObservacoesGerais=" +
                std::string(600, 'o') + "\r\n");
  view.dialog_answers.push_back(path);
  auto ctx = Ctx(2);
  ASSERT_EQ(kova::LoadParameterFile(ctx), kova::FileAction::kDone);
  EXPECT_EQ(customer.Get(kova::CustomerRecord::kClientes), std::string(49, 'c'));
  EXPECT_EQ(customer.Get(kova::CustomerRecord::kObservacoesGerais), std::string(298, 'o'));
}

TEST_F(Actions, ExistingFileAsksFirstAndNoWritesNothing) {
  const std::string path = Path("old.BRIO");
  Put(path, "[BRIO]\r\nMarca=Fiat\r\n");
  equipment.Add("10", "A");
  view.dialog_answers.push_back(path);
  view.answers.push_back(kova::kIdNo);
  auto ctx = Ctx(0);
  EXPECT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kCancelled);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text,
            "Precione \"Yes\" para sobrescreve-lo ou \"No\" para cancelar a gravação");
  EXPECT_EQ(view.messages[0].caption, "Arquivo Existente");
  EXPECT_EQ(view.messages[0].flags, kova::kMbYesNo | kova::kMbIconQuestion);
  EXPECT_EQ(Slurp(path), "[BRIO]\r\nMarca=Fiat\r\n");
  EXPECT_EQ(file_store.GetQtyUsed(), 0u);

  view.dialog_answers.push_back(path);
  view.answers.push_back(kova::kIdYes);
  customer.Set(kova::CustomerRecord::kMarca, "VW");
  ctx.save_selects_file_source = false;
  EXPECT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kDone);
  EXPECT_EQ(kova::ini::GetString(Slurp(path), "BRIO", "Marca", "", 100), "VW");
  EXPECT_EQ(kova::ini::GetString(Slurp(path), "CONFIG_BRIO", "10", "", 100), "A");
  EXPECT_EQ(source, 0);  // this screen keeps its source
  EXPECT_EQ(view.dialogs[1].initial, "");
  EXPECT_EQ(current_path, path);
}

TEST_F(Actions, SaveThatCannotWriteSaysSoAndKeepsThePath) {
  equipment.Add("10", "A");
  current_path = "before";
  view.dialog_answers.push_back(Unwritable("x.BRIO"));
  auto ctx = Ctx(0);
  EXPECT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kFailed);
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[0].text, kova::kNewFileText);
  EXPECT_EQ(view.messages[1].text, kova::kSaveErrorText);
  EXPECT_EQ(current_path, "before");
  EXPECT_EQ(view.dialogs[0].initial, "before");
  view.dialog_answers.clear();
  EXPECT_EQ(kova::SaveParameterFile(ctx), kova::FileAction::kCancelled);
}

}  // namespace
