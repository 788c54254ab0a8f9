#pragma once
// A scripted stand-in for the operating system: every wait of the pump hands the runner's reading
// the next scripted step (as the reading's message would arrive), and every call is written to a
// journal so tests can check the order of what the runner did.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ports/process.h"

namespace quorlane::testing {

// What a step of the script does: deliver bytes, wake the pump with nothing read, or break.
enum class PipeState { data, empty, broken };

struct ReadStep {
  PipeState state = PipeState::data;
  std::string bytes;
  bool ok = true;
};

// Scripted reads: text chunks, then the broken pipe.
inline std::deque<ReadStep> chunks(std::initializer_list<std::string> texts) {
  std::deque<ReadStep> steps;
  for (const auto& t : texts) steps.push_back({PipeState::data, t, true});
  steps.push_back({PipeState::broken, "", false});
  return steps;
}

// The scripted reads of one command, then those of another.
inline std::deque<ReadStep> then(std::deque<ReadStep> first, const std::deque<ReadStep>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// Device lists as the client prints them: one phone, and two (the second in the newer clients'
// form).
inline const std::string kOnePhone = "AAA\tfastboot\r\n";
inline const std::string kTwoPhones = "AAA\tfastboot\r\nBBB\t fastboot\r\n";

class FakeProcess final : public ports::Process, public ports::EventPump {
 public:
  std::vector<std::string> journal;
  std::vector<std::string> commandLines;
  std::deque<ReadStep> reads = chunks({});
  bool pipeFails = false;
  bool startFails = false;
  std::optional<std::string> comSpec = std::string("C:\\windows\\system32\\cmd.exe");
  // Runs inside the pump: the place where other handlers of the window would run.
  std::function<void(int pumpCount)> onPump;
  // Runs at the start of every wait, before onPump: time passing between the reads.
  std::function<void()> onEachWait;
  int pumps = 0;
  int openHandles = 0;
  // Pipes, by the order of their creation from 0, on which nothing ever arrives: a command that
  // never ends. The script is never handed to their readings.
  std::set<int> silentPipes;
  // The queries that ask a phone for its variables are answered apart from the script: each
  // prints `factsAnswer` at once (nothing, unless a test sets it) and ends, or, with
  // `factsHang`, never answers. Their command lines are kept apart too, and their starts are
  // journalled as "start facts".
  std::vector<std::string> factsLines;
  // The next pipe created is silent.
  void silenceNextPipe() { silentPipes.insert(pipes_); }
  std::string factsAnswer;
  bool factsHang = false;

  std::optional<ports::Pipe> createPipe() override {
    journal.push_back("createPipe");
    if (pipeFails) return std::nullopt;
    const ports::Handle r = allocate("read");
    pipeOf_[r] = pipes_++;
    return ports::Pipe{r, allocate("write")};
  }
  std::optional<std::string> environment(std::string_view name) override {
    if (name == "ComSpec") {
      journal.push_back("env " + std::string(name));
      return comSpec;
    }
    const auto found = environmentValues.find(std::string(name));
    if (found == environmentValues.end()) return std::nullopt;
    return found->second;
  }
  // Other variables of the environment, by name.
  std::map<std::string, std::string> environmentValues;
  // A start set to end with the program is journalled as that setting, right after the start.
  std::optional<ports::Started> start(std::string_view line, ports::Handle out,
                                      bool endWithProgram) override {
    const bool facts = line.find(" getvar ") != std::string_view::npos;
    journal.push_back(facts ? "start facts" : "start " + name(out));
    (facts ? factsLines : commandLines).emplace_back(line);
    if (startFails) return std::nullopt;
    if (facts) factsPipes_.insert(out - 1);  // the read end was allocated right before
    const ports::Handle process = allocate("process");
    if (facts) factsProcesses_.insert(process);
    const ports::Handle thread = allocate("thread");
    const ports::Handle job = giveJob ? allocate("job") : 0;
    if (endWithProgram && job != 0 && !facts) journal.push_back("end with program job");
    return ports::Started{process, thread, job};
  }
  std::unique_ptr<ports::OutputReading> startReading(ports::Handle readEnd, std::size_t maxBytes,
                                                     unsigned pauseMs,
                                                     ports::ReadDelivery deliver) override {
    journal.push_back("start reading " + name(readEnd) + " every " + std::to_string(pauseMs) +
                      " ms");
    maxRead = maxBytes;
    if (readingFails) return nullptr;
    if (factsPipes_.count(readEnd) > 0) {
      if (factsHang) silentPipes.insert(pipeOf_[readEnd]);
      if (!factsHang && !factsAnswer.empty()) deliver(factsAnswer);
      if (!factsHang) deliver(std::nullopt);
      readings_[readEnd] = {++readingsStarted_, std::move(deliver), !factsHang};
      return std::make_unique<Reading>(*this, readEnd);
    }
    readings_[readEnd] = {++readingsStarted_, std::move(deliver), false};
    return std::make_unique<Reading>(*this, readEnd);
  }
  // Hands the next scripted step to the newest running reading of a pipe that is not silent, as
  // a loop that dispatches the reading's message does: an "empty" step stands for a wake-up with
  // nothing read, and once the script is used up the pipe is broken. False when no such reading
  // runs.
  bool deliverNext() {
    Delivery* newest = nullptr;
    for (auto& [readEnd, delivery] : readings_) {
      if (silentPipes.count(pipeOf_[readEnd]) > 0 || delivery.finished) continue;
      if (newest == nullptr || delivery.order > newest->order) newest = &delivery;
    }
    if (newest == nullptr) return false;
    const ports::ReadDelivery deliver = newest->deliver;
    if (reads.empty()) reads.push_back({PipeState::broken, "", false});
    const ReadStep step = reads.front();
    reads.pop_front();
    if (step.state == PipeState::empty) return true;
    if (!step.ok || step.state == PipeState::broken) {
      journal.push_back("read failed");
      newest->finished = true;  // the failed read is a reading's last
      deliver(std::nullopt);
    } else {
      journal.push_back("read");
      deliver(step.bytes);
    }
    return true;
  }
  void close(ports::Handle h) override {
    journal.push_back("close " + name(h));
    --openHandles;
  }
  // Handlers run first (the place where other handlers of the window would run), then the
  // reading's next step arrives.
  void waitEvents() override {
    journal.push_back("wait");
    if (onEachWait) onEachWait();
    ++pumps;
    if (onPump) onPump(pumps);
    deliverNext();
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

  std::optional<long> exitCode(ports::Handle process, unsigned waitMs) override {
    journal.push_back("exit code " + name(process) + " " + std::to_string(waitMs));
    return exitCodeResult;
  }
  void setEndWithProgram(const ports::Started& command, bool end) override {
    journal.push_back(std::string(end ? "end with program " : "outlive program ") +
                      name(command.job));
  }
  void endCommand(const ports::Started& command) override {
    if (factsProcesses_.count(command.process) > 0) {
      ++factsEnded;
      return;
    }
    journal.push_back("end " + name(command.process) + " " + name(command.job));
    ++ended;
    if (onEnd) onEnd();
  }

  std::size_t maxRead = 0;
  std::optional<long> exitCodeResult = 0;
  int ended = 0;
  int factsEnded = 0;  // queries for a phone's variables, kept apart from `ended`
  std::function<void()> onEnd;
  bool giveJob = true;  // whether started commands come with a job
  bool readingFails = false;

 private:
  class Reading final : public ports::OutputReading {
   public:
    Reading(FakeProcess& os, ports::Handle readEnd) : os_(os), readEnd_(readEnd) {}
    ~Reading() override {
      os_.journal.push_back("stop reading");
      os_.readings_.erase(readEnd_);
    }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

   private:
    FakeProcess& os_;
    ports::Handle readEnd_;
  };

  struct Delivery {
    int order = 0;
    ports::ReadDelivery deliver;
    bool finished = false;
  };
  std::map<ports::Handle, Delivery> readings_;  // by read end
  int readingsStarted_ = 0;
  std::map<ports::Handle, int> pipeOf_;  // read end -> creation order of its pipe
  std::set<ports::Handle> factsPipes_;   // read ends of the queries for a phone's variables
  std::set<ports::Handle> factsProcesses_;
  int pipes_ = 0;
  ports::Handle allocate(const std::string& what) {
    names.push_back(what + std::to_string(names.size()));
    ++openHandles;
    return names.size();
  }
  std::string name(ports::Handle h) const {
    if (h == 0 || h > names.size()) return "none";
    const std::string& n = names[h - 1];
    return n.substr(0, n.find_first_of("0123456789"));
  }
  std::vector<std::string> names;
};

}  // namespace quorlane::testing
