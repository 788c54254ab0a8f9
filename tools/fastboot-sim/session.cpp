#include "session.h"

#include <cstdio>

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

    if (args.empty()) return usage("no command");
    const std::string& command = args[0];
    if (command == "devices") {
      if (args.size() > 1) return usage("unexpected argument '" + args[1] + "'");
      if (!settings_.devicesMs) {
        host_.sleepForever();
        return kExitFailed;  // only a scripted host ever wakes up
      }
      if (*settings_.devicesMs > 0) host_.sleep(*settings_.devicesMs);
      print(Stream::out, devicesList(settings_.devices));
      return kExitOk;
    }
    if (command == "flash") {
      if (args.size() < 3) return usage("flash needs a partition and a file");
      if (args.size() > 3) return usage("unknown command " + args[3]);
      return flash(args[1], args[2]);
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

  int flash(const std::string& partition, const std::string& path) {
    const LoadedImage image = host_.loadImage(path);
    if (image.error != LoadError::none) {
      const char* reason =
          image.error == LoadError::denied ? "Permission denied" : "No such file or directory";
      return error("cannot load '" + path + "': " + reason);
    }
    if (settings_.devices.empty()) {
      line("< waiting for any device >");
      if (settings_.waitMs) {
        host_.sleep(*settings_.waitMs);
      } else {
        host_.sleepForever();
      }
      return kExitFailed;
    }

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

  const Settings& settings_;
  Host& host_;
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
