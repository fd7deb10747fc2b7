#!/usr/bin/env python3
"""A small HTTP server for the transfer tests, on 127.0.0.1 at a free port (printed as
"PORT <n>" once it listens). It serves the files under --root, and the first path segment
picks a way of answering, most of them broken on purpose:

  /plain/F          200 with Content-Length        /noclen/F      200, no length, ended by close
  /chunked/F        200, chunked in small pieces   /truncated/F   length 100 more than sent
  /status-N/...     status N, empty body           /redirect/R    302 to /plain/R
  /silent/...       accepts, reads, never answers  /close/...     closes without a reply
  /drip/F           the header, then a byte a second
  /neg-length/...   Content-Length: -5             /huge-length/  Content-Length: 20 digits
  /long-line/...    a header line of 1 MB          /endless-header/  header lines without end
  /big-N/...        N MB of body with its length
  any other path    the file under --root, as /plain/ does

Each request header is appended to --log (when given), requests separated by a line "----".
With --tls CERT KEY every connection is TLS. The server stops by itself after --lifetime
seconds (default 300), so that a test that died cannot leave it running.
"""
import argparse
import os
import socket
import ssl
import sys
import threading
import time

CHUNK = 64 * 1024


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data and b"\n\n" not in data and len(data) < 65536:
        part = conn.recv(4096)
        if not part:
            break
        data += part
    return data


def send(conn, data):
    try:
        conn.sendall(data)
        return True
    except OSError:
        return False


def header(status, text, fields):
    lines = ["HTTP/1.0 %d %s" % (status, text)] + fields
    return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1")


def file_bytes(root, rest):
    path = os.path.realpath(os.path.join(root, rest.lstrip("/")))
    if not path.startswith(os.path.realpath(root) + os.sep) or not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def answer(conn, path, args, hold):
    segments = path.split("?")[0].lstrip("/").split("/", 1)
    mode = segments[0]
    rest = segments[1] if len(segments) > 1 else ""
    if mode.startswith("status-"):
        send(conn, header(int(mode[7:]), "Scripted", ["Content-Length: 0"]))
        return
    if mode == "silent":
        hold.append(conn)  # kept open, never answered
        return
    if mode == "close":
        return
    if mode == "redirect":
        send(conn, header(302, "Found", ["Location: /plain/" + rest, "Content-Length: 0"]))
        return
    if mode == "neg-length":
        send(conn, header(200, "OK", ["Content-Length: -5"]) + b"abc")
        return
    if mode == "huge-length":
        send(conn, header(200, "OK", ["Content-Length: 99999999999999999999"]) + b"abc")
        return
    if mode == "long-line":
        send(conn, b"HTTP/1.0 200 OK\r\nX-Long: " + b"a" * (1 << 20) + b"\r\n\r\n")
        return
    if mode == "endless-header":
        send(conn, b"HTTP/1.0 200 OK\r\n")
        line = b"X-Filler: " + b"f" * 100 + b"\r\n"
        for _ in range(100000):  # 11 MB at most, then the server gives up by itself
            if not send(conn, line * 10):
                return
        return
    if mode.startswith("big-"):
        size = int(mode[4:]) << 20
        send(conn, header(200, "OK", ["Content-Length: %d" % size]))
        block = (b"; a comment line of a large chart file to fill the body with\r\n" * 1100)[:CHUNK]
        left = size
        while left > 0:
            n = min(left, len(block))
            if not send(conn, block[:n]):
                return
            left -= n
        return
    if mode not in ("plain", "noclen", "chunked", "truncated", "drip"):
        mode, rest = "plain", path.split("?")[0]
    body = file_bytes(args.root, rest)
    if body is None:
        send(conn, header(404, "Not Found", ["Content-Length: 0"]))
        return
    if mode == "plain":
        send(conn, header(200, "OK", ["Content-Length: %d" % len(body)]) + body)
    elif mode == "noclen":
        send(conn, header(200, "OK", []) + body)
    elif mode == "truncated":
        send(conn, header(200, "OK", ["Content-Length: %d" % (len(body) + 100)]) + body)
    elif mode == "chunked":
        out = header(200, "OK", ["Transfer-Encoding: chunked"]).replace(b"HTTP/1.0", b"HTTP/1.1")
        for i in range(0, len(body), 7):
            piece = body[i:i + 7]
            out += b"%x\r\n" % len(piece) + piece + b"\r\n"
        send(conn, out + b"0\r\n\r\n")
    elif mode == "drip":
        if send(conn, header(200, "OK", ["Content-Length: %d" % len(body)])):
            for b in body:
                time.sleep(1)
                if not send(conn, bytes([b])):
                    return


def serve(conn, args, hold, lock):
    try:
        conn.settimeout(30)
        request = read_request(conn)
        if args.log:
            with lock, open(args.log, "ab") as log:
                log.write(request + b"----\n")
        first = request.split(b"\r\n", 1)[0].decode("latin-1").split(" ")
        path = first[1] if len(first) >= 2 else "/"
        answer(conn, path, args, hold)
    except (OSError, ValueError, ssl.SSLError):
        pass
    finally:
        if conn not in hold:
            try:
                conn.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            conn.close()


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", default=".")
    p.add_argument("--log")
    p.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    p.add_argument("--lifetime", type=float, default=300)
    args = p.parse_args()
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    context = None
    if args.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls[0], args.tls[1])
    print("PORT %d" % listener.getsockname()[1], flush=True)
    deadline = time.monotonic() + args.lifetime
    hold, lock = [], threading.Lock()
    listener.settimeout(1)
    while time.monotonic() < deadline:
        try:
            conn, _ = listener.accept()
        except socket.timeout:
            continue
        if context:
            try:
                conn.settimeout(30)
                conn = context.wrap_socket(conn, server_side=True)
            except (OSError, ssl.SSLError):
                conn.close()
                continue
        threading.Thread(target=serve, args=(conn, args, hold, lock), daemon=True).start()
    sys.exit(0)


if __name__ == "__main__":
    main()
