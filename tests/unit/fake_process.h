#pragma once
// A scripted stand-in for the operating system: each read returns the next scripted step, and
// every call is written to a journal so tests can check the order of what the runner did.

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/process.h"

namespace quorlane::testing {

struct ReadStep {
  platform::PipeState state = platform::PipeState::data;
  std::string bytes;
  bool ok = true;
};

// Scripted reads: text chunks, then the broken pipe.
inline std::deque<ReadStep> chunks(std::initializer_list<std::string> texts) {
  std::deque<ReadStep> steps;
  for (const auto& t : texts) steps.push_back({platform::PipeState::data, t, true});
  steps.push_back({platform::PipeState::broken, "", false});
  return steps;
}

class FakeProcess final : public platform::Process, public platform::EventPump {
 public:
  std::vector<std::string> journal;
  std::vector<std::string> commandLines;
  std::deque<ReadStep> reads = chunks({});
  bool pipeFails = false;
  bool startFails = false;
  std::optional<std::string> comSpec = std::string("C:\\windows\\system32\\cmd.exe");
  // Runs inside the pump: the place where other handlers of the window would run.
  std::function<void(int pumpCount)> onPump;
  std::function<void(unsigned ms)> onSleep;
  int pumps = 0;
  int openHandles = 0;
  // Pipes, by the order of their creation from 0, on which nothing ever arrives: a command that
  // never ends. Their looks leave `reads` alone.
  std::set<int> silentPipes;

  std::optional<platform::Pipe> createPipe() override {
    journal.push_back("createPipe");
    if (pipeFails) return std::nullopt;
    const platform::Handle r = allocate("read");
    pipeOf_[r] = pipes_++;
    return platform::Pipe{r, allocate("write")};
  }
  std::optional<std::string> environment(std::string_view name) override {
    journal.push_back("env " + std::string(name));
    return name == "ComSpec" ? comSpec : std::nullopt;
  }
  std::optional<platform::Started> start(std::string_view line, platform::Handle out) override {
    journal.push_back("start " + name(out));
    commandLines.emplace_back(line);
    if (startFails) return std::nullopt;
    const platform::Handle process = allocate("process");
    const platform::Handle thread = allocate("thread");
    return platform::Started{process, thread, giveJob ? allocate("job") : 0};
  }
  // An "empty" step stands for one look at the pipe that found nothing waiting.
  platform::PipeState peek(platform::Handle readEnd) override {
    journal.push_back("peek");
    if (silentPipes.count(pipeOf_[readEnd]) > 0) return platform::PipeState::empty;
    if (reads.empty()) return platform::PipeState::broken;
    const auto state = reads.front().state;
    if (state == platform::PipeState::empty) reads.pop_front();
    return state;
  }
  std::optional<std::string> read(platform::Handle, std::size_t maxBytes) override {
    journal.push_back("read");
    maxRead = maxBytes;
    if (reads.empty()) return std::nullopt;
    ReadStep step = reads.front();
    reads.pop_front();
    if (!step.ok) return std::nullopt;
    return step.bytes;
  }
  void close(platform::Handle h) override {
    journal.push_back("close " + name(h));
    --openHandles;
  }
  void sleep(unsigned ms) override {
    journal.push_back("sleep " + std::to_string(ms));
    if (onSleep) onSleep(ms);
  }
  void pumpEvents() override {
    journal.push_back("pump");
    ++pumps;
    if (onPump) onPump(pumps);
  }
  // A toy double-byte code page: bytes 0x81..0xFE open a two-byte character, shown as "<xxyy>".
  bool isLeadByte(unsigned char b) override { return b >= 0x81 && b <= 0xFE; }
  std::string fromAnsi(std::string_view bytes) override {
    std::string out;
    static const char* hex = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      if (isLeadByte(b) && i + 1 < bytes.size()) {
        const auto t = static_cast<unsigned char>(bytes[++i]);
        out += {'<', hex[b >> 4], hex[b & 15], hex[t >> 4], hex[t & 15], '>'};
      } else if (isLeadByte(b)) {
        out += "?";  // a lone lead byte
      } else {
        out += static_cast<char>(b);
      }
    }
    return out;
  }

  std::optional<long> exitCode(platform::Handle process, unsigned waitMs) override {
    journal.push_back("exit code " + name(process) + " " + std::to_string(waitMs));
    return exitCodeResult;
  }
  void endCommand(const platform::Started& command) override {
    journal.push_back("end " + name(command.process) + " " + name(command.job));
    ++ended;
    if (onEnd) onEnd();
  }

  std::size_t maxRead = 0;
  std::optional<long> exitCodeResult = 0;
  int ended = 0;
  std::function<void()> onEnd;
  bool giveJob = true;  // whether started commands come with a job

 private:
  platform::Handle allocate(const std::string& what) {
    names.push_back(what + std::to_string(names.size()));
    ++openHandles;
    return names.size();
  }
  std::string name(platform::Handle h) const {
    if (h == 0 || h > names.size()) return "none";
    const std::string& n = names[h - 1];
    return n.substr(0, n.find_first_of("0123456789"));
  }
  std::vector<std::string> names;
  std::map<platform::Handle, int> pipeOf_;
  int pipes_ = 0;
};

}  // namespace quorlane::testing
