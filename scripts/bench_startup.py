"""Start-up time and peak memory of Velsona against a bare Qt window.

Started by scripts/bench-startup.sh under a virtual X display. Each run
starts a program, waits for its window to be mapped on the screen (from
outside, through the X server), lets it settle, reads its peak resident
memory from /proc and closes it. Three programs take turns, so that
whatever else the machine does falls on all alike: Velsona, the bare
window (the floor), and the bare window with one label, which shows what
starting the font system costs any window that shows text.
"""

import os
import signal
import statistics
import subprocess
import sys
import time

from Xlib import X, display


def one_run(program):
    screen = display.Display()
    root = screen.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    screen.sync()
    start = time.perf_counter()
    process = subprocess.Popen(program.split(" "), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while True:
        event = screen.next_event()
        if event.type == X.MapNotify:
            shown = time.perf_counter() - start
            break
    time.sleep(0.3)  # painted and idle
    with open(f"/proc/{process.pid}/status") as status:
        peak_kib = next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))
    process.send_signal(signal.SIGTERM)
    process.wait()
    screen.close()
    return shown, peak_kib


def main():
    velsona, floor, runs = sys.argv[1], sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 20
    text_floor = floor + " --text"
    programs = [velsona, floor, text_floor]
    results = {program: [] for program in programs}
    for program in programs:  # warm the caches once
        one_run(program)
    for turn in range(runs):
        for program in programs[turn % 3:] + programs[:turn % 3]:  # each goes first in turn
            results[program].append(one_run(program))

    def summary(program):
        times = [t for t, _ in results[program]]
        peaks = [m for _, m in results[program]]
        return statistics.median(times), statistics.median(peaks)

    v_time, v_peak = summary(velsona)
    f_time, f_peak = summary(floor)
    t_time, t_peak = summary(text_floor)
    print(f"runs: {runs} of each, taking turns, medians")
    print(f"  bare Qt window:            shown after {f_time * 1000:7.1f} ms, peak RSS {f_peak / 1024:6.1f} MiB")
    print(f"  bare Qt window, one label: shown after {t_time * 1000:7.1f} ms, peak RSS {t_peak / 1024:6.1f} MiB")
    print(f"  Velsona:                   shown after {v_time * 1000:7.1f} ms, peak RSS {v_peak / 1024:6.1f} MiB")
    print(f"  ratios to the bare window:     start-up {v_time / f_time:.3f}, memory {v_peak / f_peak:.3f}")
    print(f"  ratios to the window with text: start-up {v_time / t_time:.3f}, memory {v_peak / t_peak:.3f}")


if __name__ == "__main__":
    main()
