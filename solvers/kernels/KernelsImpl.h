// The kernels, written once for a vector of Lanes doubles and included by one source file per
// instruction set, inside an anonymous namespace: nothing here may be shared with code built
// for another instruction set, so no standard-library template is used either.
//
// Each product is formed and then subtracted, with -ffp-contract=off, so that no variant
// fuses them; the vector lanes only do side by side what the literal loops do one by one.

// Vectors of doubles, and of 64-bit integers as wide, for each lane count.
template <int Lanes> struct VectorOf;
template <> struct VectorOf<2> {
    typedef double type __attribute__((vector_size(16)));
    typedef long long integer __attribute__((vector_size(16)));
};
template <> struct VectorOf<4> {
    typedef double type __attribute__((vector_size(32)));
    typedef long long integer __attribute__((vector_size(32)));
};
template <> struct VectorOf<8> {
    typedef double type __attribute__((vector_size(64)));
    typedef long long integer __attribute__((vector_size(64)));
};

template <int Lanes> struct Simd {
    using V = typename VectorOf<Lanes>::type;

    static V load(const double* p) {
        V v;
        __builtin_memcpy(&v, p, sizeof v);
        return v;
    }
    static void store(double* p, V v) { __builtin_memcpy(p, &v, sizeof v); }
    // 0 when every lane is finite, NaN otherwise.
    static double sum(V v) {
        double s = 0;
        for (int i = 0; i < Lanes; ++i)
            s += v[i];
        return s;
    }
};

inline int smaller(int a, int b) {
    return a < b ? a : b;
}

// The matrix update c -= a * b, blocked for the caches: NC columns of b are copied into strips
// of NR and MC rows of a into slivers of MR, both kept in the second-level cache while each
// tile of c (MR x NR) stays in registers for KC steps. The shapes are in Blocking.h.

template <int Lanes, int MR, int NV, int KC, int Strips, int Slivers> struct Gemm {
    using S = Simd<Lanes>;
    using V = typename S::V;
    static constexpr int NR = Lanes * NV;
    static constexpr int NC = NR * Strips;
    static constexpr int MC = MR * Slivers;

    static std::size_t workspace(int depth) {
        return static_cast<std::size_t>(depth) * (NC + MC) + MR * NR;
    }

    // R rows by W vectors of c; b's rows are bStride apart.
    template <int R, int W>
    static void tile(int depth, const double* a, std::size_t lda, const double* b, int bStride,
                     double* c, std::size_t ldc, V& check) {
        V acc[R][W];
#pragma GCC unroll 16
        for (int i = 0; i < R; ++i)
#pragma GCC unroll 8
            for (int v = 0; v < W; ++v)
                acc[i][v] = S::load(c + i * ldc + v * Lanes);
        for (int k = 0; k < depth; ++k) {
            V bk[W];
#pragma GCC unroll 8
            for (int v = 0; v < W; ++v)
                bk[v] = S::load(b + k * bStride + v * Lanes);
#pragma GCC unroll 16
            for (int i = 0; i < R; ++i) {
                const double f = a[k * lda + i];
#pragma GCC unroll 8
                for (int v = 0; v < W; ++v)
                    acc[i][v] = acc[i][v] - bk[v] * f;
            }
        }
        // x - x is 0 for a finite x and NaN otherwise; summed as a tree, so that the next
        // tile need not wait for a chain of additions.
        V finite[R * W];
#pragma GCC unroll 16
        for (int i = 0; i < R; ++i)
#pragma GCC unroll 8
            for (int v = 0; v < W; ++v) {
                S::store(c + i * ldc + v * Lanes, acc[i][v]);
                finite[i * W + v] = acc[i][v] - acc[i][v];
            }
#pragma GCC unroll 8
        for (int step = 1; step < R * W; step *= 2)
#pragma GCC unroll 32
            for (int t = 0; t + step < R * W; t += 2 * step)
                finite[t] += finite[t + step];
        check += finite[0];
    }

    // A block of c cut short by its edge, worked on a copy so that nothing beside it is
    // written: rows (at most MR; a is padded to MR rows) by cols (at most NR).
    static double edgeBlock(int rows, int cols, int depth, const double* a, std::size_t lda,
                            const double* b, double* c, std::size_t ldc, double* cCopy) {
        for (int i = 0; i < MR; ++i)
            for (int j = 0; j < NR; ++j)
                cCopy[i * NR + j] = i < rows && j < cols ? c[i * ldc + j] : 0.0;
        V ignored = {};
        tile<MR, NV>(depth, a, lda, b, NR, cCopy, NR, ignored);
        double check = 0;
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < cols; ++j) {
                c[i * ldc + j] = cCopy[i * NR + j];
                check += c[i * ldc + j] - c[i * ldc + j];
            }
        return check;
    }

    // rows (at most MR) by cols (at most NR) of c, b a packed strip. Whole vectors of a full
    // height stay in place, even in a narrow strip.
    static double block(int rows, int cols, int depth, const double* a, std::size_t lda,
                        const double* b, double* c, std::size_t ldc, double* cCopy, V& check) {
        if (rows == MR && cols == NR) {
            tile<MR, NV>(depth, a, lda, b, NR, c, ldc, check);
            return 0;
        }
        if (rows < MR || cols < Lanes)
            return edgeBlock(rows, cols, depth, a, lda, b, c, ldc, cCopy);
        const int whole = cols / Lanes * Lanes;
        for (int v = 0; v < whole; v += Lanes)
            tile<MR, 1>(depth, a, lda, b + v, NR, c + v, ldc, check);
        if (whole == cols)
            return 0;
        // The last, partial vector: the strip is zero beyond its edge.
        return edgeBlock(rows, cols - whole, depth, a, lda, b + whole, c + whole, ldc, cCopy);
    }

    static double run(int rows, int cols, int depth, const double* a, std::size_t lda,
                      const double* b, std::size_t ldb, double* c, std::size_t ldc,
                      double* workspace) {
        if (rows <= 0 || cols <= 0 || depth <= 0)
            return 0;
        double* const packedB = workspace;
        double* const cCopy = packedB + static_cast<std::size_t>(depth) * NC;
        double* const packedA = cCopy + MR * NR;
        V check = {};
        double edgeCheck = 0;
        for (int jc = 0; jc < cols; jc += NC) {
            const int nc = smaller(NC, cols - jc);
            // Steps pc .. pc + kc - 1 at a time: each entry of c still takes them in turn.
            for (int pc = 0; pc < depth; pc += KC) {
                const int kc = smaller(KC, depth - pc);
                packB(nc, kc, b + pc * ldb + jc, ldb, packedB);
                for (int ic = 0; ic < rows; ic += MC) {
                    const int mc = smaller(MC, rows - ic);
                    packA(mc, kc, a + pc * lda + ic, lda, packedA);
                    for (int ir = 0; ir < mc; ir += MR) {
                        const int mr = smaller(MR, mc - ir);
                        double* const cRows = c + (ic + ir) * ldc + jc;
                        for (int jr = 0; jr < nc; jr += NR) {
                            // The next block of c comes from memory: ask for it now, a whole
                            // block's arithmetic ahead of its first use.
                            if (jr + NR < nc)
                                prefetchC(mr, smaller(NR, nc - jr - NR), cRows + jr + NR, ldc);
                            else if (ic + ir + MR < rows)
                                prefetchC(smaller(MR, rows - ic - ir - MR), smaller(NR, nc),
                                          cRows + MR * ldc, ldc);
                            edgeCheck += block(mr, smaller(NR, nc - jr), kc,
                                               packedA + static_cast<std::size_t>(ir) * kc, MR,
                                               packedB + static_cast<std::size_t>(jr) * kc,
                                               cRows + jr, ldc, cCopy, check);
                        }
                    }
                }
            }
        }
        return S::sum(check) + edgeCheck;
    }

    // Asks for a block of c, a line at a time, for writing.
    static void prefetchC(int rows, int cols, const double* c, std::size_t ldc) {
        for (int i = 0; i < rows; ++i) {
            for (int j = 0; j < cols; j += 8)
                __builtin_prefetch(c + i * ldc + j, 1);
            __builtin_prefetch(c + i * ldc + cols - 1, 1);
        }
    }

    // nc columns of b, kc rows deep, into strips of NR columns, zero beyond the edge.
    static void packB(int nc, int kc, const double* b, std::size_t ldb, double* packed) {
        for (int s = 0; s * NR < nc; ++s) {
            double* const strip = packed + static_cast<std::size_t>(s) * kc * NR;
            const double* const source = b + s * NR;
            const int width = smaller(NR, nc - s * NR);
            for (int k = 0; k < kc; ++k) {
                if (width == NR) {
#pragma GCC unroll 8
                    for (int v = 0; v < NV; ++v)
                        S::store(strip + k * NR + v * Lanes, S::load(source + k * ldb + v * Lanes));
                } else {
                    for (int j = 0; j < NR; ++j)
                        strip[k * NR + j] = j < width ? source[k * ldb + j] : 0.0;
                }
            }
        }
    }

    // mc rows of a (by columns), kc deep, into slivers of MR rows, each contiguous step after
    // step and zero below the edge: the tiles then read a in order. Each step's mc values
    // are read in one run.
    static void packA(int mc, int kc, const double* a, std::size_t lda, double* packed) {
        for (int k = 0; k < kc; ++k) {
            const double* const column = a + k * lda;
            // The columns lie a row of W apart, in the third-level cache or memory: each is
            // asked for a few columns ahead, as the prefetchers would not.
            if (k + tuning::kPackAhead < kc)
                for (int i = 0; i < mc; i += 8)
                    __builtin_prefetch(column + tuning::kPackAhead * lda + i);
            int i = 0;
            for (; i + MR <= mc; i += MR)
                __builtin_memcpy(packed + static_cast<std::size_t>(i) * kc + k * MR, column + i,
                                 MR * sizeof(double));
            if (i < mc)
                for (int r = 0; r < MR; ++r)
                    packed[static_cast<std::size_t>(i) * kc + k * MR + r] =
                        i + r < mc ? column[i + r] : 0.0;
        }
    }
};

template <int Lanes> double axpy(int count, double f, const double* x, double* y) {
    using S = Simd<Lanes>;
    typename S::V check = {};
    int j = 0;
    for (; j + Lanes <= count; j += Lanes) {
        const typename S::V result = S::load(y + j) - S::load(x + j) * f;
        S::store(y + j, result);
        check += result - result;
    }
    double tail = 0;
    for (; j < count; ++j) {
        y[j] = y[j] - x[j] * f;
        tail += y[j] - y[j];
    }
    return S::sum(check) + tail;
}

template <int Lanes> int largestMagnitude(int count, const double* x) {
    using S = Simd<Lanes>;
    using I = typename VectorOf<Lanes>::integer;
    // Each lane keeps the earliest largest of every Lanes-th entry; the lanes are merged at the
    // end, the lower index winning a tie.
    typename S::V best = {};
    best -= 1; // below every magnitude
    I where = {};
    I index;
    for (int t = 0; t < Lanes; ++t)
        index[t] = t;
    int k = 0;
    for (; k + Lanes <= count; k += Lanes) {
        const typename S::V v = S::load(x + k);
        const typename S::V magnitude = v < 0 ? -v : v;
        const I larger = magnitude > best;
        best = larger ? magnitude : best;
        where = larger ? index : where;
        index += Lanes;
    }
    int found = -1;
    double largest = -1;
    for (int t = 0; t < Lanes; ++t)
        if (best[t] > largest || (best[t] == largest && where[t] < found)) {
            largest = best[t];
            found = static_cast<int>(where[t]);
        }
    for (; k < count; ++k) {
        const double magnitude = x[k] < 0 ? -x[k] : x[k];
        if (magnitude > largest) {
            largest = magnitude;
            found = k;
        }
    }
    return found < 0 ? 0 : found;
}

template <int Lanes> double divide(int count, const double* sum, double divisor, double* quotient) {
    using S = Simd<Lanes>;
    typename S::V check = {};
    int t = 0;
    for (; t + Lanes <= count; t += Lanes) {
        const typename S::V result = S::load(sum + t) / divisor;
        S::store(quotient + t, result);
        check += result - result;
    }
    double tail = 0;
    for (; t < count; ++t) {
        quotient[t] = sum[t] / divisor;
        tail += quotient[t] - quotient[t];
    }
    return S::sum(check) + tail;
}

// The chains of a Cholesky tile, NV vectors of lanes side by side, each taking its products
// in the order of q.
template <int Lanes, int NV>
void choleskyChain(int count, const double* l, std::ptrdiff_t lStride, const double* p,
                   double* acc) {
    using S = Simd<Lanes>;
    constexpr int T = Lanes * NV;
    typename S::V a[NV];
#pragma GCC unroll 8
    for (int v = 0; v < NV; ++v)
        a[v] = S::load(acc + v * Lanes);
    for (int q = 0; q < count; ++q) {
        const double f = l[q * lStride];
        const double* const row = p + static_cast<std::ptrdiff_t>(q) * T;
        // l comes from wherever its row was published, the third-level cache or memory.
        if (q + tuning::kCholeskyPrefetchSteps < count)
            __builtin_prefetch(l + (q + tuning::kCholeskyPrefetchSteps) * lStride);
#pragma GCC unroll 8
        for (int v = 0; v < NV; ++v)
            a[v] = a[v] - S::load(row + v * Lanes) * f;
    }
#pragma GCC unroll 8
    for (int v = 0; v < NV; ++v)
        S::store(acc + v * Lanes, a[v]);
}

// One term of a refinement chain, for vectors and for single doubles alike: the product
// a xHi exactly as ph + pe (Dekker, xHi's split given), then the chain's sum (sh, sl) with ph
// added by two-sum and every smaller term (the two-sum's error, pe, a xLo, aLo xHi) into sl,
// always in this order. m gathers |a xHi| for the residual's own error bound.
template <bool HasLo, typename T>
inline void pairTerm(T a, T aLo, T xh, T xhHi, T xhLo, T xl, T& sh, T& sl, T& m) {
    const T c = a * 134217729.0;
    const T ah = c - (c - a);
    const T al = a - ah;
    const T ph = a * xh;
    const T pe = ((ah * xhHi - ph) + ah * xhLo + al * xhHi) + al * xhLo;
    const T s = sh + ph;
    const T bb = s - sh;
    const T e = (sh - (s - bb)) + (ph - bb);
    T small = a * xl;
    if constexpr (HasLo)
        small = small + aLo * xh;
    sl = sl + (e + (pe + small));
    sh = s;
    m = m + (ph < 0 ? -ph : ph);
}

template <int Lanes, bool HasLo>
void dotPair(int count, const double* aHi, const double* aLo, const double* xHi,
             const double* xSplit, const double* xLo, double* out) {
    using S = Simd<Lanes>;
    using V = typename S::V;
    constexpr int C = kResidualChains;
    constexpr int NV = C / Lanes;
    const double* const xhHi = xSplit;
    const double* const xhLo = xSplit + count;
    V sh[NV] = {}, sl[NV] = {}, m[NV] = {};
    int j = 0;
    for (; j + C <= count; j += C) {
#pragma GCC unroll 8
        for (int v = 0; v < NV; ++v) {
            const int k = j + v * Lanes;
            const V lo = HasLo ? S::load(aLo + k) : V{};
            pairTerm<HasLo>(S::load(aHi + k), lo, S::load(xHi + k), S::load(xhHi + k),
                            S::load(xhLo + k), S::load(xLo + k), sh[v], sl[v], m[v]);
        }
    }
    double chainHi[C], chainLo[C], chainM[C];
    for (int v = 0; v < NV; ++v) {
        S::store(chainHi + v * Lanes, sh[v]);
        S::store(chainLo + v * Lanes, sl[v]);
        S::store(chainM + v * Lanes, m[v]);
    }
    for (int t = 0; j < count; ++j, ++t)
        pairTerm<HasLo>(aHi[j], HasLo ? aLo[j] : 0.0, xHi[j], xhHi[j], xhLo[j], xLo[j], chainHi[t],
                        chainLo[t], chainM[t]);
    double hi = chainHi[0], lo = chainLo[0], magnitude = chainM[0];
    for (int t = 1; t < C; ++t) {
        const double s = hi + chainHi[t];
        const double bb = s - hi;
        const double e = (hi - (s - bb)) + (chainHi[t] - bb);
        lo = lo + (e + chainLo[t]);
        hi = s;
        magnitude = magnitude + chainM[t];
    }
    out[0] = hi;
    out[1] = lo;
    out[2] = magnitude;
}

// The table for one vector width and one tile shape.
template <Blocking B> struct Variant {
    static constexpr int Lanes = B.lanes;
    static constexpr int CholeskyVectors = B.choleskyVectors;
    static constexpr Table table(InstructionSet set, const char* name) {
        return {set,
                name,
                {{Lanes * CholeskyVectors, &choleskyChain<CholeskyVectors>},
                 {Lanes * (CholeskyVectors / 2), &choleskyChain<CholeskyVectors / 2>}},
                B.choleskyTileBytes,
                &gemm,
                &gemmWorkspace,
                &axpy,
                &largestMagnitude,
                &divide,
                &dotPair};
    }

    using G = Gemm<B.lanes, B.rows, B.vectors, B.depth, B.strips, B.slivers>;

    static double gemm(int rows, int cols, int depth, const double* a, std::size_t lda,
                       const double* b, std::size_t ldb, double* c, std::size_t ldc,
                       double* workspace) {
        return G::run(rows, cols, depth, a, lda, b, ldb, c, ldc, workspace);
    }
    static std::size_t gemmWorkspace(int depth) { return G::workspace(depth); }
    static double axpy(int count, double f, const double* x, double* y) {
        return ::lse::kernels::axpy<Lanes>(count, f, x, y);
    }
    static int largestMagnitude(int count, const double* x) {
        return ::lse::kernels::largestMagnitude<Lanes>(count, x);
    }
    static double divide(int count, const double* sum, double divisor, double* quotient) {
        return ::lse::kernels::divide<Lanes>(count, sum, divisor, quotient);
    }
    static void dotPair(int count, const double* aHi, const double* aLo, const double* xHi,
                        const double* xSplit, const double* xLo, double* out) {
        if (aLo)
            ::lse::kernels::dotPair<Lanes, true>(count, aHi, aLo, xHi, xSplit, xLo, out);
        else
            ::lse::kernels::dotPair<Lanes, false>(count, aHi, aLo, xHi, xSplit, xLo, out);
    }
    template <int Vectors>
    static void choleskyChain(int count, const double* l, std::ptrdiff_t lStride, const double* p,
                              double* acc) {
        ::lse::kernels::choleskyChain<Lanes, Vectors>(count, l, lStride, p, acc);
    }
};
