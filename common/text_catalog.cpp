#include "common/text_catalog.h"

#include <algorithm>
#include <vector>

namespace kova {
namespace {

// One line a text: Portuguese, English, Spanish.
const CatalogEntry kEntries[] = {
    {"Português", "Português", "Português"},
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
