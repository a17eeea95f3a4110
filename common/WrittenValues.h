#pragma once

#include "Matrix.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lse {

// Entries of A given more than once and summed in doubles (a Matrix Market file read with
// --duplicates sum) whose sum may differ from the sum of their written values: an addend with
// a point, an exponent or more than 15 digits, or an addition that rounded. No one text holds
// such a sum, so it keeps none and counts as its double: the system is then not the one
// written. The first by row, then column, as the file gave it, names them in a message.
struct SummedEntries {
    std::size_t count = 0;
    int row = 0;
    int column = 0;

    bool any() const { return count > 0; }
    bool operator==(const SummedEntries&) const = default;
};

// The numbers of a system as they were written, where that may differ from the doubles the
// methods get: 0.1 is 1/10 and 1/3 is 1/3 to the exact solve. Only such texts are kept, so a
// system of whole numbers keeps none.
class WrittenValues {
public:
    // A larger system keeps none: at n = 1000 the texts of a system of decimals take some
    // 40 MB beside A's 8 MB, and its exact solve is expected to take minutes
    // (exact::estimatedSeconds); beyond that the exact solve is of the doubles, and says so.
    static constexpr int kLargestOrder = 1000;

    // Whether the written value of a number text may differ from its double: one with a
    // point, an exponent or a slash, or with more than 15 digits.
    static bool mayDiffer(std::string_view text);

    struct Entry {
        int row;
        int column; // n + 1 for b
        std::string_view text;
    };

    // Keeps the text of entry (row, column) of [A | b] when it may differ from its double, each
    // look-alike of the minus sign as '-' (asciiMinus).
    void note(int row, int column, std::string_view text);
    void clear();
    // Room for `count` numbers' records and `bytes` of their texts, so that a large system's
    // are not moved as they grow.
    void reserve(std::size_t count, std::size_t bytes = 0) {
        kept_.reserve(count);
        texts_.reserve(bytes);
    }

    bool empty() const { return kept_.empty(); }
    std::size_t size() const { return kept_.size(); }
    Entry operator[](std::size_t k) const {
        const Record& e = kept_[k];
        return {e.row, e.column, std::string_view(texts_).substr(e.offset, e.length)};
    }

    // The kept texts whole: a record per number and the texts one after another, so that the
    // page's reading Worker hands them over in two copies rather than one by one.
    struct Record {
        int row;
        int column;
        std::size_t offset;
        std::size_t length;
    };
    const std::vector<Record>& records() const { return kept_; }
    const std::string& texts() const { return texts_; }
    // Takes records and texts that records() and texts() gave; throws std::invalid_argument
    // when a record reaches beyond the texts.
    void assign(std::vector<Record> records, std::string texts);

    // b was made as A's row sums (io::setRowSums): the written b is the written A's.
    bool bIsRowSums = false;
    // The system was too large to keep its texts (kLargestOrder): the exact solve is of the
    // doubles although some number may have been written otherwise.
    bool dropped = false;
    // Entries summed in doubles, not as written: the exact solve is then of the doubles alone,
    // and says so.
    SummedEntries summedEntries;

    // Every number's lower words (WrittenNumber.h), where a reader held them in place of the
    // texts (ReadOptions::wordsFrom): lo and lo2 at the places of A's and b's doubles, zero
    // where the words do not hold the value. The texts kept are then only those, enough for a
    // refinement but not for the exact solve, which needs every text (wholeTexts).
    struct HeldWords {
        Matrix aLo, aLo2;
        Vector bLo, bLo2;
    };
    std::shared_ptr<const HeldWords> words;
    // Whether every text that may differ from its double is kept: not where words stand in for
    // them, nor where the system was too large to keep any.
    bool wholeTexts() const { return !words && !dropped; }

private:
    struct TextClass {
        bool mayDiffer;
        bool beyondAscii;
    };
    static TextClass classify(std::string_view text);
    void keepAsciiMinus(int row, int column, std::string_view text);
    void store(int row, int column, std::string_view text);

    std::vector<Record> kept_;
    std::string texts_;
};

} // namespace lse
