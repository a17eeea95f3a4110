// Times this program's solvers beside Eigen and OpenBLAS on the same systems, in one run:
// through Calculate of the form logic, through the solvers directly and through lineq-solve on
// a file; prints Markdown tables: the processor, its unfused and fused peaks and the solvers'
// kernels against them (Machine.cpp), then the times with the ratios.
#include "Meter.h"
#include "Peers.h"
#include "Platform.h"
#include "frmCholesky.h"
#include "kernels/Kernels.h"
#include "modChol.h"
#include "modGauss.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace lse;
using bench::Dense;
using Clock = std::chrono::steady_clock;

struct System {
    int n;
    Dense a;
    std::vector<double> b;
};

// Uniform in [-1, 1); made symmetric with n on the diagonal it is positive definite.
System randomSystem(int n, bool symmetric) {
    std::mt19937_64 engine(static_cast<std::uint64_t>(n));
    const auto unit = [&] { return static_cast<double>(engine() >> 11) * 0x1p-52 - 1.0; };
    System s{n, Dense(static_cast<std::size_t>(n) * n), std::vector<double>(n)};
    for (int i = 0; i < n; ++i)
        for (int j = symmetric ? i : 0; j < n; ++j) {
            const double value = symmetric && i == j ? n : unit();
            s.a[static_cast<std::size_t>(i) * n + j] = value;
            if (symmetric)
                s.a[static_cast<std::size_t>(j) * n + i] = value;
        }
    for (double& value : s.b)
        value = unit();
    return s;
}

// ||Ax - b|| / (||A|| ||x|| eps) in the maximum norm; infinity when there is no x.
double scaledResidual(const System& s, const std::vector<double>& x) {
    if (x.size() != s.b.size())
        return std::numeric_limits<double>::infinity();
    long double residual = 0, normA = 0, normX = 0;
    for (int i = 0; i < s.n; ++i) {
        long double row = -static_cast<long double>(s.b[i]), rowSum = 0;
        for (int j = 0; j < s.n; ++j) {
            const double aij = s.a[static_cast<std::size_t>(i) * s.n + j];
            row += static_cast<long double>(aij) * x[j];
            rowSum += std::fabs(aij);
        }
        residual = std::max(residual, std::fabs(row));
        normA = std::max(normA, rowSum);
        normX = std::max(normX, std::fabs(static_cast<long double>(x[i])));
    }
    return static_cast<double>(residual / (normA * normX * std::numeric_limits<double>::epsilon()));
}

// The median of `runs` timed runs after one untimed one.
template <typename Run> double medianSeconds(int runs, Run run) {
    run();
    std::vector<double> seconds;
    for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        run();
        seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

// The window's services for the form logic: the system typed into its input boxes, the
// method chosen, the results kept.
class BenchPlatform : public Platform {
public:
    explicit BenchPlatform(const System& s) : system_(s) {}
    SolutionMethod method = SolutionMethod::bothMethods;
    std::string result;

    std::string readText(TextBox) const override { return std::to_string(system_.n); }
    void replaceText(TextBox box, const std::string& text) override {
        if (box == TextBox::txtGauss || box == TextBox::txtCholesky)
            result += text;
    }
    int checkBoxValue(CheckBox) const override { return 0; }
    void setCheckBoxValue(CheckBox, int) override {}
    bool optionValue(OptionArray, SolutionMethod button) const override { return button == method; }
    Task<> messageBox(std::string text, MessageStyle, std::optional<std::string>) override {
        std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
        co_return;
    }
    Task<std::optional<std::string>> inputBox(std::string) override {
        const std::size_t n = system_.b.size();
        const double value = next_ < n * n ? system_.a[next_] : system_.b[next_ - n * n];
        ++next_;
        char text[32];
        co_return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
    }

private:
    const System& system_;
    std::size_t next_ = 0;
};

double formSeconds(const System& s, SolutionMethod method, int threads, int runs) {
    BenchPlatform platform(s);
    frmCholesky form(platform);
    form.submit_but_Click();
    form.solveOptions.threads = threads;
    platform.method = method;
    return medianSeconds(runs, [&] {
        platform.result.clear();
        form.Start_Click();
        if (platform.result.empty())
            std::fprintf(stderr, "Calculate gave no result for n = %d\n", s.n);
    });
}

struct Arrays {
    Matrix W;
    Vector b, x;
    explicit Arrays(const System& s) {
        W.recreate(s.n, s.n, 1);
        b.recreate(s.n);
        x.recreate(s.n);
        for (int i = 1; i <= s.n; ++i) {
            for (int j = 1; j <= s.n; ++j)
                W(i, j) = s.a[static_cast<std::size_t>(i - 1) * s.n + (j - 1)];
            b(i) = s.b[static_cast<std::size_t>(i - 1)];
        }
    }
    std::vector<double> solution() const { return {x.data() + 1, x.data() + 1 + x.upper()}; }
};

struct Measured {
    double seconds;
    double residual;
};

// The solvers alone: the copy of A into W is not timed.
Measured solverSeconds(const System& s, bool cholesky, int threads, int runs) {
    SolveOptions options;
    options.threads = threads;
    std::vector<double> x;
    std::vector<double> seconds;
    for (int r = 0; r <= runs; ++r) {
        Arrays arrays(s);
        modChol chol;
        const auto start = Clock::now();
        const bool solved =
            cholesky ? chol.cholDecompose(arrays.W, static_cast<std::int16_t>(s.n), options)
                               .decomposed() &&
                           chol.cholSolve(arrays.b, arrays.x) == CholeskySolveStatus::solved
                     : modGauss::gaussSolve(arrays.W, arrays.x, arrays.b,
                                            static_cast<std::int16_t>(s.n), options)
                           .solved();
        if (r > 0)
            seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        x = solved ? arrays.solution() : std::vector<double>{};
    }
    std::sort(seconds.begin(), seconds.end());
    return {seconds[seconds.size() / 2], scaledResidual(s, x)};
}

template <typename Peer> Measured peerSeconds(const System& s, Peer peer, int runs) {
    std::vector<double> x;
    const double seconds = medianSeconds(runs, [&] { x = peer(s.a, s.b, s.n); });
    return {seconds, scaledResidual(s, x)};
}

// lineq-solve end to end on a file of the system: reading, both copies of A, the solve and
// the printing of x.
std::string systemFile(const System& s, const std::string& name) {
    // The process's own name: two benchmarks running at once must not share a file.
    const auto path = std::filesystem::temp_directory_path() /
                      ("lineq-bench-" + std::to_string(getpid()) + "-" + name);
    std::ofstream out(path);
    char text[32];
    const auto write = [&](double value, char after) {
        out.write(text, std::to_chars(text, text + sizeof text, value).ptr - text);
        out.put(after);
    };
    out << s.n << '\n';
    for (int i = 0; i < s.n; ++i)
        for (int j = 0; j < s.n; ++j)
            write(s.a[static_cast<std::size_t>(i) * s.n + j], j + 1 < s.n ? ' ' : '\n');
    for (int i = 0; i < s.n; ++i)
        write(s.b[static_cast<std::size_t>(i)], '\n');
    return path.string();
}

std::string exitStatusText(int status) {
    if (status == -1)
        return "the shell could not be started";
    if (WIFEXITED(status))
        return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status));
    return "wait status " + std::to_string(status);
}

// The median time; nullopt, after a line on standard error, when a run failed: a failed run's
// time is not lineq-solve's.
std::optional<double> programSeconds(const std::string& program, const std::string& file,
                                     bool cholesky, int threads, int runs) {
    const std::string command = program + " --threads " + std::to_string(threads) + " --method " +
                                (cholesky ? "cholesky" : "gauss") + " " + file + " > /dev/null";
    int failure = 0; // the wait status of the first run that failed
    const double seconds = medianSeconds(runs, [&] {
        if (failure == 0)
            failure = std::system(command.c_str());
    });
    if (failure == 0)
        return seconds;
    std::fprintf(stderr, "lineq-solve failed (%s): %s\n", exitStatusText(failure).c_str(),
                 command.c_str());
    return std::nullopt;
}

std::string processorName() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);)
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    return "unknown processor";
}

// Chooses the solvers' kernels by name; false when this processor has none of that name.
bool chooseKernels(const std::string& name) {
    for (const kernels::InstructionSet set : kernels::supported()) {
        kernels::choose(set);
        if (name == kernels::active().name)
            return true;
    }
    kernels::choose(kernels::supported().back());
    return false;
}

std::string formatted(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string ratio(double ours, double theirs) {
    return formatted("%.2f", ours / theirs);
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Times the solvers beside Eigen and OpenBLAS"};
    std::vector<int> sizes{250, 500, 1000, 2000, 4000};
    std::vector<int> threadCounts{1, 2};
    int runs = 3;
    bool quick = false;
    std::string program = LINEQ_SOLVE_PATH;
    app.add_option("--sizes", sizes, "orders of the systems")
        ->delimiter(',')
        ->check(CLI::PositiveNumber);
    app.add_option("--lineq-solve", program, "lineq-solve to time end to end; empty: none")
        ->capture_default_str();
    std::string kernelSet;
    app.add_option("--kernels", kernelSet,
                   "The solvers' kernels for the timed solves (baseline, avx2, avx512); "
                   "default: the best this processor has. lineq-solve, which chooses its own, is "
                   "then not timed");
    bool machineOnly = false;
    app.add_flag("--machine-only", machineOnly,
                 "Only the peaks and the kernels, with the Cholesky chains at the given sizes");
    app.add_flag("--quick", quick, "Measure the peak and the kernel only briefly (to try it out)");
    app.add_option("--threads", threadCounts, "thread counts")->delimiter(',');
    app.add_option("--runs", runs, "timed runs per measurement (the median is shown)")
        ->check(CLI::PositiveNumber);
    CLI11_PARSE(app, argc, argv);

    std::printf("Processor: %s; solvers' kernels: %s; OpenBLAS kernels: %s\n",
                processorName().c_str(), kernels::active().name, bench::openblasCore().c_str());
    // The Cholesky chains at the orders where their tile has left the first-level cache.
    std::vector<int> choleskyOrders;
    for (const int n : sizes)
        if (n > 0 && (n >= 1000 || n == sizes.back()))
            choleskyOrders.push_back(n);
    bench::printMachine(quick, choleskyOrders);
    if (machineOnly)
        return 0;
    if (!kernelSet.empty() && !chooseKernels(kernelSet)) {
        std::fprintf(stderr, "no kernels named %s on this processor\n", kernelSet.c_str());
        return 2;
    }
    if (!kernelSet.empty())
        program.clear();
    std::printf("\n");
    std::printf("Seconds, median of %d after a warm-up, with the solvers' %s kernels; ratio = this "
                "program's solvers / peer.\n\n",
                runs, kernels::active().name);
    std::printf("| n | threads | method | Calculate | solvers | lineq-solve | Eigen, 1 thread | "
                "OpenBLAS | solvers / Eigen | solvers / OpenBLAS | worst peer residual |\n"
                "|---|---|---|---|---|---|---|---|---|---|---|\n");
    double worstResidual = 0;
    bool programFailed = false;
    for (const int n : sizes) {
        const System general = randomSystem(n, false);
        const System spd = randomSystem(n, true);
        const std::string files[] = {program.empty() ? "" : systemFile(general, "gauss"),
                                     program.empty() ? "" : systemFile(spd, "spd")};
        const Measured eigenLu = peerSeconds(general, bench::eigenPartialPivLu, runs);
        const Measured eigenLlt = peerSeconds(spd, bench::eigenLlt, runs);
        for (const int threads : threadCounts) {
            bench::openblasThreads(threads);
            for (const bool cholesky : {false, true}) {
                const System& s = cholesky ? spd : general;
                const double form = formSeconds(s,
                                                cholesky ? SolutionMethod::choleskyDecomposition
                                                         : SolutionMethod::gaussElimination,
                                                threads, runs);
                const Measured ours = solverSeconds(s, cholesky, threads, runs);
                std::string endToEnd = "-"; // not timed
                if (!program.empty()) {
                    const std::optional<double> seconds =
                        programSeconds(program, files[cholesky], cholesky, threads, runs);
                    programFailed = programFailed || !seconds;
                    endToEnd = seconds ? formatted("%.4f", *seconds) : "failed";
                }
                const Measured eigen = cholesky ? eigenLlt : eigenLu;
                const Measured blas =
                    peerSeconds(s, cholesky ? bench::openblasDposv : bench::openblasDgesv, runs);
                const double residual = std::max(eigen.residual, blas.residual);
                worstResidual = std::max({worstResidual, residual, ours.residual});
                std::printf("| %d | %d | %s | %.4f | %.4f | %s | %.4f | %.4f | %s | %s | %.2g |\n",
                            n, threads, cholesky ? "Cholesky" : "Gauss", form, ours.seconds,
                            endToEnd.c_str(), eigen.seconds, blas.seconds,
                            ratio(ours.seconds, eigen.seconds).c_str(),
                            ratio(ours.seconds, blas.seconds).c_str(), residual);
                std::fflush(stdout);
            }
        }
        for (const std::string& file : files)
            if (!file.empty())
                std::filesystem::remove(file);
    }
    // Every solution, ours and the peers', must be a backward-stable one.
    if (!(worstResidual < 64)) {
        std::fprintf(stderr, "a solution's scaled residual is %g\n", worstResidual);
        return 1;
    }
    return programFailed ? 1 : 0;
}
