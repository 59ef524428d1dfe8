// The program side of scripts/kill-loop: saves that are killed at random moments, and what a
// killed program left behind, read the way the next start reads it.
//
//   killloop_helper save-loop FILE    saves two label sets over FILE in turn, forever
//   killloop_helper kill-in-write FILE MAX_US
//                                     runs save-loop in a child and kills it a random 0 to
//                                     MAX_US microseconds after a journal of FILE appeared
//                                     (so within the in-place write); prints the delay and
//                                     whether the journal was still there at the kill
//   killloop_helper check FILE        what opening FILE now gives: prints one line,
//                                     "whole A|B", "torn-readable" (reads, but is neither)
//                                     or "torn", then " offered A|B" when a cut-off save is
//                                     offered back, or " lost"
//   killloop_helper write-empty FILE  a label set as 新規作成 leaves it
//   killloop_helper copy-keys FOLDER  the newest recovery copy nobody holds: its age in
//                                     milliseconds, then Line1 of keys 1 to 30 of entry 1
//                                     face 1, one a line
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <string>

#include "model/AtomicFile.h"
#include "model/LabelSetFile.h"
#include "model/RecoveryCopy.h"
#include "model/RecoveryJournal.h"

using namespace sw::model;

namespace {

// Every key of A and B differs, and B's are longer: a file that is part one and part the
// other is neither, wherever it was cut.
std::string Document(char fill, std::size_t length) {
    auto set = std::make_unique<LabelSet>();
    for (int e = 1; e <= kEntryCount; ++e)
        for (int f = 1; f <= kFaceCount; ++f)
            for (int k = 1; k <= kKeyCount; ++k) set->Entries[e].Faces[f].Keys[k].Line1 = std::string(length, fill);
    return WriteLabelSet(*set);
}

const std::string& DocumentA() {
    static const std::string a = Document('a', 6);
    return a;
}
const std::string& DocumentB() {
    static const std::string b = Document('b', 10);
    return b;
}

const char* Which(const std::string& bytes) {
    if (bytes == DocumentA()) return "A";
    if (bytes == DocumentB()) return "B";
    return nullptr;
}

int SaveLoop(const std::string& path) {
    auto a = std::make_unique<LabelSet>();
    auto b = std::make_unique<LabelSet>();
    ReadLabelSet(DocumentA(), *a);
    ReadLabelSet(DocumentB(), *b);
    for (long n = 0;; ++n) {
        SaveResult saved = SaveLabelSetFile(path, n % 2 == 0 ? *b : *a);
        if (!saved.ok) {
            std::fprintf(stderr, "%s\n", saved.message.c_str());
            return 1;
        }
        if (n == 0) {
            std::puts("saving");
            std::fflush(stdout);
        }
    }
}

int KillInWrite(const std::string& path, long maxMicroseconds) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 1;
    const std::string folder = path.substr(0, path.rfind('/'));
    const std::string journal = folder + "/.stripwise2-journal-" + std::to_string(st.st_ino);
    std::random_device seed;
    std::mt19937 random(seed());
    const long delay = std::uniform_int_distribution<long>(0, maxMicroseconds)(random);
    // Skips a few saves so that the file is not always the first one's old content.
    const int skip = std::uniform_int_distribution<int>(0, 3)(random);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(STDOUT_FILENO);
        ::_exit(SaveLoop(path));
    }
    for (int seen = 0; seen <= skip;) {
        // The journal appears once per save, shortly before the file is written.
        while (::access(journal.c_str(), F_OK) != 0) {
            int status = 0;
            if (::waitpid(child, &status, WNOHANG) == child) return 1;
        }
        if (++seen > skip) break;
        while (::access(journal.c_str(), F_OK) == 0) {
        }
    }
    const timespec pause{delay / 1000000, (delay % 1000000) * 1000};
    ::nanosleep(&pause, nullptr);
    const bool during = ::access(journal.c_str(), F_OK) == 0;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::printf("%ld %s\n", delay, during ? "journal-present" : "journal-gone");
    return 0;
}

int Check(const std::string& path) {
    std::string bytes;
    std::string message;
    std::string line;
    auto set = std::make_unique<LabelSet>();
    if (ReadWholeFile(path, bytes, message, kMaxLabelSetFileBytes) && ReadLabelSet(bytes, *set).ok) {
        const char* which = Which(bytes);
        line = which ? std::string("whole ") + which : std::string("torn-readable");
    } else {
        line = "torn";
    }
    if (std::optional<InterruptedSave> offered = FindInterruptedSave(path, kMaxLabelSetFileBytes)) {
        const char* which = Which(offered->content);
        line += std::string(" offered ") + (which ? which : "other");
    } else if (line.rfind("whole", 0) != 0) {
        line += " lost";
    }
    std::puts(line.c_str());
    return 0;
}

int CopyKeys(const std::string& folder) {
    std::vector<RecoveryCopy> copies = RecoveryCopy::ClaimAbandoned(folder);
    if (copies.empty()) {
        std::puts("none");
        return 0;
    }
    RecoveredDocument document;
    std::string message;
    if (copies.front().Read(document, message) != CopyState::Whole) {
        std::printf("unreadable %s\n", message.c_str());
        return 1;
    }
    struct stat st {};
    ::stat(copies.front().path().c_str(), &st);
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const long long age = (now.tv_sec - st.st_mtim.tv_sec) * 1000LL + (now.tv_nsec - st.st_mtim.tv_nsec) / 1000000;
    std::printf("%lld\n", age);
    for (int k = 1; k <= kKeyCount; ++k) std::printf("%s\n", document.set->Entries[1].Faces[1].Keys[k].Line1.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "save-loop") == 0) return SaveLoop(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "check") == 0) return Check(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "kill-in-write") == 0) return KillInWrite(argv[2], std::atol(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "copy-keys") == 0) return CopyKeys(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "write-empty") == 0) {
        auto set = std::make_unique<LabelSet>();
        return SaveLabelSetFile(argv[2], *set).ok ? 0 : 1;
    }
    std::fprintf(stderr, "usage: %s save-loop|check|write-empty FILE, or copy-keys FOLDER\n", argv[0]);
    return 2;
}
