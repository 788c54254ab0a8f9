#include "session.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <optional>

namespace quorlane::fastboot_sim {

namespace {

constexpr std::string_view kEol = "\r\n";

std::string seconds(const char* format, double value) {
  char text[64];
  const int n = std::snprintf(text, sizeof(text), format, value);
  return n > 0 ? std::string(text, static_cast<std::size_t>(n)) : std::string();
}

bool validPartition(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

class Session {
 public:
  Session(const Settings& settings, Host& host) : settings_(settings), host_(host) {}

  int run(const std::vector<std::string>& args) {
    if (settings_.silentMs) {
      host_.sleep(*settings_.silentMs);
      return kExitOk;
    }
    if (!settings_.extraStdout.empty()) print(Stream::out, settings_.extraStdout);

    // -s SERIAL before the command names the phone to use; without it the first one listed.
    std::size_t at = 0;
    while (at < args.size() && args[at] == "-s") {
      if (at + 1 == args.size()) return usage("option requires an argument -- 's'");
      serial_ = args[at + 1];
      at += 2;
    }
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(at), args.end());
    if (rest.empty()) return usage("no command");
    const std::string& command = rest[0];
    if (command == "devices") {
      if (rest.size() > 1) return usage("unexpected argument '" + rest[1] + "'");
      if (!settings_.devicesMs) {
        host_.sleepForever();
        return kExitFailed;  // only a scripted host ever wakes up
      }
      if (*settings_.devicesMs > 0) host_.sleep(*settings_.devicesMs);
      print(Stream::out, devicesList(settings_.devices));
      return kExitOk;
    }
    if (command == "flash") {
      if (rest.size() < 3) return usage("flash needs a partition and a file");
      if (rest.size() > 3) return usage("unknown command " + rest[3]);
      return flash(rest[1], rest[2]);
    }
    if (command == "getvar") {
      // Any number of them in one run: getvar A getvar B ...
      std::vector<std::string> names;
      for (std::size_t i = 0; i < rest.size(); i += 2) {
        if (rest[i] != "getvar") return usage("unknown command " + rest[i]);
        if (i + 1 == rest.size()) return usage("expected argument");
        names.push_back(rest[i + 1]);
      }
      return getvar(names);
    }
    return usage("unknown command " + command);
  }

 private:
  void print(Stream stream, std::string_view utf8) {
    const std::string bytes = host_.encode(utf8);
    const auto pieces = splitWrite(bytes, settings_.chunk);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (i > 0 && settings_.chunkMs > 0) host_.sleep(settings_.chunkMs);
      host_.write(stream, pieces[i]);
    }
  }
  void line(std::string text) { print(Stream::err, text.append(kEol)); }

  int usage(const std::string& problem) {
    line("fastboot: usage: " + problem);
    return kExitFailed;
  }
  int error(const std::string& problem) {
    line("fastboot: error: " + problem);
    return kExitFailed;
  }

  // The phone the command goes to: the one -s named, if it is listed, or else the first listed.
  // Nothing after the client has waited for it as long as the settings say.
  std::optional<std::string> phone() {
    const auto& listed = settings_.devices;
    if (serial_) {
      if (std::find(listed.begin(), listed.end(), *serial_) != listed.end()) return serial_;
    } else if (!listed.empty()) {
      return listed.front();
    }
    line("< waiting for " + serial_.value_or("any device") + " >");
    if (settings_.waitMs) {
      host_.sleep(*settings_.waitMs);
    } else {
      host_.sleepForever();
    }
    return std::nullopt;
  }

  int flash(const std::string& partition, const std::string& path) {
    const LoadedImage image = host_.loadImage(path);
    if (image.error != LoadError::none) {
      const char* reason =
          image.error == LoadError::denied ? "Permission denied" : "No such file or directory";
      return error("cannot load '" + path + "': " + reason);
    }
    if (!phone()) return kExitFailed;

    const double start = host_.now();
    print(Stream::err,
          padStatus("Sending '" + partition + "' (" + std::to_string(image.size / 1024) + " KB)"));
    host_.sleep(settings_.sendMs);
    const double sent = host_.now();
    line(okay(sent - start));

    print(Stream::err, padStatus("Writing '" + partition + "'"));
    host_.sleep(settings_.writeMs);
    if (settings_.fail == Failure::crash) return kExitCrashed;  // no word, as a crash says none
    if (settings_.fail == Failure::remote || !validPartition(partition)) {
      line("FAILED (remote: 'Partition not found')");
      return error("Command failed");
    }
    if (!host_.storeImage(partition)) {
      line("fastboot-sim: cannot store the image in the device folder");
      return kExitSimulatorError;
    }
    const double written = host_.now();
    line(okay(written - sent));
    line(seconds("Finished. Total time: %.3fs", written - start));
    return kExitOk;
  }

  // Each answer as the client prints it: "NAME: VALUE", or the name as a status and the phone's
  // refusal. A refusal ends nothing: the client goes on and exits 0.
  int getvar(const std::vector<std::string>& names) {
    const auto serial = phone();
    if (!serial) return kExitFailed;
    if (!settings_.getvarMs) {
      host_.sleepForever();
      return kExitFailed;  // only a scripted host ever wakes up
    }
    const double start = host_.now();
    if (*settings_.getvarMs > 0) host_.sleep(*settings_.getvarMs);
    const auto& quiet = settings_.huawei;
    const bool huawei = std::find(quiet.begin(), quiet.end(), *serial) != quiet.end();
    for (const auto& name : names) {
      const bool refused = huawei && name != "product";
      const std::optional<std::string> value = refused ? std::nullopt : answer(*serial, name);
      if (value) {
        line(name + ": " + *value);
      } else {
        // The client's status format is "%-50s ": padded to 50, then a blank.
        line(padStatus("getvar:" + name) + " FAILED (remote: '" +
             (refused ? "Command not allowed" : "Variable not found") + "')");
      }
    }
    line(seconds("Finished. Total time: %.3fs", host_.now() - start));
    return kExitOk;
  }

  // The phone's answer to getvar NAME: its own setting, else every phone's; nothing when its
  // bootloader does not know the variable.
  std::optional<std::string> answer(const std::string& serial, const std::string& name) const {
    const auto own = settings_.phoneGetvar.find(serial);
    if (own != settings_.phoneGetvar.end()) {
      if (const auto it = own->second.find(name); it != own->second.end()) return it->second;
    }
    if (const auto it = settings_.getvar.find(name); it != settings_.getvar.end()) {
      return it->second;
    }
    return std::nullopt;
  }

  const Settings& settings_;
  Host& host_;
  std::optional<std::string> serial_;
};

}  // namespace

int runSession(const std::vector<std::string>& args, const Settings& settings, Host& host) {
  return Session(settings, host).run(args);
}

std::string padStatus(std::string_view text) {
  std::string padded(text);
  if (padded.size() < kStatusWidth) padded.resize(kStatusWidth, ' ');
  return padded;
}

std::string okay(double elapsed) {
  return seconds("OKAY [%7.3fs]", elapsed);
}

std::string devicesList(const std::vector<std::string>& serials) {
  std::string list;
  for (const auto& serial : serials) list += serial + "\tfastboot" + std::string(kEol);
  return list;
}

std::vector<std::string_view> splitWrite(std::string_view bytes, std::size_t chunk) {
  std::vector<std::string_view> pieces;
  if (chunk == 0) {
    if (!bytes.empty()) pieces.push_back(bytes);
    return pieces;
  }
  for (std::size_t at = 0; at < bytes.size(); at += chunk)
    pieces.push_back(bytes.substr(at, chunk));
  return pieces;
}

}  // namespace quorlane::fastboot_sim
