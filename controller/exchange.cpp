#include "controller/exchange.h"

#include <algorithm>
#include <vector>

#include "common/clock.h"
#include "common/texts.h"
#include "controller/answer_parser.h"
#include "controller/change_list.h"
#include "controller/store_access.h"
#include "serial/serial_port.h"

namespace kova {
namespace {

bool IsCompound(std::string_view selector) {
  return selector.find('_') != std::string_view::npos;
}

// The register a selector names: its leading hexadecimal digits ("15_16"
// names 15); "FULL" is 0x00, every register. Nothing when the selector does
// not start with a register address.
std::optional<uint8_t> SelectorAddress(std::string_view selector) {
  if (selector == kFull) return 0x00;
  std::size_t n = 0;
  while (n < selector.size() && ParseHex(selector.substr(n, 1))) ++n;
  auto v = ParseHex(selector.substr(0, n));
  if (!v || *v > 0xFF) return std::nullopt;
  return static_cast<uint8_t>(*v);
}

std::string_view FirstKeyword(std::string_view selector) {
  return selector.substr(0, selector.find('_'));
}

void Wait(Clock& clock, uint32_t ms) {
  if (ms) clock.Sleep(ms);
}

void Tell(const ExchangeEnv& env, const std::string& status) {
  if (env.progress) env.progress(status);
}

void Dump(const ExchangeEnv& env, DumpAfterRead policy, CKX4DATA& store) {
  if (!env.dump || policy == DumpAfterRead::kNever) return;
  int model = env.model();
  if (model == kModelVela) env.dump(store, kDumpFileVela);
  else if (policy == DumpAfterRead::kByModel) env.dump(store, kDumpFileBrio);
}

// One read on the line: the read frame, W1, then up to the profile's reads
// with W2 after each failure. The answer is parsed into store.
bool ReadTransaction(const ExchangeEnv& env, const PacingProfile& profile, uint8_t address,
                     CKX4DATA& store, uint32_t w1) {
  SendFrame(*env.port, ReadFrame(env.model(), address));
  Wait(*env.clock, w1);
  std::optional<std::string> answer;
  for (int read = 0; read < profile.reads_per_transaction && !answer; ++read) {
    answer = ReadAnswer(*env.port);
    const bool last = read + 1 == profile.reads_per_transaction;
    if (!answer && (!last || profile.wait_after_last_read)) Wait(*env.clock, profile.after_failed_read);
  }
  if (!answer) return false;
  ParseConfigAnswer(*answer, store);
  // The dump shows what the controller returned into the equipment store;
  // reads into the live store are not dumped.
  if (&store == env.equipment) {
    Dump(env, profile.dump, store);
    if (env.equipment_read) env.equipment_read();
  }
  return true;
}

}  // namespace

std::string WritingStatus(std::string_view keyword, int n, int count) {
  return TrFormat("Gravando {0} ({1} de {2})…",
                  {keyword, std::to_string(n), std::to_string(count)});
}

int SendFrame(SerialPort& port, const Frame& frame) {
  unsigned long written = 0;
  return port.WritePort(frame.bytes, static_cast<unsigned long>(frame.size), &written);
}

std::optional<std::string> ReadPortText(SerialPort& port) {
  // One spare byte so the text always has room for its terminator.
  std::vector<unsigned char> buffer(kReadSize + 1, 0);
  unsigned long length = 0;
  if (port.ReadPort(buffer.data(), kReadSize, &length) != 0) return std::nullopt;
  if (length > kReadSize) length = kReadSize;
  return std::string(reinterpret_cast<const char*>(buffer.data()), length);
}

std::optional<std::string> ReadAnswer(SerialPort& port) {
  // A read that returns an empty text (a first byte of 0) carries no
  // records: for a transaction that is no answer either.
  auto text = ReadPortText(port);
  if (!text || text->empty()) return std::nullopt;
  return text;
}

void StartLiveStream(SerialPort& port, int model) { SendFrame(port, StartStreamFrame(model)); }

void StopLiveStream(SerialPort& port, Clock& clock, int model, uint32_t gap_ms) {
  for (int i = 0; i < 3; ++i) {
    if (i) Wait(clock, gap_ms);
    SendFrame(port, StopStreamFrame(model));
  }
}

void StartCalibration(SerialPort& port, int model) { SendFrame(port, CalibrateFrame(model)); }

int SetUpLink(SerialPort& port, int model, ChangeList& changes,
              const std::function<std::optional<int>(int model)>& stored_port) {
  changes.Clear();
  int first_error = 0;
  auto note = [&](int result) {
    if (result != 0 && first_error == 0) first_error = result;
  };
  if (port.GetPortNumber() == 0) {
    const int number = stored_port ? stored_port(model).value_or(0) : 0;
    port.SetPortNumber(number > 0 ? number : 1);
    note(port.OpenPort());
  } else if (!port.PortConnected()) {
    // The chosen port was let go when its device vanished (an adapter
    // unplugged, a sleep): it is opened afresh.
    note(port.OpenPort());
  }
  note(ApplyLineSettings(port, model));
  return first_error;
}

int ApplyLineSettings(SerialPort& port, int model) {
  int first_error = 0;
  auto note = [&](int result) {
    if (result != 0 && first_error == 0) first_error = result;
  };
  note(port.SetPortBaudRate(BaudRate(model)));
  note(port.SetPortDtaBit(8));
  note(port.SetPortStopBit(0));
  note(port.SetPortParity(0));
  if (model != kModelVela) note(port.OpenPort());
  // Reads return at once with whatever is queued; the callers pace.
  note(port.SetCommunicationTimeouts(0xFFFFFFFF, 0, 0, 0, 5000));
  return first_error;
}

bool ControllerAnswers(SerialPort& port, Clock& clock, int model) {
  return ControllersAnswer({&port}, clock, model).front();
}

std::vector<bool> ControllersAnswer(const std::vector<SerialPort*>& ports, Clock& clock,
                                    int model) {
  std::vector<bool> answered(ports.size(), false);
  for (SerialPort* port : ports) SendFrame(*port, ReadFrame(model, 0x00));
  for (uint32_t wait : {400u, 500u}) {
    if (std::find(answered.begin(), answered.end(), false) == answered.end()) break;
    clock.Sleep(wait);
    for (std::size_t i = 0; i < ports.size(); ++i) {
      if (answered[i]) continue;
      auto answer = ReadAnswer(*ports[i]);
      answered[i] = answer && ParseConfigAnswer(*answer, RecordSink(
          [](std::string_view, std::string_view) {})) > 0;
    }
  }
  return answered;
}

Exchange::Exchange(const ExchangeEnv& env, Pacing pacing, ExchangeScreen& screen)
    : env_(env), profile_(Profile(pacing)), screen_(screen) {}

CKX4DATA& Exchange::SourceStore() {
  return env_.source_is_file() ? *env_.file_store : *env_.equipment;
}

int Exchange::ReadFromController(std::string_view selector, CKX4DATA& store, uint32_t w1) {
  auto address = SelectorAddress(selector);
  if (!address) return 1;
  return ReadTransaction(env_, profile_, *address, store, w1) ? 0 : 1;
}

int Exchange::ReadFromFile(std::string_view selector, CKX4DATA& store) {
  const std::string path = env_.file_path();
  const int model = env_.model();
  if (selector == kFull) {
    // Keywords the file lacks keep what the store held; the screen's show
    // step tells whether anything it needs is missing.
    for (const std::string& keyword : screen_.FileKeywords())
      StoreReadFileKey(store, path, model, keyword);
    return 0;
  }
  return StoreReadFileKey(store, path, model, FirstKeyword(selector)) ? 0 : 1;
}

int Exchange::ReadSelector(std::string_view selector, CKX4DATA& store, bool show) {
  int result = env_.source_is_file()
                   ? ReadFromFile(selector, store)
                   : ReadFromController(selector, store, profile_.after_read_frame);
  if (result != 0) return 1;
  if (show && !screen_.ShowStore(store)) return 1;
  return 0;
}

bool Exchange::RetryRead(std::string_view selector, uint32_t w1) {
  Tell(env_, kReadingStatus);
  Wait(*env_.clock, profile_.before_read);
  CKX4DATA& store = SourceStore();
  bool ok = false;
  for (int attempt = 0; attempt < 3 && !ok; ++attempt) {
    int result = env_.source_is_file() ? ReadFromFile(selector, store)
                                       : ReadFromController(selector, store, w1);
    ok = result == 0 && screen_.ShowStore(store);
  }
  Tell(env_, "");
  screen_.EnableWriteButtons(true);
  return ok;
}

bool Exchange::ReadWithRetry(std::string_view selector) {
  return RetryRead(selector, profile_.after_read_frame);
}

void Exchange::SendEntry(int index) {
  const ChangeList::Entry& entry = env_.changes->At(index);
  auto address = ParseHex(entry.keyword), value = ParseHex(entry.value);
  // Only whole register bytes go out; anything else would be cut short on
  // the line and land as a different value.
  if (!address || !value || *address > 0xFF || *value > 0xFF) return;
  SerialPort& port = *env_.port;
  Clock& clock = *env_.clock;
  const int model = env_.model();
  Wait(clock, profile_.before_write);
  SendFrame(port, WriteFrame(model, static_cast<uint8_t>(*address), static_cast<uint8_t>(*value)));
  Wait(clock, profile_.after_write);
  const bool answered = ReadAnswer(port).has_value();
  Wait(clock, profile_.after_write_read);
  if (answered || !profile_.confirm_only_if_read) {
    for (int i = 0; i < 3; ++i) {
      SendFrame(port, ConfirmFrame(model));
      Wait(clock, profile_.after_confirm);
    }
  }
}

WriteOutcome Exchange::SendPendingWrites(std::string_view selector) {
  if (env_.source_is_file() && !profile_.writes_in_file_mode) return WriteOutcome::kNotSent;
  ChangeList& changes = *env_.changes;
  Wait(*env_.clock, profile_.before_stage);
  screen_.StageFields(selector);
  screen_.EnableWriteButtons(false);

  const int count = changes.Count();
  for (int n = 0; n < count; ++n) {
    const int index = profile_.staging_order ? n : count - 1 - n;
    Tell(env_, WritingStatus(changes.At(index).keyword, n + 1, count));
    SendEntry(index);
    if (!profile_.after_entry_between_only || n + 1 < count)
      Wait(*env_.clock, profile_.after_entry);
  }
  changes.Clear();

  std::string_view read_back =
      profile_.read_back == ReadBack::kAlwaysFull || IsCompound(selector) ? kFull : selector;
  return RetryRead(read_back, profile_.readback_after_frame) ? WriteOutcome::kDone
                                                             : WriteOutcome::kReadFailed;
}

void Exchange::SampleLiveValues(CKX4DATA& store) {
  SerialPort& port = *env_.port;
  Clock& clock = *env_.clock;
  const int model = env_.model();
  StartLiveStream(port, model);
  Wait(clock, profile_.sample_wait);
  if (auto answer = ReadAnswer(port)) ParseLiveAnswer(*answer, store, false);
  StopLiveStream(port, clock, model, profile_.sample_stop_gap);
  SendFrame(port, ReadFrame(model, 0x79));
  Wait(clock, profile_.sample_wait);
  ReadAnswer(port);
  StopLiveStream(port, clock, model, profile_.sample_stop_gap);
}

bool ReadAllRegisters(const ExchangeEnv& env, Pacing pacing, CKX4DATA& store, uint32_t w1) {
  return ReadTransaction(env, Profile(pacing), 0x00, store, w1);
}

bool ReadInitialConfiguration(const ExchangeEnv& env) {
  const PacingProfile& profile = Profile(Pacing::kCustomer);
  CKX4DATA& store = *env.equipment;
  Tell(env, kReadingStatus);
  bool ok = false;
  for (int attempt = 0; attempt < 3 && !ok; ++attempt)
    ok = ReadTransaction(env, profile, 0x00, store, profile.after_read_frame) &&
         StoreHas(store, "1E") && StoreHas(store, "1F");
  Tell(env, "");
  return ok;
}

}  // namespace kova
