#!/usr/bin/env python3
"""lineq-exact against Python's own exact arithmetic: fractions for the solution, the decimal
module for the 17 digits, float() for the nearest double. Then the child under a memory limit
its parent sets before starting it.

usage: fractions_test.py LINEQ_EXACT"""

import decimal
import math
import random
import resource
import subprocess
import sys
from fractions import Fraction

OUT_OF_MEMORY = 3


def solve(a, b):
    """Gauss-Jordan elimination in fractions; None when the matrix is singular."""
    n = len(b)
    m = [[Fraction(v) for v in row] + [Fraction(bv)] for row, bv in zip(a, b)]
    for col in range(n):
        pivot = next((r for r in range(col, n) if m[r][col] != 0), None)
        if pivot is None:
            return None
        m[col], m[pivot] = m[pivot], m[col]
        for r in range(n):
            if r != col and m[r][col] != 0:
                f = m[r][col] / m[col][col]
                m[r] = [x - f * y for x, y in zip(m[r], m[col])]
    return [m[i][n] / m[i][i] for i in range(n)]


def seventeen_digits(x):
    """x rounded once to 17 significant digits, ties to even, laid out as lineq-exact does."""
    if x == 0:
        return "0"
    context = decimal.Context(prec=17, rounding=decimal.ROUND_HALF_EVEN, Emax=10**9, Emin=-(10**9))
    d = context.divide(decimal.Decimal(abs(x.numerator)), decimal.Decimal(x.denominator))
    digits = "".join(map(str, d.as_tuple().digits)).ljust(17, "0")
    exponent = d.adjusted()
    sign = "-" if x < 0 else ""
    if -5 < exponent < 17:
        if exponent < 0:
            return sign + "0." + "0" * (-exponent - 1) + digits
        if exponent < 16:
            return sign + digits[: exponent + 1] + "." + digits[exponent + 1 :]
        return sign + digits
    return f"{sign}{digits[0]}.{digits[1:]}E{'-' if exponent < 0 else '+'}{abs(exponent):02d}"


def expected_component(x):
    text = str(abs(x.numerator)) + ("" if x.denominator == 1 else f"/{x.denominator}")
    shown = len(text) - (1 if x.denominator != 1 else 0)
    try:
        nearest = float(x)  # correctly rounded, subnormals included
    except OverflowError:
        nearest = None
    if shown <= 20:
        return "fraction", ("-" if x < 0 else "") + text, nearest
    return "approx", seventeen_digits(x), nearest


def draw(rng):
    kind = rng.choice(["small", "binary", "decimal", "extreme", "singular"])
    n = rng.randint(1, 6)

    def entry():
        if kind == "small" or kind == "singular":
            return float(rng.randint(-9, 9))
        if kind == "binary":
            return math.ldexp(rng.randint(-(2**53), 2**53), rng.randint(-80, 20))
        if kind == "decimal":
            return rng.randint(-999, 999) / 10
        return rng.choice([1e300, -1e-300, 5e-324, 2.5e-310, 1.0, 1.7976931348623157e308, 3.0])

    a = [[entry() for _ in range(n)] for _ in range(n)]
    if kind == "singular" and n > 1:
        a[-1] = list(a[0])
    b = [entry() for _ in range(n)]
    return a, b


def text(v):
    return repr(float(v))


def request(a, b, solutions):
    n = len(b)
    lines = ["lineq-exact 1", str(n)]
    lines += [" ".join(text(v) for v in row) for row in a]
    lines.append(" ".join(text(v) for v in b))
    lines.append(str(len(solutions)))
    lines += [" ".join(text(v) for v in x) for x in solutions]
    return "\n".join(lines) + "\n"


def run(program, payload, limit=None):
    def set_limit():
        if limit is not None:
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

    return subprocess.run([program], input=payload, capture_output=True, text=True,
                          preexec_fn=set_limit, timeout=240)


def step(v, k):
    for _ in range(abs(k)):
        v = math.nextafter(v, math.inf if k > 0 else -math.inf)
    return v


def check_random_systems(program):
    rng = random.Random(20261207)
    failures = 0
    solved = singular = 0
    for case in range(150):
        a, b = draw(rng)
        x = solve(a, b)
        offsets = [rng.randint(-3, 3) for _ in b]
        methods = []
        if x is not None:
            nearest = [expected_component(v)[2] for v in x]
            if all(v is not None for v in nearest):
                methods = [[step(v, k) for v, k in zip(nearest, offsets)]]
        result = run(program, request(a, b, methods))
        lines = result.stdout.splitlines()
        want = ["ready", "lineq-exact 1"]
        if x is None:
            singular += 1
            want.append("status no-unique-solution")
        else:
            solved += 1
            want.append("status solved")
            for v in x:
                kind, shown, nearest = expected_component(v)
                want.append(f"x {kind} {shown} " + ("out-of-range" if nearest is None else repr(nearest + 0.0)))
            for _ in methods:
                want.append("error D " + " ".join(str(abs(k)) for k in offsets))
        want.append("end")
        got = []
        for line in lines:
            words = line.split(" ")
            if words[0] == "x" and words[-1] != "out-of-range":
                words[-1] = repr(float(words[-1]) + 0.0)  # by value; the text has no -0
            if words[0] == "error":
                words[1:3] = ["D"]  # the digits and the largest: checked by the C++ tests
            got.append(" ".join(words))
        if result.returncode != 0 or got != want:
            failures += 1
            print(f"case {case}: {a} {b}\n  want {want}\n  got  {lines}\n  {result.stderr}")
    print(f"{solved} solved and {singular} singular systems checked, {failures} failures")
    return failures == 0 and solved > 0 and singular > 0


def check_memory_limit(program):
    with open(program, "rb") as f:
        if b"__asan_init" in f.read():
            print("memory limit: skipped under AddressSanitizer")
            return True
    n = 1000
    a = [[1.0 if i == j else 0.0 for j in range(n)] for i in range(n)]
    result = run(program, request(a, [1.0] * n, []), limit=32 << 20)
    ok = result.returncode == OUT_OF_MEMORY and "out of memory" in result.stderr
    print(f"memory limit: status {result.returncode}, {result.stderr.strip()}")
    return ok


def main():
    program = sys.argv[1]
    results = [check_random_systems(program), check_memory_limit(program)]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
