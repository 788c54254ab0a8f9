#!/usr/bin/env python3
"""Tests of the simulated phone, with Debian's Linux fastboot client (and a raw socket where the
client cannot show what is wanted). A client left spinning or waiting is ended by the test."""

import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
PHONE = os.path.join(HERE, "phone.py")
FASTBOOT = shutil.which("fastboot")
TIMEOUT = 10


def wait_for(condition, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.02)
    return condition()


def image(size, seed=1):
    body = bytes((i * 7919 + seed) % 251 for i in range(size - 8))
    return b"ANDROID!" + body


class PhoneTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="phone-test-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.clients = []

    def tearDown(self):
        for client in self.clients:
            if client.poll() is None:
                client.kill()
            client.wait()
            for stream in (client.stdout, client.stderr):
                if stream:
                    stream.close()

    def start_phone(self, *options, time_limit=30):
        port_file = os.path.join(self.dir, "port")
        phone = subprocess.Popen(
            [sys.executable, PHONE, "--dir", self.dir, "--port-file", port_file,
             "--time-limit", str(time_limit), *options],
            stdout=subprocess.DEVNULL)
        self.addCleanup(self.stop_phone, phone)
        self.assertTrue(wait_for(lambda: os.path.exists(port_file)), "the phone reported no port")
        with open(port_file) as f:
            self.port = int(f.read())
        return phone

    def stop_phone(self, phone):
        open(os.path.join(self.dir, "stop"), "w").close()
        try:
            phone.wait(TIMEOUT)
        except subprocess.TimeoutExpired:
            phone.kill()
            phone.wait()

    def env(self):
        return dict(os.environ, ANDROID_SERIAL="tcp:127.0.0.1:%d" % self.port)

    def fastboot(self, *args):
        """Runs the client to its end; returns (exit code, standard output, standard error)."""
        result = subprocess.run([FASTBOOT, *args], env=self.env(), capture_output=True,
                                timeout=TIMEOUT * 3)
        return result.returncode, result.stdout.decode(), result.stderr.decode()

    def start_fastboot(self, *args):
        client = subprocess.Popen([FASTBOOT, *args], env=self.env(), stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE)
        os.set_blocking(client.stderr.fileno(), False)
        self.clients.append(client)
        return client

    def write_image(self, data, name="twrp.img"):
        path = os.path.join(self.dir, "images", name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def log(self):
        with open(os.path.join(self.dir, "phone.log"), encoding="utf-8") as f:
            return f.read().splitlines()

    def partition(self, name="recovery"):
        path = os.path.join(self.dir, name + ".img")
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()


@unittest.skipUnless(FASTBOOT, "Debian's fastboot package is not installed")
class FlashWithTheLinuxClient(PhoneTest):
    def test_flash_keeps_the_image_and_the_client_reports_success(self):
        self.start_phone()
        data = image(300 * 1024 + 5)
        code, out, err = self.fastboot("flash", "recovery", self.write_image(data))
        self.assertEqual(code, 0, err)
        self.assertEqual(out, "")
        self.assertEqual(self.partition(), data)
        lines = err.splitlines()
        self.assertRegex(lines[0], r"^Sending 'recovery' \(300 KB\) +OKAY \[ *\d+\.\d{3}s\]$")
        self.assertEqual(lines[0].index("OKAY"), 51)  # the text left-justified to 50, a blank
        self.assertRegex(lines[1], r"^Writing 'recovery' +OKAY \[ *\d+\.\d{3}s\]$")
        self.assertRegex(lines[2], r"^Finished\. Total time: \d+\.\d{3}s$")
        commands = [l[8:] for l in self.log() if l.startswith("command ")]
        self.assertEqual(commands, ["getvar:has-slot:recovery", "getvar:max-download-size",
                                    "getvar:is-logical:recovery", "download:%08x" % len(data),
                                    "flash:recovery"])

    def test_one_client_after_another_each_on_its_own_connection(self):
        self.start_phone()
        first, second = image(4096, 1), image(8192, 2)
        self.assertEqual(self.fastboot("flash", "recovery", self.write_image(first))[0], 0)
        self.assertEqual(self.fastboot("flash", "boot", self.write_image(second, "b.img"))[0], 0)
        self.assertEqual(self.partition("recovery"), first)
        self.assertEqual(self.partition("boot"), second)
        code, _, err = self.fastboot("getvar", "product")
        self.assertEqual(code, 0)
        self.assertIn("product: quorlane-phone", err)
        code, _, err = self.fastboot("erase", "boot")
        self.assertEqual(code, 0, err)
        self.assertEqual(self.partition("boot"), b"")
        self.assertEqual(self.fastboot("reboot")[0], 0)
        self.assertEqual(self.log().count("connected"), 5)

    def test_an_image_larger_than_the_download_size_arrives_in_sparse_pieces(self):
        self.start_phone("--max-download-size", str(64 * 1024))
        data = image(64 * 4096)
        # Blocks of one repeated word become fill chunks.
        data = data[:4096] + b"\x5a\xa5\x00\xff" * 2048 + data[3 * 4096:]
        code, _, err = self.fastboot("flash", "recovery", self.write_image(data))
        self.assertEqual(code, 0, err)
        pieces = re.findall(r"Sending sparse 'recovery' (\d+)/(\d+)", err)
        self.assertGreater(len(pieces), 3, err)
        self.assertEqual(pieces[-1][0], pieces[-1][1])
        self.assertEqual(self.partition(), data)

    def test_set_and_unknown_variables_in_one_run_that_still_succeeds(self):
        self.start_phone("--var", "unlocked=no", "--var", "current-slot=a", "--var", "product=",
                         "--unknown-var", "has-slot:recovery",
                         "--unknown-var", "partition-type:recovery")
        code, out, err = self.fastboot("getvar", "unlocked", "getvar", "has-slot:recovery",
                                       "getvar", "partition-type:recovery",
                                       "getvar", "current-slot", "getvar", "product")
        self.assertEqual((code, out), (0, ""))
        lines = err.splitlines()
        self.assertEqual(lines[0], "unlocked: no")
        for line, name in zip(lines[1:3], ["has-slot:recovery", "partition-type:recovery"]):
            self.assertRegex(line, r"^getvar:%s +FAILED \(remote: 'unknown variable'\)$" % name)
            self.assertEqual(line.index("FAILED"), 51)
        self.assertEqual(lines[3:5], ["current-slot: a", "product: "])
        self.assertRegex(lines[5], r"^Finished\. Total time: ")

    def test_refused_command_reaches_the_client_as_a_remote_failure(self):
        self.start_phone("--refuse", "flash:recovery=partition locked")
        code, _, err = self.fastboot("flash", "recovery", self.write_image(image(2048)))
        self.assertEqual(code, 1)
        self.assertRegex(err, r"Writing 'recovery' +FAILED \(remote: 'partition locked'\)")
        self.assertIn("fastboot: error: Command failed", err)
        self.assertIsNone(self.partition())
        # Only the refused command fails: another partition is written.
        self.assertEqual(self.fastboot("flash", "boot", self.write_image(image(2048)))[0], 0)

    def test_info_comes_before_the_answer_and_the_restarts_into_recovery(self):
        self.start_phone("--info", "flash:recovery=Flashing is not allowed for Critical Partitions",
                         "--refuse", "flash:recovery=", "--refuse",
                         "reboot-recovery=unknown command")
        code, _, err = self.fastboot("flash", "recovery", self.write_image(image(2048)))
        self.assertEqual(code, 1)
        self.assertRegex(err, r"Writing 'recovery' +\(bootloader\) Flashing is not allowed for "
                              r"Critical Partitions\nFAILED \(remote: ''\)")
        # A bootloader without the restart into recovery that knows the OEM command instead.
        code, _, err = self.fastboot("reboot", "recovery")
        self.assertEqual(code, 1)
        self.assertRegex(err, r"Rebooting into recovery +FAILED \(remote: 'unknown command'\)")
        code, _, err = self.fastboot("oem", "reboot-recovery")
        self.assertEqual(code, 0, err)
        self.assertIn("Finished. Total time:", err)
        self.assertEqual([l for l in self.log() if "reboot" in l],
                         ["command reboot-recovery", "command oem reboot-recovery"])

    def test_boot_starts_the_image_from_memory_and_stores_nothing(self):
        self.start_phone()
        data = image(8192 + 3)
        code, _, err = self.fastboot("boot", self.write_image(data))
        self.assertEqual(code, 0, err)
        self.assertRegex(err, r"Sending 'boot.img' \(8 KB\) +OKAY")
        self.assertIn("booted %d bytes" % len(data), self.log())
        with open(os.path.join(self.dir, "booted.bin"), "rb") as f:
            self.assertEqual(f.read(), data)
        self.assertFalse([n for n in os.listdir(self.dir) if n.endswith(".img")])

    def test_slow_phone_lets_the_client_show_sending_before_the_transfer_ends(self):
        self.start_phone("--rate", str(200 * 1024))
        data = image(600 * 1024)
        client = self.start_fastboot("flash", "recovery", self.write_image(data))
        seen = b""

        def sending_shown():
            nonlocal seen
            seen += client.stderr.read() or b""
            return b"Sending 'recovery'" in seen

        self.assertTrue(wait_for(sending_shown), seen)
        # The first half of the line is out while the phone is still receiving.
        self.assertNotIn(b"OKAY", seen)
        self.assertIsNone(client.poll())
        self.assertIsNone(self.partition())
        self.assertEqual(client.wait(TIMEOUT * 3), 0)
        self.assertEqual(self.partition(), data)

    def test_dropped_in_mid_transfer_nothing_is_written_and_the_client_is_ended_here(self):
        self.start_phone("--drop", "data:65536")
        client = self.start_fastboot("flash", "recovery", self.write_image(image(512 * 1024)))
        self.assertTrue(wait_for(lambda: any(l.startswith("dropped at data:") for l in self.log())))
        client.kill()
        self.assertIsNone(self.partition())

    def test_dropped_at_a_command(self):
        self.start_phone("--drop", "flash")
        client = self.start_fastboot("flash", "recovery", self.write_image(image(4096)))
        self.assertTrue(wait_for(lambda: "dropped at flash:recovery" in self.log()))
        client.kill()
        self.assertIsNone(self.partition())
        self.assertIn("received 4096 bytes", self.log())

    def test_a_phone_that_does_not_listen_leaves_the_client_waiting(self):
        self.start_phone("--no-listen")
        client = self.start_fastboot("flash", "recovery", self.write_image(image(4096)))
        seen = b""

        def waiting():
            nonlocal seen
            seen += client.stderr.read() or b""
            return b"< waiting for tcp:127.0.0.1:%d >" % self.port in seen

        self.assertTrue(wait_for(waiting), seen)
        self.assertIn(b"Failed to connect", seen)
        self.assertIsNone(client.poll())
        client.kill()
        self.assertNotIn("connected", self.log())


class PhoneItself(PhoneTest):
    def handshake(self):
        conn = socket.create_connection(("127.0.0.1", self.port), timeout=TIMEOUT)
        self.addCleanup(conn.close)
        conn.sendall(b"FB01")
        self.assertEqual(self.recv_exact(conn, 4), b"FB01")
        return conn

    def recv_exact(self, conn, size):
        data = b""
        while len(data) < size:
            piece = conn.recv(size - len(data))
            self.assertTrue(piece, "the phone closed the connection")
            data += piece
        return data

    def send(self, conn, payload):
        conn.sendall(struct.pack(">Q", len(payload)) + payload)

    def reply(self, conn):
        (length,) = struct.unpack(">Q", self.recv_exact(conn, 8))
        return self.recv_exact(conn, length)

    def test_download_data_in_messages_of_any_length(self):
        self.start_phone()
        conn = self.handshake()
        data = image(10000)
        self.send(conn, b"download:%08x" % len(data))
        self.assertEqual(self.reply(conn), b"DATA%08x" % len(data))
        # One byte, then a large piece, then the rest: only the total counts.
        for piece in (data[:1], data[1:9000], data[9000:]):
            self.send(conn, piece)
        self.assertEqual(self.reply(conn), b"OKAY")
        self.send(conn, b"flash:recovery")
        self.assertEqual(self.reply(conn), b"OKAY")
        self.assertEqual(self.partition(), data)

    def test_answers_to_variables_and_unknown_commands(self):
        self.start_phone("--max-download-size", "0x1000")
        conn = self.handshake()
        for command, answer in [(b"getvar:max-download-size", b"OKAY0x1000"),
                                (b"getvar:has-slot:recovery", b"OKAYno"),
                                (b"getvar:is-logical:recovery", b"OKAYno"),
                                (b"getvar:no-such-thing", b"FAILunknown variable"),
                                (b"download:00001001", b"FAILdata too large"),
                                (b"oem unlock", b"FAILunknown command")]:
            self.send(conn, command)
            self.assertEqual(self.reply(conn), answer, command)

    def test_partition_names_cannot_leave_the_folder(self):
        self.start_phone()
        conn = self.handshake()
        self.send(conn, b"download:00000004")
        self.assertEqual(self.reply(conn), b"DATA00000004")
        self.send(conn, b"abcd")
        self.assertEqual(self.reply(conn), b"OKAY")
        self.send(conn, b"flash:../../escape")
        self.assertEqual(self.reply(conn), b"OKAY")
        self.assertEqual(sorted(f for f in os.listdir(self.dir) if f.endswith(".img")),
                         ["escape.img"])
        self.assertFalse(os.path.exists(os.path.join(self.dir, "..", "..", "escape.img")))

    def test_listens_on_the_loopback_address_only(self):
        self.start_phone()
        with open("/proc/net/tcp") as f:
            rows = [line.split() for line in f.read().splitlines()[1:]]
        listening = [r[1] for r in rows if r[3] == "0A" and int(r[1].split(":")[1], 16) == self.port]
        self.assertEqual(listening, ["0100007F:%04X" % self.port])

    def test_ends_itself_after_its_time_limit_also_with_a_client_connected(self):
        phone = self.start_phone(time_limit=1)
        conn = self.handshake()
        self.send(conn, b"download:00100000")
        self.assertEqual(self.reply(conn), b"DATA00100000")
        phone.wait(TIMEOUT)  # raises if it does not end
        self.assertEqual(self.log()[-1], "stopped")

    def test_ends_when_told_to_stop(self):
        phone = self.start_phone(time_limit=600)
        open(os.path.join(self.dir, "stop"), "w").close()
        phone.wait(TIMEOUT)
        self.assertEqual(self.log()[-1], "stopped")


if __name__ == "__main__":
    unittest.main()
