#pragma once

#include "Matrix.h"
#include "WrittenNumber.h"
#include "WrittenValues.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace lse::io {

// The words of a text system's numbers (ReadOptions::wordsFrom), made by whichever thread
// parses each number: lo and lo2 go to the place of its double in arrays shaped as A and b,
// and the texts of the values the words do not hold are gathered for WrittenValues.
class WordsSink {
public:
    // Words for A (rows and columns as A, its spare column included) and for b (absent for a
    // layout whose b comes from A's last column).
    WordsSink(const Matrix& A, const Vector* b);

    // From any thread: where a decimal's one scan gives its words (decimalTextWords), its
    // double into `destination` in A or b and its lower words beside; false otherwise, for
    // textToDouble to read it and `take` to follow.
    bool read(std::string_view text, double* destination);
    // From any thread: the words of `text`, read as `value`, whose double went to `destination`.
    void take(std::string_view text, double value, const double* destination);

    // Moves the held words as arrange(A, b) moved the numbers, before finish: arrange is given
    // each word's arrays in turn.
    template <typename Arrange> void arrange(Arrange arrange) {
        arrange(words_->aLo, words_->bLo);
        arrange(words_->aLo2, words_->bLo2);
    }

    // Once every number is parsed: the held words, and into `written` the texts of the values
    // they do not hold, in input order (A's rows, then b). b's words are taken from A's column
    // bColumn when it is not 0.
    void finish(WrittenValues& written, int n, int bColumn = 0);

private:
    struct Region {
        std::uintptr_t begin = 0;
        std::size_t size = 0;
        double* lo = nullptr;
        double* lo2 = nullptr;
    };
    struct Place {
        const Region* region;
        std::size_t offset;
        bool inB;
    };
    Place placeOf(const double* destination) const;
    static void put(const Place& place, const Words& words);

    struct Unheld {
        bool inB;
        std::size_t offset;
        std::string text;
    };

    std::shared_ptr<WrittenValues::HeldWords> words_;
    std::size_t stride_;
    Region a_, b_;
    std::mutex mutex_;
    std::vector<Unheld> unheld_;
};

} // namespace lse::io
