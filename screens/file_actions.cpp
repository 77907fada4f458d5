#include "screens/file_actions.h"

#include <vector>

#include "common/texts.h"
#include "store/parameter_file.h"
#include "store/platform_file.h"

namespace kova {
namespace {

constexpr int kArquivo = 0;      // positions in the source selector
constexpr int kEquipamento = 1;
constexpr std::size_t kCustomerValueCapacity = 500;  // up to 499 characters read

std::size_t Characters(const std::string& utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// A path too long for the application's path text is not remembered.
void RememberPath(ParameterFileContext& ctx, const std::string& path) {
  if (Characters(path) <= kMaxFilePath) ctx.current_path = path;
}

void ShowSource(ParameterFileContext& ctx, int position) {
  ctx.view.Show(ctx.source_selector, true);
  ctx.view.SelectEntry(ctx.source_selector, position);
  ctx.source = position == kArquivo ? 1 : 0;
}

FileAction SaveFailed(ParameterFileContext& ctx) {
  ctx.view.MessageBox(kSaveErrorText, kSaveErrorCaption, kMbIconExclamation);
  return FileAction::kFailed;
}

}  // namespace


std::string ParameterFilter(int model) {
  return TrFormat("Arquivos Padrão Kova (*.{0})|*.{0}|", {ModelName(model)});
}

ParameterFileContext FileContext(AppContext& app, View& view, int source_selector,
                                 bool save_selects_file_source) {
  const bool protected_folder = !file::FolderWritable(app.settings.work);
  return ParameterFileContext{app.equipment,    app.file_store,  app.customer,
                              app.current_path, app.loaded_file, app.model,
                              app.source,       app.file_loaded, view,
                              source_selector,  save_selects_file_source,
                              protected_folder ? file::DocumentsFolder() : std::string()};
}

FileAction LoadParameterFile(ParameterFileContext& ctx) {
  const std::string model = ModelName(ctx.model);
  std::optional<std::string> chosen =
      ctx.view.FileDialog({false, ParameterFilter(ctx.model), "", ctx.current_path, ctx.folder});
  // The file store learns every keyword read from the controller, whatever
  // the answer, so that reading asks the file for each of them.
  ctx.file_store = ctx.equipment;
  if (!chosen) return FileAction::kCancelled;

  if (ctx.file_store.ReadConfigINI(*chosen, model) < 0) {
    // Nothing half-read may be written to the controller.
    ctx.loaded_file.clear();
    ctx.view.MessageBox(kLoadErrorText, kLoadErrorCaption, kMbIconInformation);
    ShowSource(ctx, kEquipamento);
    return FileAction::kFailed;
  }

  std::string text = file::ReadAll(*chosen).value_or(std::string());
  for (int f = 0; f < CustomerRecord::kFieldCount; ++f) {
    auto field = static_cast<CustomerRecord::Field>(f);
    ctx.customer.Set(field, ini::GetString(text, model, CustomerRecord::Key(field), "",
                                           kCustomerValueCapacity));
  }
  RememberPath(ctx, *chosen);
  ctx.loaded_file = *chosen;
  ShowSource(ctx, kArquivo);
  ctx.file_loaded = 1;
  return FileAction::kDone;
}

FileAction SaveParameterFile(ParameterFileContext& ctx) {
  const std::string model = ModelName(ctx.model);
  std::optional<std::string> chosen =
      ctx.view.FileDialog({true, ParameterFilter(ctx.model), model, ctx.current_path, ctx.folder});
  if (!chosen) return FileAction::kCancelled;
  const std::string& path = *chosen;

  if (!file::Exists(path)) {
    ctx.file_store = ctx.equipment;
    ctx.view.MessageBox(kNewFileText, kNewFileCaption, kMbIconInformation);
  } else {
    if (ctx.view.MessageBox(kOverwriteText, kOverwriteCaption, kMbYesNo | kMbIconQuestion) !=
        kIdYes)
      return FileAction::kCancelled;
    ctx.file_store = ctx.equipment;
  }

  // The observations keep their one-line form in the record too.
  ctx.customer.Set(CustomerRecord::kObservacoesGerais,
                   OneLine(ctx.customer.Get(CustomerRecord::kObservacoesGerais)));
  // Both sections in one write: the file is never left half saved.
  const file::ReplaceResult saved = WriteParameterFile(path, model, ctx.customer, ctx.file_store);
  if (saved == file::ReplaceResult::kInUse) {
    ctx.view.MessageBox(kSaveInUseText, kSaveErrorCaption, kMbIconExclamation);
    return FileAction::kFailed;
  }
  if (saved != file::ReplaceResult::kDone) return SaveFailed(ctx);
  ctx.customer.changed = false;

  // The saved file is the file the screens' "Arquivo" stands for from now
  // on, so the next screens offer the source selector: a source left on
  // "Arquivo" without it would make their writes send nothing, unseen.
  if (ctx.save_selects_file_source) ShowSource(ctx, kArquivo);
  ctx.file_loaded = 1;
  ctx.loaded_file = path;
  RememberPath(ctx, path);
  return FileAction::kDone;
}

}  // namespace kova
