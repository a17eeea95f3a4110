#include "ChildRun.h"

#include "Protocol.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lse::exact {

namespace {

constexpr int kPollMilliseconds = 100;

// A file descriptor that closes itself.
struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }
    void reset() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

std::string systemError(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

ChildResult failure(std::string message) {
    ChildResult result;
    result.message = std::move(message);
    return result;
}

// Moves what the child writes into `sink`; false once it has closed its end.
bool drain(Descriptor& from, std::string& sink) {
    char buffer[65536];
    const ssize_t got = ::read(from.fd, buffer, sizeof buffer);
    if (got > 0) {
        sink.append(buffer, static_cast<std::size_t>(got));
        return true;
    }
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return true;
    from.reset();
    return false;
}

ChildResult interpret(int status, std::string out, const std::string& err) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == kOutOfMemoryStatus) {
        ChildResult result;
        result.outcome = ChildOutcome::outOfMemory;
        result.message = err;
        return result;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        const std::string how = WIFSIGNALED(status)
                                    ? "was ended by signal " + std::to_string(WTERMSIG(status))
                                    : "ended with status " + std::to_string(WEXITSTATUS(status));
        return failure("lineq-exact " + how + (err.empty() ? "" : ": " + err));
    }
    try {
        std::istringstream in(std::move(out));
        ChildResult result;
        result.report = readReport(in);
        result.outcome = ChildOutcome::finished;
        return result;
    } catch (const ProtocolError& e) {
        return failure(std::string("lineq-exact answered nonsense: ") + e.what());
    }
}

} // namespace

std::string exactProgramBeside(const std::string& programPath) {
    const std::filesystem::path folder = std::filesystem::path(programPath).parent_path();
    const std::filesystem::path beside = folder / "lineq-exact";
    const std::filesystem::path installed = folder / ".." / "libexec" / "lineq" / "lineq-exact";
    std::error_code error;
    if (!std::filesystem::exists(beside, error) && std::filesystem::exists(installed, error))
        return installed.lexically_normal().string();
    return beside.string();
}

ChildResult runExactChild(const ChildOptions& options, const Matrix& A, const Vector& b, int n,
                          const WrittenValues& written,
                          const std::vector<Vector>& methodSolutions) {
    if (options.cancel != nullptr && options.cancel->load())
        return {ChildOutcome::cancelled, {}, {}};
    std::ostringstream requestText;
    writeRequest(requestText, A, b, n, written, methodSolutions);
    const std::string request = requestText.str();

    // The request goes through a socket, whose send can refuse SIGPIPE; the answers come
    // through pipes. The parent's ends are closed in any other child it starts meanwhile.
    int input[2], output[2], errors[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0)
        return failure(systemError("socketpair", errno));
    Descriptor childIn, toChild, fromChild, childOut, errFromChild, childErr;
    childIn.fd = input[0];
    toChild.fd = input[1];
    if (::pipe2(output, O_CLOEXEC) != 0)
        return failure(systemError("pipe", errno));
    fromChild.fd = output[0];
    childOut.fd = output[1];
    if (::pipe2(errors, O_CLOEXEC) != 0)
        return failure(systemError("pipe", errno));
    errFromChild.fd = errors[0];
    childErr.fd = errors[1];

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childIn.fd, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, childOut.fd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, childErr.fd, STDERR_FILENO);
    std::string program = options.program;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return failure(systemError("cannot start " + program, spawned));
    childIn.reset();
    childOut.reset();
    childErr.reset();

    ::fcntl(toChild.fd, F_SETFL, O_NONBLOCK);

    std::string out, err;
    std::size_t sent = 0;
    bool ready = false;
    bool cancelled = false;
    while (fromChild.fd >= 0 || errFromChild.fd >= 0) {
        const std::string_view readyLine = kReadyLine;
        if (!ready && out.size() >= readyLine.size()) {
            if (out.compare(0, readyLine.size(), readyLine) != 0)
                toChild.reset(); // not lineq-exact: interpret() says so
            out.erase(0, readyLine.size());
            ready = true;
            // Its libraries are loaded and it has allocated nothing yet for the solve.
            if (options.addressSpaceLimit != 0) {
                const rlimit limit{options.addressSpaceLimit, options.addressSpaceLimit};
                ::prlimit(pid, RLIMIT_AS, &limit, nullptr);
            }
        }
        if (options.cancel != nullptr && options.cancel->load()) {
            ::kill(pid, SIGKILL);
            cancelled = true;
            break;
        }
        pollfd watched[3] = {{fromChild.fd, POLLIN, 0},
                             {errFromChild.fd, POLLIN, 0},
                             {ready ? toChild.fd : -1, POLLOUT, 0}};
        if (::poll(watched, 3, kPollMilliseconds) < 0 && errno != EINTR)
            break;
        if (watched[0].revents != 0)
            drain(fromChild, out);
        if (watched[1].revents != 0)
            drain(errFromChild, err);
        if (watched[2].revents & (POLLERR | POLLHUP)) {
            toChild.reset();
        } else if (watched[2].revents & POLLOUT) {
            const ssize_t wrote =
                ::send(toChild.fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (wrote > 0)
                sent += static_cast<std::size_t>(wrote);
            else if (errno != EAGAIN && errno != EINTR)
                toChild.reset();
            if (sent == request.size())
                toChild.reset();
        }
    }
    toChild.reset();
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (cancelled) {
        ChildResult result;
        result.outcome = ChildOutcome::cancelled;
        return result;
    }
    return interpret(status, std::move(out), err);
}

} // namespace lse::exact
