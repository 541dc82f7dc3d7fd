"""A local update service for the end-to-end checks: offers version 1.1.1 with an archive whose
first entry is a shell script that writes a marker file. Writes its port to <folder>/port and
logs every request to <folder>/requests.log. Stopped by its process id.

What the archive request gets is read from <folder>/mode at each request (default "install"):
  install  the plain archive
  bomb     an archive whose first entry claims 1 byte and inflates to just past 1 GiB
  escape   an archive with entries that climb out of the folder, an absolute path, a link
  short    the plain archive's announced length, then half of it and the connection closes
  endless  no length, zeros until the client goes away; then the bytes sent go to
           <folder>/endless.log
  long     the plain archive plus an honest entry of 1023 MiB of zeros (about 1 MB here)"""
import http.server
import io
import os
import struct
import sys
import zipfile
import zlib

folder, marker = sys.argv[1], sys.argv[2]
home = os.path.dirname(os.path.abspath(folder))
os.makedirs(folder, exist_ok=True)
SCRIPT = ("#!/bin/sh\necho ran > '%s'\n" % marker).encode()
MiB = 1 << 20

buffer = io.BytesIO()
with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as archive:
    archive.writestr("install.sh", SCRIPT)
ARCHIVE = buffer.getvalue()


def stored(name, data, kind=0o100644):
    return (name, data, 0, zlib.crc32(data), len(data), kind)


def zeros(name, count, claimed=None):
    """Deflated zeros: each MiB ends in a full flush, so its bytes can simply be repeated."""
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    unit = packer.compress(bytes(MiB)) + packer.flush(zlib.Z_FULL_FLUSH)
    data = unit * (count // MiB) + packer.compress(bytes(count % MiB)) + packer.flush()
    crc = 0
    for _ in range(count // MiB):
        crc = zlib.crc32(bytes(MiB), crc)
    crc = zlib.crc32(bytes(count % MiB), crc)
    return (name, data, 8, crc, count if claimed is None else claimed, 0o100644)


def build(entries):
    """A zip archive byte by byte: sizes, names and kinds exactly as given."""
    local, central = b"", b""
    for name, data, method, crc, size, kind in entries:
        raw = name.encode()
        offset = len(local)
        local += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, method, 0, 0x21, crc, len(data), size, len(raw), 0)
        local += raw + data
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, (3 << 8) | 20, 20, 0, method, 0, 0x21, crc,
                               len(data), size, len(raw), 0, 0, 0, 0, kind << 16, offset) + raw
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), len(local), 0)
    return local + central + end


ARCHIVES = {
    "bomb": lambda: build([zeros("install.sh", (1 << 30) + MiB, claimed=1)]),
    "escape": lambda: build([
        stored("install.sh", SCRIPT),
        stored("../escaped.txt", b"x"),
        stored("..\\..\\escaped-backslash.txt", b"x"),
        stored(os.path.join(home, "escaped-absolute.txt"), b"x"),
        stored("link", home.encode(), 0o120777),
        stored("link/escaped-through-link.txt", b"x"),
    ]),
    "long": lambda: build([stored("install.sh", SCRIPT), zeros("payload.bin", 1023 * MiB)]),
}
built = {}


def mode():
    try:
        with open(os.path.join(folder, "mode")) as f:
            return f.read().strip() or "install"
    except FileNotFoundError:
        return "install"


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def log_request_line(self):
        with open(os.path.join(folder, "requests.log"), "a") as log:
            log.write("%s %s %s\n" % (self.command, self.path, self.headers.get("Accept", "")))

    def reply(self, status, body, announced=None):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body) if announced is None else announced))
        self.end_headers()
        self.wfile.write(body)

    def endless(self):
        self.send_response(200)
        self.end_headers()
        chunk = bytes(64 * 1024)
        sent = 0
        try:
            while True:
                self.wfile.write(chunk)
                sent += len(chunk)
        except (BrokenPipeError, ConnectionResetError):
            with open(os.path.join(folder, "endless.log"), "a") as log:
                log.write("%d\n" % sent)

    def archive(self):
        kind = mode()
        if kind == "short":
            self.reply(200, ARCHIVE[: len(ARCHIVE) // 2], announced=len(ARCHIVE))
        elif kind == "endless":
            self.endless()
        elif kind in ARCHIVES:
            if kind not in built:
                built[kind] = ARCHIVES[kind]()
            self.reply(200, built[kind])
        else:
            self.reply(200, ARCHIVE)

    def do_GET(self):
        self.log_request_line()
        if self.path == "/updates/19203/overview.xml":
            self.reply(200, OVERVIEW.encode())
        elif self.path == "/files/update.zip":
            self.archive()
        else:
            self.reply(404, b"not here")

    def do_POST(self):
        self.log_request_line()
        self.reply(404, b"not here")


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
port = server.server_address[1]
OVERVIEW = (
    '<data><release version="1.1.1" latest="true"><body>Better things</body>'
    '<link os="linux">http://127.0.0.1:%d/files/update.zip</link></release></data>' % port
)
with open(os.path.join(folder, "port.tmp"), "w") as f:
    f.write(str(port))
os.rename(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
server.serve_forever()
