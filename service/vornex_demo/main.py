"""Command line of the service: `service/run [--host H] [--port P] [--db FILE] [--feed FILE]`.

Runs in the foreground until SIGINT or SIGTERM, then stops gracefully.
"""

import argparse
import errno
import os
import shutil
import signal
import sys
import threading

from .feed import FeedError, FeedSource
from .server import ShortenerServer, load_assets
from .store import LinkStore, StoreError

SERVICE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SHIPPED_FEED = os.path.join(SERVICE_DIR, "feed.xml")
STATIC_DIR = os.path.join(SERVICE_DIR, "static")


def data_folder():
    """Where the service keeps its data: $XDG_DATA_HOME/vornex-demo or ~/.local/share/vornex-demo."""
    base = os.environ.get("XDG_DATA_HOME")
    if not base or not os.path.isabs(base):
        base = os.path.join(os.path.expanduser("~"), ".local", "share")
    return os.path.join(base, "vornex-demo")


def parse_arguments(argv):
    folder = data_folder()
    parser = argparse.ArgumentParser(
        prog="service/run", description="The Vornex demo URL-shortening service (runs in the foreground).")
    parser.add_argument("--host", default="127.0.0.1", help="address to listen on (default: 127.0.0.1)")
    parser.add_argument("--port", type=int, default=80,
                        help="port to listen on (default: 80, the port the client uses; 0 picks a free one)")
    parser.add_argument("--db", default=os.path.join(folder, "links.sqlite3"),
                        help="SQLite database file, created on first start (default: %(default)s)")
    parser.add_argument("--feed", default=None,
                        help="promotion feed XML file served as /api.dat (default: %s, copied from "
                             "service/feed.xml on first start)" % os.path.join(folder, "feed.xml"))
    parser.add_argument("--feed-encoding", default="gbk",
                        help="code page of the client's system the feed is encoded in (default: gbk, "
                             "code page 936 of Chinese Windows)")
    parser.add_argument("--quiet", action="store_true", help="do not log each request")
    args = parser.parse_args(argv)
    if not 0 <= args.port <= 65535:
        parser.error("--port must be between 0 and 65535")
    try:
        "".encode(args.feed_encoding)
    except LookupError:
        parser.error("--feed-encoding: unknown encoding %r" % args.feed_encoding)
    if args.feed is None:
        args.feed = os.path.join(folder, "feed.xml")
        args.seed_feed = True
    else:
        args.seed_feed = False
    return args


def explain_bind_error(host, port, error):
    if error.errno == errno.EADDRINUSE:
        return ("port %d on %s is already in use: stop the program that holds it (for example "
                "'ss -ltnp sport = :%d' shows it), or start this service with another --port" % (port, host, port))
    if error.errno in (errno.EACCES, errno.EPERM):
        return ("not permitted to listen on port %d of %s: ports below 1024 need root (run 'sudo service/run') "
                "or the CAP_NET_BIND_SERVICE capability; or choose a port above 1023 with --port" % (port, host))
    if error.errno == errno.EADDRNOTAVAIL:
        return "the address %s is not an address of this machine: use --host 127.0.0.1" % host
    return "cannot listen on %s:%d: %s" % (host, port, error.strerror or error)


STOP_SIGNALS = {signal.SIGTERM, signal.SIGINT}


def main(argv=None):
    args = parse_arguments(sys.argv[1:] if argv is None else argv)
    # The kernel hands a process signal to any thread that does not block it,
    # and a wait of the main thread is not woken when a worker takes one: the
    # stop request would sit unseen. So every thread (they inherit this mask)
    # blocks the stop signals and the main thread takes them with sigwait.
    signal.pthread_sigmask(signal.SIG_BLOCK, STOP_SIGNALS)
    # The port first: a start that cannot listen leaves no files behind.
    try:
        server = ShortenerServer((args.host, args.port), None, None, load_assets(STATIC_DIR), quiet=args.quiet)
    except OSError as error:
        print("service: %s" % explain_bind_error(args.host, args.port, error), file=sys.stderr)
        return 2
    try:
        if args.seed_feed and not os.path.exists(args.feed):
            os.makedirs(os.path.dirname(args.feed), exist_ok=True)
            shutil.copyfile(SHIPPED_FEED, args.feed)
        server.feed = FeedSource(args.feed, codec=args.feed_encoding)
        server.store = LinkStore(args.db)
    except (FeedError, StoreError, OSError) as error:
        server.server_close()
        print("service: %s" % error, file=sys.stderr)
        return 1

    thread = threading.Thread(target=server.serve_forever, name="accept", daemon=True)
    thread.start()
    print("service: serving http://%s/ (database %s, feed %s)" % (server.public_host, args.db, args.feed),
          flush=True)
    signal.sigwait(STOP_SIGNALS)
    print("service: stopping", flush=True)
    server.stop()
    print("service: stopped", flush=True)
    return 0
