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

// The matrix update c -= a * b, blocked for the caches: b is copied into column strips of NR
// (kept in the second-level cache across a block of NC columns), each tile of c stays in
// registers for the whole depth, and a's columns are read in place.
template <int Lanes, int MR, int NV> struct Gemm {
    using S = Simd<Lanes>;
    using V = typename S::V;
    static constexpr int NR = Lanes * NV;
    static constexpr int NC = NR * 16;

    static std::size_t workspace(int depth) {
        return static_cast<std::size_t>(depth) * (NC + MR) + MR * NR;
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
#pragma GCC unroll 16
        for (int i = 0; i < R; ++i)
#pragma GCC unroll 8
            for (int v = 0; v < W; ++v) {
                S::store(c + i * ldc + v * Lanes, acc[i][v]);
                check += acc[i][v] - acc[i][v];
            }
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
        double* const packed = workspace;
        double* const cCopy = packed + static_cast<std::size_t>(depth) * NC;
        double* const aPadded = cCopy + MR * NR;
        V check = {};
        double edgeCheck = 0;
        for (int jc = 0; jc < cols; jc += NC) {
            const int nc = smaller(NC, cols - jc);
            // Copy the strip of b, a strip of NR columns after another, zero beyond its edge.
            for (int s = 0; s * NR < nc; ++s) {
                double* const strip = packed + static_cast<std::size_t>(s) * depth * NR;
                const double* const source = b + jc + s * NR;
                const int width = smaller(NR, nc - s * NR);
                for (int k = 0; k < depth; ++k) {
                    if (width == NR) {
#pragma GCC unroll 8
                        for (int v = 0; v < NV; ++v)
                            S::store(strip + k * NR + v * Lanes,
                                     S::load(source + k * ldb + v * Lanes));
                    } else {
                        for (int j = 0; j < NR; ++j)
                            strip[k * NR + j] = j < width ? source[k * ldb + j] : 0.0;
                    }
                }
            }
            for (int ir = 0; ir < rows; ir += MR) {
                const int mr = smaller(MR, rows - ir);
                // The last rows of a, fewer than MR, padded with zeros to a full tile's height.
                const double* tileRows = a + ir;
                std::size_t tileStride = lda;
                if (mr < MR) {
                    for (int k = 0; k < depth; ++k)
                        for (int i = 0; i < MR; ++i)
                            aPadded[k * MR + i] = i < mr ? a[ir + i + k * lda] : 0.0;
                    tileRows = aPadded;
                    tileStride = MR;
                }
                for (int jr = 0; jr < nc; jr += NR)
                    edgeCheck += block(mr, smaller(NR, nc - jr), depth, tileRows, tileStride,
                                       packed + static_cast<std::size_t>(jr) * depth,
                                       c + ir * ldc + jc + jr, ldc, cCopy, check);
            }
        }
        return S::sum(check) + edgeCheck;
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

constexpr int kPrefetchRows = 8;

// The chains of a Cholesky tile, NV vectors of lanes side by side, each chain run from k =
// high down to low as the decomposition's sums are.
template <int Lanes, int NV>
void choleskyChain(int low, int high, const double* l, std::ptrdiff_t lStride, const double* p,
                   double* acc) {
    using S = Simd<Lanes>;
    constexpr int T = Lanes * NV;
    typename S::V a[NV];
#pragma GCC unroll 8
    for (int v = 0; v < NV; ++v)
        a[v] = S::load(acc + v * Lanes);
    for (int k = high; k >= low; --k) {
        const double f = l[k * lStride];
        const double* const row = p + static_cast<std::ptrdiff_t>(k) * T;
        // The rows come from the second-level cache, downwards, which its own prefetcher
        // follows late; asking for them a few rows ahead keeps the multiplies fed.
        if (k - kPrefetchRows >= low)
#pragma GCC unroll 8
            for (int v = 0; v < NV; v += 8 / Lanes)
                __builtin_prefetch(row - kPrefetchRows * T + v * Lanes);
#pragma GCC unroll 8
        for (int v = 0; v < NV; ++v)
            a[v] = a[v] - S::load(row + v * Lanes) * f;
    }
#pragma GCC unroll 8
    for (int v = 0; v < NV; ++v)
        S::store(acc + v * Lanes, a[v]);
}

// The table for one vector width and one tile shape.
template <int Lanes, int MR, int NV, int CholeskyVectors> struct Variant {
    static constexpr Table table(InstructionSet set, const char* name) {
        return {
            set,     name,          choleskyLanes, &gemm, &gemmWorkspace, &axpy, &largestMagnitude,
            &divide, &choleskyChain};
    }

    using G = Gemm<Lanes, MR, NV>;
    static constexpr int choleskyLanes = Lanes * CholeskyVectors;

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
    static void choleskyChain(int low, int high, const double* l, std::ptrdiff_t lStride,
                              const double* p, double* acc) {
        ::lse::kernels::choleskyChain<Lanes, CholeskyVectors>(low, high, l, lStride, p, acc);
    }
};
