#include "TestSupport.h"

#include "Orvane/Ifc2x3CC/PropertySetUtils.h"
#include "Orvane/_ifc2x3/IFC2x3Property.h"

#include "Step/StringCodec.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QFileInfo>

#include <log4cplus/loglevel.h>
#include <log4cplus/spi/loggingevent.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace mqtest {

using Orvane::CoreProperty;

// ---------------------------------------------------------------- STEP text

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

ModelBuilder::ModelBuilder(bool withProject, bool millimetres, bool grams)
{
    if (!withProject) {
        return;
    }
    const int length =
        add(millimetres ? "IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.)" : "IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.)");
    const int area = add("IFCSIUNIT(*,.AREAUNIT.,$,.SQUARE_METRE.)");
    const int volume = add("IFCSIUNIT(*,.VOLUMEUNIT.,$,.CUBIC_METRE.)");
    const int weight = add(grams ? "IFCSIUNIT(*,.MASSUNIT.,$,.GRAM.)" : "IFCSIUNIT(*,.MASSUNIT.,.KILO.,.GRAM.)");
    const int units = add("IFCUNITASSIGNMENT(" + refs({length, area, volume, weight}) + ")");
    m_project = add("IFCPROJECT('" + guid() + "',$,'Project',$,$,$,$,$," + ref(units) + ")");
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

std::string ModelBuilder::text() const
{
    return "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('ViewDefinition [CoordinationView]'),'2;1');\n"
           "FILE_NAME('test.ifc','2024-01-01T00:00:00',(''),(''),'','','');\nFILE_SCHEMA(('IFC2X3'));\n"
           "ENDSEC;\nDATA;\n" +
           m_data + "ENDSEC;\nEND-ISO-10303-21;\n";
}

std::unique_ptr<IFC2x3Model> ModelBuilder::open() const
{
    auto dataSet = openDataSet();
    return dataSet ? std::make_unique<IFC2x3Model>(std::move(dataSet)) : nullptr;
}

std::unique_ptr<ifc2x3::ExpressDataSet> ModelBuilder::openDataSet() const
{
    auto dataSet = std::make_unique<ifc2x3::ExpressDataSet>();
    if (!dataSet->openFromText(text())) {
        ADD_FAILURE() << dataSet->lastError().toString() << "\n" << text();
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

std::unique_ptr<IFC2x3Model> openFile(const QString& path)
{
    QString message;
    auto model = IFC2x3Model::open(path, &message);
    if (!model) {
        ADD_FAILURE() << message.toStdString();
    }
    return model;
}

QString samplePath(const QString& name)
{
    const QString path = QStringLiteral(MQ_SHARED_DIR "/samples/") + name;
    return QFileInfo::exists(path) ? path : QString();
}

// ------------------------------------------------------------- model reads

ifc2x3::IfcObjectDefinition* objectOf(const IFC2x3Model& model, int key)
{
    return dynamic_cast<ifc2x3::IfcObjectDefinition*>(model.dataSet()->get(static_cast<Step::Id>(key)));
}

QModelIndex indexOf(const IFC2x3Model& model, int key)
{
    return model.index(objectOf(model, key));
}

QVariant valueAt(const IFC2x3Model& model, int key, const QString& path)
{
    const Step::RefPtr<CoreProperty> property = model.getProperty(indexOf(model, key), path);
    return property ? property->value() : QVariant();
}

QMap<QString, double> setValues(const IFC2x3Model& model, const QModelIndex& index, const QString& setName)
{
    QMap<QString, double> values;
    const Step::RefPtr<CoreProperty> set = model.getProperty(index, QStringList{"Properties", setName});
    for (int i = 0; set && i < set->childCount(); ++i) {
        const Step::RefPtr<CoreProperty> child(set->getChildProperty(i));
        values.insert(child->name(), child->value().toDouble());
    }
    return values;
}

QMap<QString, double> setValues(const IFC2x3Model& model, int key, const QString& setName)
{
    return setValues(model, indexOf(model, key), setName);
}

int setCount(const IFC2x3Model& model, int key, const QString& setName)
{
    int count = 0;
    const Step::RefPtr<CoreProperty> sets = model.getProperty(indexOf(model, key), QStringLiteral("Properties"));
    for (int i = 0; sets && i < sets->childCount(); ++i) {
        const Step::RefPtr<CoreProperty> set(sets->getChildProperty(i));
        count += set->name() == setName ? 1 : 0;
    }
    return count;
}

StoredValue storedValue(const IFC2x3Model& model, int key, const QString& setName, const QString& propertyName)
{
    StoredValue stored;
    const Step::RefPtr<CoreProperty> property =
        model.getProperty(indexOf(model, key), QStringList{"Properties", setName, propertyName});
    const auto* node = dynamic_cast<const Orvane::_ifc2x3::IFC2x3Property*>(property.get());
    const auto* single = node ? dynamic_cast<const ifc2x3::IfcPropertySingleValue*>(node->entity()) : nullptr;
    if (!single) {
        return stored;
    }
    stored.valueType = single->argument(2).text();
    if (const auto* unit = dynamic_cast<const ifc2x3::IfcSIUnit*>(single->resolve(single->argument(3)))) {
        stored.unitPrefix = unit->getPrefix();
        stored.unitName = unit->getName();
    }
    return stored;
}

void addProperty(ifc2x3::IfcObjectDefinition* object, const QString& setName, const QString& propertyName,
                 const QVariant& value, int valueType)
{
    const bool added = Orvane::Ifc2x3CC::PropertySetUtils::addProperty(
        object, Step::String(setName.toStdWString()), Step::String(propertyName.toStdWString()), value,
        static_cast<ifc2x3::IfcValue::IfcValue_select>(valueType),
        valueType == ifc2x3::IfcValue::IfcMassMeasure ? ifc2x3::IfcSIPrefix_KILO : ifc2x3::IfcSIPrefix_UNSET, true);
    ASSERT_TRUE(added) << propertyName.toStdString();
}

// ------------------------------------------------------------------- logs

class LogCapture::Appender : public log4cplus::Appender
{
public:
    ~Appender() override { destructorImpl(); }
    void close() override {}

    std::vector<LogRecord> take(bool clear)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<LogRecord> out = m_records;
        if (clear) {
            m_records.clear();
        }
        return out;
    }

protected:
    void append(const log4cplus::spi::InternalLoggingEvent& event) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records.push_back({event.getLogLevel(), event.getMessage(), event.getFile(), event.getLine(),
                             event.getFunction(), event.getLoggerName()});
    }

private:
    std::mutex m_mutex;
    std::vector<LogRecord> m_records;
};

LogCapture::LogCapture(const char* loggerName)
    : m_logger(log4cplus::Logger::getInstance(loggerName)), m_appender(new Appender),
      m_capture(static_cast<Appender*>(m_appender.get()))
{
    m_logger.addAppender(m_appender);
}

LogCapture::~LogCapture()
{
    m_logger.removeAppender(m_appender);
}

std::vector<LogRecord> LogCapture::records() const
{
    return m_capture->take(false);
}

std::vector<std::string> LogCapture::lines() const
{
    std::vector<std::string> out;
    for (const LogRecord& record : records()) {
        const std::string level = record.level == log4cplus::ERROR_LOG_LEVEL  ? "ERROR "
                                  : record.level == log4cplus::WARN_LOG_LEVEL ? "WARN "
                                                                              : "OTHER ";
        out.push_back(level + record.message);
    }
    return out;
}

int LogCapture::count(const std::string& line) const
{
    int n = 0;
    for (const std::string& l : lines()) {
        n += l == line ? 1 : 0;
    }
    return n;
}

void LogCapture::clear()
{
    m_capture->take(true);
}

Orvane::MaterialQuantitiesSettings defaultSettings()
{
    return Orvane::MaterialQuantitiesSettings();
}

} // namespace mqtest
