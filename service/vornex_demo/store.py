"""The links database: SQLite through the standard library.

Every change is committed before its answer leaves, so an answered request
is never lost: WAL journal with synchronous=FULL survives a kill -9 of the
service and a crash of the machine alike. Statements take their values as
parameters; no SQL is ever built from request text.

Writes go through one writer thread that commits whatever has queued up in
one transaction (group commit): concurrent requests share one disk flush
instead of queueing for one flush each, and no writer ever waits in SQLite's
sleep-and-retry lock loop. Reads use a small pool of connections, which WAL
lets run beside the writer.

The schema carries its version in PRAGMA user_version; MIGRATIONS[i] turns
version i into i + 1, and a database newer than this code is refused rather
than misread.
"""

import contextlib
import os
import queue
import sys
import secrets
import sqlite3
import threading
import time

CODE_ALPHABET = "23456789abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ"  # no 0/O, 1/l/I
CODE_LENGTH = 6
MAX_CODE_LENGTH = 32
RECENT_LIMIT_MAX = 200
MAX_BATCH = 256

MIGRATIONS = [
    """
    CREATE TABLE links (
        id INTEGER PRIMARY KEY,
        code TEXT NOT NULL UNIQUE,
        address TEXT NOT NULL,
        created INTEGER NOT NULL,
        visits INTEGER NOT NULL DEFAULT 0,
        last_visit INTEGER
    );
    CREATE INDEX links_by_created ON links (created DESC, id DESC);
    """,
]
SCHEMA_VERSION = len(MIGRATIONS)


class StoreError(Exception):
    """The database cannot be opened or used; str() says what to do."""


class Link:
    __slots__ = ("code", "address", "created", "visits")

    def __init__(self, code, address, created, visits):
        self.code, self.address, self.created, self.visits = code, address, created, visits

    def as_json(self, base_url):
        return {"code": self.code, "short_url": base_url + self.code, "url": self.address,
                "created": self.created, "visits": self.visits}


class LinkStore:
    """Thread-safe access to the links table through a small connection pool."""

    def __init__(self, path, pool_size=8):
        self.path = path
        folder = os.path.dirname(os.path.abspath(path))
        try:
            os.makedirs(folder, exist_ok=True)
        except OSError as error:
            raise StoreError("cannot create the data folder %s: %s" % (folder, error.strerror)) from None
        self._pool = queue.LifoQueue()
        self._pool_size = pool_size
        self._opened = 0
        self._lock = threading.Lock()
        self._closed = False
        with self._connection() as db:
            self._migrate(db)
        self._writes = queue.Queue()
        self._writer_db = self._open()
        self._writer = threading.Thread(target=self._write_loop, name="store-writer", daemon=True)
        self._writer.start()

    def _open(self):
        try:
            db = sqlite3.connect(self.path, timeout=10, isolation_level=None, check_same_thread=False)
            db.execute("PRAGMA journal_mode=WAL")
            db.execute("PRAGMA synchronous=FULL")
            db.execute("PRAGMA foreign_keys=ON")
            return db
        except sqlite3.Error as error:
            raise StoreError("cannot open the database %s: %s (move it away or choose another --db)"
                             % (self.path, error)) from None

    @contextlib.contextmanager
    def _connection(self):
        try:
            db = self._pool.get_nowait()
        except queue.Empty:
            with self._lock:
                grow = self._opened < self._pool_size
                if grow:
                    self._opened += 1
            db = self._open() if grow else self._pool.get()
        try:
            yield db
        finally:
            self._pool.put(db)

    @contextlib.contextmanager
    def _transaction(self, db):
        # IMMEDIATE takes the write lock up front, so two writers wait on the
        # busy timeout instead of failing on a lock upgrade.
        db.execute("BEGIN IMMEDIATE")
        try:
            yield
        except BaseException:
            db.execute("ROLLBACK")
            raise
        db.execute("COMMIT")

    def _migrate(self, db):
        try:
            with self._transaction(db):
                version = db.execute("PRAGMA user_version").fetchone()[0]
                if version > SCHEMA_VERSION:
                    raise StoreError("the database %s has schema version %d, newer than this service "
                                     "(version %d): use a newer service or another --db"
                                     % (self.path, version, SCHEMA_VERSION))
                for step in range(version, SCHEMA_VERSION):
                    for statement in MIGRATIONS[step].split(";"):
                        if statement.strip():
                            db.execute(statement)
                    db.execute("PRAGMA user_version=%d" % (step + 1))
        except sqlite3.DatabaseError as error:
            raise StoreError("the database %s cannot be used: %s (move it away or choose another --db)"
                             % (self.path, error)) from None

    def _write(self, operation):
        """Runs operation(db) in the writer's next transaction; returns its result once committed."""
        if self._closed:
            raise StoreError("the service is stopping")
        done = threading.Event()
        outcome = []
        self._writes.put((operation, done, outcome))
        done.wait()
        kind, value = outcome[0]
        if kind == "error":
            raise value
        return value

    def _write_loop(self):
        db = self._writer_db
        while True:
            first = self._writes.get()
            if first is None:
                break
            batch = [first]
            stop = False
            while len(batch) < MAX_BATCH:
                try:
                    item = self._writes.get_nowait()
                except queue.Empty:
                    break
                if item is None:
                    stop = True
                    break
                batch.append(item)
            self._commit_batch(db, batch)
            if stop:
                break
        db.close()

    def _commit_batch(self, db, batch):
        results = []
        try:
            db.execute("BEGIN IMMEDIATE")
            for operation, _, _ in batch:
                # A failing operation is undone alone; the rest of the batch stands.
                db.execute("SAVEPOINT operation")
                try:
                    results.append(("value", operation(db)))
                    db.execute("RELEASE operation")
                except Exception as error:  # handed to the waiting request
                    db.execute("ROLLBACK TO operation")
                    db.execute("RELEASE operation")
                    results.append(("error", error))
            db.execute("COMMIT")
        except sqlite3.Error as error:
            print("store: a write transaction failed: %s" % error, file=sys.stderr, flush=True)
            if db.in_transaction:
                db.execute("ROLLBACK")
            results = [("error", StoreError("the database refused a write: %s" % error))] * len(batch)
        for (_, done, outcome), result in zip(batch, results):
            outcome.append(result)
            done.set()

    def create(self, address):
        """Stores a new link for an already validated address; returns it once committed."""
        created = int(time.time())

        def insert(db):
            for _ in range(20):
                code = "".join(secrets.choice(CODE_ALPHABET) for _ in range(CODE_LENGTH))
                try:
                    db.execute("INSERT INTO links (code, address, created) VALUES (?, ?, ?)",
                               (code, address, created))
                    return Link(code, address, created, 0)
                except sqlite3.IntegrityError:
                    continue  # the code is taken: draw another
            raise StoreError("no free short code found")

        return self._write(insert)

    def visit(self, code):
        """Counts a visit and returns the address, or None for an unknown code."""
        if not is_plausible_code(code):
            return None
        now = int(time.time())

        def count(db):
            rows = db.execute("UPDATE links SET visits = visits + 1, last_visit = ? WHERE code = ? "
                              "RETURNING address", (now, code)).fetchall()
            return rows[0][0] if rows else None

        return self._write(count)

    def find(self, code):
        if not is_plausible_code(code):
            return None
        with self._connection() as db:
            row = db.execute("SELECT code, address, created, visits FROM links WHERE code = ?",
                             (code,)).fetchone()
        return Link(*row) if row else None

    def recent(self, limit=20):
        limit = max(1, min(int(limit), RECENT_LIMIT_MAX))
        with self._connection() as db:
            rows = db.execute("SELECT code, address, created, visits FROM links "
                              "ORDER BY created DESC, id DESC LIMIT ?", (limit,)).fetchall()
        return [Link(*row) for row in rows]

    def count(self):
        with self._connection() as db:
            return db.execute("SELECT COUNT(*) FROM links").fetchone()[0]

    def close(self):
        """Commits what is queued, then closes every connection; callers must have finished."""
        with self._lock:
            if self._closed:
                return
            self._closed = True
        self._writes.put(None)
        self._writer.join()
        while True:
            try:
                self._pool.get_nowait().close()
            except queue.Empty:
                break


def is_plausible_code(code):
    return 0 < len(code) <= MAX_CODE_LENGTH and code.isascii() and code.isalnum()
