"""Start-up time and peak memory of Velsona against a bare Qt window.

Started by scripts/bench-startup.sh under a virtual X display. Each run
starts a program, waits for its window to be mapped on the screen (from
outside, through the X server), lets it settle, reads its peak resident
memory from /proc and closes it. The two programs take turns, so that
whatever else the machine does falls on both alike.
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
    process = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
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
    results = {velsona: [], floor: []}
    for program in (velsona, floor):  # warm the caches once
        one_run(program)
    for turn in range(runs):
        order = (velsona, floor) if turn % 2 == 0 else (floor, velsona)
        for program in order:
            results[program].append(one_run(program))

    def summary(program):
        times = [t for t, _ in results[program]]
        peaks = [m for _, m in results[program]]
        return statistics.median(times), statistics.median(peaks)

    v_time, v_peak = summary(velsona)
    f_time, f_peak = summary(floor)
    print(f"runs: {runs} of each, alternating, medians")
    print(f"  bare Qt window: shown after {f_time * 1000:7.1f} ms, peak RSS {f_peak / 1024:6.1f} MiB")
    print(f"  Velsona:        shown after {v_time * 1000:7.1f} ms, peak RSS {v_peak / 1024:6.1f} MiB")
    print(f"  ratio start-up: {v_time / f_time:.3f}   ratio memory: {v_peak / f_peak:.3f}")


if __name__ == "__main__":
    main()
