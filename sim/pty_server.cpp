#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kova::sim {

PtyServer::~PtyServer() {
  Stop();
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

bool PtyServer::Open(std::string* error) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    if (error) *error = std::string("pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  char name[128] = {};
  if (::ptsname_r(master_, name, sizeof name) != 0) {
    if (error) *error = std::string("ptsname: ") + std::strerror(errno);
    return false;
  }
  path_ = name;
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) {
    if (error) *error = path_ + ": " + std::strerror(errno);
    return false;
  }
  // Raw bytes both ways: no echo, no line discipline, no CR/LF changes.
  termios t{};
  ::tcgetattr(slave_, &t);
  ::cfmakeraw(&t);
  ::cfsetispeed(&t, B38400);
  ::cfsetospeed(&t, B38400);
  ::tcsetattr(slave_, TCSANOW, &t);
  ::tcgetattr(master_, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(master_, TCSANOW, &t);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  return true;
}

void PtyServer::PumpOnce(ControllerSim& sim, int wait_ms) {
  pollfd p{master_, POLLIN, 0};
  ::poll(&p, 1, wait_ms);
  unsigned char in[4096];
  for (;;) {
    const ssize_t n = ::read(master_, in, sizeof in);
    if (n <= 0) break;
    std::lock_guard<std::mutex> lock(mutex_);
    sim.Receive(in, static_cast<size_t>(n));
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    unsigned char out[4096];
    for (;;) {
      const size_t n = sim.Drain(out, sizeof out);
      if (n == 0) break;
      unsent_.insert(unsent_.end(), out, out + n);
    }
  }
  while (!unsent_.empty()) {
    const ssize_t n = ::write(master_, unsent_.data(), unsent_.size());
    if (n <= 0) break;  // the PC side is not reading: keep the rest for later
    unsent_.erase(unsent_.begin(), unsent_.begin() + n);
    bytes_sent_ += static_cast<uint64_t>(n);
  }
}

void PtyServer::Start(ControllerSim& sim) {
  if (running_.exchange(true)) return;
  thread_ = std::thread([this, &sim] {
    while (running_) PumpOnce(sim, 2);
  });
}

void PtyServer::Stop() {
  if (!running_.exchange(false)) return;
  if (thread_.joinable()) thread_.join();
}

}  // namespace kova::sim
