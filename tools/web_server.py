"""web_server.py — serves the built page from a folder on 127.0.0.1.

Used by tools/web.sh and by the browser tests. WebAssembly is served as
application/wasm whatever the machine's MIME table says, since browsers
compile it while it loads only then; nothing is cached, so a rebuilt page
is what the next load gets.

    python3 tools/web_server.py FOLDER PORT
"""
import functools
import http.server
import sys
import threading


class PageHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".data": "application/octet-stream"}

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, format, *args):
        pass


def start_page_server(folder, port=0):
    """Serves folder in a thread of its own; returns the server and its address."""
    handler = functools.partial(PageHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: web_server.py FOLDER PORT")
    page_server, address = start_page_server(sys.argv[1], int(sys.argv[2]))
    print("Marivelt is served on " + address + " (Ctrl+C stops it)", flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        page_server.shutdown()
