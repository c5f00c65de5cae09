#pragma once

#include <QByteArray>
#include <QString>

#include <string>

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

} // namespace testsupport

#define MQ_SKIP_WITHOUT_SAMPLE(path, name)                                                                             \
    const std::string path = testsupport::samplePath(name);                                                            \
    if (path.empty()) {                                                                                                \
        GTEST_SKIP() << name << " is not in " MQ_SHARED_DIR "/samples";                                                \
    }
