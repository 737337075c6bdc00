#!/usr/bin/env python3
"""A loopback ICY radio for the desktop tests: serves one MP3 file in a loop
at its bit rate on 127.0.0.1, with in-stream titles read from a file at every
metadata block, so a test changes the title by rewriting that file.

usage: icy_server.py AUDIO.mp3 TITLE_FILE PORT_FILE [NAME]
The chosen port is written to PORT_FILE once the server listens."""
import socket
import socketserver
import sys
import time

METAINT = 8000
BYTES_PER_SECOND = 16000  # 128 kbit/s

audio_path, title_path, port_path = sys.argv[1:4]
name = sys.argv[4] if len(sys.argv) > 4 else "Loopback FM"
with open(audio_path, "rb") as f:
    audio = f.read()


def metadata_block(title):
    text = ("StreamTitle='%s';" % title).encode("utf-8")
    text += b"\0" * (-len(text) % 16)
    return bytes([len(text) // 16]) + text


class Radio(socketserver.BaseRequestHandler):
    def handle(self):
        request = b""
        while b"\r\n\r\n" not in request:
            chunk = self.request.recv(4096)
            if not chunk:
                return
            request += chunk
        wants_meta = b"icy-metadata: 1" in request.lower()
        head = "ICY 200 OK\r\nicy-name:%s\r\nicy-br:128\r\ncontent-type: audio/mpeg\r\n" % name
        if wants_meta:
            head += "icy-metaint:%d\r\n" % METAINT
        self.request.sendall((head + "\r\n").encode("utf-8"))
        position, sent_title, started, sent = 0, None, time.monotonic(), 0
        try:
            while True:
                block = b""
                while len(block) < METAINT:
                    take = audio[position:position + METAINT - len(block)]
                    block += take
                    position = (position + len(take)) % len(audio)
                if wants_meta:
                    with open(title_path, encoding="utf-8") as f:
                        title = f.read().strip()
                    block += metadata_block(title) if title != sent_title else b"\0"
                    sent_title = title
                self.request.sendall(block)
                sent += METAINT
                # a few seconds ahead of real time, then at the stream's rate
                ahead = sent / BYTES_PER_SECOND - (time.monotonic() - started) - 3
                if ahead > 0:
                    time.sleep(ahead)
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


with Server(("127.0.0.1", 0), Radio) as server:
    with open(port_path + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    import os
    os.rename(port_path + ".tmp", port_path)
    server.serve_forever()
