#include "frmCholesky.h"

#include "Limits.h"
#include "Messages.h"
#include "NumberText.h"
#include "modGauss.h"

#include <new>
#include <string>

namespace lse {

namespace messages {

std::string outOfMemory(long long count) {
    return "There is not enough memory for a system of " + intToText(count) + " equations.";
}

std::string coefficientPromptA(int row, int column) {
    return "Enter A coefficient (" + intToText(row) + "," + intToText(column) + ")";
}

std::string coefficientPromptB(int row) {
    return "Enter B coefficient (" + intToText(row) + ")";
}

} // namespace messages

namespace {

constexpr const char* kGap = "   ";
constexpr const char* kLineEnd = "\r\n";

// One line per entry 1..count: "b1 =   14", "x2 =   -6".
std::string namedLines(const char* name, const Vector& values, int count) {
    std::string lines;
    for (int i = 1; i <= count; ++i)
        lines.append(name)
            .append(intToText(i))
            .append(" =")
            .append(kGap)
            .append(doubleToText(values(i)))
            .append(kLineEnd);
    return lines;
}

} // namespace

void frmCholesky::submit_but_Click() {
    if (platform_.checkBoxValue(CheckBox::chkDefault) != 0)
        loadDefault();
    else
        enterSystem();
    text(A_, b_, n);
}

void frmCholesky::loadDefault() {
    static constexpr double kA[3][3] = {{4, 2, 14}, {2, 17, -5}, {14, -5, 83}};
    static constexpr double kB[3] = {14, -101, 155};

    n = 3;
    platform_.replaceText(TextBox::Textn, intToText(n));
    platform_.replaceText(TextBox::display, "");
    A_.recreate(n, n);
    b_.recreate(n);
    x_.recreate(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            A_(i, j) = kA[i - 1][j - 1];
        b_(i) = kB[i - 1];
    }
}

void frmCholesky::enterSystem() {
    const std::string countText = platform_.readText(TextBox::Textn);
    platform_.replaceText(TextBox::display, "");
    if (!isNumeric(countText)) {
        platform_.messageBox(messages::notANumber, MessageStyle::OkOnly);
        return;
    }
    const std::optional<std::int16_t> count = textToInt16(countText);
    if (!count || *count < 0 || *count > kMaxOrder) {
        platform_.messageBox(messages::badCount, MessageStyle::OkOnly);
        return;
    }

    // The new system is built aside and adopted only once complete, so that a cancel or a
    // failed allocation keeps the previous one.
    try {
        const int size = *count;
        Matrix newA;
        Vector newB;
        Vector newX;
        newA.recreate(size, size);
        newB.recreate(size);
        newX.recreate(size);
        for (int i = 1; i <= size; ++i)
            for (int j = 1; j <= size; ++j)
                if (!askCoefficient(messages::coefficientPromptA(i, j), newA(i, j)))
                    return;
        for (int i = 1; i <= size; ++i)
            if (!askCoefficient(messages::coefficientPromptB(i), newB(i)))
                return;
        n = *count;
        A_ = std::move(newA);
        b_ = std::move(newB);
        x_ = std::move(newX);
    } catch (const std::bad_alloc&) {
        platform_.messageBox(messages::outOfMemory(*count), MessageStyle::OkOnly);
    }
}

bool frmCholesky::askCoefficient(const std::string& prompt, double& value) {
    for (;;) {
        const std::optional<std::string> reply = platform_.inputBox(prompt);
        if (!reply)
            return false;
        if (const std::optional<double> number = textToDouble(*reply)) {
            value = *number;
            return true;
        }
        platform_.messageBox(messages::notANumber, MessageStyle::OkOnly);
    }
}

void frmCholesky::text(const Matrix& matrix, const Vector& vector, std::int16_t count) {
    // Built in memory and written once per box: appending through the control would cost
    // time quadratic in the length of the text.
    std::string rows;
    for (int i = 1; i <= count; ++i) {
        for (int j = 1; j <= count; ++j)
            rows.append(kGap).append(doubleToText(matrix(i, j)));
        rows.append(kLineEnd);
    }
    platform_.replaceText(TextBox::display, rows);

    platform_.replaceText(TextBox::txtVector, namedLines("b", vector, count));
}

void frmCholesky::Start_Click() {
    platform_.replaceText(TextBox::txtGauss, "");
    platform_.replaceText(TextBox::txtCholesky, "");
    if (platform_.optionValue(OptionArray::Option1, 0)) {
        runGauss();
    } else if (platform_.optionValue(OptionArray::Option1, 2)) {
        runCholesky();
    } else {
        runGauss();
        runCholesky();
    }
}

// A box shows a solution only when its method produced one; after a reported failure it
// stays empty.
void frmCholesky::runGauss() {
    try {
        copyPass();
        if (modGauss::gaussSolve(W_, x_, b_, n, platform_))
            gaussText();
    } catch (const std::bad_alloc&) {
        platform_.messageBox(messages::outOfMemory(n), MessageStyle::OkOnly);
    }
}

void frmCholesky::runCholesky() {
    try {
        copyPass();
        const bool decomposed = chol_.cholDecompose(W_, n, platform_);
        const bool solved = chol_.cholSolve(b_, x_);
        if (decomposed && solved)
            CholeskyText();
        else if (decomposed)
            // The solve step reports nothing of its own; without a word the empty box would
            // look like a fault.
            platform_.messageBox(messages::choleskySolveFailed, MessageStyle::OkOnly);
    } catch (const std::bad_alloc&) {
        platform_.messageBox(messages::outOfMemory(n), MessageStyle::OkOnly);
    }
}

void frmCholesky::copyPass() {
    W_.recreate(n, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            W_(i, j) = A_(i, j);
}

void frmCholesky::gaussText() {
    solutionText(TextBox::txtGauss);
}

void frmCholesky::CholeskyText() {
    solutionText(TextBox::txtCholesky);
}

void frmCholesky::solutionText(TextBox box) {
    platform_.replaceText(box, namedLines("x", x_, n));
}

} // namespace lse
