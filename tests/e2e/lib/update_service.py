"""A local update service for the end-to-end check: offers version 1.1.1 with an archive whose
first entry is a shell script that writes a marker file. Writes its port to <folder>/port and
logs every request to <folder>/requests.log. Stopped by its process id."""
import http.server
import io
import os
import sys
import zipfile

folder, marker = sys.argv[1], sys.argv[2]
os.makedirs(folder, exist_ok=True)

buffer = io.BytesIO()
with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as archive:
    archive.writestr("install.sh", "#!/bin/sh\necho ran > '%s'\n" % marker)
ARCHIVE = buffer.getvalue()


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def log_request_line(self):
        with open(os.path.join(folder, "requests.log"), "a") as log:
            log.write("%s %s %s\n" % (self.command, self.path, self.headers.get("Accept", "")))

    def reply(self, status, body):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self.log_request_line()
        if self.path == "/updates/19203/overview.xml":
            self.reply(200, OVERVIEW.encode())
        elif self.path == "/files/update.zip":
            self.reply(200, ARCHIVE)
        else:
            self.reply(404, b"not here")

    def do_POST(self):
        self.log_request_line()
        self.reply(404, b"not here")


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
port = server.server_address[1]
OVERVIEW = (
    '<data><release version="1.1.1" latest="true"><body>Better things</body>'
    '<link os="linux">http://127.0.0.1:%d/files/update.zip</link></release></data>' % port
)
with open(os.path.join(folder, "port.tmp"), "w") as f:
    f.write(str(port))
os.rename(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
server.serve_forever()
