#!/usr/bin/env python3
"""lineq-exact against Python's own exact arithmetic: fractions for the solution, the decimal
module for the 17 digits, float() for the nearest double; systems given as doubles and as
written (decimals and fractions, which Fraction reads as lineq does), singular ones with their
ranks, certificate or general solution. Then the child under a memory limit its parent sets
before starting it.

usage: fractions_test.py LINEQ_EXACT"""

import decimal
import json
import math
import random
import resource
import subprocess
import sys
from fractions import Fraction

OUT_OF_MEMORY = 3
SANITIZED = False


def ranks(a, b):
    """The ranks of A and [A | b] by Gauss-Jordan elimination in fractions."""
    m = [[Fraction(v) for v in row] + [Fraction(bv)] for row, bv in zip(a, b)]
    n, rank, rank_a = len(b), 0, 0
    for col in range(n + 1):
        pivot = next((r for r in range(rank, n) if m[r][col] != 0), None)
        if pivot is None:
            continue
        m[rank], m[pivot] = m[pivot], m[rank]
        for r in range(n):
            if r != rank and m[r][col] != 0:
                f = m[r][col] / m[rank][col]
                m[r] = [x - f * y for x, y in zip(m[r], m[rank])]
        rank += 1
        rank_a += col < n
    return rank_a, rank


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


def expected_ulps(x, method, offsets):
    """Each component's offset in doubles, but where the exact value is 0 or below the last
    place of x's largest entry, the error in that place's units, rounded to the nearest."""
    largest = float(max(x, key=abs))
    if largest == 0:
        return [abs(k) for k in offsets]
    unit = Fraction(2) ** max(math.frexp(abs(largest))[1] - 53, -1074)
    return [math.floor(abs(Fraction(m) - v) / unit + Fraction(1, 2)) if abs(v) < unit else abs(k)
            for v, m, k in zip(x, method, offsets)]


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


def request(a, b, solutions, written=()):
    """written: (row, column, text) from 1, column n + 1 for b; a and b hold their doubles."""
    n = len(b)
    lines = ["lineq-exact 4", str(n)]
    lines += [" ".join(text(v) for v in row) for row in a]
    lines.append(" ".join(text(v) for v in b))
    lines.append(f"written {len(written)} given kept")
    lines += [f"{i} {j} {t}" for i, j, t in written]
    lines.append("detail whole")
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


def report(stdout):
    """The JSON report after the child's "ready" line; None where there is none."""
    ready, _, rest = stdout.partition("\n")
    try:
        return json.loads(rest) if ready == "ready" else None
    except ValueError:
        return None


def nearest_value(component):
    """The nearest double by value (the text has no -0), or "out-of-range"."""
    near = component["nearest"]
    return "out-of-range" if near is None else float(near) + 0.0


def check_random_systems(program):
    rng = random.Random(20261207)
    failures = 0
    solved = singular = 0
    for case in range(cases(150)):
        a, b = draw(rng)
        x = solve(a, b)
        offsets = [rng.randint(-3, 3) for _ in b]
        methods = []
        if x is not None:
            nearest = [expected_component(v)[2] for v in x]
            if all(v is not None for v in nearest):
                methods = [[step(v, k) for v, k in zip(nearest, offsets)]]
        result = run(program, request(a, b, methods))
        got = report(result.stdout)
        answer = got["written"] if got else {}
        if x is None:
            singular += 1
            rank_a, rank_ab = ranks(a, b)
            status = "no-solution" if rank_a < rank_ab else "infinitely-many"
            want = [status, rank_a, rank_ab]
            # A particular solution's values: checked by check_general_solutions.
            ok = got is not None and [answer["status"], answer["rank"],
                                      answer["augmented_rank"]] == want
            ok = ok and (status == "no-solution" or len(answer["x"]) == len(b))
        else:
            solved += 1
            want = ["solved", len(b), len(b)]
            for v in x:
                kind, shown, nearest = expected_component(v)
                whole = str(v.numerator) + ("" if v.denominator == 1 else f"/{v.denominator}")
                want.append([kind == "fraction", shown,
                             "out-of-range" if nearest is None else nearest + 0.0, whole])
            # The digits, the measured error, the unit and the largest: checked by the C++ tests.
            want.append([expected_ulps(x, method, offsets) for method in methods])
            ok = got is not None and want == [answer["status"], answer["rank"],
                                              answer["augmented_rank"]] + [
                [c["fraction"], c["text"], nearest_value(c), c["whole"]] for c in answer["x"]] + [
                [e["ulps"] for e in got["errors"]]]
        if result.returncode != 0 or not ok:
            failures += 1
            print(f"case {case}: {a} {b}\n  want {want}\n  got  {result.stdout}\n  {result.stderr}")
    print(f"{solved} solved and {singular} singular systems checked, {failures} failures")
    return failures == 0 and solved > 0 and singular > 0


def answers(stdout):
    """Each answer's status, ranks and its vectors by the old tags (x, v: the null space's
    vectors one after the other, y: the certificate, c: its value), whole values as fractions."""
    got = report(stdout)
    found = []
    for answer in [got["written"], got.get("doubles")] if got else []:
        if answer is None:
            continue
        whole = lambda components: [Fraction(c["whole"]) for c in components]
        found.append({"status": [answer["status"], str(answer["rank"]),
                                 str(answer["augmented_rank"])],
                      "x": whole(answer["x"]),
                      "v": [f for v in answer["null_space"] for f in whole(v)],
                      "y": whole(answer["certificate"]),
                      "c": whole([answer["certificate_value"]]) if "certificate_value" in answer
                      else []})
    return found


def check_general_solutions(program):
    """Singular systems, written as typed: a general solution that solves the system for
    every choice of the free parameters, or a combination of the equations that reads 0 = c."""
    rng = random.Random(20261208)
    failures = 0
    seen = {"no-solution": 0, "infinitely-many": 0}
    for case in range(cases(60)):
        n = rng.randint(2, 5)
        rank = rng.randint(1, n - 1)
        basis = [[Fraction(rng.randint(-5, 5), rng.choice([1, 2, 3, 10])) for _ in range(n)]
                 for _ in range(rank)]
        mix = [[Fraction(rng.randint(-3, 3)) for _ in range(rank)] for _ in range(n)]
        a = [[sum(m * row[j] for m, row in zip(mix[i], basis)) for j in range(n)] for i in range(n)]
        x0 = [Fraction(rng.randint(-4, 4), rng.choice([1, 5])) for _ in range(n)]
        b = [sum(a[i][j] * x0[j] for j in range(n)) for i in range(n)]
        if rng.random() < 0.5:
            b[rng.randrange(n)] += rng.choice([1, Fraction(1, 3)])
        written = [(i + 1, j + 1, f"{a[i][j].numerator}/{a[i][j].denominator}")
                   for i in range(n) for j in range(n)]
        written += [(i + 1, n + 1, f"{v.numerator}/{v.denominator}") for i, v in enumerate(b)]
        doubles_a = [[float(v) for v in row] for row in a]
        result = run(program, request(doubles_a, [float(v) for v in b], [], written))
        found = answers(result.stdout)
        rank_a, rank_ab = ranks(a, b)
        status = "no-solution" if rank_a < rank_ab else "infinitely-many"
        ok = result.returncode == 0 and found and found[0]["status"] == [
            status, str(rank_a), str(rank_ab)]
        if ok and status == "infinitely-many":
            p, v = found[0]["x"], found[0]["v"]
            vectors = [v[k:k + n] for k in range(0, len(v), n)]
            ok = len(vectors) == n - rank_a
            for _ in range(3):
                t = [Fraction(rng.randint(-9, 9), rng.randint(1, 4)) for _ in vectors]
                x = [p[j] + sum(tk * vec[j] for tk, vec in zip(t, vectors)) for j in range(n)]
                ok = ok and all(sum(a[i][j] * x[j] for j in range(n)) == b[i] for i in range(n))
        elif ok:
            y, c = found[0]["y"], found[0]["c"]
            ok = (len(y) == n and c[0] != 0 and sum(yi * bi for yi, bi in zip(y, b)) == c[0] and
                  all(sum(y[i] * a[i][j] for i in range(n)) == 0 for j in range(n)))
        if ok:
            seen[status] += 1
        else:
            failures += 1
            print(f"general case {case}: {a} {b}\n  got {result.stdout}\n  {result.stderr}")
    print(f"general solutions: {seen}, {failures} failures")
    return failures == 0 and all(seen.values())


def check_written_systems(program):
    """Decimals and fractions as written against their doubles: the written system's solution,
    and the doubles' beside it exactly where some value is not its double."""
    rng = random.Random(20261209)
    failures = 0
    differing = 0
    for case in range(cases(60)):
        n = rng.randint(1, 5)
        texts = [[rng.choice([f"{rng.randint(-999, 999) / 100:.2f}", f"{rng.randint(-9, 9)}/{rng.randint(1, 9)}",
                              str(rng.randint(-9, 9)), "0.5", "1e-1"])
                  for _ in range(n + 1)] for _ in range(n)]
        exact = [[Fraction(t) for t in row] for row in texts]
        doubles = [[float(v) for v in row] for row in exact]
        a, b = [row[:n] for row in exact], [row[n] for row in exact]
        x = solve(a, b)
        written = [(i + 1, j + 1, t) for i, row in enumerate(texts) for j, t in enumerate(row)
                   if any(c in t for c in "./eE")]
        result = run(program, request([r[:n] for r in doubles], [r[n] for r in doubles], [], written))
        found = answers(result.stdout)
        differs = any(Fraction(d) != e for rd, re in zip(doubles, exact) for d, e in zip(rd, re))
        ok = result.returncode == 0 and len(found) == (2 if differs else 1)
        if ok and x is not None:
            ok = found[0]["x"] == x
        if ok and differs:
            differing += 1
            y = solve([[Fraction(v) for v in r[:n]] for r in doubles], [Fraction(r[n]) for r in doubles])
            ok = y is None or found[1]["x"] == y
        if not ok:
            failures += 1
            print(f"written case {case}: {texts}\n  got {result.stdout}\n  {result.stderr}")
    print(f"written systems: {differing} differ from their doubles, {failures} failures")
    return failures == 0 and differing > 0


def sanitized(program):
    with open(program, "rb") as f:
        return b"__asan_init" in f.read()


def cases(count):
    """Under AddressSanitizer each start of the child takes some 80 ms: a third of the cases,
    which still reach every kind of answer."""
    return count // 3 if SANITIZED else count


def check_memory_limit(program):
    if SANITIZED:
        print("memory limit: skipped under AddressSanitizer")
        return True
    n = 1000
    a = [[1.0 if i == j else 0.0 for j in range(n)] for i in range(n)]
    result = run(program, request(a, [1.0] * n, []), limit=32 << 20)
    ok = result.returncode == OUT_OF_MEMORY and "out of memory" in result.stderr
    print(f"memory limit: status {result.returncode}, {result.stderr.strip()}")
    return ok


def main():
    global SANITIZED
    program = sys.argv[1]
    SANITIZED = sanitized(program)
    results = [check_random_systems(program), check_general_solutions(program),
               check_written_systems(program), check_memory_limit(program)]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
