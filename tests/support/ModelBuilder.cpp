#include "ModelBuilder.h"

#include "Step/StringCodec.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace testsupport {

std::string stepFile(const std::string& data, const std::string& schema)
{
    return "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('ViewDefinition [CoordinationView]'),'2;1');\n"
           "FILE_NAME('test.ifc','2024-01-01T00:00:00',('tester'),('org'),'pre','app','');\n"
           "FILE_SCHEMA(('" +
           schema + "'));\nENDSEC;\nDATA;\n" + data + "ENDSEC;\nEND-ISO-10303-21;\n";
}

std::unique_ptr<ifc2x3::ExpressDataSet> openStrict(const std::string& text)
{
    auto dataSet = std::make_unique<ifc2x3::ExpressDataSet>();
    if (!dataSet->openFromText(text)) {
        ADD_FAILURE() << dataSet->lastError().toString() << "\n" << text;
        return nullptr;
    }
    for (std::size_t slot = 0; slot < dataSet->slotCount(); ++slot) {
        if (!dataSet->getBySlot(slot)) {
            ADD_FAILURE() << "unreadable record #" << dataSet->slotKey(slot);
        }
    }
    for (const std::string& warning : dataSet->takeWarnings()) {
        ADD_FAILURE() << warning;
    }
    return dataSet;
}

std::string str(const QString& text)
{
    return "'" + Step::StringCodec::encode(text.toStdString()) + "'";
}

std::string real(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text = buffer;
    if (text.find('.') == std::string::npos) {
        const std::size_t exponent = text.find('E');
        text.insert(exponent == std::string::npos ? text.size() : exponent, ".");
    }
    return text;
}

std::string label(const QString& text)
{
    return "IFCLABEL(" + str(text) + ")";
}

std::string number(double value)
{
    return "IFCREAL(" + real(value) + ")";
}

std::string mass(double value)
{
    return "IFCMASSMEASURE(" + real(value) + ")";
}

std::string boolean(char state)
{
    return state == 'U' ? "IFCLOGICAL(.U.)" : std::string("IFCBOOLEAN(.") + state + ".)";
}

std::string qVolume(const QString& name, double value)
{
    return "IFCQUANTITYVOLUME(" + str(name) + ",$,$," + real(value) + ")";
}

std::string qArea(const QString& name, double value)
{
    return "IFCQUANTITYAREA(" + str(name) + ",$,$," + real(value) + ")";
}

std::string qLength(const QString& name, double value)
{
    return "IFCQUANTITYLENGTH(" + str(name) + ",$,$," + real(value) + ")";
}

std::string qWeight(const QString& name, double value)
{
    return "IFCQUANTITYWEIGHT(" + str(name) + ",$,$," + real(value) + ")";
}

namespace {

std::string refs(const std::vector<int>& keys)
{
    std::string out = "(";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        out += (i ? ",#" : "#") + std::to_string(keys[i]);
    }
    return out + ")";
}

std::string ref(int key)
{
    return "#" + std::to_string(key);
}

/// Attributes that follow the eight of IfcElement, by entity.
std::string elementTail(const std::string& entity)
{
    if (entity == "IFCDOOR" || entity == "IFCWINDOW") {
        return ",$,$";
    }
    if (entity == "IFCSLAB" || entity == "IFCCOVERING") {
        return ",$";
    }
    if (entity == "IFCELEMENTASSEMBLY") {
        return ",$,.NOTDEFINED.";
    }
    return "";
}

} // namespace

ModelBuilder::ModelBuilder(int units, const QString& projectName)
{
    if (projectName.isNull()) {
        return;
    }
    const int length = add((units & Millimetres) ? "IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.)"
                                                 : "IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.)");
    const int area = add("IFCSIUNIT(*,.AREAUNIT.,$,.SQUARE_METRE.)");
    const int volume = add("IFCSIUNIT(*,.VOLUMEUNIT.,$,.CUBIC_METRE.)");
    const int weight =
        add((units & Grams) ? "IFCSIUNIT(*,.MASSUNIT.,$,.GRAM.)" : "IFCSIUNIT(*,.MASSUNIT.,.KILO.,.GRAM.)");
    const int assignment = add("IFCUNITASSIGNMENT(" + refs({length, area, volume, weight}) + ")");
    m_project = add("IFCPROJECT('" + guid() + "',$," + str(projectName) + ",$,$,$,$,$," + ref(assignment) + ")");
}

int ModelBuilder::add(const std::string& record)
{
    const int key = m_next++;
    m_data += ref(key) + "=" + record + ";\n";
    return key;
}

std::string ModelBuilder::guid()
{
    const std::string n = std::to_string(++m_guid);
    return std::string(22 - n.size(), '0') + n;
}

int ModelBuilder::building(const QString& name)
{
    const int key = add("IFCBUILDING('" + guid() + "',$," + str(name) + ",$,$,$,$,$,.ELEMENT.,$,$,$)");
    if (m_project) {
        aggregate(m_project, {key});
    }
    return key;
}

int ModelBuilder::storey(int building, const QString& name)
{
    const int key = add("IFCBUILDINGSTOREY('" + guid() + "',$," + str(name) + ",$,$,$,$,$,.ELEMENT.,$)");
    aggregate(building, {key});
    return key;
}

int ModelBuilder::element(const std::string& entity, const QString& name, int container)
{
    const int key = add(entity + "('" + guid() + "',$," + str(name) + ",$,$,$,$,$" + elementTail(entity) + ")");
    if (container) {
        contain(container, {key});
    }
    return key;
}

int ModelBuilder::type(const std::string& entity, const QString& name, const std::vector<int>& propertySets,
                       const std::vector<int>& elements)
{
    const std::string sets = propertySets.empty() ? "$" : refs(propertySets);
    const std::string tail = entity == "IFCTYPEOBJECT" ? "" : ",$,$,$,.NOTDEFINED.";
    const int key = add(entity + "('" + guid() + "',$," + str(name) + ",$,$," + sets + tail + ")");
    if (!elements.empty()) {
        add("IFCRELDEFINESBYTYPE('" + guid() + "',$,$,$," + refs(elements) + "," + ref(key) + ")");
    }
    return key;
}

int ModelBuilder::typeWith(const QString& name, const TypeInputs& inputs, const std::vector<int>& elements)
{
    std::vector<int> sets;
    std::vector<std::pair<QString, std::string>> unit;
    if (!inputs.unit.isNull()) {
        unit.emplace_back("Type", label(inputs.unit));
    }
    if (!inputs.massPerUnit.empty()) {
        unit.emplace_back("Masse_par_UF", inputs.massPerUnit);
    }
    if (!unit.empty()) {
        sets.push_back(propertySet("Unite_Fonctionnelle", unit));
    }
    if (!inputs.shares.empty()) {
        sets.push_back(propertySet("Pourcentage_PMIB", inputs.shares));
    }
    if (!inputs.reused.empty()) {
        sets.push_back(propertySet(QString::fromUtf8("Réemploi"), {{QString::fromUtf8("Réemployé"), inputs.reused}}));
    }
    return type("IFCWALLTYPE", name, sets, elements);
}

int ModelBuilder::typedWalls(const TypeInputs& inputs, const std::vector<std::vector<std::string>>& quantities,
                             std::vector<int>& walls, int container)
{
    std::vector<int> keys;
    for (const std::vector<std::string>& wallQuantities : quantities) {
        keys.push_back(element("IFCWALL", "Wall", container));
        if (!wallQuantities.empty()) {
            baseQuantities(keys.back(), wallQuantities);
        }
    }
    walls.insert(walls.end(), keys.begin(), keys.end());
    return typeWith("Type", inputs, keys);
}

int ModelBuilder::propertySet(const QString& name, const std::vector<std::pair<QString, std::string>>& properties)
{
    std::vector<int> keys;
    for (const auto& [propertyName, value] : properties) {
        keys.push_back(add("IFCPROPERTYSINGLEVALUE(" + str(propertyName) + ",$," + value + ",$)"));
    }
    return add("IFCPROPERTYSET('" + guid() + "',$," + str(name) + ",$," + refs(keys) + ")");
}

void ModelBuilder::defineBy(int propertySet, const std::vector<int>& objects)
{
    add("IFCRELDEFINESBYPROPERTIES('" + guid() + "',$,$,$," + refs(objects) + "," + ref(propertySet) + ")");
}

void ModelBuilder::baseQuantities(int element, const std::vector<std::string>& quantities, const QString& name)
{
    std::vector<int> keys;
    for (const std::string& quantity : quantities) {
        keys.push_back(add(quantity));
    }
    defineBy(add("IFCELEMENTQUANTITY('" + guid() + "',$," + str(name) + ",$,$," + refs(keys) + ")"), {element});
}

void ModelBuilder::contain(int structure, const std::vector<int>& elements)
{
    add("IFCRELCONTAINEDINSPATIALSTRUCTURE('" + guid() + "',$,$,$," + refs(elements) + "," + ref(structure) + ")");
}

void ModelBuilder::aggregate(int parent, const std::vector<int>& parts)
{
    add("IFCRELAGGREGATES('" + guid() + "',$,$,$," + ref(parent) + "," + refs(parts) + ")");
}

void ModelBuilder::voids(int host, int opening)
{
    add("IFCRELVOIDSELEMENT('" + guid() + "',$,$,$," + ref(host) + "," + ref(opening) + ")");
}

void ModelBuilder::fills(int opening, int filling)
{
    add("IFCRELFILLSELEMENT('" + guid() + "',$,$,$," + ref(opening) + "," + ref(filling) + ")");
}

int ModelBuilder::material(const QString& name)
{
    return add("IFCMATERIAL(" + str(name) + ")");
}

int ModelBuilder::layerSet(const QString& name, const std::vector<std::pair<int, double>>& layers)
{
    std::vector<int> keys;
    for (const auto& [material, thickness] : layers) {
        keys.push_back(add("IFCMATERIALLAYER(" + ref(material) + "," + real(thickness) + ",$)"));
    }
    return add("IFCMATERIALLAYERSET(" + refs(keys) + "," + str(name) + ")");
}

int ModelBuilder::layerSetUsage(int layerSet)
{
    return add("IFCMATERIALLAYERSETUSAGE(" + ref(layerSet) + ",.AXIS2.,.POSITIVE.,0.)");
}

int ModelBuilder::materialList(const std::vector<int>& materials)
{
    return add("IFCMATERIALLIST(" + refs(materials) + ")");
}

void ModelBuilder::associate(int material, const std::vector<int>& objects)
{
    add("IFCRELASSOCIATESMATERIAL('" + guid() + "',$,$,$," + refs(objects) + "," + ref(material) + ")");
}

} // namespace testsupport
