#!/usr/bin/env python3
"""Sends the bytes read from standard input to the local socket that process
PID listens on, as any program of the user could, and reports what came
back: "answer=<bytes> closed=<yes|no>" once the listener hangs up or 5 s
have passed.

usage: listener_send.py PID < bytes
"""
import os
import socket
import sys


def listening_socket_of(pid):
    inodes = set()
    for fd in os.listdir(f"/proc/{pid}/fd"):
        try:
            target = os.readlink(f"/proc/{pid}/fd/{fd}")
        except OSError:
            continue
        if target.startswith("socket:["):
            inodes.add(target[len("socket:["):-1])
    with open("/proc/net/unix") as table:
        next(table)
        for line in table:
            fields = line.split()
            # Flags 00010000: listening; the path, "@" first for an abstract name.
            if len(fields) >= 8 and fields[6] in inodes and fields[3] == "00010000":
                path = fields[7]
                return "\0" + path[1:] if path.startswith("@") else path
    sys.exit(f"process {pid} listens on no local socket")


def main():
    address = listening_socket_of(int(sys.argv[1]))
    payload = sys.stdin.buffer.read()
    peer = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    peer.settimeout(5)
    peer.connect(address)
    answer = b""
    closed = False
    try:
        peer.sendall(payload)
        while True:
            chunk = peer.recv(4096)
            if not chunk:
                closed = True
                break
            answer += chunk
    except (BrokenPipeError, ConnectionResetError):
        closed = True
    except socket.timeout:
        pass
    print(f"answer={answer!r} closed={'yes' if closed else 'no'}")


main()
