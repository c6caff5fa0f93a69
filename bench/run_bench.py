#!/usr/bin/env python3
"""Runs the benchmarks side by side with their baselines and prints, last,
one line per goal: NAME: RATIO (goal >= GOAL)."""
import glob
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
NATIVE_BENCH = os.path.join(ROOT, "build", "bench", "engine_bench")
WINE_BENCH = os.path.join(ROOT, "build", "win32", "engine-bench.exe")
TOOL = os.path.join(ROOT, "dist", "quillbrand")
RUNTIME = os.path.join(ROOT, "dist", "quillbrand-runtime.exe")
PE_FILES = sorted(glob.glob("/usr/lib/i386-linux-gnu/wine/i386-windows/*.dll"))[:300]


def parse(output):
    figures = {}
    for line in output.splitlines():
        name, value = line.split()
        figures[name] = float(value)
    return figures


def engine_goals(figures, where):
    f = figures
    return [
        ("crc32_vs_zlib_" + where, f["crc32_quillbrand"] / f["crc32_zlib"], 1.0),
        ("findplain_4_vs_read_" + where, f["findplain_4"] / f["read_32k_blocks"], 1.0),
        ("findplain_16_vs_read_" + where, f["findplain_16"] / f["read_32k_blocks"], 1.0),
        ("findplain_pe_00_4_vs_read_" + where, f["findplain_pe_00_4"] / f["read_32k_blocks_pe"], 1.0),
        ("findplain_pe_00_16_vs_read_" + where, f["findplain_pe_00_16"] / f["read_32k_blocks_pe"], 1.0),
        ("findwildcard_vs_findplain_" + where, f["findwildcard_pe_16"] / f["findplain_pe_16"], 0.5),
        ("apply_plain_vs_read_" + where, f["apply_plain"] / f["read_32k_blocks_file"], 0.8),
        ("apply_wildcard_vs_read_" + where, f["apply_wildcard"] / f["read_32k_blocks_file"], 0.25),
    ]


def timed(command):
    # Output to a pipe, not /dev/null: cmp stops at the first difference
    # when it sees its output go nowhere.
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return time.perf_counter() - start


def tool_goals(folder):
    size = 256 << 20
    original = os.path.join(folder, "original.bin")
    patched = os.path.join(folder, "patched.bin")
    target = os.path.join(folder, "target.bin")
    data = bytearray(os.urandom(size))
    with open(original, "wb") as f:
        f.write(data)
    for k in range(300):  # a few hundred scattered changes
        at = (k * 894_427) % (size - 16)
        data[at:at + 8] = b"PATCHED!"
    with open(patched, "wb") as f:
        f.write(data)
    del data
    program = os.path.join(folder, "patch.exe")
    best_cmp = best_diff = best_apply = 1e9
    for _ in range(3):
        best_cmp = min(best_cmp, timed(["cmp", "-l", original, patched]))
        best_diff = min(best_diff, timed([TOOL, "diff", original, patched, "--build", program, "--runtime", RUNTIME]))
        subprocess.run(["cp", original, target], check=True)
        best_apply = min(best_apply, timed([TOOL, "apply", program, target, "--no-backup"]))
    with open(target, "rb") as a, open(patched, "rb") as b:
        assert a.read() == b.read(), "apply did not reproduce the patched file"
    print("cmp %.3f s, diff %.3f s, apply %.3f s (256 MiB)" % (best_cmp, best_diff, best_apply))
    return [("diff_vs_cmp", best_cmp / best_diff, 0.5), ("apply_vs_cmp", best_cmp / best_apply, 0.5)]


def main():
    goals = []
    with tempfile.TemporaryDirectory(prefix="quillbrand-bench-") as folder:
        native = subprocess.run([NATIVE_BENCH, folder] + PE_FILES, capture_output=True, text=True, check=True).stdout
        print("native:\n" + native)
        goals += engine_goals(parse(native), "native")
        if os.path.exists(WINE_BENCH):
            sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
            from wine_session import WineSession
            with WineSession() as session:
                args = [session.wine_path(folder)] + [session.wine_path(p) for p in PE_FILES]
                wine = session.run([WINE_BENCH] + args, timeout=1200).stdout.decode()
            print("wine (i686, as shipped):\n" + wine)
            goals += engine_goals(parse(wine), "wine")
        goals += tool_goals(folder)
    print()
    for name, ratio, goal in goals:
        print("%s: %.2f (goal >= %.2f)%s" % (name, ratio, goal, "" if ratio >= goal else "  MISSED"))


if __name__ == "__main__":
    main()
