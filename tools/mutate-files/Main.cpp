// mutate-files: damages real files of every kind the program reads and runs
// the program's own readers on each damaged copy, in a process of its own
// with a time limit. Prints a count table per kind; exits 1 when any reader
// crashed, hung, or lost a file of the user's.
//
//   mutate-files --assets DIR [--mutants N] [--seed S] [--time-limit SECONDS] [--work DIR]
//
// The real files are made in WORK (a fresh temporary folder when not given,
// removed after a clean run); mutants that failed are kept in WORK/failures
// for replay.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "platform/base/Clock.h"
#include "tools/mutate-files/FileKinds.h"
#include "tools/mutate-files/Mutants.h"

namespace {

struct Options {
    std::string assets;
    std::string work;
    std::size_t mutants = 1000;
    std::uint64_t seed = 1;
    unsigned timeLimit = 20;
};

struct Counts {
    std::size_t mutants = 0, loaded = 0, refused = 0, lost = 0, crashes = 0, hangs = 0;
    double seconds = 0;
};

bool ReadOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i];
        std::string value = argv[i + 1];
        if (name == "--assets")
            options.assets = value;
        else if (name == "--work")
            options.work = value;
        else if (name == "--mutants")
            options.mutants = std::strtoull(value.c_str(), nullptr, 10);
        else if (name == "--seed")
            options.seed = std::strtoull(value.c_str(), nullptr, 10);
        else if (name == "--time-limit")
            options.timeLimit = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
        else
            return false;
    }
    return argc % 2 == 1 && !options.assets.empty() && options.timeLimit > 0;
}

enum class Result { Loaded, Refused, Lost, Crashed, Hung };

// Runs the check on the mutant in a child process; a child killed by its
// alarm hung, any other end but the outcome codes is a crash.
Result RunOne(const mutate::FileKind& kind, const std::string& mutant, unsigned timeLimit)
{
    std::fflush(nullptr);
    pid_t child = ::fork();
    if (child == 0) {
        ::alarm(timeLimit);
        mutate::WriteBytes(kind.target, mutant);
        std::fflush(nullptr);
        ::_exit(static_cast<int>(kind.check(mutant)));
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return Result::Crashed;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM)
        return Result::Hung;
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code == static_cast<int>(mutate::Outcome::Loaded))
        return Result::Loaded;
    if (code == static_cast<int>(mutate::Outcome::Refused))
        return Result::Refused;
    if (code == static_cast<int>(mutate::Outcome::Lost))
        return Result::Lost;
    return Result::Crashed;
}

void Count(Result result, Counts& counts)
{
    ++counts.mutants;
    switch (result) {
    case Result::Loaded: ++counts.loaded; break;
    case Result::Refused: ++counts.refused; break;
    case Result::Lost: ++counts.lost; break;
    case Result::Crashed: ++counts.crashes; break;
    case Result::Hung: ++counts.hangs; break;
    }
}

// Puts the kind's files back as they were made and drops any damaged copy.
void Restore(const mutate::FileKind& kind, const std::vector<std::string>& originals)
{
    for (std::size_t i = 0; i < kind.files.size(); ++i) {
        mutate::WriteBytes(kind.files[i], originals[i]);
        std::error_code error;
        std::filesystem::remove(kind.files[i] + ".damaged", error);
    }
}

Counts RunKind(const mutate::FileKind& kind, std::size_t kindIndex, const Options& options)
{
    std::vector<std::string> originals;
    for (const std::string& file : kind.files)
        originals.push_back(mutate::ReadBytes(file));
    std::string original = mutate::ReadBytes(kind.target);
    Counts counts;
    if (original.empty()) {
        std::cerr << kind.name << ": the real file was not made (" << kind.target << ")\n";
        counts.lost = 1;
        return counts;
    }
    auto start = std::chrono::steady_clock::now();
    mutate::Random random(options.seed * 131 + kindIndex);
    for (std::size_t i = 0; i < options.mutants; ++i) {
        mutate::Mutant mutant = mutate::MakeMutant(original, i, random);
        Restore(kind, originals);
        Result result = RunOne(kind, mutant.bytes, options.timeLimit);
        Count(result, counts);
        if (result != Result::Loaded && result != Result::Refused) {
            std::string kept = options.work + "/failures/" + std::to_string(kindIndex) + "-" + std::to_string(i);
            mutate::WriteBytes(kept, mutant.bytes);
            std::cerr << kind.name << " mutant " << i << " (" << mutant.how << ") failed; kept as " << kept << "\n";
        }
    }
    Restore(kind, originals);
    counts.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return counts;
}

void PrintRow(const std::string& kind, const Counts& c)
{
    std::printf("%-16s %8zu %8zu %8zu %6zu %8zu %6zu %8.1f\n", kind.c_str(), c.mutants, c.loaded, c.refused, c.lost,
                c.crashes, c.hangs, c.seconds);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ReadOptions(argc, argv, options)) {
        std::cerr << "usage: mutate-files --assets DIR [--mutants N] [--seed S] [--time-limit SECONDS] [--work DIR]\n";
        return 2;
    }
    bool ownWork = options.work.empty();
    if (ownWork) {
        char pattern[] = "/tmp/corvane-mutate-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            return 2;
        options.work = pattern;
    }
    std::error_code error;
    std::filesystem::create_directories(options.work + "/failures", error);
    // Waits of the readers (a locked file is retried) take device time.
    platform::SetTimeScale(1000);

    std::vector<mutate::FileKind> kinds = mutate::AssetKinds(options.work, options.assets);
    for (mutate::FileKind& kind : mutate::UserFileKinds(options.work))
        kinds.push_back(std::move(kind));

    std::printf("%-16s %8s %8s %8s %6s %8s %6s %8s\n", "kind", "mutants", "loaded", "refused", "lost", "crashes", "hangs",
                "seconds");
    Counts total;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        Counts counts = RunKind(kinds[k], k, options);
        PrintRow(kinds[k].name, counts);
        total.mutants += counts.mutants;
        total.loaded += counts.loaded;
        total.refused += counts.refused;
        total.lost += counts.lost;
        total.crashes += counts.crashes;
        total.hangs += counts.hangs;
        total.seconds += counts.seconds;
    }
    PrintRow("all", total);
    bool clean = total.lost == 0 && total.crashes == 0 && total.hangs == 0;
    if (clean && ownWork)
        std::filesystem::remove_all(options.work, error);
    return clean ? 0 : 1;
}
