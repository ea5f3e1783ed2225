"""Uses the web page in a visible Chromium, with its accessibility on, while Orca runs
(run_atspi.sh - CLIENT orca PAGE), and checks in Orca's log that each calculation's
results are spoken once, in one utterance, also a result that comes back."""
import os
import re
import sys

from orca_client import spoken
from atspi_client import check, failures, wait_for as wait_atspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
from browser import Chromium, Server, open_page, type_into  # noqa: E402

# (field, text) typed, button clicked, and what Orca says (a pattern), counted from the start.
CASES = [
    ([("DBSens1", "-47")], "CalcolaSens", r"Risultato in mV/Pa: 4,4668", 1),
    ([("MAXSPL", "130"), ("SELFNOISE", "15")], "CalcGamma",
     r"Gamma dinamica in dB: 115\. Rapporto S/N rif\. 94 dB SPL: 79", 1),
    ([("DBSens1", "5")], "CalcolaSens", r"Risultato in mV/Pa: nessun valore", 1),
    # The same words as before are spoken again.
    ([("DBSens1", "-47")], "CalcolaSens", r"Risultato in mV/Pa: 4,4668", 2),
]


def orca_follows(browser, origin, log):
    """Whether Orca follows the page: once it has told of the page loading in the window's tab. Orca 48 may
    read a page that was ready before the window took the page's title and yet hold it for another tab,
    whose live regions it does not speak, telling of no loading: the page is then loaded again."""
    for _ in range(3):
        if wait_atspi(lambda: any(line.startswith("Caricamento") for line in spoken(log)), 10):
            return True
        open_page(browser, origin, reload=True)
    return False


def main():
    log, folder = sys.argv[2], sys.argv[3]
    server = Server(folder)
    # Visible, in Italian, with the accessibility tree Orca reads.
    browser = Chromium("it", ("--force-renderer-accessibility", "--lang=it-IT", "--window-size=900,700",
                              "--window-position=0,0"))
    try:
        open_page(browser, server.origin)
        check(orca_follows(browser, server.origin, log), "Orca follows the page")
        for typed, button, pattern, times in CASES:
            for name, text in typed:
                type_into(browser, name, text)
            browser.click(button)
            said = lambda: [line for line in spoken(log) if re.search(pattern, line)]  # noqa: E731
            wait_atspi(lambda: len(said()) >= times, 10)
            wait_atspi(lambda: False, 1)  # anything more of the same would be said by now
            lines = said()
            check(len(lines) == times, f"Orca says {pattern!r} {times} time(s) ({lines})")
    finally:
        browser.quit()
        server.stop()
    if failures:
        print("Orca said:\n" + "\n".join(spoken(log)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
