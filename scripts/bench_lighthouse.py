"""Lighthouse's scores for the web edition on a phone.

Started by scripts/bench-lighthouse.sh with the page's folder, the number of
runs and the lighthouse program:
  bench_lighthouse.py PAGE RUNS LIGHTHOUSE
Serves the folder on 127.0.0.1 as a static host does (its text and wasm
gzipped) and runs Lighthouse on it RUNS times with the mobile form factor:
a simulated slow 4G network and a CPU four times slower than this machine's.
Prints performance as the median run's score and metrics, the other
categories run by run, what did not pass in the median run, and Lighthouse's
warnings (a slow or busy CPU lowers the performance score).
"""
import functools
import gzip
import io
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import QuietHandler, Server  # noqa: E402


class HostHandler(QuietHandler):
    """Serves the folder as a static host does: its text and wasm gzipped for a browser that takes it."""

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        if (not path.endswith((".html", ".css", ".js", ".wasm", ".webmanifest")) or not os.path.isfile(path)
                or "gzip" not in self.headers.get("Accept-Encoding", "")):
            return super().send_head()
        with open(path, "rb") as source:
            body = gzip.compress(source.read())
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return io.BytesIO(body)


# Lighthouse starts a Chromium of its own; these flags keep it off the network
# beyond 127.0.0.1.
CHROMIUM_FLAGS = ("--headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
                  "--disable-background-networking --disable-component-update --disable-sync")
CATEGORIES = ("performance", "accessibility", "best-practices", "seo")
METRICS = (("first-contentful-paint", "first contentful paint"), ("largest-contentful-paint", "largest"),
           ("total-blocking-time", "total blocking time"), ("cumulative-layout-shift", "layout shift"),
           ("speed-index", "speed index"))


def lighthouse_run(program, origin, report):
    subprocess.run([program, origin + "/", "--quiet", "--form-factor=mobile", "--output=json",
                    "--output-path=" + report, "--only-categories=" + ",".join(CATEGORIES),
                    "--chrome-flags=" + CHROMIUM_FLAGS],
                   env=dict(os.environ, CHROME_PATH="/usr/bin/chromium"), check=True, timeout=300)
    with open(report, encoding="utf-8") as source:
        return json.load(source)


def findings(report):
    """The audits that did not pass in full, each with what Lighthouse says of it; the metrics aside."""
    found = set()
    for category in report["categories"].values():
        for ref in category["auditRefs"]:
            audit = report["audits"][ref["id"]]
            metric = ref.get("group") == "metrics" or (ref.get("group") == "hidden" and "insight" not in ref["id"])
            if (audit["score"] is not None and audit["score"] < 1 and audit["scoreDisplayMode"] != "informative"
                    and not metric):
                found.add(("%s %s" % (ref["id"], audit.get("displayValue", ""))).strip())
    return sorted(found)


def bench(page, runs, program):
    server = Server(page)
    server.RequestHandlerClass = functools.partial(HostHandler, directory=page)  # before the first request
    reports = []
    try:
        with tempfile.TemporaryDirectory() as folder:
            for run in range(runs):
                reports.append(lighthouse_run(program, server.origin, os.path.join(folder, "%d.json" % run)))
    finally:
        server.stop()

    def score(report, name):
        return round(report["categories"][name]["score"] * 100)

    reports.sort(key=lambda report: score(report, "performance"))
    middle = reports[len(reports) // 2]
    print("Lighthouse %s, mobile, Chromium %s, the page served gzipped, %d runs (CPU benchmark index %s)" % (
        middle["lighthouseVersion"], middle["environment"]["hostUserAgent"].split("Chrome/")[1].split()[0], runs,
        ", ".join(str(round(report["environment"]["benchmarkIndex"])) for report in reports)))
    print("performance %d (median; runs %s): %s" % (
        score(middle, "performance"), ", ".join(str(score(report, "performance")) for report in reports),
        ", ".join("%s %s" % (label, middle["audits"][name]["displayValue"]) for name, label in METRICS)))
    for name in CATEGORIES[1:]:
        print("%s %s" % (name, ", ".join(str(score(report, name)) for report in reports)))
    for line in findings(middle):
        print("  found: " + line)
    for warning in sorted({warning for report in reports for warning in report["runWarnings"]}):
        print("  Lighthouse warns: " + warning.split(" Learn more")[0])


if __name__ == "__main__":
    bench(sys.argv[1], int(sys.argv[2]), sys.argv[3])
