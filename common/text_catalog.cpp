#include "common/text_catalog.h"

#include <algorithm>
#include <vector>

namespace kova {
namespace {

// One line a text: Portuguese, English, Spanish. The Portuguese text is
// exactly what the program shows (the key); {0}, {1} ... are the parts a
// text is made of (TrFormat). Trade words as docs/glossary.md has them.
const CatalogEntry kEntries[] = {
    // ---- start-up, language, model and port screens
    {" Já existe um aplicativo aberto ", " The program is already open ",
     " Ya hay una aplicación abierta "},
    {"Selecione o Idioma", "Select the Language", "Seleccione el Idioma"},
    {"Seleção de Idioma", "Language Selection", "Selección de Idioma"},
    {"Português", "Português", "Português"},
    {"English", "English", "English"},
    {"Español", "Español", "Español"},
    {"Modelo do Equipamento", "Controller Model", "Modelo del Equipo"},
    {"Define Porta COM", "Choose the COM Port", "Definir Puerto COM"},
    {"{0} - controlador encontrado", "{0} - controller found", "{0} - controlador encontrado"},
    {"{0} - em uso", "{0} - in use", "{0} - en uso"},
    {"{0} - {1}", "{0} - {1}", "{0} - {1}"},
    {"Procurando o controlador nas portas…", "Looking for the controller on the ports…",
     "Buscando el controlador en los puertos…"},
    {"Aguarde…", "Please wait…", "Espere…"},
    {"Gravando no controlador", "Writing to the controller", "Grabando en el controlador"},
    {"Font could not be created!", "Font could not be created!",
     "¡No se pudo crear la fuente!"},

    // ---- the frame of every screen: tooltips, source list, status line
    {"Tela de Dados", "Data Screen", "Pantalla de Datos"},
    {"Próximo", "Next", "Siguiente"},
    {"Retornar", "Back", "Volver"},
    {"Carregar Arquivo", "Load File", "Cargar Archivo"},
    {"Gravar Arquivo", "Save File", "Guardar Archivo"},
    {"Inicia Monitoramento", "Start Monitoring", "Iniciar Monitoreo"},
    {"Sair", "Exit", "Salir"},
    {"Grava Todos os Valores desta Tela no Equipamento ou Arquivo",
     "Writes All Values of this Screen to the Controller or File",
     "Graba Todos los Valores de esta Pantalla en el Equipo o Archivo"},
    {"Arquivo", "File", "Archivo"},
    {"Equipamento", "Controller", "Equipo"},
    {"Lendo parâmetros…", "Reading parameters…", "Leyendo parámetros…"},
    {"Gravando {0} ({1} de {2})…", "Writing {0} ({1} of {2})…", "Grabando {0} ({1} de {2})…"},
    {"Erro na leitura dos parâmetros !!!", "Error reading the parameters !!!",
     "Error en la lectura de los parámetros !!!"},

    // ---- what the fields say about typed values
    {"Atenção", "Attention", "Atención"},
    {"Por favor, não altere diretamente este valor.\n"
     "Use um dos valores predefinidos na lista apresentada.\n"
     "Foi assumido um dos valores validos.\n",
     "Please do not change this value directly.\n"
     "Use one of the preset values in the list.\n"
     "One of the valid values was assumed.\n",
     "Por favor, no modifique este valor directamente.\n"
     "Use uno de los valores predefinidos de la lista.\n"
     "Se asumió uno de los valores válidos.\n"},
    {"Valor acima do limite superior.", "Value above the upper limit.",
     "Valor por encima del límite superior."},
    {"Valor abaixo do limite inferior.", "Value below the lower limit.",
     "Valor por debajo del límite inferior."},
    {"Atenção - Valor máximo assumido", "Attention - Maximum value assumed",
     "Atención - Valor máximo asumido"},
    {"Atenção - Valor mínimo assumido", "Attention - Minimum value assumed",
     "Atención - Valor mínimo asumido"},
    {"Atenção - Valor limite assumido", "Attention - Limit value assumed",
     "Atención - Valor límite asumido"},
    {"fora da faixa", "out of range", "fuera de rango"},
    {"fora da faixa de {0} a {1}", "out of the range {0} to {1}", "fuera del rango de {0} a {1}"},
    {"fora da faixa de {0} a {1} {2}", "out of the range {0} to {1} {2}",
     "fuera del rango de {0} a {1} {2}"},
    {"não é um valor da lista", "not a value of the list", "no es un valor de la lista"},
    {"não cabe no registrador", "does not fit in the register", "no cabe en el registro"},
    {"não pode ser convertido em rpm", "cannot be converted to rpm", "no se puede convertir a rpm"},

    // ---- list options of the parameter table, and units
    {"Desativado", "Disabled", "Desactivado"},
    {"Ativado", "Enabled", "Activado"},
    {"Reset de Memória", "Memory Reset", "Borrar Memoria"},
    {"Emulador", "Emulator", "Emulador"},
    {"Descendente", "Descending", "Descendente"},
    {"Ascendente", "Ascending", "Ascendente"},
    {"Padrão", "Standard", "Estándar"},
    {"Especifico", "Specific", "Específico"},
    {"Específico", "Specific", "Específico"},
    {"Aberto", "Open", "Abierto"},
    {"Real", "Real", "Real"},
    {"Tacômetro", "Tachometer", "Tacómetro"},
    {"Automático", "Automatic", "Automático"},
    {"Manual", "Manual", "Manual"},
    {"Passos", "Steps", "Pasos"},
    {"Passo(s)", "Step(s)", "Paso(s)"},
    {"passo(s)", "step(s)", "paso(s)"},

    // ---- parameter files (Load File, Save File)
    {"Arquivos Padrão Kova (*.{0})|*.{0}|", "Kova Standard Files (*.{0})|*.{0}|",
     "Archivos Estándar Kova (*.{0})|*.{0}|"},
    {"Ocorreu um erro na tentativa de Carregar o Arquivo.",
     "An error occurred while trying to Load the File.",
     "Ocurrió un error al intentar Cargar el Archivo."},
    {"Leitura incompleta", "Incomplete read", "Lectura incompleta"},
    {"O arquivo vai receber os valores de configuração do Equipamento.",
     "The file will receive the configuration values of the Controller.",
     "El archivo recibirá los valores de configuración del Equipo."},
    {"Gravando...", "Saving...", "Guardando..."},
    {"Precione \"Yes\" para sobrescreve-lo ou \"No\" para cancelar a gravação",
     "Press \"Yes\" to overwrite it or \"No\" to cancel saving",
     "Pulse \"Sí\" para sobrescribirlo o \"No\" para cancelar la grabación"},
    {"Arquivo Existente", "Existing File", "Archivo Existente"},
    {"Ocorreu um erro na tentativa de Gravar o Arquivo.",
     "An error occurred while trying to Save the File.",
     "Ocurrió un error al intentar Guardar el Archivo."},
    {"Gravação incompleta", "Incomplete save", "Grabación incompleta"},

    // ---- customer-data screen
    {"Dados da Empresa", "Company Data", "Datos de la Empresa"},
    {"Cliente", "Customer", "Cliente"},
    {"Data de Instalação", "Installation Date", "Fecha de Instalación"},
    {"Marca", "Make", "Marca"},
    {"Modelo", "Model", "Modelo"},
    {"Ano de Fabricação", "Year of Manufacture", "Año de Fabricación"},
    {"Placa", "License Plate", "Placa"},
    {"Modelo do Redutor", "Reducer Model", "Modelo del Reductor"},
    {"Modelo do Misturador", "Mixer Model", "Modelo del Mezclador"},
    {"Observações Gerais", "General Notes", "Observaciones Generales"},

    // ---- writing a loaded file to the controller (customer screen)
    {"Gravar arquivo no equipamento", "Write file to the controller", "Grabar archivo en el equipo"},
    {"Parâmetros do arquivo diferentes dos do equipamento:",
     "File parameters that differ from the controller's:",
     "Parámetros del archivo distintos de los del equipo:"},
    {"{0}: equipamento {1}, arquivo {2}", "{0}: controller {1}, file {2}",
     "{0}: equipo {1}, archivo {2}"},
    {"{0}: arquivo {1}", "{0}: file {1}", "{0}: archivo {1}"},
    {"vai com {0}", "goes with {0}", "va con {0}"},
    {"Não serão gravados (fora do que a tela permite):",
     "Will not be written (beyond what the screen allows):",
     "No se grabarán (fuera de lo que la pantalla permite):"},
    {"Ignorados (valor ilegível no arquivo):", "Ignored (unreadable value in the file):",
     "Ignorados (valor ilegible en el archivo):"},
    {"Gravar os valores do arquivo no equipamento?", "Write the file's values to the controller?",
     "¿Grabar los valores del archivo en el equipo?"},
    {"O equipamento já tem os valores do arquivo.", "The controller already has the file's values.",
     "El equipo ya tiene los valores del archivo."},
    {"Nada foi gravado: nenhum valor do arquivo pode ir para o equipamento.",
     "Nothing was written: no value of the file can go to the controller.",
     "No se grabó nada: ningún valor del archivo puede ir al equipo."},
    {"{0} parâmetro gravado no equipamento.", "{0} parameter written to the controller.",
     "{0} parámetro grabado en el equipo."},
    {"{0} parâmetros gravados no equipamento.", "{0} parameters written to the controller.",
     "{0} parámetros grabados en el equipo."},
    {"Gravados: {0}.", "Written: {0}.", "Grabados: {0}."},
    {"O equipamento não aceitou:", "The controller did not take:", "El equipo no aceptó:"},

    // ---- vehicle screens (and switch-over, BRIO)
    {"Configuração do Veículo", "Vehicle Configuration", "Configuración del Vehículo"},
    {"Configurações do Veículo", "Vehicle Settings", "Ajustes del Vehículo"},
    {"Número de Cilindros", "Number of Cylinders", "Número de Cilindros"},
    {"Número de Bobinas", "Number of Coils", "Número de Bobinas"},
    {"Tipo de Sonda Lâmbda", "Lambda Probe Type", "Tipo de Sonda Lambda"},
    {"Tipo de TPS", "TPS Type", "Tipo de TPS"},
    {"Histerese do TPS", "TPS Hysteresis", "Histéresis del TPS"},
    {"Configurações de Comutação", "Switch-over Settings", "Ajustes de Conmutación"},
    {"Retorno Automático (Combustível Líquido)", "Automatic Return (Liquid Fuel)",
     "Retorno Automático (Combustible Líquido)"},
    {"Tempo de Retorno", "Return Time", "Tiempo de Retorno"},
    {"RPM de Comutação", "Switch-over RPM", "RPM de Conmutación"},
    {"Tipo de Comutação", "Switch-over Type", "Tipo de Conmutación"},

    // ---- lambda simulation and injection screens
    {"Simulação Sonda Lambda", "Lambda Probe Simulation", "Simulación de Sonda Lambda"},
    {"Simulação Sonda Lâmbda", "Lambda Probe Simulation", "Simulación de Sonda Lambda"},
    {"Tipo de Sinal", "Signal Type", "Tipo de Señal"},
    {"Tempo ON", "ON Time", "Tiempo ON"},
    {"Tempo Off", "OFF Time", "Tiempo OFF"},
    {"Modo de Funcionamento", "Operating Mode", "Modo de Operación"},
    {"Tempo Injeção Padrão", "Standard Injection Time", "Inyección Estándar"},
    {"Tempo de Injeção 0 - 1000 RPM", "Injection Time 0 - 1000 RPM",
     "Tiempo de Inyección 0 - 1000 RPM"},
    {"Tempo de Injeção 1001 - 2000 RPM", "Injection Time 1001 - 2000 RPM",
     "Tiempo de Inyección 1001 - 2000 RPM"},
    {"Tempo de Injeção 2001 - 4000 RPM", "Injection Time 2001 - 4000 RPM",
     "Tiempo de Inyección 2001 - 4000 RPM"},
    {"Tempo de Injeção 4001 - 7500 RPM", "Injection Time 4001 - 7500 RPM",
     "Tiempo de Inyección 4001 - 7500 RPM"},
    {"Tempo de Injeção Default 1 - 25 ms", "Default Injection Time 1 - 25 ms",
     "Tiempo de Inyección por Defecto 1 - 25 ms"},
    {"LEITURA EM TEMPO REAL", "LIVE READING", "LECTURA EN TIEMPO REAL"},
    {"ROTAÇÃO DO MOTOR (RPM)", "ENGINE SPEED (RPM)", "RÉGIMEN DEL MOTOR (RPM)"},
    {"TEMPO DE INJEÇÃO (ms)", "INJECTION TIME (ms)", "TIEMPO DE INYECCIÓN (ms)"},

    // ---- auxiliary-functions screens
    {"Funções Auxiliares", "Auxiliary Functions", "Funciones Auxiliares"},
    {"Cut Off", "Fuel Cut-off", "Corte de Combustible"},
    {"Abertura de Cut Off", "Cut-off Opening", "Apertura en el Corte"},
    {"RPM de Cut Off", "Cut-off RPM", "RPM de Corte"},
    {"Tempo de Aquecimento da Sonda Lâmbda", "Lambda Probe Warm-up Time",
     "Calentamiento de la Sonda Lambda"},
    {"Relé Auxiliar", "Auxiliary Relay", "Relé Auxiliar"},
    {"Delay de Cut Off", "Cut-off Delay", "Retardo del Corte"},
    {"Tempo de sobreposição", "Overlap time", "Tiempo de superposición"},

    // ---- actuator screen
    {"Configurações do Atuador", "Stepper Actuator Settings", "Ajustes del Actuador"},
    {"Baixa Rotação", "Low RPM", "Bajas RPM"},
    {"Alta Rotação", "High RPM", "Altas RPM"},
    {"Default", "Default", "Por defecto"},
    {"Passos Mín", "Min Steps", "Pasos Mín"},
    {"Passos Máx", "Max Steps", "Pasos Máx"},
    {"1 - 240 passo(s)", "1 - 240 step(s)", "1 - 240 paso(s)"},
    {"1 -   40 passo(s)", "1 -   40 step(s)", "1 -   40 paso(s)"},

    // ---- monitor panel and calibration
    {"Calibrar", "Calibrate", "Calibrar"},
    {"Gravar dados", "Record data", "Grabar datos"},
    {"Parar gravação", "Stop recording", "Detener grabación"},
    {"Marcha Lenta", "Idle", "Ralentí"},
    {"1-240 Passos", "1-240 Steps", "1-240 Pasos"},
    {"CALIBRANDO ...", "CALIBRATING ...", "CALIBRANDO ..."},
    {"Calibrando… {0} s de {1}", "Calibrating… {0} s of {1}", "Calibrando… {0} s de {1}"},
    {"Erro no processo de calibração", "Error in the calibration process",
     "Error en el proceso de calibración"},
    {"Calibração", "Calibration", "Calibración"},
    {"TEMPO ESGOTADO!\n\nErro na calibração.\nNão houve resposta do gerenciador de fluxo de gás...",
     "TIME OUT!\n\nCalibration error.\nThe gas-flow manager did not answer...",
     "¡TIEMPO AGOTADO!\n\nError en la calibración.\nEl gestor de flujo de gas no respondió..."},
    {"Erro", "Error", "Error"},
    {"Calibração em andamento", "Calibration in progress", "Calibración en curso"},
    {"A Calibração ainda não foi concluída. Deseja realmente retornar à tela anterior?",
     "The Calibration has not finished yet. Do you really want to go back to the previous screen?",
     "La Calibración aún no ha terminado. ¿Desea realmente volver a la pantalla anterior?"},
    {"A Calibração ainda não foi concluída. Deseja realmente sair?",
     "The Calibration has not finished yet. Do you really want to exit?",
     "La Calibración aún no ha terminado. ¿Desea realmente salir?"},
    {"Gravando em {0}", "Recording to {0}", "Grabando en {0}"},
    {"Não foi possível criar o arquivo\n{0}", "The file could not be created\n{0}",
     "No se pudo crear el archivo\n{0}"},
    {"Não foi possível gravar no arquivo\n{0}\n(disco cheio ou pasta protegida).\n"
     "A gravação foi interrompida; o que já foi gravado continua no arquivo.",
     "The file could not be written\n{0}\n(disk full or protected folder).\n"
     "The recording stopped; what was already recorded stays in the file.",
     "No se pudo escribir en el archivo\n{0}\n(disco lleno o carpeta protegida).\n"
     "La grabación se detuvo; lo ya grabado sigue en el archivo."},
    {"MONITOR EM TEMPO REAL", "REAL-TIME MONITOR", "MONITOR EN TIEMPO REAL"},
    {"ROTAÇÃO DO MOTOR", "ENGINE SPEED", "RÉGIMEN DEL MOTOR"},
    {"até 4000 rpm", "up to 4000 rpm", "hasta 4000 rpm"},
    {"4000 a 5500 rpm", "4000 to 5500 rpm", "4000 a 5500 rpm"},
    {"acima de 5500 rpm", "above 5500 rpm", "más de 5500 rpm"},
    // The lambda readout's caption stands on two lines: "SONDA" over "LAMBDA (V)".
    {"SONDA", "LAMBDA", "SONDA"},
    {"LAMBDA (V)", "PROBE (V)", "LAMBDA (V)"},
    {"ATUADOR", "ACTUATOR", "ACTUADOR"},
    {"PASSOS", "STEPS", "PASOS"},
    {"ATUADOR DE PASSO", "STEPPER ACTUATOR", "ACTUADOR PASO A PASO"},

    // ---- the recording (CSV): columns, the scale's colours, events
    {"Tempo (ms)", "Time (ms)", "Tiempo (ms)"},
    {"Data e hora", "Date and time", "Fecha y hora"},
    {"Rotação (rpm)", "Engine speed (rpm)", "Régimen (rpm)"},
    {"TPS (V)", "TPS (V)", "TPS (V)"},
    {"Sonda lambda (V)", "Lambda probe (V)", "Sonda lambda (V)"},
    {"Atuador (passos)", "Actuator (steps)", "Actuador (pasos)"},
    {"Escala do atuador", "Actuator scale", "Escala del actuador"},
    {"Evento", "Event", "Evento"},
    {"verde", "green", "verde"},
    {"vermelha", "red", "roja"},
    {"oculta", "hidden", "oculta"},
    {"início da calibração", "calibration start", "inicio de la calibración"},
    {"erro no processo de calibração", "error in the calibration process",
     "error en el proceso de calibración"},
    {"calibração concluída", "calibration done", "calibración terminada"},
    {"relatório de calibração {0}", "calibration report {0}", "informe de calibración {0}"},
    {"tempo esgotado", "timed out", "tiempo agotado"},

    // ---- words drawn in the pictures (buttons, splash)
    {"GRAVAR", "WRITE", "GRABAR"},
    {"ARQUIVO", "FILE", "ARCHIVO"},
    {"CALIBRAR", "CALIBRATE", "CALIBRAR"},
    {"Configuração de centrais", "Gas-injection controller", "Configuración de centrales"},
    {"de injeção de gás", "configuration", "de inyección de gas"},
    {"Ferramenta de oficina", "Workshop tool", "Herramienta de taller"},
    {"Iniciando...", "Starting...", "Iniciando..."},

    // The installation report: its preview, the workshop's data, printing.
    {"Relatório da instalação", "Installation report", "Informe de la instalación"},
    {"Relatório", "Report", "Informe"},
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
    {"O arquivo está aberto em outro programa. Feche-o e grave de novo; o arquivo anterior não foi "
     "alterado.",
     "The file is open in another program. Close it and save again; the previous file was not "
     "changed.",
     "El archivo está abierto en otro programa. Ciérrelo y guarde de nuevo; el archivo anterior no "
     "se modificó."},
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
    {"fim da calibração", "calibration end", "fin de la calibración"},
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
