// Load File and Save File of the configuration screens: the same steps on
// every screen, driven through the screen's View (dialogs, messages, the
// source selector). The screen hands in what
// the application holds and refreshes itself from the result.
#pragma once
#include <string>

#include "common/model.h"
#include "shell/app_context.h"
#include "shell/view.h"
#include "store/ckx4data.h"
#include "store/customer_record.h"

namespace kova {

enum class FileAction { kCancelled, kFailed, kDone };

// The current file path keeps at most this many characters.
constexpr std::size_t kMaxFilePath = 1000;

struct ParameterFileContext {
  CKX4DATA& equipment;       // what was last read from the controller
  CKX4DATA& file_store;      // what was last loaded, or is about to be saved
  CustomerRecord& customer;
  std::string& current_path;  // UTF-8; empty until a load or save
  std::string& loaded_file;   // the file "Arquivo" stands for; empty after a failed load
  int model;                  // 0 BRIO, 1 VELA, 2 VELA plus
  unsigned char& source;      // 1 "Arquivo" (file store), 0 "Equipamento"
  unsigned char& file_loaded;
  View& view;
  int source_selector;        // control id of the "Arquivo"/"Equipamento" list
  // Save shows "Arquivo" in the selector and switches the source to it; the
  // customer-data screen keeps its source instead.
  bool save_selects_file_source = true;
  // Where the dialogs open before a file was chosen: the user's documents
  // when the program's folder cannot be written (a protected install
  // folder); empty for the system's choice.
  std::string folder = {};
};

std::string ParameterFilter(int model);

// What the actions work on, for a screen's view and its source selector.
ParameterFileContext FileContext(AppContext& app, View& view, int source_selector,
                                 bool save_selects_file_source = true);

// Open dialog, merge of the equipment store into the file store, reading of
// the parameters and the customer record. kFailed after "Leitura incompleta".
FileAction LoadParameterFile(ParameterFileContext& ctx);
// Save dialog, confirmation, merge, then the customer section and the
// parameter section in one write of the file.
FileAction SaveParameterFile(ParameterFileContext& ctx);

// Texts shown by these actions.
inline constexpr const char* kLoadErrorText = "Ocorreu um erro na tentativa de Carregar o Arquivo.";
inline constexpr const char* kLoadErrorCaption = "Leitura incompleta";
inline constexpr const char* kNewFileText =
    "O arquivo vai receber os valores de configuração do Equipamento.";
inline constexpr const char* kNewFileCaption = "Gravando...";
inline constexpr const char* kOverwriteText =
    "Precione \"Yes\" para sobrescreve-lo ou \"No\" para cancelar a gravação";
inline constexpr const char* kOverwriteCaption = "Arquivo Existente";
inline constexpr const char* kSaveErrorText = "Ocorreu um erro na tentativa de Gravar o Arquivo.";
inline constexpr const char* kSaveErrorCaption = "Gravação incompleta";
inline constexpr const char* kSaveInUseText =
    "O arquivo está aberto em outro programa. Feche-o e grave de novo; o arquivo "
    "anterior não foi alterado.";

}  // namespace kova
