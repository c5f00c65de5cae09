#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>
#include <string>
#include <vector>

// Files the tests read and write, and where the shared samples are.
namespace testsupport {

std::string readFile(const std::string& path);
/// False when the file cannot be written in full.
bool writeFile(const std::string& path, const std::string& content);
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& content);

/// Path of a real model in the shared samples, empty when it is not there
/// (the test then reports itself skipped).
std::string samplePath(const std::string& name);
/// Path of a file of the source tree, from its root.
std::string sourcePath(const std::string& relative);

/// A real model tests run on: the bundled sample or a shared one.
struct SampleModel
{
    const char* name;
    bool shared; // in the shared samples, else in the source tree
};
/// The bundled sample, then the shared ones.
std::vector<SampleModel> sampleModels();
/// Its path; empty for a shared sample that is not there.
std::string pathOf(const SampleModel& sample);
/// A name for a test on it: its file name without extension, in letters,
/// digits and '_'.
std::string testNameOf(const SampleModel& sample);
inline void PrintTo(const SampleModel& sample, std::ostream* out)
{
    *out << sample.name;
}

} // namespace testsupport

#define MQ_SKIP_WITHOUT_SAMPLE(path, name)                                                                             \
    const std::string path = testsupport::samplePath(name);                                                            \
    if (path.empty()) {                                                                                                \
        GTEST_SKIP() << name << " is not in " MQ_SHARED_DIR "/samples";                                                \
    }
