"""The systems scripts/refine-truth measures the refinement on, the files it writes them to,
and the exact solution of a system as written, in Python's fractions alone.

Standard library only: the harness must run where numpy is not installed, and its truth must
not lean on any floating-point library it is meant to referee.
"""

import math
import random
import struct
from fractions import Fraction

KINDS = ("doubles", "17 digits", "6 digits", "fractions")

# ---------------------------------------------------------------------------------------
# Random matrices in floating point, entries taken as they come out.


def _unit_vector(n, rng):
    v = [rng.gauss(0.0, 1.0) for _ in range(n)]
    norm = math.sqrt(math.fsum(t * t for t in v))
    return [t / norm for t in v]


def _reflect_left(m, u):
    """m <- (I - 2 u u^T) m."""
    n = len(m)
    w = [math.fsum(u[i] * m[i][j] for i in range(n)) for j in range(n)]
    for i in range(n):
        ui = 2.0 * u[i]
        row = m[i]
        for j in range(n):
            row[j] -= ui * w[j]


def _reflect_right(m, u):
    """m <- m (I - 2 u u^T)."""
    for row in m:
        w = 2.0 * math.fsum(a * b for a, b in zip(row, u))
        for j, uj in enumerate(u):
            row[j] -= w * uj


def singular_values(n, condition, rng):
    """From 1 down to 1/condition, geometrically, in a random order: the matrix's 2-norm
    condition is `condition` before the reflections' rounding."""
    s = [condition ** (-k / (n - 1)) if n > 1 else 1.0 for k in range(n)]
    rng.shuffle(s)
    return s


def general_matrix(n, condition, rng, reflections=6):
    """U diag(s) V with U and V products of random Householder reflections."""
    s = singular_values(n, condition, rng)
    m = [[s[i] if i == j else 0.0 for j in range(n)] for i in range(n)]
    for _ in range(reflections):
        _reflect_left(m, _unit_vector(n, rng))
        _reflect_right(m, _unit_vector(n, rng))
    return m


def spd_matrix(n, condition, rng, reflections=6):
    """Q diag(s) Q^T, Q a product of reflections, made exactly symmetric from its upper
    triangle (rounding alone would leave it unsymmetric, and Cholesky reads the lower)."""
    s = singular_values(n, condition, rng)
    m = [[s[i] if i == j else 0.0 for j in range(n)] for i in range(n)]
    for _ in range(reflections):
        u = _unit_vector(n, rng)
        _reflect_left(m, u)
        _reflect_right(m, u)
    for i in range(n):
        for j in range(i):
            m[i][j] = m[j][i]
    return m


def right_hand_side(a, x):
    return [math.fsum(aij * xj for aij, xj in zip(row, x)) for row in a]


def random_solution(n, rng):
    return [rng.uniform(-1.0, 1.0) for _ in range(n)]


# ---------------------------------------------------------------------------------------
# The four ways a system is written. Each returns rows of texts [a_i1 ... a_in, b_i] (the
# .npy kind returns doubles), from the one matrix of doubles.

FRACTION_SCALE = 2.0**40  # entries up to 7 * 2^40 keep p below 2^53, so the refinement holds them


def written_rows(kind, a, b, rng):
    rows = [row + [bi] for row, bi in zip(a, b)]
    if kind == "doubles":
        return rows
    if kind == "17 digits":
        return [["%.17g" % v for v in row] for row in rows]
    if kind == "6 digits":
        return [["%.6g" % v for v in row] for row in rows]
    if kind == "fractions":
        largest = max(abs(v) for row in rows for v in row) or 1.0
        scale = FRACTION_SCALE / largest
        # The denominator by i + j, so that a symmetric A stays symmetric as written.
        shift = rng.randrange(2)
        return [["%d/%d" % (round(v * scale * q), q)
                 for j, v in enumerate(row) for q in [(3, 7)[(i + j + shift) % 2]]]
                for i, row in enumerate(rows)]
    raise ValueError(kind)


def value_of(entry):
    """The exact value of a written entry: a double is its own binary fraction."""
    return Fraction(entry)


def double_of(entry):
    """The double the program reads for a written entry: the nearest, as Python's parser and
    Fraction's correctly rounded division give it."""
    if isinstance(entry, float):
        return entry
    return float(Fraction(entry))


# ---------------------------------------------------------------------------------------
# Files.


def write_npy(path, rows):
    """One n x (n + 1) array of little-endian doubles, b last, format 1.0."""
    n = len(rows)
    header = "{'descr': '<f8', 'fortran_order': False, 'shape': (%d, %d), }" % (n, n + 1)
    pad = 64 - (10 + len(header) + 1) % 64
    header = header + " " * (pad % 64) + "\n"
    with open(path, "wb") as f:
        f.write(b"\x93NUMPY\x01\x00" + struct.pack("<H", len(header)) + header.encode())
        for row in rows:
            f.write(struct.pack("<%dd" % len(row), *row))


def write_plain(path, rows):
    """The plain format: n, A row by row, then b; numbers as written."""
    n = len(rows)
    lines = [str(n)]
    lines += [" ".join(str(v) for v in row[:n]) for row in rows]
    lines.append(" ".join(str(row[n]) for row in rows))
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def write_system(path_stem, rows):
    if rows and isinstance(rows[0][0], float):
        write_npy(path_stem + ".npy", rows)
        return path_stem + ".npy"
    write_plain(path_stem + ".txt", rows)
    return path_stem + ".txt"


# ---------------------------------------------------------------------------------------
# The exact solution: fraction-free (Bareiss) elimination over the integers, rows scaled by
# their denominators' least common multiple, then back substitution in fractions.


def exact_solution(rows):
    """x with A x = b exactly, rows = [[a_i1 ... a_in, b_i]] of Fractions; None if A is
    singular."""
    n = len(rows)
    m = []
    for row in rows:
        den = 1
        for v in row:
            den = den * v.denominator // math.gcd(den, v.denominator)
        m.append([v.numerator * (den // v.denominator) for v in row])
    previous = 1
    for k in range(n):
        pivot_row = next((i for i in range(k, n) if m[i][k] != 0), None)
        if pivot_row is None:
            return None
        m[k], m[pivot_row] = m[pivot_row], m[k]
        pk = m[k]
        p = pk[k]
        for i in range(k + 1, n):
            mi = m[i]
            f = mi[k]
            for j in range(k + 1, n + 1):
                mi[j] = (p * mi[j] - f * pk[j]) // previous
            mi[k] = 0
        previous = p
    x = [Fraction(0)] * n
    for i in range(n - 1, -1, -1):
        row = m[i]
        s = Fraction(row[n])
        for j in range(i + 1, n):
            if row[j]:
                s -= row[j] * x[j]
        x[i] = s / row[i]
    return x


def nearest_double(value):
    """The double nearest to a Fraction (ties to even, subnormals included, as CPython's
    integer division rounds), or None beyond the largest double."""
    try:
        return float(value)
    except OverflowError:
        return None


# ---------------------------------------------------------------------------------------
# Special cases: each (name, rows), rows as written.


def _decimal_text(value):
    """A Fraction whose denominator divides a power of ten, as its exact decimal."""
    sign = "-" if value < 0 else ""
    value = abs(value)
    places = 0
    while (value * 10**places).denominator != 1:
        places += 1
    digits = str((value * 10**places).numerator).rjust(places + 1, "0")
    if places == 0:
        return sign + digits
    return sign + digits[:-places] + "." + digits[-places:]


def _with_exact_b(a_texts, x):
    """Rows whose b is A x exactly, as a decimal text (A in decimals, x in decimals)."""
    rows = []
    for row in a_texts:
        b = sum((Fraction(t) * xi for t, xi in zip(row, x)), Fraction(0))
        rows.append(list(row) + [_decimal_text(b)])
    return rows


def _zeros_dense(n, rng, zeros):
    """Symmetric and diagonally dominant, so that Cholesky is judged too."""
    a = [["%.3f" % rng.uniform(-2.0, 2.0) for _ in range(n)] for _ in range(n)]
    for i in range(n):
        a[i][i] = "%.3f" % (abs(float(a[i][i])) + 2 * n)
        for j in range(i):
            a[i][j] = a[j][i]
    x = [Fraction(rng.choice((1, -1, 2, 3))) for _ in range(n)]
    for i in rng.sample(range(n), zeros):
        x[i] = Fraction(0)
    return _with_exact_b(a, x)


def _zeros_doubles(n, rng, zeros):
    """Entries k/64, so that b = A x with whole x is exact in doubles."""
    a = [[rng.randint(-500, 500) / 64.0 for _ in range(n)] for _ in range(n)]
    for i in range(n):
        a[i][i] = abs(a[i][i]) + 1000.0 * n / 64.0
        for j in range(i):
            a[i][j] = a[j][i]
    x = [float(rng.choice((1, -1, 2))) for _ in range(n)]
    for i in rng.sample(range(n), zeros):
        x[i] = 0.0
    return [row + [math.fsum(aij * xj for aij, xj in zip(row, x))] for row in a]


def _scaled(rows, factor_of_a, factor_of_b):
    return [[v * factor_of_a for v in row[:-1]] + [row[-1] * factor_of_b] for row in rows]


def special_cases(rng):
    half_ulp_of_one = "1/9007199254740992"  # 2^-53
    midpoint_dense_a = [["2", "1", "-1"], ["1", "3", "1"], ["-1", "1", "4"]]
    midpoint_x = [1 + Fraction(1, 2**53), Fraction(1, 2**53), -1 - Fraction(3, 2**53)]
    base = spd_matrix(8, 1e4, rng)
    x8 = random_solution(8, rng)
    rows8 = [row + [bi] for row, bi in zip(base, right_hand_side(base, x8))]
    tiny_x = [v * 1e-300 for v in x8]
    return [
        ("zero: 5 x = 0", [["5", "0"]]),
        ("zero: diag(2, 4), b = (1, 0)", [["2", "0", "1"], ["0", "4", "0"]]),
        ("zero: x = (1, 0, -1), dense decimals",
         _with_exact_b([["0.3", "1.7", "-2.2"], ["1.1", "0.9", "0.4"], ["-0.6", "2.5", "1.3"]],
                       [1, 0, -1])),
        ("zero: x = (1, 0, -1), SPD decimals",
         _with_exact_b([["4.1", "0.3", "-1.7"], ["0.3", "2.9", "0.6"], ["-1.7", "0.6", "3.3"]],
                       [1, 0, -1])),
        ("zero: 10 of 30, decimals", _zeros_dense(30, rng, 10)),
        ("zero: 10 of 30, doubles", _zeros_doubles(30, rng, 10)),
        ("zero: 40 of 100, decimals", _zeros_dense(100, rng, 40)),
        ("midpoint: x1 = 1 + 2^-53, fractions", [["1", "-1", "1"], ["0", "1", half_ulp_of_one]]),
        ("midpoint: dense 3, b in long decimals", _with_exact_b(midpoint_dense_a, midpoint_x)),
        ("midpoint: 2^53 x = 2^53 + 1", [["9007199254740992", "9007199254740993"]]),
        ("huge: A near 1e300", _scaled(rows8, 1e300, 1e300)),
        ("huge: x near 1e300", _scaled(rows8, 1.0, 1e300)),
        ("tiny: A near 1e-300", _scaled(rows8, 1e-300, 1e-300)),
        ("tiny: x near 1e-300", [row[:-1] + [bi] for row, bi in zip(rows8, right_hand_side(base, tiny_x))]),
        ("tiny: A subnormal", _scaled(rows8, 1e-310, 1e-310)),
        ("tiny: written 1e-300, 6 digits",
         [["%.6g" % v for v in row] for row in _scaled(rows8, 1e-300, 1e-300)]),
        ("1/3 x = 1.0000000000000001", [["1/3", "1.0000000000000001"]]),
        ("1/3 and 1.0000000000000001, 2 x 2",
         [["1/3", "1", "1.0000000000000001"], ["1", "1/3", "2"]]),
        ("1/3 and 1.0000000000000001, SPD 2 x 2",
         [["1", "1/3", "1.0000000000000001"], ["1/3", "1", "2"]]),
    ]
