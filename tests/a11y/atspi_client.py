"""Reads and drives Velsona's window through AT-SPI, as a screen reader does.

Run by run_atspi.sh with the program's process id, on a bus where the
program registers. Prints the accessible tree it found; exits non-zero on
the first expectation that fails.
"""
import sys
import time
import warnings
from collections import namedtuple

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

TITLE = "Velsona - \u00a9 2026 gli autori di Velsona"

# The thirteen controls a user works with: (role, accessible name). Roles are
# compared as values: their names differ between AT-SPI releases ("push
# button" on Debian 12, "button" on Debian 13).
TEXT, LABEL, BUTTON, CHECK_BOX = Atspi.Role.TEXT, Atspi.Role.LABEL, Atspi.Role.PUSH_BUTTON, Atspi.Role.CHECK_BOX
INTERACTIVE = [
    (TEXT, "Sensibilità in dB (rif. 1V/Pa)"),
    (TEXT, "Sensibilità in mV/Pa"),
    (TEXT, "dB Max SPL (pressione sonora massima)"),
    (TEXT, "dB Self-Noise (rumore proprio)"),
    (LABEL, "Risultato in mV/Pa"),
    (LABEL, "Risultato in dB (rif. 1V/Pa)"),
    (LABEL, "Gamma dinamica in dB"),
    (LABEL, "Rapporto S/N rif. 94 dB SPL"),
    (BUTTON, "Calcola mV/Pa"),
    (BUTTON, "Calcola dB"),
    (BUTTON, "Calcola gamma dinamica"),
    (CHECK_BOX, "arrotonda mV/Pa"),
    (CHECK_BOX, "arrotonda dB"),
]

failures = []
Box = namedtuple("Box", "x y width height")


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what)
    if not condition:
        failures.append(what)
    return condition


def pump(seconds):
    """Lets AT-SPI events arrive for `seconds`."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(predicate, seconds):
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    return predicate()


def find_frame(pid):
    """The program's frame, once the program has registered and built its window."""
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None or app.get_process_id() != pid:
            continue
        for j in range(app.get_child_count()):
            window = app.get_child_at_index(j)
            if window is not None and window.get_child_count() > 0:
                return app, window
    return None


def descendants(node, depth=0, out=None):
    out = [] if out is None else out
    out.append((depth, node))
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            descendants(child, depth + 1, out)
    return out


def reads_as_seen(frame):
    """The panels from the left, and in each its controls as a reader meets them: never one above the one
    before it, nor left of it in the same row. Prints the order found."""
    def box(node):  # (Qt 6.4 gives a wrong size with the extents; position and size alone are right)
        position, size = Atspi.Component.get_position(node, Atspi.CoordType.WINDOW), Atspi.Component.get_size(node)
        return Box(position.x, position.y, size.x, size.y)

    panels = [frame.get_child_at_index(i) for i in range(frame.get_child_count())]
    panels = [panel for panel in panels if panel is not None and panel.get_child_count() > 0]
    seen = [box(panel).x for panel in panels] == sorted(box(panel).x for panel in panels) and len(panels) == 2
    for panel in panels:
        children = [panel.get_child_at_index(i) for i in range(panel.get_child_count())]
        print("  read: " + " | ".join(child.get_name() or child.get_role_name() for child in children))
        for a, b in zip(map(box, children), map(box, children[1:])):
            same_row = a.y < b.y + b.height and b.y < a.y + a.height
            seen = seen and (b.x > a.x if same_row else b.y > a.y)
    return seen


def open_window(pid):
    """The program's application and frame once every control is there (the window may still be filling in)."""
    Atspi.init()
    found = wait_for(lambda: find_frame(pid), 30)
    if check(found is not None, "the program registers on the accessibility bus"):
        wait_for(lambda: len(descendants(found[1])) >= 26, 10)
    return found


def main():
    found = open_window(int(sys.argv[1]))
    if found is None:
        return 1
    app, frame = found

    nodes = descendants(app)
    print("The tree as AT-SPI gives it:")
    for depth, node in nodes:
        description = node.get_description()
        print("  " * (depth + 1) + f"{node.get_role_name()} {node.get_name()!r}"
              + (f" ({description})" if description else ""))

    check(app.get_name() == "Velsona", f"the application is named Velsona ({app.get_name()!r})")
    check(frame.get_role() == Atspi.Role.FRAME, f"the window is a frame ({frame.get_role_name()!r})")
    check(frame.get_name() == TITLE, f"the frame is named by the title ({frame.get_name()!r})")

    by_name = {}
    for _, node in nodes:
        by_name.setdefault(node.get_name(), node)
    for role, name in INTERACTIVE:
        node = by_name.get(name)
        check(node is not None and node.get_role() == role,
              f"{Atspi.role_get_name(role)} {name!r}" + ("" if node is None else f" (found {node.get_role_name()!r})"))
    named_results = {name for role, name in INTERACTIVE if role == LABEL}
    count = sum(1 for _, node in nodes
                if node.get_role() in {TEXT, BUTTON, CHECK_BOX}
                or (node.get_role() == LABEL and node.get_name() in named_results))
    check(count == 13, f"13 interactive controls ({count})")
    check(reads_as_seen(frame), "each panel's controls are listed as they are seen, row by row")
    if failures:
        return 1

    events = []

    def on_event(event):
        # The name as the event left it (what a screen reader speaks), of the result fields only.
        source = event.source
        if source is not None and source.get_role() != LABEL:
            return
        events.append((event.type, source.get_role_name() if source else "", source.get_name() if source else ""))

    listener = Atspi.EventListener.new(on_event)
    listener.register("object:property-change:accessible-name")

    # Type into the dB field through EditableText and press "Calcola" through its Action.
    field = by_name["Sensibilità in dB (rif. 1V/Pa)"]
    check(Atspi.EditableText.set_text_contents(field, "-47"), "EditableText sets the dB field")
    check(Atspi.Text.get_text(field, 0, -1) == "-47",
          f"the field holds -47 ({Atspi.Text.get_text(field, 0, -1)!r})")
    button = by_name["Calcola mV/Pa"]
    with warnings.catch_warnings():  # the newer name is missing from older libatspi
        warnings.simplefilter("ignore", DeprecationWarning)
        actions = [Atspi.Action.get_action_name(button, i) for i in range(Atspi.Action.get_n_actions(button))]
    check("Press" in actions, f"the button offers Press ({actions})")
    Atspi.Action.do_action(button, actions.index("Press"))

    expected = "Risultato in mV/Pa: 4.4668"
    changed = wait_for(lambda: [e for e in events if e[2] == expected], 10)
    check(bool(changed), f"an accessible-name change announces {expected!r} ({events})")
    pump(0.5)  # any further event for the same calculation would arrive by now
    result = by_name["Risultato in mV/Pa"]
    check(result.get_name() == expected, f"the result reads {result.get_name()!r}")
    announced = [e for e in events if e[2].startswith("Risultato in mV/Pa")]
    check(len(announced) == 1, f"one name change for one calculation ({announced})")

    # The dynamic range: two results, one change each.
    events.clear()
    Atspi.EditableText.set_text_contents(by_name["dB Max SPL (pressione sonora massima)"], "130")
    Atspi.EditableText.set_text_contents(by_name["dB Self-Noise (rumore proprio)"], "15")
    Atspi.Action.do_action(by_name["Calcola gamma dinamica"], 0)
    wanted = {"Gamma dinamica in dB: 115", "Rapporto S/N rif. 94 dB SPL: 79"}
    wait_for(lambda: wanted <= {e[2] for e in events}, 10)
    pump(0.5)
    check(sorted(e[2] for e in events) == sorted(wanted), f"both results announced once ({events})")

    listener.deregister("object:property-change:accessible-name")
    print("accessibility over AT-SPI: " + ("ok" if not failures else f"{len(failures)} failed"))
    return 0 if not failures else 1


if __name__ == "__main__":
    sys.exit(main())
