#include "store/diagnostic_dump.h"

#include "store/platform_file.h"

namespace kova {

std::string DiagnosticDumpPath(int model) { return DiagnosticDumpPath(model, file::DumpFolder()); }

std::string DiagnosticDumpPath(int model, const std::string& folder) {
  return file::Join(folder, model == 1 ? "novoVELA.txt" : "novoBRIO.txt");
}

bool DiagnosticDump(CKX4FILE& file, CKX4DATA& store, int model) {
  return DiagnosticDump(file, store, model, file::DumpFolder());
}

bool DiagnosticDump(CKX4FILE& f, CKX4DATA& store, int model, const std::string& folder) {
  if (f.KX4OpenFile(DiagnosticDumpPath(model, folder)) != CKX4FILE_OK) return false;
  store.Dump(f.Handle(), 0);
  f.KX4CloseFile();
  return true;
}

}  // namespace kova
