#pragma once

#include "MaterialQuantitiesSettings.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QMap>
#include <QModelIndex>
#include <QString>
#include <QVariant>

#include <gtest/gtest.h>

#include <log4cplus/appender.h>
#include <log4cplus/logger.h>

#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Readable failure messages for the Qt values the tests compare.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
template <class Key, class T> void PrintTo(const QMap<Key, T>& map, std::ostream* out)
{
    *out << "{";
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        *out << (it == map.constBegin() ? " " : ", ") << ::testing::PrintToString(it.key()) << ": "
             << ::testing::PrintToString(it.value());
    }
    *out << " }";
}

namespace mqtest {

using Orvane::_ifc2x3::IFC2x3Model;

/// The result set names of the default settings, and a material name that
/// is not ASCII.
const QString total = QStringLiteral("TotalMaterialQuantities");
const QString recovered = QStringLiteral("RecoveredMaterialQuantities");
const QString reused = QStringLiteral("ReusedMaterialQuantities");
const QString beton = QString::fromUtf8("B\u00e9ton");

// ---------------------------------------------------------------- STEP text

/// A quoted STEP string, non-ASCII characters written as \X2\...\X0\.
std::string str(const QString& text);
/// A STEP real ("2." for 2.0).
std::string real(double value);
std::string label(const QString& text);
std::string number(double value); // IFCREAL(...)
std::string mass(double value);   // IFCMASSMEASURE(...)
std::string boolean(char state);  // IFCBOOLEAN(.T.), state 'T', 'F' or 'U' (written IFCLOGICAL)
std::string qVolume(const QString& name, double value);
std::string qArea(const QString& name, double value);
std::string qLength(const QString& name, double value);

/// The inputs of a type in the default property layout (sets
/// Unite_Fonctionnelle, Pourcentage_PMIB and Réemploi); empty fields are left
/// out of the model.
struct TypeInputs
{
    QString unit;                                        // Unite_Fonctionnelle/Type, a label
    std::string massPerUnit;                             // Unite_Fonctionnelle/Masse_par_UF, a STEP value
    std::vector<std::pair<QString, std::string>> shares; // Pourcentage_PMIB children
    std::string reused;                                  // Réemploi/Réemployé, a STEP value
};

/// Writes small IFC 2x3 models as STEP text, one record per call, and opens
/// them as the host's model.
class ModelBuilder
{
public:
    /// A project with SI units (lengths in millimetres, masses in grams when
    /// asked), or no project at all.
    explicit ModelBuilder(bool withProject = true, bool millimetres = false, bool grams = false);

    /// Adds a record such as "IFCWALL(...)" and returns its key.
    int add(const std::string& record);
    std::string guid();

    int project() const { return m_project; }
    int building(const QString& name);
    int storey(int building, const QString& name);
    /// An element of that entity (IFCWALL, IFCDOOR, IFCOPENINGELEMENT...),
    /// contained in the spatial structure when one is given.
    int element(const std::string& entity, const QString& name, int container = 0);
    /// A type object of that entity (IFCWALLTYPE...) typing the elements.
    int type(const std::string& entity, const QString& name, const std::vector<int>& propertySets,
             const std::vector<int>& elements);
    int typeWith(const QString& name, const TypeInputs& inputs, const std::vector<int>& elements);
    /// Walls of one new type with these inputs, one per list of base
    /// quantities, in the container when given; the walls' keys are appended
    /// to walls and the type's key is returned.
    int typedWalls(const TypeInputs& inputs, const std::vector<std::vector<std::string>>& quantities,
                   std::vector<int>& walls, int container = 0);
    int propertySet(const QString& name, const std::vector<std::pair<QString, std::string>>& properties);
    void defineBy(int propertySet, const std::vector<int>& objects);
    void baseQuantities(int element, const std::vector<std::string>& quantities,
                        const QString& name = "BaseQuantities");
    void contain(int structure, const std::vector<int>& elements);
    void aggregate(int parent, const std::vector<int>& parts);
    void voids(int host, int opening);
    void fills(int opening, int filling);

    std::string text() const;
    /// The model of the text; fails the current test when the text does not
    /// read cleanly.
    std::unique_ptr<IFC2x3Model> open() const;
    std::unique_ptr<ifc2x3::ExpressDataSet> openDataSet() const;

private:
    int m_next = 1;
    int m_project = 0;
    int m_guid = 0;
    std::string m_data;
};

/// Opens a file as the host does; null (and a test failure) when it can't.
std::unique_ptr<IFC2x3Model> openFile(const QString& path);
/// Path of a shared sample model, empty when it is not there.
QString samplePath(const QString& name);

// ------------------------------------------------------------- model reads

QModelIndex indexOf(const IFC2x3Model& model, int key);
ifc2x3::IfcObjectDefinition* objectOf(const IFC2x3Model& model, int key);
/// The value of the property at a path from an object, invalid when absent.
QVariant valueAt(const IFC2x3Model& model, int key, const QString& path);
/// The properties of the object's first set of that name, name to value.
QMap<QString, double> setValues(const IFC2x3Model& model, const QModelIndex& index, const QString& setName);
QMap<QString, double> setValues(const IFC2x3Model& model, int key, const QString& setName);
/// Number of sets of that name the object carries.
int setCount(const IFC2x3Model& model, int key, const QString& setName);

/// How a property is stored: its IFC value type and the SI unit attached.
struct StoredValue
{
    std::string valueType; // IFCVOLUMEMEASURE...
    std::string unitPrefix;
    std::string unitName; // empty when no unit is attached
};
StoredValue storedValue(const IFC2x3Model& model, int key, const QString& setName, const QString& propertyName);

/// Adds a single-value property to an object of the model (a type, say).
void addProperty(ifc2x3::IfcObjectDefinition* object, const QString& setName, const QString& propertyName,
                 const QVariant& value, int valueType);

// ------------------------------------------------------------------- logs

struct LogRecord
{
    int level;
    std::string message;
    std::string file;
    int line;
    std::string function;
    std::string logger;
};

/// Collects the records of a logger (the calculator's by default) while alive.
class LogCapture
{
public:
    explicit LogCapture(const char* loggerName = "Orvane.Plugins.tool.MaterialQuantities");
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<LogRecord> records() const;
    /// "ERROR text" / "WARN text" per record, in order.
    std::vector<std::string> lines() const;
    int count(const std::string& line) const;
    void clear();

private:
    class Appender;
    log4cplus::Logger m_logger;
    log4cplus::SharedAppenderPtr m_appender;
    Appender* m_capture;
};

inline std::string error(const std::string& text)
{
    return "ERROR " + text;
}
inline std::string warn(const std::string& text)
{
    return "WARN " + text;
}

/// The settings record with its defaults (tests never read a user's store).
Orvane::MaterialQuantitiesSettings defaultSettings();

} // namespace mqtest
