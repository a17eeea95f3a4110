#pragma once

// Inputs the readers refuse, with their one-line messages: run through lineq-solve and
// through the readers alone, whole and in pieces.

#include <string>
#include <vector>

namespace lse::test {

struct RefusedInput {
    std::string input;
    std::string message;
    std::string format = "auto"; // as lineq-solve's --input-format names it
};

inline const std::vector<RefusedInput>& refusedInputs() {
    static const std::string mm = "%%MatrixMarket matrix coordinate real general\n";
    static const std::string beyond =
        "its magnitude is beyond the largest double (1.7976931348623157e308), so it cannot be held";
    static const std::string semicolons = "separate the numbers by spaces or tabs, not semicolons";
    const auto repeated = [](const std::string& text, int count) {
        std::string all;
        for (int k = 0; k < count; ++k)
            all += text;
        return all;
    };
    static const std::vector<RefusedInput> cases{
        {"3\n4 2 14\n2 17 -5\n14 -5 3abc\n", "line 4, column 7: expected a number, found '3abc'"},
        // Beyond the largest double, in each reader's grammar; 1e-400 is read, as 0.
        {"1\n1e400\n1\n", "line 2, column 1: expected a number, found '1e400': " + beyond},
        {"1 -1E+309\n", "line 1, column 3: expected a number, found '-1E+309': " + beyond},
        {"1,\u22122e308\n", "line 1, column 3: expected a number, found '\u22122e308': " + beyond},
        {"%%MatrixMarket matrix array real general\n1 1\n1e999\n",
         "line 3, column 1: expected a number, found '1e999': " + beyond},
        {mm + "1 1 1\n1 1 1e400\n",
         "line 3, column 5: expected a number, found '1e400': " + beyond},
        {"1 inf 1", "line 1, column 3: expected a number, found 'inf'"},
        {"1\n0x10 1\n", "line 2, column 1: expected a number, found '0x10'"},
        {"2\n1 1/0\n1 1\n1 1\n",
         "line 2, column 3: expected a number, found '1/0': its denominator is 0"},
        {"1/2 1/3 3/1\n1/3 1/4 1/-0\n",
         "line 2, column 9: expected a number, found '1/-0': its denominator is 0"},
        {"1 9007199254740993/3\n", "line 1, column 3: expected a number, found "
                                   "'9007199254740993/3': a fraction's numerator and denominator "
                                   "may be at most 9007199254740992"},
        {"2/1\n1 2\n3 4\n5 6\n",
         "line 1, column 1: expected the number of equations, a whole "
         "number from 0 to 32766, found '2/1'",
         "plain"},
        {"%%MatrixMarket matrix array real general\n1 1\n1/2\n",
         "line 3, column 1: expected a number, found '1/2'"},
        {"3\n1 2 3 4 5 6 7 8\n", "expected 9 coefficients of A, found 8"},
        {"2\n1 2 3 4\n5\n", "expected 2 entries of b, found 1"},
        {"1\n1\n2 3\n", "line 3, column 3: expected the end of the input after A and b, found '3'"},
        {"0\n0\n", "line 2, column 1: expected the end of the input after A and b, found '0'"},
        {"40000\n1\n", "line 1, column 1: n = 40000 is more than 32766 equations"},
        {" 2.5\n", "line 1, column 2: expected the number of equations, a whole number from 0 "
                   "to 32766, found '2.5'"},
        {"# nothing\n\n", "expected the number of equations, found the end of the input"},
        {"x,y,b\n", "expected rows of coefficients and b, found the end of the input"},
        {"1,2,3\n4,,6\n", "line 2, column 3: expected a number, found an empty field"},
        {"1,2,3\n4,5,6,\n", "line 2, column 7: expected 3 numbers in the row, found more: an "
                            "empty field"},
        {"x,y,b\n1 2 3\n4 5\n", "line 3: expected 3 numbers in the row, found 2"},
        {"1 2 3\n4 5 6\n7 8 9\n1 1 1\n",
         "expected 2 rows of 3 numbers, one per line, found 4 rows"},
        // A wrong number of rows: the field that is not a number, though a row is short first.
        {"1 2 3\n4 5\n7 8 x\n1 1 1\n", "line 3, column 5: expected a number, found 'x'"},
        {"1 2 \x01\n", "line 1, column 5: expected a number, found '\\x01'"},
        {"2 2 3\n", "expected 2 rows of 3 numbers, one per line, found 1 row"},
        {"2\n\xff 1 1 1 1 1\n", "line 2, column 1: expected a number, found '\\xff'"},
        // Characters as the user wrote them, one that cannot be seen by its code point.
        {"1 2\u00B75\n", "line 1, column 3: expected a number, found '2\u00B75'"},
        {"1 2\u00A05\n", "line 1, column 3: expected a number, found '2<U+00A0>5'"},
        // A column counts characters, a minus sign U+2212 one.
        {"1\n\u22121 x\n", "line 2, column 4: expected a number, found 'x'"},
        {"1 " + repeated("\u00B7", 41) + "\n",
         "line 1, column 3: expected a number, found '" + repeated("\u00B7", 40) + "...'"},
        // A decimal comma where tabs or semicolons separate the fields, as spreadsheets copy.
        {"2,5\t1\n1\t4,5\n", "line 1, field 1: '2,5' has a decimal comma; write 2.5"},
        {"1\t2\n3 \t 4,5\n", "line 2, field 2: '4,5' has a decimal comma; write 4.5"},
        {"1;2;0,25\n",
         "line 1, field 3: '0,25' has a decimal comma; write 0.25, and " + semicolons},
        // Semicolons separate no numbers: the advice names them, so that it leads to a text read.
        {"1,5;2\n", "line 1, field 1: '1,5' has a decimal comma; write 1.5, and " + semicolons},
        {"4;1;1,5\n", "line 1, field 3: '1,5' has a decimal comma; write 1.5, and " + semicolons},
        {"2,5\t1\t1;3\n",
         "line 1, field 1: '2,5' has a decimal comma; write 2.5, and " + semicolons},
        // The whole line decides, however little of it a reading in pieces holds; its comment
        // is no data.
        {"2,5\t1" + std::string(40, ' ') + "1;3\n",
         "line 1, field 1: '2,5' has a decimal comma; write 2.5, and " + semicolons},
        {"2,5\t1 # 1;3\n", "line 1, field 1: '2,5' has a decimal comma; write 2.5"},
        {"4;1;1.5\n", "line 1, column 1: expected the number of equations, a whole number from 0 "
                      "to 32766, found '4;1;1.5': " +
                          semicolons},
        {"1\n1;2\n", "line 2, column 1: expected a number, found '1;2': " + semicolons},
        {"1\n1;x 2\n", "line 2, column 1: expected a number, found '1;x'"},
        // ... and where blanks alone separate the others: not 2, 5, 1 and 1.
        {"2,5 1 1\n1 3 2\n", "line 1, field 1: '2,5' has a decimal comma; write 2.5"},
        {"2\n1 2,5\n1 3\n1 2\n", "line 2, field 2: '2,5' has a decimal comma; write 2.5"},
        // The mistake before it comes first, as on one thread.
        {"1 x\n2,5\t1\n", "line 1, column 3: expected a number, found 'x'"},
        {"1 2\n", "expected 1 entries of b, found 0", "plain"},
        {"%%MatrixMarket matrix array complex general\n",
         "line 1, column 29: expected 'real', 'integer' or 'pattern', found 'complex'"},
        {mm + "2 3 1\n", "line 2: the matrix is 2 x 3, but a system needs a square one"},
        {mm + "40000 40000 0\n", "line 2: n = 40000 is more than 32766 equations"},
        {mm + "2 2 2\n1 1 1\n", "expected 2 entries, one per line, found 1"},
        {mm + "2 2 2\n1 1 1\n1 1 2\n",
         "line 4: entry (1, 1) is given twice; lineq-solve --duplicates sum adds such entries"},
        {mm + "2 2 1\n3 1 1\n", "line 3, column 1: expected a row index from 1 to 2, found '3'"},
        {mm + "2 2 1\n1 1\n", "line 3: expected a row, a column and a value, found 2 fields"},
        {"%%MatrixMarket matrix coordinate real symmetric\n2 2 1\n1 2 5\n",
         "line 3: entry (1, 2) lies above the diagonal, but a symmetric file holds the lower "
         "triangle only"},
        {"%%MatrixMarket matrix array real general\n2 2\n1 2 3\n", "expected 4 entries, found 3"},
        {"%%MatrixMarket matrix array pattern general\n",
         "line 1, column 29: 'pattern' is for the coordinate form only"},
        {"%%MatrixMarket matrix coordinate pattern skew-symmetric\n",
         "line 1, column 42: a pattern matrix is 'general' or 'symmetric' only"},
        {"%%MatrixMarket matrix coordinate pattern general\n2 2 1\n1 1 1\n",
         "line 3, column 5: expected the end of the entry, found '1'"},
        {"%%MatrixMarket matrix coordinate real skew-symmetric\n2 2 1\n2 2 1\n",
         "line 3: entry (2, 2) lies on the diagonal, which a skew-symmetric file leaves out (it "
         "is zero)"},
        {"%%MatrixMarket matrix coordinate real skew-symmetric\n2 2 1\n1 2 1\n",
         "line 3: entry (1, 2) lies above the diagonal, but a skew-symmetric file holds the "
         "part below it only"},
        {"%%MatrixMarket matrix array integer skew-symmetric\n3 3\n1 2\n",
         "expected 3 entries, found 2"},
        {"1\n1\n1\n", "line 1: expected the banner '%%MatrixMarket matrix ...'", "matrix-market"},
        {"1\n1\n1\n", "not a NumPy array: the file does not start with \\x93NUMPY", "npy"},
    };
    return cases;
}

} // namespace lse::test
