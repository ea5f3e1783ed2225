"""Presses keys in Velsona while Orca runs (run_atspi.sh PROGRAM CLIENT orca) and
checks in Orca's log that each calculation's results, or its failure, are spoken once."""
import re
import sys

from atspi_client import Atspi, check, descendants, failures, open_window, wait_for

RETURN, SPACE, BACKSPACE = 0xFF0D, 0x20, 0xFF08
# Controls to go to, each with its keys (text, \b for Backspace, or a key symbol), and what Orca says.
CASES = [
    ([("Sensibilità in dB (rif. 1V/Pa)", "-47"), ("Calcola mV/Pa", RETURN)], [r"Risultato in mV/Pa: 4,4668"]),
    # A key the full field holds back, told by name.
    ([("Sensibilità in dB (rif. 1V/Pa)", ord("5"))],
     [r'Il campo "Sensibilità in dB \(rif\. 1V/Pa\)" accetta al massimo 3 caratteri\.']),
    ([("arrotonda mV/Pa", SPACE)], [r"Risultato in mV/Pa: 4(?![,\d])"]),
    ([("dB Max SPL (pressione sonora massima)", "130"), ("dB Self-Noise (rumore proprio)", "15"),
      ("Calcola gamma dinamica", RETURN)],
     [r"Gamma dinamica in dB: 115\. Rapporto S/N rif\. 94 dB SPL: 79"]),
    ([("Sensibilità in dB (rif. 1V/Pa)", "\b\b\babc"), ("Calcola mV/Pa", RETURN)],
     [r"Risultato in mV/Pa: nessun valore",
      r'Il testo "abc" del campo "Sensibilità in dB \(rif\. 1V/Pa\)" non è un numero']),
]


def spoken(log):
    with open(log, encoding="utf-8", errors="replace") as text:
        return re.findall(r"SPEECH OUTPUT: '(.*)' ?{", text.read())


def main():
    log = sys.argv[2]
    found = open_window(int(sys.argv[1]))
    controls = {node.get_name(): node for _, node in descendants(found[1])} if found else {}
    for steps, said in CASES if found else []:
        for name, keys in steps:
            control, before = controls[name], len(spoken(log))
            if control.get_state_set().contains(Atspi.StateType.FOCUSED):
                before = 0
            else:
                Atspi.Component.grab_focus(control)
            # Keys go where Orca knows the focus is; text is typed whole before the next control.
            wait_for(lambda: any(name in line for line in spoken(log)[before:]), 10)
            for symbol in [BACKSPACE if c == "\b" else ord(c) for c in keys] if isinstance(keys, str) else [keys]:
                Atspi.generate_keyboard_event(symbol, None, Atspi.KeySynthType.SYM)
            if isinstance(keys, str):
                wait_for(lambda: Atspi.Text.get_text(control, 0, -1) == keys.lstrip("\b"), 10)
        for pattern in said:
            lines = wait_for(lambda: [line for line in spoken(log) if re.search(pattern, line)], 10)
            check(len(lines) == 1, f"Orca says {pattern!r} once ({lines})")
    if failures:
        print("Orca said:\n" + "\n".join(spoken(log)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
