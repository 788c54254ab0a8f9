// The USB transport of this build: it finds no phone. Phones are reached over the network
// (tcp:HOST:PORT or udp:HOST:PORT as the serial), which needs no USB driver library.
#include <cstdint>

#include "usb.h"

UsbTransport* usb_open(ifc_match_func /*callback*/, uint32_t /*timeout_ms*/) {
  return nullptr;
}
