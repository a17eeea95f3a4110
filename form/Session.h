#pragma once

#include "CalculateReport.h"
#include "MethodRun.h"
#include "MethodTable.h"
#include "Platform.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace lse {

// The system a session works on, as its owner holds it: A may be used up by a run in A.
struct SessionSystem {
    Matrix& A;
    const Vector& b;
    std::int16_t n;
    const WrittenValues& written;
};

// Whether a Calculate refines each solved method's x (RefinedReport).
enum class Refine { no, yes };

// What a Calculate may do with A.
enum class KeepA {
    yes, // A stays as it is: each method works on a copy (the window, which shows A again)
    no,  // the last method works in A itself, so that one method needs no second array
    // As no, unless the last method leaves nothing of A: then it too works on a copy, so
    // that its figures can have the residual.
    forResidual,
    // As yes, for the refinement alone, with the figures of no: lineq-solve --refine gives
    // the figures it gives without it.
    forRefinement,
};

// One method's run with the options the front end chooses, made where it chooses; its part of
// the report is kept unless it was cancelled. The factors refer to the session's storage and
// are valid until the next run.
using RunMethod = std::function<CalculateOutcome(const SolveOptions& options)>;
// Makes `run` for `method` (the window: as long work with Cancel) and says whether the
// Calculate goes on: false after a cancel.
using EachMethod = std::function<Task<bool>(const MethodEntry& method, const RunMethod& run)>;
// The exact solver of a front end (Platform::solveExact, or lineq-solve's in-process one).
using ExactSolver = std::function<Task<std::optional<ExactOutcome>>(const ExactProblem& problem,
                                                                    WorkStatus& status)>;

// A Calculate and its exact follow-up as every front end makes them: the working copy W and
// what the methods keep, each method run in turn into the report, and the exact solution
// judged against their answers. The front end decides where each piece runs and what it
// shows; the session holds no toolkit and shows nothing.
class Session {
public:
    // keepsDecompositions: each method's decomposition stays after a Calculate, within
    // kKeptDecompositionBytes, so that Refine Solution refines with it rather than solving
    // again (the window); lineq-solve refines within its Calculate and keeps none.
    explicit Session(bool keepsDecompositions = false)
        : keepsDecompositions_(keepsDecompositions) {}

    const CalculateReport& report() const { return report_; }
    // The working copy of the last run.
    const Matrix& W() const { return *lastW_; }
    void clear();
    // Re-creates W as a fresh copy of A(1..n, 1..n).
    void copyPass(const Matrix& A, int n);
    // Frees W and what the methods kept, which the report does not need: lineq-solve does
    // before its exact solve and its output, so that no copy of A stays beside them.
    void releaseWorkingCopy();
    // How many times as long the front end's exact solver takes as lineq-exact: each report
    // takes it, for the times it expects, and so does the choice to settle a refined claim.
    void setExactTimeFactor(double factor) { exactTimeFactor_ = factor; }

    // Calculate: a fresh report, then each method through `each`, into x(1..n) and the report.
    // A cancel empties the report and ends the Calculate: false then. std::bad_alloc from a
    // run reaches `each`'s caller. With Refine::yes each solved method's x is refined towards
    // the written values where they are kept, else the doubles: a method that works in A
    // refines only where it leaves A whole, so KeepA::yes refines every one.
    Task<bool> calculate(MethodTable methods, SessionSystem system, Vector& x, KeepA keepA,
                         const EachMethod& each, Refine refine = Refine::no);
    // Refine Solution after a Calculate: each solved method that can be refined (refinable) and
    // is not yet is refined through `each` with its kept decomposition, or, where none was
    // kept, runs again, its x refined with its factors while they are alive, and a run that
    // does not give the same x bits as before adds nothing. The report gains the refinement and
    // keeps everything else. False after a cancel, which keeps what was refined before it. A
    // must be whole (KeepA::yes). std::bad_alloc as for calculate.
    Task<bool> refine(SessionSystem system, const EachMethod& each);
    // Whether the exact solution should settle a refined claim that the bound left undecided:
    // some refined x is not shown correctly rounded, no exact solution is at hand, and the
    // exact solve is expected to take under kSettleSeconds (measuring the entries for that),
    // and every text is kept as written.
    bool settlesRefined(SessionSystem system);
    // What the exact solve's time and fractions depend on, measured once per Calculate: at
    // n = 3000 it reads nine million entries, so the window does it off its thread.
    void measureEntries(SessionSystem system);
    // The exact solution of the system, judged against the solved methods' answers; the
    // report takes it when solved, and each refined x whose claim the bound left undecided
    // becomes the exact solution's nearest doubles, said to be checked against it.
    // nullopt where the front end has no exact solver.
    // std::bad_alloc when the answers cannot be gathered.
    Task<std::optional<ExactOutcome>> solveExact(SessionSystem system, const ExactSolver& solver,
                                                 WorkStatus& status);

    // A second is what a user waits for without asking: the exact solve of 200 equations of
    // doubles (exact::estimatedSeconds).
    static constexpr double kSettleSeconds = 1;
    // A decomposition is kept while its working copy takes at most this (4096 equations), as
    // Gauss keeps its multipliers (kGaussKeptMultipliersBytes): beyond, memory matters more than
    // the solve that Refine Solution then makes again.
    static constexpr std::size_t kKeptDecompositionBytes = std::size_t{128} << 20;
    // The least order whose exact solve is not expected within kSettleSeconds even for small
    // entries: from there on no refined claim is settled, so a reading for a refinement alone
    // may hold the numbers' words instead of their texts (io::ReadOptions::wordsFrom).
    static int firstUnsettledOrder();

private:
    // A method's decomposition after its run: the working copy and the factors that borrow it.
    struct KeptDecomposition {
        const MethodEntry* method;
        std::unique_ptr<Matrix> W;
        std::shared_ptr<const Factors> factors;
    };

    void settleRefined();
    // Keeps the decomposition of the run that just ended in W_, where the policy allows.
    void keep(const MethodEntry& method, const MethodRun& run, int n);
    const KeptDecomposition* keptFor(const MethodEntry* method) const;

    bool keepsDecompositions_;
    double exactTimeFactor_ = 1;
    // Held by pointer, so that factors borrowing a working copy keep it when it is kept.
    std::unique_ptr<Matrix> W_ = std::make_unique<Matrix>();
    const Matrix* lastW_ = W_.get();
    std::vector<KeptDecomposition> kept_;
    MethodState state_;
    CalculateReport report_;
};

} // namespace lse
