#!/usr/bin/env python3
"""Counts the X requests of the clients that connect through it.

    x-request-counter.py SERVER_DISPLAY COUNT_FILE

Listens on the first free local display number from 200 up, prints that
number (":N") on stdout once it listens, and forwards every connection to
SERVER_DISPLAY (":M", a local Unix-socket display). The requests the clients
sent so far, over all connections, are written to COUNT_FILE every 0.2 s.
File descriptors passed over the socket are not forwarded: run Qt clients
with QT_XCB_NO_MITSHM=1.
"""
import os
import signal
import socket
import struct
import sys
import threading
import time

lock = threading.Lock()
requests = 0


def socket_path(display):
    return f"/tmp/.X11-unix/X{display}"


def pad(n):
    return (n + 3) & ~3


class RequestParser:
    """Splits the client's byte stream into the set-up and the requests."""

    def __init__(self):
        self.buffer = b""
        self.setup_done = False
        self.order = ">"

    def feed(self, data):
        self.buffer += data
        counted = 0
        while True:
            if not self.setup_done:
                if len(self.buffer) < 12:
                    break
                self.order = ">" if self.buffer[0:1] == b"B" else "<"
                name, data_len = struct.unpack(self.order + "HH", self.buffer[6:10])
                size = 12 + pad(name) + pad(data_len)
                if len(self.buffer) < size:
                    break
                self.buffer = self.buffer[size:]
                self.setup_done = True
                continue
            if len(self.buffer) < 4:
                break
            (length,) = struct.unpack(self.order + "H", self.buffer[2:4])
            if length == 0:  # BIG-REQUESTS: the length follows as 32 bits
                if len(self.buffer) < 8:
                    break
                (length,) = struct.unpack(self.order + "I", self.buffer[4:8])
            size = length * 4
            if size < 4 or len(self.buffer) < size:
                break
            self.buffer = self.buffer[size:]
            counted += 1
        return counted


def pump(source, target, parser):
    global requests
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            if parser:
                n = parser.feed(data)
                if n:
                    with lock:
                        requests += n
            target.sendall(data)
    except OSError:
        pass
    finally:
        for s in (source, target):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


def serve(listener, server_display):
    while True:
        client, _ = listener.accept()
        server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        server.connect(socket_path(server_display))
        threading.Thread(target=pump, args=(client, server, RequestParser()), daemon=True).start()
        threading.Thread(target=pump, args=(server, client, None), daemon=True).start()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    server_display = sys.argv[1].lstrip(":").split(".")[0]
    count_file = sys.argv[2]
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    for display in range(200, 400):
        if os.path.exists(socket_path(display)) or os.path.exists(f"/tmp/.X{display}-lock"):
            continue
        try:
            listener.bind(socket_path(display))
            break
        except OSError:
            continue
    else:
        sys.exit("no free display number")
    listener.listen(16)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        print(f":{display}", flush=True)
        threading.Thread(target=serve, args=(listener, server_display), daemon=True).start()
        while True:
            with lock:
                count = requests
            with open(count_file + ".new", "w") as out:
                out.write(f"{count}\n")
            os.replace(count_file + ".new", count_file)
            time.sleep(0.2)
    except KeyboardInterrupt:
        pass
    finally:
        os.unlink(socket_path(display))


if __name__ == "__main__":
    main()
