#include "monitor/recorder.h"

#include <cstdio>

#include "common/cp1252.h"
#include "monitor/recording_place.h"
#include "store/platform_file.h"

namespace kova {
namespace {

// Volts with a decimal comma and two places ("0,56").
std::string Volts(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  for (char* c = text; *c; ++c)
    if (*c == '.') *c = ',';
  return text;
}

// A field never carries the separator or a line break.
std::string Field(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == ';' || c == '\r' || c == '\n') c = ' ';
  return out;
}

class PlatformRecordFile final : public RecordFile {
 public:
  ~PlatformRecordFile() override { Close(); }
  bool Create(const std::string& path) override {
    Close();
    handle_ = file::CreateNewReadable(path);
    return handle_ != file::kNoHandle;
  }
  bool Write(std::string_view bytes) override {
    return handle_ != file::kNoHandle && file::Write(handle_, bytes.data(), bytes.size());
  }
  void Close() override {
    if (handle_ != file::kNoHandle) file::Close(handle_);
    handle_ = file::kNoHandle;
  }

 private:
  file::NativeHandle handle_ = file::kNoHandle;
};

}  // namespace

std::string RecordingFolder() { return file::Join(file::DocumentsFolder(), "KOVA"); }

std::unique_ptr<RecordFile> MakePlatformRecordFile() {
  return std::make_unique<PlatformRecordFile>();
}

std::string Recorder::FileName(const LocalTime& t, int attempt) {
  char name[80];
  std::snprintf(name, sizeof name, "monitor-%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  std::string text = name;
  if (attempt > 1) text += "-" + std::to_string(attempt);
  return text + ".csv";
}

std::string Recorder::Header() {
  return "Tempo (ms);Data e hora;Rotação (rpm);TPS (V);Sonda lambda (V);Atuador (passos);"
         "Escala do atuador;Evento";
}

std::string Recorder::Line(uint32_t elapsed_ms, const LocalTime& t, const RecordSample& s) {
  // dd/mm/aaaa hh:mm:ss is what Excel takes as a date and time here.
  char when[40];
  std::snprintf(when, sizeof when, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return std::to_string(elapsed_ms) + ";" + when + ";" + std::to_string(s.rpm) + ";" +
         Volts(s.tps) + ";" + Volts(s.lambda) + ";" + std::to_string(s.steps) + ";" +
         Field(s.scale) + ";" + Field(s.mark);
}

bool Recorder::Start(const std::string& folder, const LocalTime& now, uint32_t now_ms) {
  Stop();
  error_.clear();
  file::MakeFolders(folder);
  // A recording only ever creates a new file: one started within the same
  // second as the last gets the next free name.
  constexpr int kNames = 99;
  bool created = false;
  for (int attempt = 1; attempt <= kNames && !created && file_; ++attempt) {
    path_ = file::Join(folder, FileName(now, attempt));
    created = file_->Create(path_);
  }
  if (!created) {
    error_ = "Não foi possível criar o arquivo\n" + path_;
    return false;
  }
  active_ = true;
  start_ms_ = now_ms;
  pending_ = Utf8ToCp1252(Header()) + "\r\n";
  // The header goes out at once: a file that exists is a file that works.
  return WritePending(now_ms);
}

bool Recorder::WritePending(uint32_t now_ms) {
  written_ms_ = now_ms;
  if (pending_.empty()) return true;
  const bool ok = file_->Write(pending_);
  pending_.clear();
  if (!ok) {
    error_ = "Não foi possível gravar no arquivo\n" + path_ +
             "\n(disco cheio ou pasta protegida).\nA gravação foi interrompida; o que já "
             "foi gravado continua no arquivo.";
    file_->Close();
    active_ = false;
  }
  return ok;
}

bool Recorder::Append(uint32_t now_ms, const LocalTime& t, const RecordSample& s) {
  if (!active_) return false;
  pending_ += Utf8ToCp1252(Line(now_ms - start_ms_, t, s));
  pending_ += "\r\n";
  return Flush(now_ms);
}

bool Recorder::Flush(uint32_t now_ms) {
  if (!active_) return false;
  if (now_ms - written_ms_ < kFlushMs) return true;
  return WritePending(now_ms);
}

bool Recorder::Stop() {
  if (!active_) return true;
  const bool ok = WritePending(written_ms_);
  if (active_) file_->Close();
  active_ = false;
  return ok;
}

}  // namespace kova
