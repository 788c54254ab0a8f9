#pragma once
// The simulated phone on the network (tools/fastboot-phone, a Python program) started from a
// Windows test under Wine, and the environment that points Google's fastboot client at it.
//
// Wine starts the Linux Python from CreateProcess; its output does not reach Windows, so the
// phone reports its port, its partitions and its log through files in its own folder, and is
// stopped by a "stop" file there (it also ends itself after its time limit).

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quorlane::realtest {

class NetworkPhone {
 public:
  // Starts the phone with these options (see tools/fastboot-phone/README.md) and waits for its
  // port. Throws std::runtime_error when it does not come up.
  explicit NetworkPhone(const std::vector<std::string>& options = {}, int timeLimitSeconds = 180);
  NetworkPhone(const NetworkPhone&) = delete;
  NetworkPhone& operator=(const NetworkPhone&) = delete;
  // Stops the phone and waits for it to have ended.
  ~NetworkPhone();

  int port() const { return port_; }
  std::string serial() const { return "tcp:127.0.0.1:" + std::to_string(port_); }
  // A flashed partition's bytes; nothing when the phone has not written it.
  std::optional<std::string> partition(const std::string& name = "recovery") const;
  // The bytes of the image last started from memory (kept apart from the partitions); nothing
  // when none was.
  std::optional<std::string> booted() const;
  std::vector<std::string> log() const;
  bool logHas(const std::string& line) const;
  // How many log lines begin with `prefix`.
  std::size_t logCount(const std::string& prefix) const;

 private:
  std::string file(const std::string& name) const;
  std::string unixFolder_;  // as the phone sees it
  std::string folder_;      // the same folder as a Windows path
  int port_ = 0;
};

// Sets an environment variable of this process (so of every program it starts) for the
// object's lifetime, then restores it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const std::string& name, const std::string& value);
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment();

 private:
  std::wstring name_;
  std::optional<std::wstring> saved_;
};

}  // namespace quorlane::realtest
