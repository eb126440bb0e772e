#!/usr/bin/env python3
"""Serves a known-image list on 127.0.0.1 for a local run of Halcyra.

Halcyra asks for its compiled-in list address; with the Wine prefix's proxy pointed here,
that request arrives as "GET http://HOST/halcyra/orlenixhash.xml". Whatever the host, the
list is answered from a file (--list) or relayed from a real list server (--upstream).
The first line printed is the port.
"""
import argparse
import http.server
import sys
import urllib.request


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1 (0: any free port)")
    source = parser.add_mutually_exclusive_group(required=True)
    source.add_argument("--list", help="list document to serve")
    source.add_argument("--upstream", help="address of a list to relay")
    source.add_argument("--not-found", action="store_true", help="answer 404 Not Found, as a server without the list")
    args = parser.parse_args()

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            print(f"request: GET {self.path} User-Agent: {self.headers.get('User-Agent')}", file=sys.stderr, flush=True)
            if args.not_found or not self.path.split("?")[0].endswith("/halcyra/orlenixhash.xml"):
                self.send_error(404, "Not Found")
                return
            try:
                if args.list:
                    with open(args.list, "rb") as f:
                        body = f.read()
                else:
                    with urllib.request.urlopen(args.upstream, timeout=30) as upstream:
                        body = upstream.read()
            except OSError as error:
                self.send_error(502, f"Bad Gateway: {error}")
                return
            self.send_response(200)
            self.send_header("Content-Type", "text/xml")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *_):
            pass

    server = http.server.HTTPServer(("127.0.0.1", args.port), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
