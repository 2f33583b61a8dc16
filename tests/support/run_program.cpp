#include "run_program.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Reads both pipes to their end without letting either one fill up; a
// program that prints more than a test can need is killed.
void drain(pid_t pid, int outFd, int errFd, std::string& out, std::string& err) {
    struct pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&out, &err};
    int open = 2;
    char buf[65536];
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("poll failed");
        }
        for (int i = 0; i < 2; i++) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0 && sinks[i]->size() >= childFileBytes) {
                kill(pid, SIGKILL);
            } else if (n > 0) {
                sinks[i]->append(buf, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                open--;
            }
        }
    }
}

void setLimit(int resource, rlim_t soft, rlim_t hard) {
    struct rlimit limit = {soft, hard};
    setrlimit(resource, &limit);
}

// Whether no process holds the folder at path: its owner, named in it
// ("zebrin-test-<pid>-..."), is gone, and so is every child that shared its
// lock. A folder that is still being set up has a living owner.
bool abandoned(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    char* end = nullptr;
    long owner = strtol(name.c_str() + 12, &end, 10);
    if (owner <= 0 || *end != '-' || kill(static_cast<pid_t>(owner), 0) == 0 || errno != ESRCH)
        return false;
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool unheld = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return unheld;
}

void removeAbandonedFolders(const std::filesystem::path& tmp) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(tmp, ec)) {
        std::error_code ignored;
        if (entry.path().filename().string().compare(0, 12, "zebrin-test-") == 0 &&
            entry.is_directory(ignored) && abandoned(entry.path()))
            std::filesystem::remove_all(entry.path(), ignored);
    }
}

} // namespace

void boundChild() {
    setLimit(RLIMIT_FSIZE, childFileBytes, childFileBytes);
    // At the soft limit SIGXCPU ends the process; SIGKILL at the hard one
    // ends one that ignores it.
    setLimit(RLIMIT_CPU, childCpuSeconds, childCpuSeconds + 5);
    setLimit(RLIMIT_CORE, 0, 0);
}

ProgramResult runProgram(const std::vector<std::string>& launcher,
                         const std::vector<std::string>& argv, const std::string& cwd) {
    std::vector<std::string> words = launcher;
    words.insert(words.end(), argv.begin(), argv.end());
    std::vector<char*> cargv;
    for (auto& w : words)
        cargv.push_back(const_cast<char*>(w.c_str()));
    cargv.push_back(nullptr);

    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        boundChild();
        if (chdir(cwd.c_str()) != 0) _exit(126);
        execvp(cargv[0], cargv.data());
        _exit(126);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    ProgramResult result;
    drain(pid, outPipe[0], errPipe[0], result.out, result.err);
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -WTERMSIG(wstatus);
    return result;
}

std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

std::vector<std::string> throughLauncher(const std::string& emulator,
                                         const std::vector<std::string>& envCommand) {
    std::vector<std::string> words = splitWords(emulator);
    if (words.empty()) return envCommand;
    for (size_t i = 1; i < envCommand.size(); i++)
        words.insert(words.end(), {"-E", envCommand[i]});
    return words;
}

TempDir::TempDir() {
    static bool swept = false;
    std::filesystem::path tmp = std::filesystem::temp_directory_path();
    if (!swept) removeAbandonedFolders(tmp);
    swept = true;
    std::string pattern = (tmp / ("zebrin-test-" + std::to_string(getpid()) + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = pattern;
    lock = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock < 0 || flock(lock, LOCK_EX) != 0) throw std::runtime_error("can't lock " + path);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
    close(lock);
}

void writeFile(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("can't create " + path);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::string randomBytes(size_t n, uint32_t seed) {
    std::string s(n, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (auto& c : s) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return s;
}
