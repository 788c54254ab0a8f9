#include "window/device_watch.h"

#include <utility>

#include "common/texts.h"

namespace quorlane::window {

std::vector<std::string> listedPhones(std::string_view output) {
  constexpr std::string_view kState = "fastboot";
  std::vector<std::string> phones;
  while (!output.empty()) {
    const auto end = output.find('\n');
    std::string_view line = output.substr(0, end);
    output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const auto tab = line.find('\t');
    if (tab == 0 || tab == std::string_view::npos) continue;
    std::string_view state = line.substr(tab + 1);
    while (!state.empty() && state.front() == ' ') state.remove_prefix(1);
    while (!state.empty() && state.back() == ' ') state.remove_suffix(1);
    if (state == kState) phones.emplace_back(line.substr(0, tab));
  }
  return phones;
}

DeviceWatch::DeviceWatch(ports::Process& os) : query_(os) {}

void DeviceWatch::changed(Clock::time_point now) {
  ++generation_;
  dueAt_ = now + kSettle;
}

void DeviceWatch::askNow(Clock::time_point now) {
  if (!query_.running() && (!dueAt_ || *dueAt_ > now)) dueAt_ = now;
}

void DeviceWatch::taken(std::optional<std::vector<std::string>> phones, Generation since) {
  if (!phones) return;
  phones_ = std::move(phones);
  phonesSince_ = since;
}

std::optional<DeviceWatch::Refresh> DeviceWatch::advance(Clock::time_point now, bool commandRuns) {
  if (query_.running()) {
    const auto outcome = query_.poll(now);
    if (!outcome) return std::nullopt;
    Refresh refresh;
    if (outcome->complete) {
      refresh.phones = listedPhones(outcome->written);
      refresh.shown = outcome->collected;
      taken(refresh.phones, querySince_);
    }
    return refresh;
  }
  if (!dueAt_ || now < *dueAt_ || commandRuns) return std::nullopt;
  dueAt_.reset();
  // The query sees every change made before it starts; one after that asks again.
  querySince_ = generation_;
  if (query_.start(std::string(texts::kDeviceQuery), now, kQueryLimit)) return std::nullopt;
  return Refresh{};
}

}  // namespace quorlane::window
