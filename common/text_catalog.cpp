#include "common/text_catalog.h"

#include <algorithm>
#include <vector>

namespace kova {
namespace {

// One line a text: Portuguese, English, Spanish.
const CatalogEntry kEntries[] = {
    {"Português", "Português", "Português"},

    // The installation report: its preview, the workshop's data, printing.
    {"Relatório da instalação", "Installation report", "Informe de la instalación"},
    {"Emitido em {0}", "Issued on {0}", "Emitido el {0}"},
    {"KOVA versão {0}", "KOVA version {0}", "KOVA versión {0}"},
    {"Equipamento {0} na COM{1}", "Controller {0} on COM{1}", "Equipo {0} en COM{1}"},
    {"Cliente e veículo", "Customer and vehicle", "Cliente y vehículo"},
    {"Configuração", "Configuration", "Configuración"},
    {"Valores do arquivo {0}.", "Values of the file {0}.", "Valores del archivo {0}."},
    {"Valores lidos do equipamento em {0}.", "Values read from the controller on {0}.",
     "Valores leídos del equipo el {0}."},
    {"Valores do equipamento.", "Values of the controller.", "Valores del equipo."},
    {"Diferenças", "Differences", "Diferencias"},
    {"O equipamento tem os valores do arquivo.", "The controller holds the file's values.",
     "El equipo tiene los valores del archivo."},
    {"Parâmetros do arquivo {0} diferentes dos do equipamento:",
     "Parameters of the file {0} that differ from the controller's:",
     "Parámetros del archivo {0} distintos de los del equipo:"},
    {"Parâmetro", "Parameter", "Parámetro"},
    {"Valor ilegível no arquivo: {0}", "Unreadable value in the file: {0}",
     "Valor ilegible en el archivo: {0}"},
    {"Página {0} de {1}", "Page {0} of {1}", "Página {0} de {1}"},
    {"Imprimir", "Print", "Imprimir"},
    {"Dados da Oficina", "Workshop data", "Datos del taller"},
    {"Fechar", "Close", "Cerrar"},
    {"< Anterior", "< Previous", "< Anterior"},
    {"Próxima >", "Next >", "Siguiente >"},
    {"Nome", "Name", "Nombre"},
    {"Endereço", "Address", "Dirección"},
    {"Telefone", "Phone", "Teléfono"},
    {"Gravar", "Save", "Guardar"},
    {"Cancelar", "Cancel", "Cancelar"},
    {"Não foi possível gravar os dados da oficina no KOVA.INI.",
     "The workshop data could not be saved in KOVA.INI.",
     "No se pudieron guardar los datos del taller en KOVA.INI."},
    {"A impressora não aceitou o relatório. Nada foi impresso.",
     "The printer did not accept the report. Nothing was printed.",
     "La impresora no aceptó el informe. No se imprimió nada."},
    {"A impressão falhou na página {0} de {1} e foi cancelada: o relatório não foi impresso.",
     "Printing failed on page {0} of {1} and was cancelled: the report was not printed.",
     "La impresión falló en la página {0} de {1} y se canceló: el informe no se imprimió."},
    {"A impressora não confirmou o fim do relatório: confira o que foi impresso.",
     "The printer did not confirm the end of the report: check what was printed.",
     "La impresora no confirmó el final del informe: revise lo que se imprimió."},
    {"erro {0} do sistema", "system error {0}", "error {0} del sistema"},
    {"Não há impressora instalada no Windows. Instale uma (ou use \"Microsoft Print to PDF\") e "
     "tente de novo.",
     "No printer is installed in Windows. Install one (or use \"Microsoft Print to PDF\") and try "
     "again.",
     "No hay ninguna impresora instalada en Windows. Instale una (o use \"Microsoft Print to "
     "PDF\") e inténtelo de nuevo."},
    {"A janela de impressão não pôde ser aberta (erro {0}). Nada foi impresso.",
     "The print dialog could not be opened (error {0}). Nothing was printed.",
     "No se pudo abrir la ventana de impresión (error {0}). No se imprimió nada."},
    {"A impressora escolhida não pôde ser aberta. Nada foi impresso.",
     "The chosen printer could not be opened. Nothing was printed.",
     "No se pudo abrir la impresora elegida. No se imprimió nada."},

    // The monitor panel's live chart and the recording viewer.
    {"Rotação", "Engine speed", "Régimen"},
    {"Sonda lambda", "Lambda probe", "Sonda lambda"},
    {"Atuador", "Actuator", "Actuador"},
    {"passos", "steps", "pasos"},
    {"Início da calibração", "Calibration start", "Inicio de la calibración"},
    {"Fim da calibração", "Calibration end", "Fin de la calibración"},
    {"Pausado", "Paused", "En pausa"},
    {"Pausar o gráfico", "Pause the chart", "Pausar el gráfico"},
    {"Continuar o gráfico", "Continue the chart", "Continuar el gráfico"},
    {"Abrir gravação", "Open recording", "Abrir grabación"},
    {"Gravações do monitor (*.csv)", "Monitor recordings (*.csv)",
     "Grabaciones del monitor (*.csv)"},
    {"Todos os arquivos (*.*)", "All files (*.*)", "Todos los archivos (*.*)"},
    {"Não foi possível abrir o arquivo\n{0}", "The file could not be opened\n{0}",
     "No se pudo abrir el archivo\n{0}"},
    {"O arquivo\n{0}\né grande demais para uma gravação do monitor.",
     "The file\n{0}\nis too large for a monitor recording.",
     "El archivo\n{0}\nes demasiado grande para una grabación del monitor."},
    {"O arquivo\n{0}\nnão é uma gravação do monitor do KOVA.",
     "The file\n{0}\nis not a KOVA monitor recording.",
     "El archivo\n{0}\nno es una grabación del monitor de KOVA."},
    {"A gravação\n{0}\nnão pôde ser lida: a linha {1} está danificada.",
     "The recording\n{0}\ncould not be read: line {1} is damaged.",
     "La grabación\n{0}\nno se pudo leer: la línea {1} está dañada."},
    {"A gravação\n{0}\nnão tem medições.", "The recording\n{0}\nholds no measurements.",
     "La grabación\n{0}\nno tiene mediciones."},
    {"GRAVAÇÃO DO MONITOR", "MONITOR RECORDING", "GRABACIÓN DEL MONITOR"},
    {"{0} medições em {1}, desde {2}", "{0} measurements over {1}, from {2}",
     "{0} mediciones en {1}, desde {2}"},
    {"A leitura parou na linha {0}: o que vem depois dela no arquivo está danificado e não é "
     "mostrado.",
     "Reading stopped at line {0}: what follows it in the file is damaged and is not shown.",
     "La lectura se detuvo en la línea {0}: lo que sigue en el archivo está dañado y no se "
     "muestra."},
    {"Aproximar", "Zoom in", "Acercar"},
    {"Afastar", "Zoom out", "Alejar"},
    {"Toda a gravação", "Whole recording", "Toda la grabación"},
};

}  // namespace

std::span<const CatalogEntry> CatalogEntries() { return kEntries; }

const CatalogEntry* FindCatalogEntry(std::string_view portuguese) {
  // Looked up by the Portuguese text: sorted once, searched by halves.
  static const std::vector<const CatalogEntry*> sorted = [] {
    std::vector<const CatalogEntry*> v;
    for (const CatalogEntry& e : kEntries) v.push_back(&e);
    std::sort(v.begin(), v.end(), [](const CatalogEntry* a, const CatalogEntry* b) {
      return std::string_view(a->portuguese) < b->portuguese;
    });
    return v;
  }();
  auto it = std::lower_bound(sorted.begin(), sorted.end(), portuguese,
                             [](const CatalogEntry* e, std::string_view key) {
                               return std::string_view(e->portuguese) < key;
                             });
  return it != sorted.end() && (*it)->portuguese == portuguese ? *it : nullptr;
}

}  // namespace kova
