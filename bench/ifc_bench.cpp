// ifc_bench: how fast an IFC 2x3 file is read, navigated and written back,
// and how much memory that takes, next to a plain read of the file and,
// when it is available, the IFC++ reader on the same file.
//
//   ifc_bench FILE.ifc [--no-peer] [--all] [--out PATH]
//   ifc_bench --peer FILE.ifc     IFC++ alone
//
// IFC++ runs in a process of its own (ifc_bench_ifcpp, next to this one),
// so neither its memory nor its libraries count in the figures of ours.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifdef MQ_IFC_BENCH_PEER
#include <ifcpp/model/BuildingModel.h>
#include <ifcpp/reader/ReaderSTEP.h>
#else
#include "Step/FaultGuard.h"
#include "Step/MemoryPolicy.h"
#include "Step/TemporaryFileRegistry.h"
#include "ifc2x3/ExpressDataSet.h"
#endif

namespace {

constexpr double mega = 1e6; // MB as in file sizes, not MiB

/// Wall-clock and CPU time of a phase. On a busy machine the CPU time is
/// the steadier of the two.
class Stopwatch
{
public:
    Stopwatch() : m_wall(std::chrono::steady_clock::now()), m_cpu(cpuNow()) {}
    double wall() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wall).count(); }
    double cpu() const { return cpuNow() - m_cpu; }

private:
    static double cpuNow()
    {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }

    std::chrono::steady_clock::time_point m_wall;
    double m_cpu;
};

struct Phase
{
    double wall = 0;
    double cpu = 0;

    static Phase of(const Stopwatch& watch) { return Phase{watch.wall(), watch.cpu()}; }
    Phase operator+(const Phase& other) const { return Phase{wall + other.wall, cpu + other.cpu}; }
};

/// A "Name:   N kB" line of /proc/self/status, in bytes.
std::size_t statusField(const char* name)
{
    std::size_t bytes = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        const std::size_t length = std::strlen(name);
        while (std::fgets(line, sizeof(line), f)) {
            unsigned long kb = 0;
            if (std::strncmp(line, name, length) == 0 && line[length] == ':' &&
                std::sscanf(line + length + 1, "%lu", &kb) == 1) {
                bytes = kb * 1024;
                break;
            }
        }
        std::fclose(f);
    }
    return bytes;
}

/// Peak resident set of this process in bytes (VmHWM, else ru_maxrss).
std::size_t peakRss()
{
    if (const std::size_t peak = statusField("VmHWM")) {
        return peak;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

#ifdef MQ_IFC_BENCH_PEER

/// Loads the file with IFC++ and prints "read load peak entities".
int runPeer(const std::string& path)
{
    const Stopwatch readWatch;
    std::string content;
    {
        FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) {
            std::fprintf(stderr, "ifc_bench_ifcpp: cannot open %s\n", path.c_str());
            return 2;
        }
        std::fseek(f, 0, SEEK_END);
        content.resize(static_cast<std::size_t>(std::ftell(f)));
        std::fseek(f, 0, SEEK_SET);
        const std::size_t got = std::fread(content.data(), 1, content.size(), f);
        std::fclose(f);
        content.resize(got);
    }
    const Phase read = Phase::of(readWatch);
    try {
        const Stopwatch loadWatch;
        shared_ptr<BuildingModel> model(new BuildingModel());
        ReaderSTEP reader;
        reader.loadModelFromString(content, model);
        const Phase load = Phase::of(loadWatch);
        std::printf("%.6f %.6f %.6f %.6f %zu %zu\n", read.wall, read.cpu, load.wall, load.cpu, peakRss(),
                    model->getMapIfcEntities().size());
        std::fflush(stdout);
        // Tearing the model down is no part of the measure.
        std::_Exit(0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ifc_bench_ifcpp: %s\n", e.what());
        return 3;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ifc_bench_ifcpp FILE.ifc\n");
        return 2;
    }
    return runPeer(argv[1]);
}

#else

struct Report
{
    double fileSize = 0;

    void timing(const char* phase, const Phase& time, bool rate = true) const
    {
        std::printf("%-36s %8.3f s", phase, time.wall);
        if (rate) {
            std::printf("  %8.1f MB/s", fileSize / mega / time.wall);
        } else {
            std::printf("  %13s", "");
        }
        std::printf("  (cpu %.3f s)\n", time.cpu);
    }

    void memory(const char* phase) const
    {
        const std::size_t peak = peakRss();
        std::printf("%-36s %8.1f MB  %5.2fx file  (now %.1f MB: %.1f heap, %.1f file pages)\n", phase, peak / mega,
                    peak / fileSize, statusField("VmRSS") / mega, statusField("RssAnon") / mega,
                    statusField("RssFile") / mega);
    }

    static void count(const char* what, std::size_t n) { std::printf("%-36s %8zu\n", what, n); }
};

/// Reads the file in 1 MB pieces and counts its lines: the speed of
/// getting the bytes at all, without keeping them.
bool catSpeed(const std::string& path, Phase& time, std::size_t& lines)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    std::vector<char> buffer(std::size_t(1) << 20);
    lines = 0;
    const Stopwatch watch;
    while (true) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        const char* p = buffer.data();
        const char* const end = p + n;
        while (const void* q = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
            ++lines;
            p = static_cast<const char*>(q) + 1;
        }
    }
    time = Phase::of(watch);
    ::close(fd);
    return true;
}

/// Copies the file with plain writes, then fsync: what saving costs at the
/// least on this disk, and how much of it is the flush.
void writeBaseline(const std::string& from, const std::string& to, Phase& write, Phase& sync)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (in >= 0 && out >= 0) {
        std::vector<char> buffer(std::size_t(1) << 20);
        const Stopwatch watch;
        ssize_t n = 0;
        while ((n = ::read(in, buffer.data(), buffer.size())) > 0) {
            if (::write(out, buffer.data(), static_cast<std::size_t>(n)) != n) {
                break;
            }
        }
        write = Phase::of(watch);
        const Stopwatch syncWatch;
        fsync(out);
        sync = Phase::of(syncWatch);
    }
    if (in >= 0) {
        ::close(in);
    }
    if (out >= 0) {
        ::close(out);
    }
    ::unlink(to.c_str());
}

struct PeerResult
{
    Phase read;
    Phase load;
    std::size_t peak = 0;
    std::size_t entities = 0;
};

/// Runs ifc_bench_ifcpp, found next to this program, on the file; false
/// when it is missing or could not load the file.
bool measurePeer(const std::string& path, PeerResult& result)
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length <= 0) {
        return false;
    }
    self[length] = '\0';
    std::string helper(self);
    helper = helper.substr(0, helper.rfind('/') + 1) + "ifc_bench_ifcpp";
    if (access(helper.c_str(), X_OK) != 0) {
        return false;
    }
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return false;
    }
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        execl(helper.c_str(), "ifc_bench_ifcpp", path.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(pipeFds[1]);
    std::string output;
    char buffer[256];
    while (true) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return false;
    }
    return std::sscanf(output.c_str(), "%lf %lf %lf %lf %zu %zu", &result.read.wall, &result.read.cpu,
                       &result.load.wall, &result.load.cpu, &result.peak, &result.entities) == 6;
}

void printPeer(const Report& report, const PeerResult& peer)
{
    Report::count("IFC++ entities", peer.entities);
    report.timing("IFC++ read file into a string", peer.read);
    report.timing("IFC++ loadModelFromString", peer.load);
    std::printf("%-36s %8.1f MB  %5.2fx file\n", "IFC++ peak RSS", peer.peak / mega, peer.peak / report.fileSize);
}

int usage()
{
    std::fprintf(stderr, "usage: ifc_bench FILE.ifc [--no-peer] [--all] [--out PATH]\n"
                         "       ifc_bench --peer FILE.ifc\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    std::string path;
    std::string outPath;
    bool peer = true;
    bool peerOnly = false;
    bool decodeAll = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--peer") {
            peerOnly = true;
        } else if (arg == "--no-peer") {
            peer = false;
        } else if (arg == "--all") {
            decodeAll = true;
        } else if (arg == "--out" && i + 1 < argc) {
            outPath = argv[++i];
        } else if (arg.empty() || arg[0] == '-' || !path.empty()) {
            return usage();
        } else {
            path = arg;
        }
    }
    if (path.empty()) {
        return usage();
    }
    struct stat info
    {
    };
    if (stat(path.c_str(), &info) != 0) {
        std::fprintf(stderr, "ifc_bench: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
        return 2;
    }
    Report report;
    report.fileSize = static_cast<double>(info.st_size);
    std::printf("%-36s %s\n", "File", path.c_str());
    std::printf("%-36s %8.1f MB (%lld bytes)\n", "Size", report.fileSize / mega, static_cast<long long>(info.st_size));
    if (peerOnly) {
        PeerResult result;
        if (!measurePeer(path, result)) {
            std::fprintf(stderr, "ifc_bench: IFC++ is not built in or could not load the file\n");
            return 2;
        }
        printPeer(report, result);
        return 0;
    }
    if (outPath.empty()) {
        outPath = "/tmp/ifc_bench_" + std::to_string(getpid()) + ".ifc";
    }

    Phase cat;
    std::size_t lines = 0;
    if (!catSpeed(path, cat, lines)) {
        std::fprintf(stderr, "ifc_bench: cannot read %s\n", path.c_str());
        return 2;
    }
    report.timing("Read + count lines (cat speed)", cat);
    Report::count("Lines", lines);
    report.memory("Peak RSS before open");

    Step::MemoryPolicy::setCurrent(Step::MemoryPolicy::forLargeModels());
    ifc2x3::ExpressDataSet dataSet;
    const Stopwatch openWatch;
    if (!dataSet.open(path)) {
        std::fprintf(stderr, "ifc_bench: %s: %s\n", path.c_str(), dataSet.lastError().toString().c_str());
        return 2;
    }
    const Phase open = Phase::of(openWatch);
    Report::count("Instances", dataSet.instanceCount());
    report.timing("Open (index)", open);
    report.memory("Peak RSS after open");

    const Stopwatch objectsWatch;
    const auto& objects = dataSet.getAllIfcObjectDefinition();
    const Phase loadObjects = Phase::of(objectsWatch);
    const Stopwatch buildWatch;
    if (!objects.empty()) {
        dataSet.inverse(*objects.front(), ifc2x3::InverseRelation::IsDefinedBy);
    }
    const Phase build = Phase::of(buildWatch);
    const Stopwatch touchWatch;
    std::size_t links = 0;
    for (const auto& object : objects) {
        links += dataSet.inverse(*object, ifc2x3::InverseRelation::IsDefinedBy).size();
    }
    const Phase touch = Phase::of(touchWatch);
    const Phase load = loadObjects + build + touch;
    Report::count("Object definitions", objects.size());
    Report::count("IsDefinedBy links", links);
    report.timing("Load object definitions", loadObjects, false);
    report.timing("Build inverse relations", build, false);
    report.timing("IsDefinedBy of every object", touch, false);
    report.timing("Open + load + inverses", open + load);
    report.memory("Peak RSS after load + inverses");
    const std::vector<std::string> warnings = dataSet.takeWarnings();
    for (std::size_t i = 0; i < warnings.size() && i < 5; ++i) {
        std::fprintf(stderr, "ifc_bench: warning: %s\n", warnings[i].c_str());
    }
    if (warnings.size() > 5) {
        std::fprintf(stderr, "ifc_bench: %zu more warnings\n", warnings.size() - 5);
    }

    Phase copy;
    Phase flush;
    writeBaseline(path, outPath + ".copy", copy, flush);
    report.timing("Plain copy (write, no fsync)", copy);
    report.timing("fsync of that copy", flush, false);
    const Stopwatch saveWatch;
    std::string error;
    if (!dataSet.save(outPath, &error)) {
        std::fprintf(stderr, "ifc_bench: %s\n", error.c_str());
        return 3;
    }
    const Phase save = Phase::of(saveWatch);
    ::unlink(outPath.c_str());
    report.timing("Save unchanged model (with fsync)", save);
    report.memory("Peak RSS after save");

    Phase all;
    if (decodeAll) {
        const Stopwatch allWatch;
        std::size_t decoded = 0;
        const std::size_t slots = dataSet.slotCount();
        for (std::size_t slot = 0; slot < slots; ++slot) {
            decoded += dataSet.getBySlot(slot) != nullptr;
        }
        all = Phase::of(allWatch);
        Report::count("Instances decoded", decoded);
        report.timing("Decode all remaining instances", all, false);
        report.timing("Open + decode everything", open + load + all);
        report.memory("Peak RSS after decoding all");
    }

    if (!peer) {
        return 0;
    }
    PeerResult result;
    if (!measurePeer(path, result)) {
        std::printf("IFC++                                not built in, or could not load the file\n");
        return 0;
    }
    printPeer(report, result);
    const Phase ours = open + load;
    std::printf("%-36s %8.1fx  (cpu %.1fx)\n", "IFC++ load / our open+load+inv", result.load.wall / ours.wall,
                result.load.cpu / ours.cpu);
    if (decodeAll) {
        const Phase everything = ours + all;
        std::printf("%-36s %8.1fx  (cpu %.1fx)\n", "IFC++ load / our open+decode all",
                    result.load.wall / everything.wall, result.load.cpu / everything.cpu);
    }
    return 0;
}

#endif
