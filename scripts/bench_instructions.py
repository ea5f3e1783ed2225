"""Instructions per call of each number rule and of its floor, counted by
callgrind: unlike times, the same on a busy machine as on an idle one.

    python3 scripts/bench_instructions.py build-bench/tests/velsona_calc_bench

Each benchmark runs under callgrind, collecting only inside the function it
measures (the rule, or the standard library's conversion for the floor);
the instructions are divided by the number of calls made to it.
"""

import os
import re
import subprocess
import sys
import tempfile

# benchmark -> the function whose calls it counts
MEASURED = {
    "BM_TextToDouble/0": "velsona::calc::TextToDouble(",
    "BM_TextToDouble/1": "velsona::calc::TextToDouble(",
    "BM_FloorFromCharsDouble": "std::from_chars(char const*, char const*, double&",
    "BM_TextToSingle/0": "velsona::calc::TextToSingle(",
    "BM_TextToSingle/1": "velsona::calc::TextToSingle(",
    "BM_FloorFromCharsSingle": "std::from_chars(char const*, char const*, float&",
    "BM_SingleToText/0": "velsona::calc::SingleToText[abi:cxx11](",
    "BM_SingleToText/1": "velsona::calc::SingleToText[abi:cxx11](",
    "BM_FloorToCharsSingle": "std::to_chars(char*, char*, float, std::chars_format, int)",
    "BM_DoubleToText/0": "velsona::calc::DoubleToText[abi:cxx11](",
    "BM_DoubleToText/1": "velsona::calc::DoubleToText[abi:cxx11](",
    "BM_FloorToCharsDouble": "std::to_chars(char*, char*, double, std::chars_format, int)",
    "BM_RoundDecimals": "velsona::calc::RoundDecimals(",
    "BM_SensDBtoMV/0": "velsona::calc::SensDBtoMV(",
    "BM_SensDBtoMV/1": "velsona::calc::SensDBtoMV(",
    "BM_SensMVtoDB/0": "velsona::calc::SensMVtoDB(",
    "BM_SensMVtoDB/1": "velsona::calc::SensMVtoDB(",
    "BM_GammaSN/0": "velsona::calc::GammaSN(",
    "BM_GammaSN/1": "velsona::calc::GammaSN(",
}


def count(bench, name, function):
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "callgrind.out")
        subprocess.run(
            ["valgrind", "--tool=callgrind", "--compress-strings=no", f"--callgrind-out-file={out}",
             f"--toggle-collect={function}*", bench, f"--benchmark_filter=^{re.escape(name)}$",
             "--benchmark_min_time=0.02"],
            check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            env=dict(os.environ, LD_BIND_NOW="1"))
        total, calls, callee = 0, 0, None
        with open(out) as data:
            for line in data:
                if line.startswith("summary:"):
                    total = int(line.split()[1])
                elif line.startswith("cfn="):
                    callee = line[4:]
                elif line.startswith("calls=") and callee is not None:
                    if callee.startswith(function):
                        calls += int(line[6:].split()[0])
                    callee = None
        return total / calls if calls else float("nan")


def main():
    bench = sys.argv[1]
    wanted = re.compile(sys.argv[2] if len(sys.argv) > 2 else ".")
    for name, function in MEASURED.items():
        if wanted.search(name):
            print(f"{name:28} {count(bench, name, function):7.0f} instructions per call")


if __name__ == "__main__":
    main()
