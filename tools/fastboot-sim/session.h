#pragma once
// One invocation of the simulated client: reads the command line, talks to the simulated phone
// and prints what the real client prints. The operating system is reached only through Host, so
// the whole conversation runs the same against a scripted host in the unit tests.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings.h"

namespace quorlane::fastboot_sim {

enum class Stream { out, err };

// Why an image could not be opened; the texts are the C library's.
enum class LoadError { none, notFound, denied };

struct LoadedImage {
  LoadError error = LoadError::none;
  std::uint64_t size = 0;
};

class Host {
 public:
  virtual ~Host() = default;
  // The text in the output code page; writes and flushes the bytes.
  virtual std::string encode(std::string_view utf8) = 0;
  virtual void write(Stream stream, std::string_view bytes) = 0;
  virtual void sleep(unsigned milliseconds) = 0;
  virtual void sleepForever() = 0;
  // Seconds on a steady clock.
  virtual double now() = 0;
  // Opens the image to flash (relative to the current directory) and keeps it open.
  virtual LoadedImage loadImage(const std::string& path) = 0;
  // Copies the open image byte for byte into the device folder as <partition>.img.
  virtual bool storeImage(const std::string& partition) = 0;
};

// Exit codes: the client's own, and one for the simulator's own trouble.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitSimulatorError = 2;
// STATUS_ACCESS_VIOLATION (0xC0000005), the exit code of a client that crashed.
constexpr int kExitCrashed = static_cast<int>(0xC0000005U - 0x100000000LL);

// Runs the command `args` (without the program name) and returns the exit code.
int runSession(const std::vector<std::string>& args, const Settings& settings, Host& host);

// The pieces of the output, exposed for tests.
constexpr std::size_t kStatusWidth = 50;
std::string padStatus(std::string_view text);  // left-justified to kStatusWidth
std::string okay(double seconds);              // "OKAY [%7.3fs]"
std::string devicesList(const std::vector<std::string>& serials);
// Splits bytes into pieces of at most `chunk` bytes; 0 keeps them whole.
std::vector<std::string_view> splitWrite(std::string_view bytes, std::size_t chunk);

}  // namespace quorlane::fastboot_sim
