#!/usr/bin/env python3
"""Holds the accuracy figures of the conditioned test systems against the exact truth.

Runs the given accuracy_figures program, takes each system's doubles as exact rationals and
computes, with Python's fractions, the true solution and the true condition number
kappa_1 = ||A||_1 ||A^-1||_1. Prints a table and fails unless
  - the estimated kappa_1 = 1 / RCOND is within a factor of 10 of the true one wherever the
    true one is at most 1 / (n eps),
  - FERR is at or above the true error ||x - x^||_inf / ||x^||_inf,
  - every singular system and Wilkinson's growth matrix at n = 60 earn the warning,
  - the well-conditioned random systems do not.
"""
import json
import subprocess
import sys
from fractions import Fraction

EPS = 2.0**-53


def exact(text):
    return Fraction(float.fromhex(text))


def inverse(a):
    """The exact inverse by Gauss-Jordan elimination, or None when a is singular."""
    n = len(a)
    m = [row[:] + [Fraction(int(i == j)) for j in range(n)] for i, row in enumerate(a)]
    for k in range(n):
        p = next((i for i in range(k, n) if m[i][k] != 0), None)
        if p is None:
            return None
        m[k], m[p] = m[p], m[k]
        pivot = m[k][k]
        m[k] = [v / pivot for v in m[k]]
        for i in range(n):
            if i != k and m[i][k] != 0:
                f = m[i][k]
                m[i] = [v - f * w for v, w in zip(m[i], m[k])]
    return [row[n:] for row in m]


def norm1(a):
    return max(sum(abs(row[j]) for row in a) for j in range(len(a)))


def truth(case):
    """kappa_1 and the true relative error of x^, both None for a singular system."""
    a = [[exact(v) for v in row] for row in case["a"]]
    inv = inverse(a)
    if inv is None:
        return None, None
    b = [exact(v) for v in case["b"]]
    x = [sum(r * bj for r, bj in zip(row, b)) for row in inv]
    xhat = [exact(v) for v in case["x"]]
    largest = max(abs(v) for v in xhat)
    error = max(abs(t - h) for t, h in zip(x, xhat))
    relative = float(error / largest) if largest else float("inf")
    return float(norm1(a) * norm1(inv)), relative


def fmt(value):
    return "-" if value is None else f"{value:.2e}"


def main():
    lines = subprocess.run([sys.argv[1]], check=True, capture_output=True, text=True).stdout
    failures = []
    print(f"{'system':26} {'method':8} {'n':>3} {'true k1':>9} {'est k1':>9} "
          f"{'true err':>9} {'FERR':>9} {'BERR':>9} warn digits")
    for line in lines.splitlines():
        case = json.loads(line)
        label = f"{case['name']} ({case['method']})"
        n = len(case["b"])
        if not case["solved"]:
            print(f"{case['name']:26} {case['method']:8} {n:3} not solved")
            if not case["singular"]:
                failures.append(f"{label}: not solved")
            continue
        kappa, error = truth(case)
        rcond = float.fromhex(case["rcond"]) if case["rcond"] else None
        ferr = float.fromhex(case["ferr"]) if case["ferr"] else None
        berr = float.fromhex(case["berr"]) if case["berr"] else None
        estimate = 1 / rcond if rcond else float("inf")
        print(f"{case['name']:26} {case['method']:8} {n:3} {fmt(kappa):>9} {fmt(estimate):>9} "
              f"{fmt(error):>9} {fmt(ferr):>9} {fmt(berr):>9} "
              f"{'yes' if case['warning'] else 'no':4} {case['digits']}")

        if kappa is not None and kappa <= 1 / (n * EPS) and not kappa / 10 <= estimate <= kappa * 10:
            failures.append(f"{label}: estimated kappa_1 {estimate:.3e}, true {kappa:.3e}")
        if error is not None and (ferr is None or ferr < error):
            failures.append(f"{label}: FERR {fmt(ferr)} below the true error {error:.3e}")
        must_warn = case["singular"] or case["name"] == "Wilkinson growth 60"
        if must_warn and not case["warning"]:
            failures.append(f"{label}: no warning")
        if must_warn and case["name"].startswith("Wilkinson") and not (ferr is not None and ferr >= 1):
            failures.append(f"{label}: the warning does not come from FERR")
        if case["name"].startswith("random") and case["warning"]:
            failures.append(f"{label}: a warning on a well-conditioned system")

    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
