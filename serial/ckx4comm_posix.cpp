// CKX4COMM's system calls over termios. The port's timeouts, event mask and
// the line-state fields termios has no place for live beside the descriptor.
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "serial/ckx4comm_os.h"

namespace kova::comm {

struct PosixPort {
  int fd = -1;
  Timeouts timeouts{};
  uint32_t event_mask = 0;
  Dcb applied{};  // last line state applied, for the fields termios lacks
  bool pseudo = false;  // a pseudo-terminal: always 8 bits, no parity
};

namespace {

constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kMaxWait = 0xFFFFFFFFu;

thread_local uint32_t t_last_error = 0;

bool Fail(uint32_t code) {
  t_last_error = code;
  return false;
}

struct Speed {
  uint32_t baud;
  speed_t code;
};
constexpr Speed kSpeeds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},
    {150, B150},     {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},   {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},   {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400},
};

bool SpeedCode(uint32_t baud, speed_t* code) {
  for (const Speed& s : kSpeeds)
    if (s.baud == baud) return *code = s.code, true;
  return false;
}

uint32_t SpeedBaud(speed_t code) {
  for (const Speed& s : kSpeeds)
    if (s.code == code) return s.baud;
  return 0;
}

// COMn is KOVA_COM<n> when set, else /dev/ttyS<n-1>.
std::string DevicePath(const char* name) {
  if (std::strncmp(name, "COM", 3) != 0) return {};
  char* end = nullptr;
  const long n = std::strtol(name + 3, &end, 10);
  if (end == name + 3 || *end != 0) return {};
  const std::string var = "KOVA_COM" + std::to_string(n);
  if (const char* path = std::getenv(var.c_str()); path && *path) return path;
  if (n < 1) return {};
  return "/dev/ttyS" + std::to_string(n - 1);
}

using Steady = std::chrono::steady_clock;

int RemainingMs(Steady::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left > 1000000 ? 1000000 : left);
}

bool Valid(Handle h) { return h != nullptr && h->fd >= 0; }

}  // namespace

Handle OpenDevice(const char* name) {
  const std::string path = DevicePath(name ? name : "");
  if (path.empty()) return Fail(2), kNoHandle;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail(static_cast<uint32_t>(errno)), kNoHandle;
  // No sharing: a second opener of the same device is refused.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return Fail(5), kNoHandle;
  }
  auto* port = new PosixPort;
  port->fd = fd;
  struct stat st {};
  // Unix98 pseudo-terminal slaves have majors 136 to 143.
  port->pseudo = ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 &&
                 major(st.st_rdev) <= 143;
  termios t{};
  if (::tcgetattr(fd, &t) == 0) {
    // Start from what the device holds, so GetState reports its settings.
    port->applied.BaudRate = SpeedBaud(cfgetospeed(&t));
  }
  return port;
}

bool CloseDevice(Handle h) {
  if (!Valid(h)) return Fail(kErrorInvalidHandle);
  // Linux releases the descriptor even when close reports an error, so the
  // device is closed either way; keeping the handle would only leave a
  // descriptor number that may already name another file.
  ::close(h->fd);
  delete h;
  return true;
}

void SetupQueues(Handle, uint32_t, uint32_t) {
  // The tty layer sizes its own queues.
}

bool GetState(Handle h, Dcb* dcb) {
  if (!Valid(h) || dcb == nullptr) return Fail(kErrorInvalidHandle);
  termios t{};
  if (::tcgetattr(h->fd, &t) != 0) return Fail(static_cast<uint32_t>(errno));
  Dcb d = h->applied;
  d.DCBlength = sizeof(Dcb);
  d.BaudRate = SpeedBaud(cfgetospeed(&t));
  d.fBinary = 1;
  d.fParity = (t.c_iflag & INPCK) ? 1 : 0;
  d.fOutxCtsFlow = (t.c_cflag & CRTSCTS) ? 1 : 0;
  d.fOutX = (t.c_iflag & IXON) ? 1 : 0;
  d.fInX = (t.c_iflag & IXOFF) ? 1 : 0;
  switch (t.c_cflag & CSIZE) {
    case CS5: d.ByteSize = 5; break;
    case CS6: d.ByteSize = 6; break;
    case CS7: d.ByteSize = 7; break;
    default: d.ByteSize = 8; break;
  }
  if (!(t.c_cflag & PARENB))
    d.Parity = 0;
  else if (t.c_cflag & CMSPAR)
    d.Parity = (t.c_cflag & PARODD) ? 3 : 4;
  else
    d.Parity = (t.c_cflag & PARODD) ? 1 : 2;
  if (h->pseudo && h->applied.ByteSize != 0) {
    d.ByteSize = h->applied.ByteSize;
    d.Parity = h->applied.Parity;
  }
  d.StopBits = (t.c_cflag & CSTOPB) ? (d.ByteSize == 5 ? 1 : 2) : 0;
  d.XonChar = static_cast<char>(t.c_cc[VSTART]);
  d.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
  *dcb = d;
  return true;
}

bool SetState(Handle h, const Dcb* dcb) {
  if (!Valid(h) || dcb == nullptr) return Fail(kErrorInvalidHandle);
  speed_t speed{};
  if (!SpeedCode(dcb->BaudRate, &speed) || dcb->ByteSize < 5 || dcb->ByteSize > 8 ||
      dcb->Parity > 4 || dcb->StopBits > 2 || (dcb->StopBits == 1 && dcb->ByteSize != 5) ||
      (dcb->StopBits == 2 && dcb->ByteSize == 5))
    return Fail(kErrorInvalidParameter);
  termios t{};
  if (::tcgetattr(h->fd, &t) != 0) return Fail(static_cast<uint32_t>(errno));
  // A serial line carries raw bytes: no echo, no line editing, no
  // translation of CR, LF or control characters.
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                 IXANY | INPCK);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= CLOCAL | CREAD;
  static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  // A pseudo-terminal refuses any character format but 8 bits without
  // parity; there the format set is only remembered.
  t.c_cflag |= h->pseudo ? CS8 : kSizes[dcb->ByteSize - 5];
  switch (h->pseudo ? 0 : dcb->Parity) {
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  if (dcb->StopBits != 0) t.c_cflag |= CSTOPB;
  if (dcb->fOutxCtsFlow) t.c_cflag |= CRTSCTS;
  if (dcb->fParity) t.c_iflag |= INPCK;
  if (dcb->fOutX) t.c_iflag |= IXON;
  if (dcb->fInX) t.c_iflag |= IXOFF;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  cfsetispeed(&t, speed);
  cfsetospeed(&t, speed);
  if (::tcsetattr(h->fd, TCSANOW, &t) != 0) return Fail(static_cast<uint32_t>(errno));
  // Modem lines: a pseudo-terminal has none, so failures here are moot.
  int dtr = TIOCM_DTR, rts = TIOCM_RTS;
  ::ioctl(h->fd, dcb->fDtrControl == kDtrControlEnable ? TIOCMBIS : TIOCMBIC, &dtr);
  ::ioctl(h->fd, dcb->fRtsControl == kRtsControlEnable ? TIOCMBIS : TIOCMBIC, &rts);
  h->applied = *dcb;
  return true;
}

bool GetTimeouts(Handle h, Timeouts* t) {
  if (!Valid(h) || t == nullptr) return Fail(kErrorInvalidHandle);
  *t = h->timeouts;
  return true;
}

bool SetTimeouts(Handle h, const Timeouts* t) {
  if (!Valid(h) || t == nullptr) return Fail(kErrorInvalidHandle);
  // As on Windows, an interval and total of "infinite" together are invalid.
  if (t->ReadIntervalTimeout == kMaxWait && t->ReadTotalTimeoutConstant == kMaxWait &&
      t->ReadTotalTimeoutMultiplier == kMaxWait)
    return Fail(kErrorInvalidParameter);
  h->timeouts = *t;
  return true;
}

bool ReadBytes(Handle h, void* buffer, uint32_t count, uint32_t* got) {
  *got = 0;
  if (!Valid(h)) return Fail(kErrorInvalidHandle);
  auto* out = static_cast<unsigned char*>(buffer);
  const Timeouts& to = h->timeouts;
  // Interval "infinite" with zero totals: whatever is queued, at once.
  const bool at_once = to.ReadIntervalTimeout == kMaxWait && to.ReadTotalTimeoutMultiplier == 0 &&
                       to.ReadTotalTimeoutConstant == 0;
  // Interval and multiplier "infinite": return as soon as something arrived.
  const bool first_byte = to.ReadIntervalTimeout == kMaxWait &&
                          to.ReadTotalTimeoutMultiplier == kMaxWait &&
                          to.ReadTotalTimeoutConstant != kMaxWait;
  const uint64_t total = first_byte ? to.ReadTotalTimeoutConstant
                                    : uint64_t{to.ReadTotalTimeoutMultiplier} * count +
                                          to.ReadTotalTimeoutConstant;
  const bool has_total = first_byte || total != 0;
  const Steady::time_point start = Steady::now();
  const Steady::time_point total_deadline = start + std::chrono::milliseconds(total);
  Steady::time_point interval_deadline = Steady::time_point::max();
  while (*got < count) {
    const ssize_t n = ::read(h->fd, out + *got, count - *got);
    if (n > 0) {
      *got += static_cast<uint32_t>(n);
      if (first_byte) break;
      if (to.ReadIntervalTimeout != 0 && to.ReadIntervalTimeout != kMaxWait)
        interval_deadline = Steady::now() + std::chrono::milliseconds(to.ReadIntervalTimeout);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      // A pseudo-terminal whose other side is gone reads as EIO: nothing queued.
      if (errno == EIO) break;
      return Fail(static_cast<uint32_t>(errno));
    }
    if (at_once) break;
    if (to.ReadIntervalTimeout == kMaxWait && !first_byte && *got > 0) break;
    int wait = -1;
    if (has_total) wait = RemainingMs(total_deadline);
    if (interval_deadline != Steady::time_point::max()) {
      const int w = RemainingMs(interval_deadline);
      wait = wait < 0 ? w : (w < wait ? w : wait);
    }
    if (wait == 0) break;
    pollfd p{h->fd, POLLIN, 0};
    const int r = ::poll(&p, 1, wait < 0 ? 1000 : wait);
    if (r < 0 && errno != EINTR) return Fail(static_cast<uint32_t>(errno));
    if (r > 0 && (p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLIN)) break;
  }
  return true;
}

bool WriteBytes(Handle h, const void* buffer, uint32_t count, uint32_t* written) {
  *written = 0;
  if (!Valid(h)) return Fail(kErrorInvalidHandle);
  const auto* in = static_cast<const unsigned char*>(buffer);
  const uint64_t total = uint64_t{h->timeouts.WriteTotalTimeoutMultiplier} * count +
                         h->timeouts.WriteTotalTimeoutConstant;
  const Steady::time_point deadline = Steady::now() + std::chrono::milliseconds(total);
  while (*written < count) {
    const ssize_t n = ::write(h->fd, in + *written, count - *written);
    if (n > 0) {
      *written += static_cast<uint32_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return Fail(static_cast<uint32_t>(errno));
    int wait = -1;
    if (total != 0) {
      wait = RemainingMs(deadline);
      if (wait == 0) break;  // timed out: the driver reports what it took
    }
    pollfd p{h->fd, POLLOUT, 0};
    if (::poll(&p, 1, wait) < 0 && errno != EINTR) return Fail(static_cast<uint32_t>(errno));
  }
  return true;
}

uint32_t LastError() { return t_last_error; }

bool OverlappedResult(Handle, Overlapped*, uint32_t* transferred) {
  // Writes on this platform complete inside WriteBytes; nothing is pending.
  *transferred = 0;
  return Fail(kErrorInvalidParameter);
}

bool ClearErrors(Handle h, uint32_t* errors) {
  *errors = 0;
  if (!Valid(h)) return Fail(kErrorInvalidHandle);
  // termios keeps no line-error counters to report or clear.
  return true;
}

bool SetEventMask(Handle h, uint32_t mask) {
  if (!Valid(h)) return Fail(kErrorInvalidHandle);
  h->event_mask = mask;
  return true;
}

bool WaitForEvent(Handle h, uint32_t* mask) {
  *mask = 0;
  if (!Valid(h)) return Fail(kErrorInvalidHandle);
  // Only arriving characters can be watched here; a pseudo-terminal has no
  // modem lines whose changes could be waited for.
  if (!(h->event_mask & 0x0003u)) return Fail(kErrorInvalidParameter);
  for (;;) {
    pollfd p{h->fd, POLLIN, 0};
    const int r = ::poll(&p, 1, -1);
    if (r > 0 && (p.revents & POLLIN)) {
      *mask = 0x0001u;
      return true;
    }
    if (r > 0) return Fail(kErrorInvalidHandle);
    if (r < 0 && errno != EINTR) return Fail(static_cast<uint32_t>(errno));
  }
}

EventHandle CreateWatchEvent() {
  const int fd = ::eventfd(0, EFD_CLOEXEC);
  return fd < 0 ? kNoEvent : fd;
}

void CloseWatchEvent(EventHandle e) {
  if (e != kNoEvent) ::close(e);
}

bool GetConfig(Handle h, Config* config) {
  if (!GetState(h, &config->dcb)) return false;
  config->wVersion = 1;
  return true;
}

void ConfigDialog(const char* name, Config*) {
  std::fprintf(stderr, "%s: no configuration dialog on this system; settings kept\n", name);
}

bool SetConfig(Handle h, const Config* config) { return SetState(h, &config->dcb); }

void ShowMessage(const char* text, const char* caption, MessageIcon) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
}

}  // namespace kova::comm
