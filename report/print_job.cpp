#include "report/print_job.h"

#include "common/texts.h"

namespace kova {

PrintResult PrintPages(PrintDevice& device, const std::string& name, int pages) {
  auto failed = [&device](std::string what) {
    const std::string detail = device.ErrorText();
    if (!detail.empty()) what += "\n\n" + detail;
    return PrintResult{PrintOutcome::kFailed, std::move(what)};
  };
  if (!device.StartDocument(name)) {
    if (device.UserCancelled()) return {PrintOutcome::kCancelled, {}};
    return failed(Tr("A impressora não aceitou o relatório. Nada foi impresso."));
  }
  for (int page = 0; page < pages; ++page) {
    bool ok = device.StartPage();
    if (ok) {
      device.DrawPage(page);
      ok = device.EndPage();
    }
    if (!ok) {
      const bool cancelled = device.UserCancelled();
      device.AbortDocument();
      if (cancelled) return {PrintOutcome::kCancelled, {}};
      return failed(TrFormat(
          "A impressão falhou na página {0} de {1} e foi cancelada: o relatório não foi impresso.",
          {std::to_string(page + 1), std::to_string(pages)}));
    }
  }
  if (!device.EndDocument()) {
    const bool cancelled = device.UserCancelled();
    device.AbortDocument();
    if (cancelled) return {PrintOutcome::kCancelled, {}};
    return failed(Tr("A impressora não confirmou o fim do relatório: confira o que foi impresso."));
  }
  return {};
}

}  // namespace kova
