// Systems as a user pastes them into the page: one row per line, A's entries then b, written
// with the fewest digits that read back as the same doubles.

function rowsText(n, entry) {
    const lines = [];
    for (let i = 1; i <= n; ++i) {
        const row = [];
        let sum = 0;
        for (let j = 1; j <= n; ++j) {
            row.push(entry(i, j));
            sum += row[row.length - 1];
        }
        lines.push([...row, sum].join(" "));
    }
    return lines.join("\n") + "\n";
}

// The Hilbert matrix, b the row sums (x should be all ones): from order 12 on it is singular
// to working precision.
export function hilbertText(n) {
    return rowsText(n, (i, j) => 1 / (i + j - 1));
}

// Symmetric with a dominant diagonal, so positive definite and well conditioned: both methods
// solve it, without a warning. Seeded, so every run reads the same system.
export function spdText(n, seed = n) {
    let state = BigInt(seed) | 1n;
    const next = () => {
        state = (state * 6364136223846793005n + 1442695040888963407n) & 0xffffffffffffffffn;
        return Number(state >> 11n) / 2 ** 53 * 2 - 1;
    };
    const upper = [];
    for (let i = 0; i < n; ++i)
        upper.push(Array.from({ length: n - i }, next));
    return rowsText(n, (i, j) => {
        const value = i <= j ? upper[i - 1][j - i] : upper[j - 1][i - j];
        return i === j ? n + value : value;
    });
}

// Wilkinson's matrix of growth 2^(n-1) for Gauss with partial pivoting: ones on the diagonal
// and in the last column, -1 below the diagonal. Well conditioned, yet at n = 60 the growth
// leaves Gauss's solution no correct digit; it is not symmetric, so Cholesky refuses it.
export function wilkinsonText(n) {
    return rowsText(n, (i, j) => (j === n || i === j ? 1 : i > j ? -1 : 0));
}

// Decimals of three places as typed, b too: the page keeps them as written for the exact
// solve. Seeded; a dominant diagonal keeps it well conditioned.
export function decimalsText(n, seed = n) {
    let state = BigInt(seed) | 1n;
    const next = () => {
        state = (state * 6364136223846793005n + 1442695040888963407n) & 0xffffffffffffffffn;
        return Number(state >> 33n) % 19999 - 9999;
    };
    const text = (thousandths) => (thousandths / 1000).toFixed(3);
    const lines = [];
    for (let i = 0; i < n; ++i)
        lines.push(Array.from({ length: n + 1 }, (_, j) => text(next() + (i === j ? 10000 * n : 0)))
            .join(" "));
    return lines.join("\n") + "\n";
}
