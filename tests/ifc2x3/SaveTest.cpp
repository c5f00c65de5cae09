// Saving goes through a temporary file: failures leave no debris and keep
// the previous file; success replaces it whole.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

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

} // namespace
