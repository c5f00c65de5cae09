#pragma once

#include "ifc2x3/ExpressDataSet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ifctest {

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline bool fileExists(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0;
}

/// Path of a real sample model, or an empty string when it is not there.
inline std::string samplePath(const std::string& name)
{
    const std::string path = std::string(MQ_SHARED_DIR) + "/samples/" + name;
    return fileExists(path) ? path : std::string();
}

inline std::string fixturePath(const std::string& name)
{
    return std::string(MQ_SOURCE_DIR) + "/tests/ifc2x3/fixtures/" + name;
}

/// A complete exchange file around the given data section lines.
inline std::string stepFile(const std::string& data, const std::string& schema = "IFC2X3")
{
    return "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('ViewDefinition [CoordinationView]'),'2;1');\n"
           "FILE_NAME('test.ifc','2024-01-01T00:00:00',('tester'),('org'),'pre','app','');\n"
           "FILE_SCHEMA(('" +
           schema + "'));\nENDSEC;\nDATA;\n" + data + "ENDSEC;\nEND-ISO-10303-21;\n";
}

inline bool anyContains(const std::vector<std::string>& lines, const std::string& needle)
{
    for (const std::string& line : lines) {
        if (line.find(needle) != std::string::npos) {
            return true;
        }
    }
    return false;
}

/// Whether the text names instance #key as a whole token (#12 but not #123).
inline bool mentionsKey(const std::string& text, Step::Id key)
{
    const std::string token = "#" + std::to_string(key);
    for (std::size_t pos = text.find(token); pos != std::string::npos; pos = text.find(token, pos + 1)) {
        const std::size_t end = pos + token.size();
        if (end >= text.size() || text[end] < '0' || text[end] > '9') {
            return true;
        }
    }
    return false;
}

/// The line of the data section that defines #key ("" when none).
inline std::string recordLine(const std::string& text, Step::Id key)
{
    const std::string start = "#" + std::to_string(key) + "=";
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, start.size(), start) == 0) {
            return line;
        }
    }
    return {};
}

/// A directory removed with its content at the end of the scope.
class TempDir
{
public:
    TempDir()
    {
        char pattern[] = "/tmp/ifc2x3-test-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        m_path = made ? made : "";
    }
    ~TempDir()
    {
        if (!m_path.empty()) {
            const std::string command = "chmod -R u+w '" + m_path + "' 2>/dev/null; rm -rf '" + m_path + "'";
            [[maybe_unused]] const int rc = std::system(command.c_str());
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    /// Names of the entries, "." and ".." excluded.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(m_path.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..") {
                    names.push_back(name);
                }
            }
            ::closedir(dir);
        }
        return names;
    }

private:
    std::string m_path;
};

/// A small building with every relation the data set keeps inverses of.
/// Keys are not in file order, #9 (a property relation) comes after the
/// objects it names and #7 before the wall it names (a forward reference).
inline const char* const smallModelData =
    "#1=IFCPROJECT('0001project00000000000$',$,'Project',$,$,'Project long name',$,(#2),#3);\n"
    "#2=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#4,$);\n"
    "#3=IFCUNITASSIGNMENT((#5));\n"
    "#4=IFCAXIS2PLACEMENT3D(#6,$,$);\n"
    "#5=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);\n"
    "#6=IFCCARTESIANPOINT((0.,0.,0.));\n"
    "#7=IFCRELDEFINESBYPROPERTIES('0007defprops00000000000',$,$,$,(#60),#40);\n"
    "#10=IFCSITE('0010site000000000000000',$,'Site',$,$,$,$,$,.ELEMENT.,$,$,$,$,$);\n"
    "#11=IFCBUILDING('0011building00000000000',$,$,$,$,$,$,'Building long name',.ELEMENT.,$,$,$);\n"
    "#12=IFCBUILDINGSTOREY('0012storey0000000000000',$,'Level 1',$,$,$,$,$,.ELEMENT.,0.);\n"
    "#20=IFCWALLSTANDARDCASE('0020wallA00000000000000',$,'Wall A',$,$,$,$,$);\n"
    "#21=IFCWALLSTANDARDCASE('0021wallB00000000000000',$,'Wall B',$,$,$,$,$);\n"
    "#22=IFCOPENINGELEMENT('0022opening000000000000',$,$,$,$,$,$,$);\n"
    "#23=IFCWINDOW('0023window0000000000000',$,'Window',$,$,$,$,$,1200.,800.);\n"
    "#24=IFCSLAB('0024slab000000000000000',$,$,$,$,$,$,$,.FLOOR.);\n"
    "#30=IFCWALLTYPE('0030walltype00000000000',$,'Basic wall',$,$,(#41),$,$,$,.STANDARD.);\n"
    "#40=IFCPROPERTYSET('0040pset000000000000000',$,'Pset_WallCommon',$,(#42,#43));\n"
    "#41=IFCPROPERTYSET('0041typepset00000000000',$,'Pset_WallTypeCommon',$,(#44));\n"
    "#42=IFCPROPERTYSINGLEVALUE('IsExternal',$,IFCBOOLEAN(.T.),$);\n"
    "#43=IFCPROPERTYSINGLEVALUE('Reference',$,IFCIDENTIFIER('W-01'),$);\n"
    "#44=IFCPROPERTYSINGLEVALUE('ThermalTransmittance',$,IFCTHERMALTRANSMITTANCEMEASURE(0.25),$);\n"
    "#45=IFCELEMENTQUANTITY('0045quantities000000000',$,'BaseQuantities',$,$,(#46));\n"
    "#46=IFCQUANTITYLENGTH('Length',$,$,5000.);\n"
    "#50=IFCRELAGGREGATES('0050aggregates000000000',$,$,$,#1,(#10));\n"
    "#51=IFCRELAGGREGATES('0051aggregates000000000',$,$,$,#10,(#11));\n"
    "#52=IFCRELAGGREGATES('0052aggregates000000000',$,$,$,#11,(#12));\n"
    "#53=IFCRELCONTAINEDINSPATIALSTRUCTURE('0053contained0000000000',$,$,$,(#20,#21,#23,#24,#60),#12);\n"
    "#54=IFCRELVOIDSELEMENT('0054voids0000000000000',$,$,$,#20,#22);\n"
    "#55=IFCRELFILLSELEMENT('0055fills0000000000000',$,$,$,#22,#23);\n"
    "#56=IFCRELDEFINESBYPROPERTIES('0056defprops00000000000',$,$,$,(#20,#21),#40);\n"
    "#57=IFCRELDEFINESBYTYPE('0057deftype000000000000',$,$,$,(#20,#21),#30);\n"
    "#60=IFCWALL('0060wallC00000000000000',$,$,$,$,$,$,$);\n"
    "#9=IFCRELDEFINESBYPROPERTIES('0009defquantities000000',$,$,$,(#20),#45);\n";

inline std::string smallModel()
{
    return stepFile(smallModelData);
}

} // namespace ifctest
