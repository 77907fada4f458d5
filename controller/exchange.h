// Read and write transactions with the controller, paced per screen family
// (pacing.h), and the link set-up of a work cycle. Everything runs on the
// caller's thread; every wait goes through the injected clock.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controller/frames.h"
#include "controller/pacing.h"

class CKX4DATA;

namespace kova {

class ChangeList;
class Clock;
class SerialPort;

// What a screen lends the exchange.
class ExchangeScreen {
 public:
  virtual ~ExchangeScreen() = default;
  // Shows the store's values in the fields; false when a keyword the screen
  // needs is missing from the store.
  virtual bool ShowStore(CKX4DATA& store) = 0;
  // Stages the fields named by selector ("FULL": all of them).
  virtual void StageFields(std::string_view selector) = 0;
  // Disables and re-enables the buttons locked while the screen writes.
  virtual void EnableWriteButtons(bool enabled) = 0;
  // The keywords a full read takes from the parameter file.
  virtual std::vector<std::string> FileKeywords() const = 0;
};

// The process-wide objects the exchange works on; everything but dump must
// be set.
struct ExchangeEnv {
  SerialPort* port = nullptr;
  Clock* clock = nullptr;
  ChangeList* changes = nullptr;
  CKX4DATA* equipment = nullptr;   // values read from the controller
  CKX4DATA* file_store = nullptr;  // values read from a parameter file
  std::function<int()> model;               // kModelBrio, kModelVela, kModelVelaPlus
  std::function<bool()> source_is_file;    // the "Arquivo" source is chosen
  std::function<std::string()> file_path;  // the current parameter file
  // Writes the diagnostic dump of a store to the named file; may be empty.
  std::function<void(CKX4DATA& store, const char* path)> dump;
  // Told what the exchange is doing ("Gravando 2C (2 de 5)…"), and an empty
  // text when it is done; may be empty.
  std::function<void(const std::string& status)> progress;
  // Told each time an answer of the controller was parsed into the
  // equipment store; may be empty.
  std::function<void()> equipment_read;
};

// The selector of every register a screen shows.
inline constexpr char kFull[] = "FULL";

// What the exchange tells while it works.
inline constexpr char kReadingStatus[] = "Lendo parâmetros…";
// "Gravando 2C (2 de 5)…"
std::string WritingStatus(std::string_view keyword, int n, int count);

inline constexpr char kDumpFileVela[] = "c:\\temp\\novoVELA.txt";
inline constexpr char kDumpFileBrio[] = "c:\\temp\\novoBRIO.txt";
inline constexpr char kReadErrorText[] = "Erro na leitura dos parâmetros !!!";
inline constexpr unsigned long kReadSize = 10000;

enum class WriteOutcome {
  kDone,        // sent (or nothing to send) and read back
  kNotSent,     // the file is the source: nothing goes to the controller
  kReadFailed,  // the read-back failed three times: the screen shows the
                // read error and ends with result 3
};

class Exchange {
 public:
  Exchange(const ExchangeEnv& env, Pacing pacing, ExchangeScreen& screen);

  // One read transaction into store: from the controller (read frame, W1,
  // up to the profile's reads with W2 after each failure), or, with the file
  // as source, from the model's section of the current parameter file ("FULL"
  // reads the screen's file keywords, a selector its first keyword). Then,
  // when show is set, the screen shows the store. 0 on success, 1 on
  // failure; a selector that names no register fails without a frame.
  int ReadSelector(std::string_view selector, CKX4DATA& store, bool show = true);
  // The screen-level read: a pause, up to three transactions into the store
  // of the source. The write buttons are enabled again in every case. False
  // after three failures: the screen shows the read error and ends with 3.
  bool ReadWithRetry(std::string_view selector);
  // Stages the selector's fields, sends the change list with the profile's
  // order and pauses, empties it and reads back.
  WriteOutcome SendPendingWrites(std::string_view selector);

  // The opening sample of a screen that shows live values: start the
  // stream, wait, one read whose live records go into store unchecked, stop
  // the stream; then ask register 79 alone, wait, read and drop the answer
  // (only the stream's values are wanted), and stop the stream again.
  void SampleLiveValues(CKX4DATA& store);

  const PacingProfile& profile() const { return profile_; }

 private:
  int ReadFromController(std::string_view selector, CKX4DATA& store, uint32_t w1);
  int ReadFromFile(std::string_view selector, CKX4DATA& store);
  bool RetryRead(std::string_view selector, uint32_t w1);
  void SendEntry(int index);
  CKX4DATA& SourceStore();

  ExchangeEnv env_;
  const PacingProfile& profile_;
  ExchangeScreen& screen_;
};

// Sends one frame; the controller's writes are not confirmed, so the
// result is only for the caller's information.
int SendFrame(SerialPort& port, const Frame& frame);
// One serial read of up to kReadSize bytes: the answer text, possibly empty
// (a first byte of 0), or nothing when the read failed (no answer, or a
// full buffer).
std::optional<std::string> ReadPortText(SerialPort& port);
// The same, where an empty text is no answer either.
std::optional<std::string> ReadAnswer(SerialPort& port);

// The live stream: start once; stop three times with gap_ms between.
void StartLiveStream(SerialPort& port, int model);
void StopLiveStream(SerialPort& port, Clock& clock, int model, uint32_t gap_ms);
void StartCalibration(SerialPort& port, int model);

// Sets the link up for the model at the start of a work cycle: empties the
// change list; when no port is chosen takes the settings file's port for the
// model (port 1 when none is stored) and opens it, and opens the chosen
// port again when it was closed after its device vanished; 8 data bits, one stop
// bit, no parity at the model's speed (BRIO and VELA plus then open the port
// again); reads return at once with what is queued. Returns the first
// failing serial result, 0 when every step succeeded.
int SetUpLink(SerialPort& port, int model, ChangeList& changes,
              const std::function<std::optional<int>(int model)>& stored_port);

// The model's line settings on an open port: 8 data bits, one stop bit, no
// parity at the model's speed (BRIO and VELA plus then open the port
// again); reads return at once with what is queued.
int ApplyLineSettings(SerialPort& port, int model);

// Whether a controller of the model answers a full read on this open,
// set-up port: the read frame, then up to two reads about a second in all.
bool ControllerAnswers(SerialPort& port, Clock& clock, int model);
// The same question on several ports at once: the read frame on each, then
// the same two reads of each, so the wait is paid once for all of them.
std::vector<bool> ControllersAnswer(const std::vector<SerialPort*>& ports, Clock& clock,
                                    int model);

// A read of every register into store outside a screen's transactions
// (the monitor's): the read frame, w1, then the family's reads and waits.
// True when the controller answered; the answer is parsed into store.
bool ReadAllRegisters(const ExchangeEnv& env, Pacing pacing, CKX4DATA& store, uint32_t w1);

// The work cycle's first read of every register into the equipment store:
// up to three attempts, each failing without an answer or when the store
// then lacks 1E or 1F; every answer is dumped. False after three failures
// (the caller shows the read error and ends its screen with result 3).
bool ReadInitialConfiguration(const ExchangeEnv& env);

}  // namespace kova
