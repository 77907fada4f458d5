// The kova-sim program: pty path on its first line, raw bytes both ways,
// options taking effect, the frame log, and a clean end on SIGTERM.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class Program : public ::testing::Test {
 protected:
  // Starts kova-sim with args; returns the pty path it printed.
  std::string Start(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return {};
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      std::vector<char*> argv{const_cast<char*>(KOVA_SIM_PATH)};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(KOVA_SIM_PATH, argv.data());
      _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    pollfd p{out[0], POLLIN, 0};
    while (poll(&p, 1, 5000) > 0 && read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    return line;
  }

  int Stop() {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

  void TearDown() override {
    if (pid_ > 0) Stop();
  }

  static std::vector<uint8_t> Exchange(int fd, std::vector<uint8_t> frame, size_t expect,
                                       int max_ms = 2000) {
    EXPECT_EQ(write(fd, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
    std::vector<uint8_t> got;
    uint8_t buf[4096];
    for (int i = 0; i < max_ms / 10 && got.size() < expect; ++i) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 10) > 0) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) got.insert(got.end(), buf, buf + n);
      }
    }
    return got;
  }

  static int OpenRaw(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    return fd;
  }

  pid_t pid_ = -1;
};

TEST_F(Program, ServesTheModelAndLogsFrames) {
  const std::string log = testing::TempDir() + "kova_sim_frames.log";
  const std::string path =
      Start({"--model", "VELA plus", "--latency", "0", "--register", "20=0D", "--log", log});
  ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
  const int fd = OpenRaw(path);
  ASSERT_GE(fd, 0);
  // 0x0D must not turn into a line feed on the way.
  EXPECT_EQ(Exchange(fd, {0x00, 0x06, 0x20}, 4), (std::vector<uint8_t>{0xB0, 0x20, 0x0D, 0xC0}));
  EXPECT_TRUE(Exchange(fd, {0x00, 0x04, 0x20}, 1, 200).empty());  // BRIO's read: not this model
  close(fd);
  const int status = Stop();
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::ifstream in(log);
  std::vector<std::string> frames;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    unsigned ms = 0;
    std::string rest;
    ASSERT_TRUE(fields >> ms) << line;
    std::getline(fields, rest);
    frames.push_back(rest);
  }
  EXPECT_EQ(frames, (std::vector<std::string>{" 00 06 20", " 00 04 20"}));
}

TEST_F(Program, FaultsFromTheCommandLine) {
  const std::string path = Start({"--model", "VELA", "--latency", "0", "--garbage", "2"});
  const int fd = OpenRaw(path);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(Exchange(fd, {0x09, 0x2C}, 6),
            (std::vector<uint8_t>{0x07, 0x3C, 0xB0, 0x2C, 0x04, 0xC0}));
  close(fd);
}

TEST_F(Program, RefusesBadArguments) {
  EXPECT_EQ(Start({"--model", "ROSA"}), "");
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
