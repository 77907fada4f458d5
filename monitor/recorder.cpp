#include "monitor/recorder.h"

#include <cstdio>

#include "common/cp1252.h"
#include "common/texts.h"
#include "monitor/recording_place.h"
#include "store/platform_file.h"

namespace kova {
namespace {

// Volts with the decimal symbol and two places ("0,56").
std::string Volts(double v, const CsvFormat& format) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  std::string out = text;
  if (std::size_t point = out.find('.'); point != std::string::npos)
    out.replace(point, 1, format.decimal);
  return out;
}

// A field never carries the separator or a line break.
std::string Field(std::string_view text, const CsvFormat& format) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n' || format.separator.find(c) != std::string::npos) c = ' ';
  return out;
}

// The columns, in the order of a line.
constexpr const char* kColumns[] = {"Tempo (ms)",        "Data e hora",      "Rotação (rpm)",
                                    "TPS (V)",           "Sonda lambda (V)", "Atuador (passos)",
                                    "Escala do atuador", "Evento"};

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

CsvFormat UsableCsvFormat(CsvFormat format) {
  if (format.decimal.empty()) format.decimal = ",";
  if (format.separator.empty() || format.separator == format.decimal ||
      format.separator.find_first_of("\r\n") != std::string::npos)
    format.separator = format.decimal == ";" ? "," : ";";
  return format;
}

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

std::string Recorder::Header(const CsvFormat& format) {
  std::string text;
  for (const char* column : kColumns) {
    if (!text.empty()) text += format.separator;
    text += Field(Tr(column), format);
  }
  return text;
}

std::string Recorder::Line(uint32_t elapsed_ms, const LocalTime& t, const RecordSample& s,
                           const CsvFormat& format) {
  // dd/mm/aaaa hh:mm:ss is what Excel takes as a date and time here.
  char when[40];
  std::snprintf(when, sizeof when, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  const std::string& sep = format.separator;
  return std::to_string(elapsed_ms) + sep + when + sep + std::to_string(s.rpm) + sep +
         Volts(s.tps, format) + sep + Volts(s.lambda, format) + sep + std::to_string(s.steps) +
         sep + Field(Tr(s.scale), format) + sep + Field(s.mark, format);
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
    error_ = TrFormat("Não foi possível criar o arquivo\n{0}", {path_});
    return false;
  }
  active_ = true;
  start_ms_ = now_ms;
  pending_ = Utf8ToCp1252(Header(format_)) + "\r\n";
  // The header goes out at once: a file that exists is a file that works.
  return WritePending(now_ms);
}

bool Recorder::WritePending(uint32_t now_ms) {
  written_ms_ = now_ms;
  if (pending_.empty()) return true;
  const bool ok = file_->Write(pending_);
  pending_.clear();
  if (!ok) {
    error_ = TrFormat(
        "Não foi possível gravar no arquivo\n{0}\n(disco cheio ou pasta protegida).\n"
        "A gravação foi interrompida; o que já foi gravado continua no arquivo.",
        {path_});
    file_->Close();
    active_ = false;
  }
  return ok;
}

bool Recorder::Append(uint32_t now_ms, const LocalTime& t, const RecordSample& s) {
  if (!active_) return false;
  pending_ += Utf8ToCp1252(Line(now_ms - start_ms_, t, s, format_));
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
