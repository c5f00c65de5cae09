// Saving goes through a temporary file: failures leave no debris and keep
// the previous file; success replaces it whole. A model whose file another
// program changed does not save at all.
#include "FileSizeLimit.h"
#include "StepText.h"

#include "Step/AtomicFile.h"
#include "Step/FileVersion.h"
#include "Step/TemporaryFileRegistry.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Names = std::vector<std::string>;

mode_t modeOf(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

class SaveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dataSet.openFromText(ifctest::smallModel()));
        // Something to write that differs from any previous file.
        dynamic_cast<ifc2x3::IfcRoot*>(m_dataSet.get(20))->setName("Saved wall");
    }

    ifctest::TempDir m_dir;
    ifc2x3::ExpressDataSet m_dataSet;
};

TEST_F(SaveTest, RefusesTargetsItCannotReplaceAndLeavesThemAsTheyWere)
{
    ASSERT_EQ(::mkdir(m_dir.file("folder").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo(m_dir.file("fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("fifo", m_dir.file("link-to-fifo").c_str()), 0);

    const std::pair<std::string, const char*> cases[] = {
        {m_dir.file("missing/model.ifc"), "missing/model.ifc"},
        {"/proc/model.ifc", ""}, // not even root may create files there
        {m_dir.file("folder"), ""},
        {m_dir.file("fifo"), "not a regular file but a FIFO"},
        {m_dir.file("link-to-fifo"), "not a regular file but a FIFO"},
    };
    for (const auto& [path, said] : cases) {
        const mode_t kind = modeOf(path) & S_IFMT;
        std::string error;
        EXPECT_FALSE(m_dataSet.save(path, &error)) << path;
        EXPECT_FALSE(error.empty()) << path;
        EXPECT_NE(error.find(said), std::string::npos) << error;
        EXPECT_EQ(modeOf(path) & S_IFMT, kind) << path << " was replaced";
    }
    EXPECT_EQ(ifctest::sortedEntries(m_dir), (Names{"fifo", "folder", "link-to-fifo"})) << "no temporary file left";
    EXPECT_TRUE(m_dataSet.isModified()) << "nothing was saved";
}

TEST_F(SaveTest, ReplacesAFileWholeOrNotAtAllWithTheRightPermissions)
{
    const std::string path = m_dir.file("model.ifc");
    ifctest::writeFile(path, "previous content");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    std::string error;
    bool written = true;
    {
        // A disk that fills up half way.
        const ifctest::FileSizeLimit fullDisk;
        written = m_dataSet.save(path, &error);
    }
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ifctest::readFile(path), "previous content");
    EXPECT_TRUE(m_dataSet.isModified());

    ASSERT_TRUE(m_dataSet.save(path, &error)) << error;
    EXPECT_EQ(ifctest::readFile(path), m_dataSet.toText());
    EXPECT_EQ(modeOf(path) & 07777, 0640u);
    EXPECT_FALSE(m_dataSet.isModified());

    const mode_t previous = ::umask(027);
    ASSERT_TRUE(m_dataSet.save(m_dir.file("new.ifc"), &error)) << error;
    EXPECT_EQ(::umask(previous), 027u) << "the umask stays";
    EXPECT_EQ(modeOf(m_dir.file("new.ifc")) & 0777, 0640u);
    EXPECT_EQ(ifctest::sortedEntries(m_dir), (Names{"model.ifc", "new.ifc"})) << "no temporary file left";
}

TEST_F(SaveTest, OverTheOpenedFileItselfTwice)
{
    const std::string path = m_dir.file("model.ifc");
    ifctest::writeFile(path, ifctest::smallModel());
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.open(path));
    ASSERT_TRUE(dataSet.remove(43));
    ASSERT_TRUE(dataSet.save(path));
    // The data set still reads from the file as it opened it.
    ASSERT_TRUE(dataSet.remove(42));
    ASSERT_TRUE(dataSet.save(path));
    const std::string text = ifctest::readFile(path);
    EXPECT_FALSE(ifctest::mentionsKey(text, 42));
    EXPECT_FALSE(ifctest::mentionsKey(text, 43));
    EXPECT_EQ(ifctest::recordLine(text, 44), ifctest::recordLine(ifctest::smallModel(), 44));
}

/// Runs body in a child process; returns whether it died of signal.
template <typename Body> bool diesOf(int signal, Body body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == signal;
}

TEST_F(SaveTest, AProcessEndedMidSaveLeavesNothingBehind)
{
    const int probe = ::open(m_dir.path().c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (probe < 0) {
        GTEST_SKIP() << "no unnamed files on this file system";
    }
    ::close(probe);
    // Killed half way through: nothing can clean up, yet nothing is there.
    EXPECT_TRUE(diesOf(SIGKILL, [&] {
        Step::AtomicFile file(m_dir.file("model.ifc"));
        if (file.open() && file.write("ISO-10303-21;\n", 14)) {
            ::raise(SIGKILL);
        }
    }));
    EXPECT_TRUE(ifctest::sortedEntries(m_dir).empty());

    // Registered temporary files go when the process is ended by a signal.
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE}) {
        const std::string kept = m_dir.file("kept.ifc.tmp");
        const std::string registered = m_dir.file("model.ifc.Ab12Cd");
        EXPECT_TRUE(diesOf(signal, [&] {
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            ifctest::writeFile(kept, "released before the signal");
            Step::TemporaryFileRegistry::release(Step::TemporaryFileRegistry::add(kept));
            ifctest::writeFile(registered, "partial content");
            if (Step::TemporaryFileRegistry::add(registered) >= 0) {
                ::raise(signal);
            }
        })) << signal;
        EXPECT_EQ(ifctest::sortedEntries(m_dir), Names{"kept.ifc.tmp"}) << signal;
    }
}

TEST_F(SaveTest, AFileSizeLimitFailsTheWriteInsteadOfEndingTheProcess)
{
    const std::string path = m_dir.file("model.ifc");
    const pid_t child = ::fork();
    if (child == 0) {
        // As under `ulimit -f`: the signal has its default action.
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{512, 512};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const bool refused = !m_dataSet.save(path, &error) && error.find("too large") != std::string::npos;
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_TRUE(ifctest::sortedEntries(m_dir).empty()) << "no temporary file left";
}

TEST_F(SaveTest, TargetNamesAsLongAsTheFileSystemAllows)
{
    for (const std::size_t length : {249u, 255u}) {
        const std::string name = std::string(length - 4, 'n') + ".ifc";
        std::string error;
        EXPECT_TRUE(m_dataSet.save(m_dir.file(name), &error)) << length << ": " << error;
        EXPECT_EQ(ifctest::sortedEntries(m_dir), Names{name});
        ::unlink(m_dir.file(name).c_str());
    }
}

/// Saves as many programs do: a new file renamed over the path.
void replaceByRename(const std::string& path, const std::string& content)
{
    ifctest::writeFile(path + ".new", content);
    ASSERT_EQ(::rename((path + ".new").c_str(), path.c_str()), 0);
}

// Another program's version of the file at the path is never replaced by a
// save that expects the version it read or wrote there.
TEST(SaveOverAnotherVersion, IsRefusedAndLeavesIt)
{
    const std::string model = ifctest::smallModel();
    ifctest::TempDir dir;
    const std::string path = dir.file("model.ifc");
    ifctest::writeFile(path, model);
    Step::FileVersion read = Step::FileVersion::at(path);
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.open(path));
    ASSERT_TRUE(dataSet.remove(43));

    // Its own saves over the file it read and wrote go through, twice.
    ASSERT_TRUE(dataSet.save(path, nullptr, &read));
    ASSERT_TRUE(dataSet.remove(42));
    std::string error;
    ASSERT_TRUE(dataSet.save(path, &error, &read)) << error;

    const std::string theirs = "/* saved by another program */\n" + model;
    replaceByRename(path, theirs);
    const Step::FileVersion written = read;
    EXPECT_FALSE(dataSet.save(path, &error, &read));
    EXPECT_NE(error.find("replaced or changed by another program"), std::string::npos) << error;
    EXPECT_EQ(ifctest::readFile(path), theirs);
    EXPECT_TRUE(read == written) << "still expects what it wrote";
    EXPECT_EQ(ifctest::sortedEntries(dir), Names{"model.ifc"}) << "no temporary file left";

    // Once the user chose to, over the version there now.
    read = Step::FileVersion::at(path);
    EXPECT_TRUE(dataSet.save(path, &error, &read)) << error;
    EXPECT_FALSE(ifctest::mentionsKey(ifctest::readFile(path), 42));
}

// A rewrite in place of the same size, its modification time set back, is
// told by the change time, which no program can set back.
TEST(SourceBuffer, ASameSizeRewriteWithItsTimeSetBackIsNoticed)
{
    std::string model = ifctest::smallModel();
    ifctest::TempDir dir;
    const std::string path = dir.file("model.ifc");
    ifctest::writeFile(path, model);
    struct stat before
    {
    };
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.open(path)) << dataSet.lastError().toString();
    Step::FileVersion read = Step::FileVersion::at(path);

    // File times come from a clock that ticks every few milliseconds.
    const auto later = [&] {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
        return now.tv_sec > before.st_ctim.tv_sec ||
               (now.tv_sec == before.st_ctim.tv_sec && now.tv_nsec > before.st_ctim.tv_nsec);
    };
    while (!later()) {
        ::usleep(1000);
    }
    const std::size_t wall = model.find("'Wall");
    ASSERT_NE(wall, std::string::npos);
    model[wall + 1] = 'X';
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, model.data(), model.size(), 0), static_cast<ssize_t>(model.size()));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::futimens(fd, times), 0);
    ::close(fd);

    std::string error;
    EXPECT_FALSE(dataSet.sourceIntact(&error));
    EXPECT_FALSE(dataSet.save(dir.file("saved.ifc"), &error));
    EXPECT_NE(error.find("changed by another program"), std::string::npos) << error;
    EXPECT_FALSE(Step::FileVersion::at(path) == read);
    EXPECT_EQ(ifctest::readFile(path), model) << "the other program's file is left alone";
}

// A mapped file that another program truncates or rewrites: reads give
// zeros rather than a crash, and the data set refuses what it cannot trust.
// Truncated, or rewritten in place as an authoring tool exporting again
// does: what was decoded stays, nothing more is read from the file, saving
// refuses with a message, and the process lives on.
TEST(SourceBuffer, AModelWhoseFileChangesKeepsWhatItReadAndRefusesTheRest)
{
    const std::string model = ifctest::smallModel();
    const std::string reexported = "/* exported again */\n" + model;
    for (const bool truncated : {true, false}) {
        ifctest::TempDir dir;
        const std::string path = dir.file("model.ifc");
        ifctest::writeFile(path, model);
        ifc2x3::ExpressDataSet dataSet;
        ASSERT_TRUE(dataSet.open(path)) << dataSet.lastError().toString();
        ASSERT_NE(dataSet.get(20), nullptr);

        if (truncated) {
            ASSERT_EQ(::truncate(path.c_str(), 0), 0);
        } else {
            ifctest::writeFile(path, reexported);
        }
        Step::Value name;
        EXPECT_FALSE(dataSet.peekArgument(45, 2, name)) << "a name read from the start of a moved record";
        EXPECT_EQ(dataSet.get(21), nullptr) << truncated;
        EXPECT_EQ(dataSet.get(60), nullptr) << truncated;
        EXPECT_NE(dataSet.get(20), nullptr) << "decoded before, kept";
        EXPECT_TRUE(ifctest::anyContains(dataSet.takeWarnings(), "changed by another program")) << truncated;

        std::string error;
        EXPECT_FALSE(dataSet.sourceIntact(&error));
        EXPECT_FALSE(dataSet.save(dir.file("saved.ifc"), &error));
        EXPECT_NE(error.find("changed by another program"), std::string::npos) << error;
        EXPECT_FALSE(ifctest::fs::exists(dir.file("saved.ifc")));
        EXPECT_EQ(ifctest::readFile(path), truncated ? "" : reexported) << "the other program's file is left alone";
    }
}

} // namespace
