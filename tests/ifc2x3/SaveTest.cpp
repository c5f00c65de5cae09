// Saving goes through a temporary file: failures leave no debris and keep
// the previous file; success replaces it whole.
#include "TestSupport.h"

#include "Step/AtomicFile.h"
#include "Step/RegularFile.h"
#include "Step/TemporaryFileRegistry.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

namespace {

class SaveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.path().empty());
        ASSERT_TRUE(m_dataSet.openFromText(ifctest::smallModel()));
        // Something to write that differs from any previous file.
        dynamic_cast<ifc2x3::IfcRoot*>(m_dataSet.get(20))->setName("Saved wall");
    }

    ifctest::TempDir m_dir;
    ifc2x3::ExpressDataSet m_dataSet;
};

TEST_F(SaveTest, IntoMissingDirectoryFails)
{
    std::string error;
    EXPECT_FALSE(m_dataSet.save(m_dir.file("missing/model.ifc"), &error));
    EXPECT_NE(error.find("missing/model.ifc"), std::string::npos) << error;
    EXPECT_TRUE(m_dir.entries().empty());
    EXPECT_TRUE(m_dataSet.isModified()) << "nothing was saved";
}

TEST_F(SaveTest, IntoReadOnlyPlaceFails)
{
    std::string error;
    // Not even root may create files there.
    EXPECT_FALSE(m_dataSet.save("/proc/model.ifc", &error));
    EXPECT_FALSE(error.empty());

    if (::geteuid() == 0) {
        return; // root writes into read-only directories
    }
    ASSERT_EQ(::chmod(m_dir.path().c_str(), 0555), 0);
    error.clear();
    EXPECT_FALSE(m_dataSet.save(m_dir.file("model.ifc"), &error));
    EXPECT_FALSE(error.empty());
    ::chmod(m_dir.path().c_str(), 0755);
    EXPECT_TRUE(m_dir.entries().empty());
}

TEST_F(SaveTest, ReplacesAnExistingFileKeepingItsPermissions)
{
    const std::string path = m_dir.file("model.ifc");
    ifctest::writeFile(path, "previous content that is longer than nothing at all");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    std::string error;
    ASSERT_TRUE(m_dataSet.save(path, &error)) << error;
    EXPECT_EQ(ifctest::readFile(path), m_dataSet.toText());
    EXPECT_EQ(m_dir.entries(), std::vector<std::string>{"model.ifc"}) << "no temporary file left";
    struct stat info
    {
    };
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A new file gets the usual permissions.
    ASSERT_TRUE(m_dataSet.save(m_dir.file("new.ifc")));
    ASSERT_EQ(::stat(m_dir.file("new.ifc").c_str(), &info), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask);
}

TEST_F(SaveTest, OverTheOpenedFileItself)
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
    ifc2x3::ExpressDataSet reloaded;
    ASSERT_TRUE(reloaded.open(path));
    EXPECT_EQ(reloaded.instanceCount(), dataSet.instanceCount());
}

TEST_F(SaveTest, OverADirectoryFailsAndKeepsIt)
{
    ASSERT_EQ(::mkdir(m_dir.file("model.ifc").c_str(), 0755), 0);
    std::string error;
    EXPECT_FALSE(m_dataSet.save(m_dir.file("model.ifc"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(m_dir.entries(), std::vector<std::string>{"model.ifc"});
}

// A disk that fills up half way, played by a file size limit.
TEST_F(SaveTest, FailedWriteKeepsThePreviousFile)
{
    const std::string path = m_dir.file("model.ifc");
    const std::string previous = "previous content";
    ifctest::writeFile(path, previous);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool saved1 = m_dataSet.save(path, &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved1);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ifctest::readFile(path), previous);
    EXPECT_EQ(m_dir.entries(), std::vector<std::string>{"model.ifc"}) << "no temporary file left";
    EXPECT_TRUE(m_dataSet.isModified());

    // With room again the same data set saves.
    ASSERT_TRUE(m_dataSet.save(path, &error)) << error;
    EXPECT_EQ(ifctest::readFile(path), m_dataSet.toText());
}

TEST_F(SaveTest, ThroughASymbolicLinkReplacesWhatItPointsTo)
{
    ASSERT_EQ(::mkdir(m_dir.file("real").c_str(), 0755), 0);
    const std::string target = m_dir.file("real/model.ifc");
    ifctest::writeFile(target, "previous");
    // A chain of two links, the first one relative.
    ASSERT_EQ(::symlink("real/model.ifc", m_dir.file("first.ifc").c_str()), 0);
    ASSERT_EQ(::symlink(m_dir.file("first.ifc").c_str(), m_dir.file("link.ifc").c_str()), 0);

    std::string error;
    ASSERT_TRUE(m_dataSet.save(m_dir.file("link.ifc"), &error)) << error;
    struct stat info
    {
    };
    ASSERT_EQ(::lstat(m_dir.file("link.ifc").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::lstat(m_dir.file("first.ifc").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ifctest::readFile(target), m_dataSet.toText());

    // A dangling link gets the file it names.
    ASSERT_EQ(::symlink("real/new.ifc", m_dir.file("dangling.ifc").c_str()), 0);
    ASSERT_TRUE(m_dataSet.save(m_dir.file("dangling.ifc"), &error)) << error;
    EXPECT_EQ(ifctest::readFile(m_dir.file("real/new.ifc")), m_dataSet.toText());
}

TEST_F(SaveTest, RefusesTargetsThatAreNotRegularFiles)
{
    ASSERT_EQ(::mkfifo(m_dir.file("fifo").c_str(), 0644), 0);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = m_dir.file("socket");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::symlink("fifo", m_dir.file("link-to-fifo").c_str()), 0);

    const struct
    {
        const char* name;
        mode_t kind;
        const char* said;
    } cases[] = {{"fifo", S_IFIFO, "a FIFO"}, {"socket", S_IFSOCK, "a socket"}, {"link-to-fifo", S_IFIFO, "a FIFO"}};
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(m_dataSet.save(m_dir.file(c.name), &error)) << c.name;
        EXPECT_NE(error.find("not a regular file but " + std::string(c.said)), std::string::npos) << error;
        struct stat info
        {
        };
        ASSERT_EQ(::stat(m_dir.file(c.name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & S_IFMT, c.kind) << c.name << " was replaced";
    }
    ::close(listener);
    EXPECT_EQ(m_dir.entries().size(), 3u) << "no temporary file left";

    // Devices only through the check that comes before any write: a fault
    // here must not cost the machine its /dev/null.
    std::string error;
    EXPECT_FALSE(Step::RegularFile::checkReplaceable("/dev/null", &error));
    EXPECT_NE(error.find("not a regular file but a character device"), std::string::npos) << error;
}

TEST_F(SaveTest, NewFileGetsTheUsualPermissionsAndTheUmaskStays)
{
    const mode_t previous = ::umask(027);
    std::string error;
    ASSERT_TRUE(m_dataSet.save(m_dir.file("new.ifc"), &error)) << error;
    struct stat info
    {
    };
    ASSERT_EQ(::stat(m_dir.file("new.ifc").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(::umask(previous), 027u);
}

/// Runs body in a child process that is expected to die of signal; returns
/// whether it did.
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

TEST_F(SaveTest, InterruptedSaveLeavesNothingBehind)
{
    const std::string path = m_dir.file("model.ifc");
    const int probe = ::open(m_dir.path().c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (probe < 0) {
        GTEST_SKIP() << "no unnamed files on this file system";
    }
    ::close(probe);
    // Killed half way through: nothing can clean up, yet nothing is there.
    EXPECT_TRUE(diesOf(SIGKILL, [&] {
        Step::AtomicFile file(path);
        if (file.open() && file.write("ISO-10303-21;\n", 14)) {
            ::raise(SIGKILL);
        }
    }));
    EXPECT_TRUE(m_dir.entries().empty());
}

TEST(TemporaryFileRegistry, RegisteredFilesGoWhenTheProcessIsEndedBySignal)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ifctest::TempDir dir;
        const std::string kept = dir.file("kept.ifc.tmp");
        const std::string registered = dir.file("model.ifc.Ab12Cd");
        EXPECT_TRUE(diesOf(signal, [&] {
            ifctest::writeFile(kept, "released before the signal");
            Step::TemporaryFileRegistry::release(Step::TemporaryFileRegistry::add(kept));
            ifctest::writeFile(registered, "partial content");
            if (Step::TemporaryFileRegistry::add(registered) >= 0) {
                ::raise(signal);
            }
        })) << signal;
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"kept.ifc.tmp"}) << signal;
    }
}

} // namespace
