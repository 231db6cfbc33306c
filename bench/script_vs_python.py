#!/usr/bin/env python3
"""Runs the same work as a memo's script through rekna-calc and as a CPython program, each as a
whole process, and prints the times side by side.

Usage: bench/script_vs_python.py [--rekna-calc PATH] [--python PATH] [--runs N] [--scale K]
                                 [--only NAME ...]

The yardstick is the distribution's CPython (/usr/bin/python3 unless --python or $PYTHON says
otherwise). Every run of either side is a fresh process, the two sides by turns; the table shows
the best wall time and the best processor time (user + system) of --runs runs of each (the best,
since a shared machine only ever adds time), the same for an empty memo and an empty program (the
start-up of each process), and the ratios of the whole-process times. The CPython programs keep
their work inside a function, CPython's fastest form (its module-level loops are slower, and building a string there with
"+=" copies it on every pass). --scale multiplies the sizes of the work (fib grows by one
level per doubling) so that the work, not the start-up, dominates. Both sides must print the same
result or the run fails.
"""

import argparse
import math
import os
import resource
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def workloads(scale):
    n_loop = 3_000_000 * scale
    n_text = 1_000_000 * scale
    n_calls = 1_000_000 * scale
    n_array = 1_000_000 * scale
    fib = 25 + int(round(math.log2(scale))) if scale > 1 else 25
    return [
        (
            "loop",
            f"{n_loop:,} passes of s = s + i",
            f"""#> s = 0
#> For i = 1 To {n_loop}
#>   s = s + i
#> Next
#? s
""",
            f"""def main():
    s = 0
    for i in range(1, {n_loop} + 1):
        s = s + i
    print(s)
main()
""",
        ),
        (
            "string",
            f"{n_text:,} appends of a number and a comma",
            f"""#> s = ""
#> For i = 1 To {n_text}
#>   s = s & i & ","
#> Next
#? Len(s)
""",
            f"""def main():
    s = ""
    for i in range(1, {n_text} + 1):
        s += str(i) + ","
    print(len(s))
main()
""",
        ),
        (
            "recursion",
            f"fib({fib})",
            f"""#> Function Fib(n)
#>   If n < 2 Then
#>     Fib = n
#>   Else
#>     Fib = Fib(n - 1) + Fib(n - 2)
#>   End If
#> End Function
#? Fib({fib})
""",
            f"""def fib(n):
    if n < 2:
        return n
    else:
        return fib(n - 1) + fib(n - 2)
print(fib({fib}))
""",
        ),
        (
            "calls",
            f"{n_calls:,} calls of a one-line Function",
            f"""#> Function AddOne(x)
#>   AddOne = x + 1
#> End Function
#> s = 0
#> For i = 1 To {n_calls}
#>   s = AddOne(s)
#> Next
#? s
""",
            f"""def add_one(x):
    return x + 1
def main():
    s = 0
    for i in range(1, {n_calls} + 1):
        s = add_one(s)
    print(s)
main()
""",
        ),
        (
            "array",
            f"fill and sum {n_array:,} elements",
            f"""#> Dim a({n_array - 1})
#> For i = 0 To {n_array - 1}
#>   a(i) = i * 2
#> Next
#> t = 0
#> For i = 0 To {n_array - 1}
#>   t = t + a(i)
#> Next
#? t
""",
            f"""def main():
    a = [0] * {n_array}
    for i in range({n_array}):
        a[i] = i * 2
    t = 0
    for i in range({n_array}):
        t = t + a[i]
    print(t)
main()
""",
        ),
    ]


def cpu_of_children():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def run_once(cmd):
    cpu = cpu_of_children()
    start = time.perf_counter()
    done = subprocess.run(cmd, capture_output=True, text=True)
    wall = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit(f"failed: {' '.join(cmd)}\n{done.stderr}")
    return wall, cpu_of_children() - cpu, done.stdout


def run_pair(first, second, runs):
    """The best wall and processor times of both commands, run by turns so that a change in
    the machine's load falls on both alike."""
    best = [[math.inf, math.inf, ""], [math.inf, math.inf, ""]]
    for _ in range(runs):
        for k, cmd in enumerate((first, second)):
            wall, cpu, out = run_once(cmd)
            best[k][0] = min(best[k][0], wall)
            best[k][1] = min(best[k][1], cpu)
            best[k][2] = out
    return best


def memo_answer(output):
    # The last line is the "#?" line: its text, a Tab and its answer.
    last = output.rstrip("\n").split("\n")[-1]
    return last.split("\t", 1)[1].strip() if "\t" in last else ""


def same_number(a, b):
    try:
        x, y = float(a.replace(",", "")), float(b)
    except ValueError:
        return a == b
    return x == y or abs(x - y) <= 1e-12 * max(abs(x), abs(y))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument(
        "--rekna-calc",
        default=os.path.join(HERE, "..", "build-rel", "src", "app", "rekna-calc"),
    )
    ap.add_argument(
        "--python",
        default=os.environ.get("PYTHON")
        or ("/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable),
    )
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--scale", type=int, default=1)
    ap.add_argument("--only", action="append", help="run only this work (repeatable)")
    args = ap.parse_args()
    calc = [args.rekna_calc, "--no-settings", "--errors", "--script-limit", "0"]
    version = subprocess.run([args.python, "--version"], capture_output=True, text=True)
    print(f"rekna-calc: {args.rekna_calc}")
    print(f"python:     {args.python} ({version.stdout.strip()})")
    print(f"best of {args.runs} runs, whole process: wall seconds, and processor seconds")
    print("(user + system, which a busy machine disturbs less)\n")
    with tempfile.TemporaryDirectory() as tmp:
        empty_memo = os.path.join(tmp, "empty.txt")
        empty_py = os.path.join(tmp, "empty.py")
        with open(empty_memo, "w") as f:
            f.write("#? 0\n")
        with open(empty_py, "w") as f:
            f.write("print(0)\n")
        (start_calc, cpu_calc, _), (start_py, cpu_py, _) = run_pair(
            calc + [empty_memo], [args.python, empty_py], args.runs)
        head = f"{'work':10} {'rekna':>7} {'python':>7} {'ratio':>6}  {'cpu':>7} {'cpu':>7} {'ratio':>6}"
        print(head + "   what")
        print(f"{'start-up':10} {start_calc:7.3f} {start_py:7.3f} {start_calc / start_py:6.2f}"
              f"  {cpu_calc:7.3f} {cpu_py:7.3f} {cpu_calc / max(cpu_py, 1e-9):6.2f}")
        worst = 0.0
        for name, what, memo, program in workloads(args.scale):
            if args.only and name not in args.only:
                continue
            memo_path = os.path.join(tmp, name + ".txt")
            py_path = os.path.join(tmp, name + ".py")
            with open(memo_path, "w") as f:
                f.write(memo)
            with open(py_path, "w") as f:
                f.write(program)
            (t_calc, c_calc, out_calc), (t_py, c_py, out_py) = run_pair(
                calc + [memo_path], [args.python, py_path], args.runs)
            a, b = memo_answer(out_calc), out_py.strip()
            if not same_number(a, b):
                sys.exit(f"{name}: rekna gave {a!r}, python {b!r}")
            ratio = t_calc / t_py
            worst = max(worst, ratio)
            print(f"{name:10} {t_calc:7.3f} {t_py:7.3f} {ratio:6.2f}  {c_calc:7.3f} {c_py:7.3f} "
                  f"{c_calc / max(c_py, 1e-9):6.2f}   {what}")
        print(f"\nslowest wall-time ratio (rekna / python): {worst:.2f}")


if __name__ == "__main__":
    main()
