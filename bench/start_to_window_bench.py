#!/usr/bin/python3
"""Start-up benchmark: from CreateProcess to the main window visible, the program (built
without an update server, theme cache warm, skin library already beside it) against a
minimal Win32 program that shows a window with the same title, alternating, and where
the program's time goes, down to each library loaded before the program's first line.

  /usr/bin/python3 bench/start_to_window_bench.py [--pairs 10] [--steps 10]

Environment as for the UI tests: LANSHI_BUILD_DIR (default build), LANSHI_WINEPREFIX,
LANSHI_DISPLAY; the architecture follows scripts/arch.sh. Prints figures; it passes or
fails nothing.

Both programs are started by bench/startup_probe.cpp from inside Wine, as the shell
starts a program, with one wineserver kept up for the whole run (as on a desktop where
Wine already runs). "visible": the window with the title is visible; "answers": it has
also answered a first message (its thread reached the message loop). The split comes
from bench/startup_steps.cpp, the program's start-up with a clock between its steps.
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "ui"))
from lanshi_ui import BUILD, MAIN_TITLE, VirtualDisplay, win_path, wine_env  # noqa: E402

NOSERVER_EXE = BUILD / "tests" / "noserver" / "LanshiDownloader.exe"
STEPS_EXE = BUILD / "bench" / "startup_steps.exe"
OUT = BUILD / "bench"


def arch():
    return subprocess.run(["bash", "-c", f'source "{REPO}/scripts/arch.sh" && echo $LANSHI_ARCH'],
                          check=True, stdout=subprocess.PIPE, text=True).stdout.strip()


CLOCK_HEADER = REPO / "bench" / "process_clock.h"


def compile_tool(name, source_name=None, gui=False, extra=()):
    source, exe = REPO / "bench" / f"{source_name or name}.cpp", OUT / f"{name}.exe"
    if not exe.exists() or exe.stat().st_mtime < max(source.stat().st_mtime, CLOCK_HEADER.stat().st_mtime, Path(__file__).stat().st_mtime):
        OUT.mkdir(parents=True, exist_ok=True)
        cxx = f"{arch()}-w64-mingw32-g++-posix"
        subprocess.run([cxx, "-O2", "-static", "-mwindows" if gui else "-municode", str(source), "-o", str(exe),
                        *extra], check=True)
    return exe


def program_manifest():
    """The program's manifest as an object file to link into the yardsticks."""
    OUT.mkdir(parents=True, exist_ok=True)
    rc, obj = OUT / "program_manifest.rc", OUT / "program_manifest.o"
    rc.write_text(f'#include <winuser.h>\nCREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST "{REPO / "resources" / "program.manifest"}"\n')
    subprocess.run([f"{arch()}-w64-mingw32-windres", str(rc), "-O", "coff", "-o", str(obj)], check=True)
    return obj


def probe(env, tool, exe, *args):
    out = subprocess.run(["wine", str(tool), win_path(exe), MAIN_TITLE, *args], env=env, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, text=True, timeout=180).stdout
    result = json.loads(out.strip().splitlines()[-1])
    if result.get("visible", -1) < 0:
        raise RuntimeError(f"{exe.name}: no visible window ({result})")
    return result


def load():
    return " ".join(Path("/proc/loadavg").read_text().split()[:3])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--pairs", type=int, default=10)
    ap.add_argument("--steps", type=int, default=10, help="runs of the timed start-up steps")
    a = ap.parse_args()
    subprocess.run(["ninja", "-C", str(BUILD), "-j2", "LanshiDownloaderNoServer", "startup_steps"], check=True,
                   stdout=subprocess.DEVNULL)
    tool = compile_tool("startup_probe")
    minimal_exe = compile_tool("minimal_window", gui=True)
    # The same, importing the libraries the program imports and with its manifest (which
    # takes the common controls from their side-by-side assembly): what loading them costs.
    manifest = program_manifest()
    imports_exe = compile_tool("minimal_imports", "minimal_window", gui=True, extra=(
        "-DWITH_PROGRAM_IMPORTS", str(manifest), "-lgdiplus", "-lole32", "-lwininet", "-lcomctl32", "-lshell32",
        "-lshlwapi", "-ladvapi32", "-lws2_32", "-lwinmm", "-lgdi32"))
    libraries_exe = compile_tool("library_load_probe", gui=True, extra=(str(manifest),))

    env = wine_env()
    display = VirtualDisplay(env, compositor=False)
    subprocess.Popen(["wineserver", "-p"], env=env).wait()
    work = Path(tempfile.mkdtemp(prefix="lanshi-startup-", dir=OUT))
    try:
        program = work / "program" / "LanshiDownloader.exe"
        steps = work / "program" / "startup_steps.exe"
        minimal = work / "minimal" / "minimal_window.exe"
        imports = work / "minimal" / "minimal_imports.exe"
        libraries = work / "minimal" / "library_load_probe.exe"
        exes = {"program": program, "minimal": minimal, "imports": imports}
        for src, dst in ((NOSERVER_EXE, program), (STEPS_EXE, steps), (minimal_exe, minimal), (imports_exe, imports),
                         (libraries_exe, libraries)):
            dst.parent.mkdir(exist_ok=True)
            shutil.copy2(src, dst)
        print(f"{arch()} build under {subprocess.run(['wine', '--version'], env=env, stdout=subprocess.PIPE, text=True).stdout.strip()}; "
              f"load average before: {load()} ({os.cpu_count()} cores)", flush=True)
        # Warm: the skin library is written beside the program, the theme cache filled,
        # the libraries in the page cache.
        for _ in range(2):
            for exe in exes.values():
                probe(env, tool, exe)

        # Pairs of the program and the minimal program, in turn which goes first; the
        # minimal program with the program's imports runs between them.
        runs = {name: [] for name in exes}
        for i in range(a.pairs):
            order = ("program", "imports", "minimal") if i % 2 == 0 else ("minimal", "imports", "program")
            got = {name: probe(env, tool, exes[name]) for name in order}
            for name in order:
                runs[name].append(got[name])
            print(f"pair {i + 1:2}: program {got['program']['visible']:6.1f} ms (answers {got['program']['answers']:6.1f}),"
                  f" minimal {got['minimal']['visible']:6.1f} ms (answers {got['minimal']['answers']:6.1f}),"
                  f" ratio {got['program']['visible'] / got['minimal']['visible']:.2f};"
                  f" minimal with the program's imports and manifest {got['imports']['visible']:6.1f} ms", flush=True)

        def ratios(key):
            return [p[key] / m[key] for p, m in zip(runs["program"], runs["minimal"])]

        def med(name, key):
            return statistics.median(r[key] for r in runs[name])

        print(f"\nvisible: program {med('program', 'visible'):.1f} ms, minimal {med('minimal', 'visible'):.1f} ms (medians);"
              f" median ratio {statistics.median(ratios('visible')):.2f}"
              f" (pairs from {min(ratios('visible')):.2f} to {max(ratios('visible')):.2f})")
        print(f"answers: program {med('program', 'answers'):.1f} ms, minimal {med('minimal', 'answers'):.1f} ms;"
              f" median ratio {statistics.median(ratios('answers')):.2f}")
        print(f"minimal with the program's imports and manifest: visible {med('imports', 'visible'):.1f} ms: loading the"
              f" program's libraries costs {med('imports', 'visible') - med('minimal', 'visible'):.1f} ms (medians)")
        least = {name: min(r["visible"] for r in runs[name]) for name in runs}
        print(f"least of each: program {least['program']:.1f} ms, minimal {least['minimal']:.1f} ms"
              f" (ratio {least['program'] / least['minimal']:.2f}), with the imports {least['imports']:.1f} ms")
        print(f"load average after the pairs: {load()}", flush=True)

        if a.steps:
            # The same moments from inside each program, in turn.
            inside = {name: [] for name in ("program", "minimal", "imports")}
            seen = []
            for i in range(a.steps):
                for name, exe in (("program", steps), ("minimal", minimal), ("imports", imports)):
                    out = work / f"{name}{i}.json"
                    outside = probe(env, tool, exe, win_path(out))
                    inside[name].append(json.loads(out.read_text()))
                    if name == "program":
                        seen.append(outside)
            names = list(inside["program"][0])
            print(f"\nwhere the program's time goes (bench/startup_steps.cpp, median of {a.steps} runs; each step"
                  " from the end of the one before, the first from the process's creation):")
            print(f"  {'':45} {'median':>7}    {'least':>7}")
            previous = None
            for name in names:
                spans = [m[name] - (m[previous] if previous else 0) for m in inside["program"]]
                print(f"  {name:45} {statistics.median(spans):7.1f} ms {min(spans):7.1f} ms")
                previous = name
            last = names[-1]
            print(f"  {'total (process created to shown and painted)':45} "
                  f"{statistics.median(m[last] for m in inside['program']):7.1f} ms"
                  f"  (seen from outside: visible {statistics.median(o['visible'] for o in seen):.1f},"
                  f" answers {statistics.median(o['answers'] for o in seen):.1f})")
            for name, label in (("minimal", "the minimal program"), ("imports", "with its imports and manifest")):
                entry = statistics.median(m["entry"] for m in inside[name])
                least_entry = min(m["entry"] for m in inside[name])
                rest = statistics.median(m["shown and painted"] - m["entry"] for m in inside[name])
                total = statistics.median(m["shown and painted"] for m in inside[name])
                print(f"  {label:29}: entry {entry:6.1f} ms (least {least_entry:5.1f}), class, window, shown and painted {rest:5.1f} ms,"
                      f" total {total:6.1f} ms")
            # Each library alone, loaded in turn by a program that imports none of them.
            loads = []
            for i in range(a.steps):
                out = work / f"libraries{i}.json"
                subprocess.run(["wine", str(libraries), win_path(out)], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=180, check=True)
                loads.append(json.loads(out.read_text()))
            print(f"\nloading each library in turn (bench/library_load_probe.cpp, {a.steps} runs; LoadLibrary:"
                  " mapping, initialisation, and what it pulls in not yet loaded):")
            for name in loads[0]:
                label = "process creation to WinMain (kernel32, C runtime)" if name == "entry" else name
                print(f"  {label:52} {statistics.median(r[name] for r in loads):6.1f} ms"
                      f" {min(r[name] for r in loads):6.1f} ms")
            print(f"  {'all libraries':52} {statistics.median(sum(v for k, v in r.items() if k != 'entry') for r in loads):6.1f} ms")
            print(f"load average after: {load()}")
    finally:
        subprocess.run(["wineserver", "-k"], env=env)
        display.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
