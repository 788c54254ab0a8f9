#!/usr/bin/env python3
"""A simulated Android phone in fastboot mode that a fastboot client reaches over TCP.

Point a client at it with the serial tcp:127.0.0.1:PORT (ANDROID_SERIAL or -s). It speaks the
fastboot TCP transport: both sides send "FB01", then every message in either direction is an
8-byte big-endian length followed by that many bytes. It answers the commands a flash needs
(getvar, download, flash, erase, boot, reboot, ...), with variables that can be set or made
unknown, and keeps each flashed partition as the file PARTITION.img in its folder, beside
phone.log, a line for every connection, command and event.
An image it is asked to boot is started from memory, not stored; for tests it is shown in
booted.bin, outside the partitions.

It binds 127.0.0.1 only, on a free port that it writes to --port-file (and prints), serves one
client at a time, and ends itself after --time-limit seconds or when a file named "stop" appears
in its folder. On request it refuses commands, receives slowly, drops the connection at a given
step or does not listen at all.
"""

import argparse
import os
import socket
import struct
import sys
import time

HANDSHAKE = b"FB01"


SPARSE_MAGIC = struct.pack("<I", 0xED26FF3A)


def write_sparse(data, path):
    """Writes an Android sparse image into the partition file as the phone would: raw and fill
    chunks at their blocks, "don't care" chunks left as the partition holds them. A client sends
    an image larger than the phone's download size as several sparse pieces, each covering its
    own blocks, so the file is updated in place and given the whole image's length. Returns the
    number of bytes written."""
    (magic, _major, _minor, header_size, chunk_header_size, block_size, total_blocks,
     chunks, _checksum) = struct.unpack_from("<IHHHHIIII", data)
    mode = "r+b" if os.path.exists(path) else "w+b"
    written = 0
    with open(path, mode) as f:
        offset = header_size
        block = 0
        for _ in range(chunks):
            kind, _reserved, size_blocks, total_size = struct.unpack_from("<HHII", data, offset)
            body = data[offset + chunk_header_size:offset + total_size]
            length = size_blocks * block_size
            if kind == 0xCAC1:  # raw
                f.seek(block * block_size)
                f.write(body[:length])
                written += length
            elif kind == 0xCAC2:  # fill with a 4-byte value
                f.seek(block * block_size)
                f.write(body[:4] * (length // 4))
                written += length
            offset += total_size
            block += size_blocks
        f.truncate(total_blocks * block_size)
    return written


class Dropped(Exception):
    """The phone closes the connection on purpose."""


class Gone(Exception):
    """The client closed the connection or stopped answering."""


class Phone:
    def __init__(self, args):
        self.args = args
        self.folder = args.dir
        self.deadline = time.monotonic() + args.time_limit
        self.refusals = [rule.partition("=")[::2] for rule in args.refuse]
        self.infos = [rule.partition("=")[::2] for rule in args.info]
        self.variables = dict(rule.partition("=")[::2] for rule in args.var)
        self.unknown = set(args.unknown_var)
        self.download = b""
        self.log_file = open(os.path.join(self.folder, "phone.log"), "a", encoding="utf-8")

    def log(self, line):
        self.log_file.write(line + "\n")
        self.log_file.flush()

    def expired(self):
        return time.monotonic() >= self.deadline or os.path.exists(
            os.path.join(self.folder, "stop"))

    # ---- transport ----------------------------------------------------------------------------

    def recv_exact(self, conn, size):
        data = bytearray()
        while len(data) < size:
            if self.expired():
                raise Gone("time limit")
            try:
                piece = conn.recv(min(size - len(data), 1 << 20))
            except socket.timeout:
                continue
            if not piece:
                raise Gone("closed by the client")
            data += piece
        return bytes(data)

    def recv_message(self, conn):
        (length,) = struct.unpack(">Q", self.recv_exact(conn, 8))
        return self.recv_exact(conn, length)

    def send_message(self, conn, payload):
        conn.sendall(struct.pack(">Q", len(payload)) + payload)

    def drop_if(self, step):
        if self.args.drop and step.startswith(self.args.drop):
            self.log("dropped at " + step)
            raise Dropped()

    # ---- one client -----------------------------------------------------------------------------

    def serve(self, conn):
        conn.settimeout(0.2)
        self.drop_if("handshake")
        if self.recv_exact(conn, 4)[:2] != b"FB":
            self.log("bad handshake")
            return
        conn.sendall(HANDSHAKE)
        while True:
            command = self.recv_message(conn).decode("utf-8", "replace")
            self.log("command " + command)
            self.drop_if(command)
            for prefix, message in self.infos:
                if command.startswith(prefix):
                    self.send_message(conn, ("INFO" + message).encode())
            refusal = next((m for p, m in self.refusals if command.startswith(p)), None)
            if refusal is not None:
                self.send_message(conn, ("FAIL" + refusal).encode())
                continue
            for reply in self.answer(conn, command):
                self.send_message(conn, reply)
            if command.startswith("reboot") or command == "oem reboot-recovery":
                return

    def answer(self, conn, command):
        name, _, argument = command.partition(":")
        if name == "getvar":
            value = self.variable(argument)
            if value is None:
                return [b"FAILunknown variable"]
            return [b"OKAY" + value.encode()]
        if name == "download":
            size = int(argument, 16)
            if size > self.args.max_download_size:
                return [b"FAILdata too large"]
            self.send_message(conn, b"DATA%08x" % size)
            self.download = self.receive_data(conn, size)
            self.log("received %d bytes" % size)
            return [b"OKAY"]
        if name == "flash":
            if self.download[:4] == SPARSE_MAGIC:
                written = write_sparse(self.download, self.partition_file(argument))
                self.log("flashed %s sparse %d bytes" % (argument, written))
            else:
                with open(self.partition_file(argument), "wb") as f:
                    f.write(self.download)
                self.log("flashed %s %d bytes" % (argument, len(self.download)))
            return [b"OKAY"]
        if name == "erase":
            with open(self.partition_file(argument), "wb"):
                pass
            self.log("erased " + argument)
            return [b"OKAY"]
        if name == "boot":
            # Starts the downloaded image from memory: nothing is stored.
            self.log("booted %d bytes" % len(self.download))
            with open(os.path.join(self.folder, "booted.bin"), "wb") as f:
                f.write(self.download)
            return [b"OKAY"]
        # The restarts every client since 29.0.1 sends, and the older OEM form of the one into
        # recovery that some bootloaders know instead.
        if name in ("reboot", "reboot-bootloader", "reboot-recovery", "reboot-fastboot",
                    "continue", "set_active") or command == "oem reboot-recovery":
            return [b"OKAY"]
        return [b"FAILunknown command"]

    def variable(self, name):
        """The value of a variable, or None for one this bootloader does not know."""
        if name in self.unknown:
            return None
        if name in self.variables:
            return self.variables[name]
        if name.startswith("has-slot:") or name.startswith("is-logical:"):
            return "no"
        if name.startswith("partition-type:"):
            return "raw"
        return {
            "max-download-size": "0x%x" % self.args.max_download_size,
            "product": "quorlane-phone",
            "serialno": "QUORLANE0001",
            "version": "0.4",
            "secure": "no",
            "unlocked": "yes",
        }.get(name)

    def partition_file(self, partition):
        safe = "".join(c for c in partition if c.isalnum() or c in "_-")
        return os.path.join(self.folder, (safe or "unnamed") + ".img")

    def receive_data(self, conn, size):
        """The download's bytes, which the client sends as messages of any length."""
        data = bytearray()
        started = time.monotonic()
        drop_after = int(self.args.drop[5:]) if self.args.drop.startswith("data:") else None
        piece_limit = max(1, self.args.rate // 20) if self.args.rate else 1 << 20
        while len(data) < size:
            (remaining,) = struct.unpack(">Q", self.recv_exact(conn, 8))
            while remaining:
                piece = self.recv_exact(conn, min(remaining, piece_limit))
                remaining -= len(piece)
                data += piece
                if drop_after is not None and len(data) >= drop_after:
                    self.log("dropped at data:%d" % len(data))
                    raise Dropped()
                if self.args.rate:
                    due = started + len(data) / self.args.rate
                    while not self.expired():
                        # Read the clock once a turn: read twice, the time left can turn negative.
                        left = due - time.monotonic()
                        if left <= 0:
                            break
                        time.sleep(min(0.05, left))
        return bytes(data)

    # ---- the listening socket --------------------------------------------------------------------

    def run(self):
        server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        server.bind(("127.0.0.1", self.args.port))
        port = server.getsockname()[1]
        if not self.args.no_listen:
            server.listen(4)
        server.settimeout(0.2)
        self.report_port(port)
        self.log("ready on port %d%s" % (port, " (not listening)" if self.args.no_listen else ""))
        while not self.expired():
            if self.args.no_listen:
                time.sleep(0.1)
                continue
            try:
                conn, _ = server.accept()
            except socket.timeout:
                continue
            self.log("connected")
            try:
                self.serve(conn)
                self.log("closed")
            except Dropped:
                pass
            except (Gone, OSError) as e:
                self.log("connection ended: %s" % e)
            finally:
                conn.close()
        self.log("stopped")
        server.close()

    def report_port(self, port):
        if self.args.port_file:
            temporary = self.args.port_file + ".tmp"
            with open(temporary, "w") as f:
                f.write("%d\n" % port)
            os.replace(temporary, self.args.port_file)
        print(port, flush=True)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dir", required=True, help="folder for the partitions and phone.log")
    parser.add_argument("--port", type=int, default=0, help="port to bind (default: a free one)")
    parser.add_argument("--port-file", help="file to write the bound port to")
    parser.add_argument("--time-limit", type=float, default=120, help="seconds until it ends")
    parser.add_argument("--refuse", action="append", default=[], metavar="PREFIX=MESSAGE",
                        help="answer FAIL MESSAGE to commands that begin with PREFIX")
    parser.add_argument("--var", action="append", default=[], metavar="NAME=VALUE",
                        help="answer getvar:NAME with VALUE (which may be empty)")
    parser.add_argument("--unknown-var", action="append", default=[], metavar="NAME",
                        help="answer getvar:NAME as a variable this phone does not know")
    parser.add_argument("--info", action="append", default=[], metavar="PREFIX=MESSAGE",
                        help="say INFO MESSAGE first to commands that begin with PREFIX")
    parser.add_argument("--rate", type=int, default=0, help="receive at most this many bytes/s")
    parser.add_argument("--drop", default="", metavar="STEP",
                        help="close the connection at STEP: handshake, data:N (after N bytes of "
                             "a download), or a command's beginning (getvar, download, flash:...)")
    parser.add_argument("--no-listen", action="store_true", help="bind a port but never listen")
    parser.add_argument("--max-download-size", type=lambda s: int(s, 0), default=512 << 20)
    args = parser.parse_args(argv)
    os.makedirs(args.dir, exist_ok=True)
    Phone(args).run()


if __name__ == "__main__":
    sys.exit(main())
