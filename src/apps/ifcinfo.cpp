// ifcinfo: summary of an IFC 2x3 file, and optionally a copy saved anew.
#include "Step/FaultGuard.h"
#include "Step/RegularFile.h"
#include "Step/TemporaryFileRegistry.h"
#include "ifc2x3/ExpressDataSet.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: ifcinfo FILE.ifc [-o OUT.ifc]\n");
    return 2;
}

std::string describe(const std::vector<Step::Value>& values)
{
    std::string out;
    for (const Step::Value& v : values) {
        if (!out.empty()) {
            out += " | ";
        }
        if (v.isList()) {
            std::string items;
            for (const Step::Value& item : v.items()) {
                items += items.empty() ? "" : ", ";
                items += item.text();
            }
            out += "(" + items + ")";
        } else {
            out += v.isNull() ? "$" : v.text();
        }
    }
    return out;
}

std::size_t countDerivedFrom(const std::vector<std::size_t>& counts, const Step::ClassType& type)
{
    const ifc2x3::Schema& schema = ifc2x3::schema();
    std::size_t total = 0;
    for (std::uint16_t id = 1; id < counts.size(); ++id) {
        if (counts[id] && schema.classType(id).isDerivedFrom(type)) {
            total += counts[id];
        }
    }
    return total;
}

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    std::string input;
    std::string output;
    bool outputGiven = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            output = argv[++i];
            outputGiven = true;
        } else if (argv[i][0] == '-' || !input.empty()) {
            return usage();
        } else {
            input = argv[i];
        }
    }
    if (input.empty() || (outputGiven && output.empty())) {
        return usage();
    }
    // Refused before any work: a FIFO would block the reader, and a device
    // or a FIFO would be replaced by the saved copy.
    std::string problem;
    if (!Step::RegularFile::checkReadable(input, &problem)) {
        std::fprintf(stderr, "ifcinfo: %s\n", problem.c_str());
        return 2;
    }
    if (outputGiven && !Step::RegularFile::checkReplaceable(output, &problem)) {
        std::fprintf(stderr, "ifcinfo: %s\n", problem.c_str());
        return 3;
    }

    ifc2x3::ExpressDataSet dataSet;
    const auto start = std::chrono::steady_clock::now();
    if (!dataSet.open(input)) {
        std::fprintf(stderr, "ifcinfo: %s: %s\n", input.c_str(), dataSet.lastError().toString().c_str());
        return 2;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const Step::FileHeader& header = dataSet.header();
    std::printf("File:             %s\n", input.c_str());
    std::printf("Schema:           %s\n", header.schemaNames.empty() ? "" : header.schemaNames.front().c_str());
    std::printf("Description:      %s\n", describe(header.fileDescription).c_str());
    std::printf("File name:        %s\n", describe(header.fileName).c_str());
    std::printf("Records:          %zu\n", dataSet.instanceCount());
    std::printf("Open time:        %.3f s\n", seconds);

    const std::vector<std::size_t> counts = dataSet.countByType();
    std::printf("IfcObjectDefinition (with subtypes): %zu\n",
                countDerivedFrom(counts, ifc2x3::IfcObjectDefinition::getClassType()));
    std::printf("IfcElement (with subtypes):          %zu\n",
                countDerivedFrom(counts, ifc2x3::IfcElement::getClassType()));
    std::printf("IfcTypeObject (with subtypes):       %zu\n",
                countDerivedFrom(counts, ifc2x3::IfcTypeObject::getClassType()));

    std::vector<std::pair<std::size_t, std::uint16_t>> byCount;
    for (std::uint16_t id = 0; id < counts.size(); ++id) {
        if (counts[id]) {
            byCount.emplace_back(counts[id], id);
        }
    }
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    std::printf("Instances per entity type:\n");
    for (const auto& [count, id] : byCount) {
        std::printf("  %-45s %zu\n", id ? ifc2x3::schema().entityName(id) : "(not in IFC2X3)", count);
    }

    for (const std::string& warning : dataSet.takeWarnings()) {
        std::fprintf(stderr, "ifcinfo: warning: %s\n", warning.c_str());
    }

    if (outputGiven) {
        const auto saveStart = std::chrono::steady_clock::now();
        std::string error;
        if (!dataSet.save(output, &error)) {
            std::fprintf(stderr, "ifcinfo: %s\n", error.c_str());
            return 3;
        }
        const double saveSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - saveStart).count();
        std::printf("Saved to:         %s (%.3f s)\n", output.c_str(), saveSeconds);
    }
    return 0;
}
