#include "TestFiles.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testsupport {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

bool writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    return static_cast<bool>(out);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

std::string samplePath(const std::string& name)
{
    const std::string path = std::string(MQ_SHARED_DIR) + "/samples/" + name;
    std::error_code ignored;
    return std::filesystem::exists(path, ignored) ? path : std::string();
}

std::string sourcePath(const std::string& relative)
{
    return std::string(MQ_SOURCE_DIR) + "/" + relative;
}

std::vector<SampleModel> sampleModels()
{
    return {{"samples/small-building.ifc", false}, {"AC11-Institute-Var-2-IFC.ifc", true}, {"duplex.ifc", true}};
}

std::string pathOf(const SampleModel& sample)
{
    return sample.shared ? samplePath(sample.name) : sourcePath(sample.name);
}

std::string testNameOf(const SampleModel& sample)
{
    std::string name = sample.name;
    name = name.substr(name.rfind('/') + 1);
    name = name.substr(0, name.find('.'));
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

} // namespace testsupport
