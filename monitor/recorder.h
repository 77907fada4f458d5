// Recording of what the monitor panel shows, for looking at a road test
// afterwards: one CSV line per tick with an answer, in the form Excel opens
// directly on the user's Windows: its list separator between fields and
// its decimal symbol (on a Brazilian Windows ";" and a decimal comma),
// Windows-1252, CRLF; the column names and words in the chosen language. Lines are kept in memory and written at least every
// second, so a crash loses at most that; a write that fails ends the
// recording and leaves the file with what was written before.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kova {

// A wall-clock time of day with its date.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Where the lines go: a new file, never one that exists.
class RecordFile {
 public:
  virtual ~RecordFile() = default;
  // False when the file exists or cannot be created.
  virtual bool Create(const std::string& path) = 0;
  // False when not all bytes were written (a full disk).
  virtual bool Write(std::string_view bytes) = 0;
  virtual void Close() = 0;
};
// The file of this platform (store/platform_file.h).
std::unique_ptr<RecordFile> MakePlatformRecordFile();

// The events that open and close a calibration in a recording (the other
// closing events name the controller's report or the time-out). A viewer
// marks the calibration from them.
inline constexpr char kCalibrationStartEvent[] = "início da calibração";
inline constexpr char kCalibrationEndEvent[] = "fim da calibração";
// The user's list separator and decimal symbol, as Windows' regional
// settings give them; one implementation per platform (recording_place).
struct CsvFormat {
  std::string separator = ";";
  std::string decimal = ",";
  bool operator==(const CsvFormat&) const = default;
};
// A format a CSV can be read back in: a separator that is empty or the
// decimal symbol itself becomes ";" (or "," beside a decimal ";"), an empty
// decimal symbol ",".
CsvFormat UsableCsvFormat(CsvFormat format);

struct RecordSample {
  int rpm = 0;
  double tps = 0;       // volts
  double lambda = 0;    // volts
  int steps = 0;
  const char* scale = "";  // "verde", "vermelha", "oculta" (written in the chosen language)
  std::string mark;        // calibration events, as shown; usually empty
};

class Recorder {
 public:
  static constexpr uint32_t kFlushMs = 1000;

  explicit Recorder(std::unique_ptr<RecordFile> file, CsvFormat format = {})
      : file_(std::move(file)), format_(UsableCsvFormat(std::move(format))) {}
  // "monitor-AAAAMMDD-HHMMSS.csv"; from the second try on, a recording
  // started in the same second gets "-2", "-3" ... before ".csv".
  static std::string FileName(const LocalTime& t, int attempt = 1);
  static std::string Header(const CsvFormat& format = {});
  // One line, without its CRLF.
  static std::string Line(uint32_t elapsed_ms, const LocalTime& t, const RecordSample& s,
                          const CsvFormat& format = {});

  // Creates the file in the folder (made when missing) and writes the
  // header. False when the file cannot be created; error() tells why.
  bool Start(const std::string& folder, const LocalTime& now, uint32_t now_ms);
  // Adds a line; written out when a second has passed since the last
  // write. False when writing failed: the recording has stopped.
  bool Append(uint32_t now_ms, const LocalTime& t, const RecordSample& s);
  // Writes what waits when a second has passed since the last write, with
  // or without new lines (the controller silent, a message box open).
  // False when writing failed: the recording has stopped.
  bool Flush(uint32_t now_ms);
  // Writes what is pending and closes; false when that last write failed.
  bool Stop();

  bool active() const { return active_; }
  const std::string& path() const { return path_; }
  const std::string& error() const { return error_; }

 private:
  bool WritePending(uint32_t now_ms);

  std::unique_ptr<RecordFile> file_;
  CsvFormat format_;
  bool active_ = false;
  std::string path_;
  std::string pending_;
  std::string error_;
  uint32_t start_ms_ = 0;
  uint32_t written_ms_ = 0;
};

}  // namespace kova
