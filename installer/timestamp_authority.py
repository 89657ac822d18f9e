#!/usr/bin/env python3
"""A time-stamp authority on the loopback, for the tests of signing: RFC 3161 requests
over HTTP, each answered by `openssl ts -reply` with a throw-away certificate.

    timestamp_authority.py --dir DIR -- COMMAND [ARG...]

makes the authority's key and certificate in DIR (its certificate is DIR/tsa-cert.pem),
serves on 127.0.0.1 while COMMAND runs, with "{url}" in any argument standing for the
authority's address, and exits with COMMAND's exit code. COMMAND is given --deadline
seconds (default 1800); every reply has 60.
"""

import argparse
import http.server
import subprocess
import sys
import tempfile
import threading
from pathlib import Path

REPLY_SECONDS = 60
CONFIG = """\
[ tsa ]
default_tsa = quorel_test_tsa

[ quorel_test_tsa ]
dir = {dir}
serial = $dir/tsa-serial
crypto_device = builtin
signer_cert = $dir/tsa-cert.pem
certs = $dir/tsa-cert.pem
signer_key = $dir/tsa-key.pem
signer_digest = sha256
default_policy = 1.3.6.1.4.1.4146.2.3
digests = sha1, sha256, sha384, sha512
accuracy = secs:1
ordering = yes
tsa_name = yes
ess_cert_id_chain = no
ess_cert_id_alg = sha256
"""


def make_authority(folder):
    folder.mkdir(parents=True, exist_ok=True)
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=Quorel test time stamps",
                    "-addext", "extendedKeyUsage=critical,timeStamping",
                    "-addext", "keyUsage=critical,digitalSignature",
                    "-keyout", folder / "tsa-key.pem", "-out", folder / "tsa-cert.pem"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=REPLY_SECONDS)
    (folder / "tsa-serial").write_text("01\n")
    config = folder / "tsa.cnf"
    config.write_text(CONFIG.format(dir=folder))
    return config


def handler_for(config, replies):
    lock = threading.Lock()

    class TimeStamps(http.server.BaseHTTPRequestHandler):
        def do_POST(self):  # noqa: N802 (the name the server calls)
            length = int(self.headers.get("Content-Length") or 0)
            if not 0 < length <= 65536:
                self.send_error(400, "a time-stamp query of 1 to 65536 bytes")
                return
            query = self.rfile.read(length)
            # One at a time: the serial file is read and written by each reply.
            with lock, tempfile.TemporaryDirectory() as work:
                (Path(work) / "query.tsq").write_bytes(query)
                made = subprocess.run(
                    ["openssl", "ts", "-reply", "-config", config,
                     "-queryfile", Path(work) / "query.tsq", "-out", Path(work) / "reply.tsr"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=REPLY_SECONDS)
                if made.returncode != 0:
                    self.send_error(500, "openssl ts could not answer")
                    return
                reply = (Path(work) / "reply.tsr").read_bytes()
            replies.append(len(reply))
            self.send_response(200)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(reply)))
            self.end_headers()
            self.wfile.write(reply)

        def log_message(self, *args):
            pass

    return TimeStamps


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--dir", required=True)
    parser.add_argument("--deadline", type=int, default=1800)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        sys.exit("timestamp_authority.py: give the command to run after --")
    config = make_authority(Path(args.dir).resolve())
    replies = []
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler_for(config, replies))
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    try:
        done = subprocess.run([word.replace("{url}", url) for word in command],
                              timeout=args.deadline)
        code = done.returncode
    except subprocess.TimeoutExpired:
        print(f"timestamp_authority.py: the command ran past {args.deadline} s", file=sys.stderr)
        code = 1
    finally:
        server.shutdown()
        thread.join(timeout=REPLY_SECONDS)
    print(f"the time-stamp authority answered {len(replies)} requests")
    sys.exit(code)


if __name__ == "__main__":
    main()
