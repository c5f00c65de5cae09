#include "Fixtures.h"

#include "Orvane/Ifc2x3CC/PropertySetUtils.h"

#include "ifc2x3/ExpressDataSet.h"
#include "ifc2x3/generated/Enums.h"

#include <QFileInfo>

namespace resultmodels {

const QString totalSet = QStringLiteral("TotalMaterialQuantities");

ModelText::ModelText()
{
    const int length = add("IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.)");
    const int mass = add("IFCSIUNIT(*,.MASSUNIT.,.KILO.,.GRAM.)");
    const int units = add("IFCUNITASSIGNMENT((#" + std::to_string(length) + ",#" + std::to_string(mass) + "))");
    m_project = add("IFCPROJECT('" + guid() + "',$,'Project',$,$,$,$,$,#" + std::to_string(units) + ")");
}

int ModelText::add(const std::string& record)
{
    m_data += "#" + std::to_string(m_next) + "=" + record + ";\n";
    return m_next++;
}

std::string ModelText::guid()
{
    const std::string n = std::to_string(++m_guid);
    return std::string(22 - n.size(), '0') + n;
}

int ModelText::element(const std::string& entity, const std::string& name)
{
    // Attributes after the eight of IfcElement.
    const std::string tail = entity == "IFCSLAB" ? ",$" : entity == "IFCELEMENTASSEMBLY" ? ",$,.NOTDEFINED." : "";
    return add(entity + "('" + guid() + "',$,'" + name + "',$,$,$,$,$" + tail + ")");
}

int ModelText::wallType(const std::string& name, const std::vector<int>& elements)
{
    const int type = add("IFCWALLTYPE('" + guid() + "',$,'" + name + "',$,$,$,$,$,$,.NOTDEFINED.)");
    std::string list;
    for (int element : elements) {
        list += (list.empty() ? "#" : ",#") + std::to_string(element);
    }
    add("IFCRELDEFINESBYTYPE('" + guid() + "',$,$,$,(" + list + "),#" + std::to_string(type) + ")");
    return type;
}

std::unique_ptr<ifc2x3::ExpressDataSet> ModelText::dataSet() const
{
    const std::string text = "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\n"
                             "FILE_NAME('t.ifc','2024-01-01T00:00:00',(''),(''),'','','');\n"
                             "FILE_SCHEMA(('IFC2X3'));\nENDSEC;\nDATA;\n" +
                             m_data + "ENDSEC;\nEND-ISO-10303-21;\n";
    auto data = std::make_unique<ifc2x3::ExpressDataSet>();
    if (!data->openFromText(text)) {
        ADD_FAILURE() << data->lastError().toString() << "\n" << text;
        return nullptr;
    }
    return data;
}

std::unique_ptr<IFC2x3Model> ModelText::open() const
{
    auto data = dataSet();
    return data ? std::make_unique<IFC2x3Model>(std::move(data)) : nullptr;
}

ifc2x3::IfcObjectDefinition* objectOf(const IFC2x3Model& model, int key)
{
    return dynamic_cast<ifc2x3::IfcObjectDefinition*>(model.dataSet()->get(static_cast<Step::Id>(key)));
}

QModelIndex indexOf(const IFC2x3Model& model, int key)
{
    return model.index(objectOf(model, key));
}

void addProperty(ifc2x3::IfcObjectDefinition* object, const QString& setName, const QString& name,
                 const QVariant& value, int valueType)
{
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(Orvane::Ifc2x3CC::PropertySetUtils::addProperty(
        object, Step::String(setName.toStdWString()), Step::String(name.toStdWString()), value,
        static_cast<ifc2x3::IfcValue::IfcValue_select>(valueType),
        valueType == ifc2x3::IfcValue::IfcMassMeasure ? ifc2x3::IfcSIPrefix_KILO : ifc2x3::IfcSIPrefix_UNSET, true))
        << name.toStdString();
}

void addQuantities(IFC2x3Model& model, int key, const QString& setName, const Quantities& quantities)
{
    for (const auto& [material, mass] : quantities) {
        addProperty(objectOf(model, key), setName, material, mass, ifc2x3::IfcValue::IfcMassMeasure);
    }
}

QString samplePath(const QString& name)
{
    const QString path = QStringLiteral(MQ_SHARED_DIR "/samples/") + name;
    return QFileInfo::exists(path) ? path : QString();
}

Orvane::MaterialQuantitiesSettings defaultSettings()
{
    return Orvane::MaterialQuantitiesSettings(); // main() empties the store
}

QVariantList columnValues(const QAbstractItemModel& model, int column, int role)
{
    QVariantList values;
    for (int row = 0; row < model.rowCount(); ++row) {
        values.append(model.data(model.index(row, column), role));
    }
    return values;
}

QStringList horizontalHeaders(const QAbstractItemModel& model)
{
    QStringList headers;
    for (int section = 0; section < model.columnCount(); ++section) {
        headers.append(model.headerData(section, Qt::Horizontal).toString());
    }
    return headers;
}

namespace {
QtMessageHandler previousHandler = nullptr;
int checkedModels = 0;

void failOnTesterMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category && qstrcmp(context.category, "qt.modeltest") == 0 && type >= QtWarningMsg) {
        ADD_FAILURE() << "QAbstractItemModelTester: " << message.toStdString();
    } else if (previousHandler) {
        previousHandler(type, context, message);
    }
}
} // namespace

CheckedModel::CheckedModel(QAbstractItemModel* model)
{
    if (checkedModels++ == 0) {
        previousHandler = qInstallMessageHandler(failOnTesterMessage);
    }
    m_tester =
        std::make_unique<QAbstractItemModelTester>(model, QAbstractItemModelTester::FailureReportingMode::Warning);
}

CheckedModel::~CheckedModel()
{
    m_tester.reset();
    if (--checkedModels == 0) {
        qInstallMessageHandler(previousHandler);
    }
}

void BuildingTest::SetUp()
{
    ModelText text;
    project = text.project();
    wallA = text.element("IFCWALL", "Wall A");
    wallB = text.element("IFCWALL", "Wall B");
    opening = text.element("IFCOPENINGELEMENT", "Opening");
    assembly = text.element("IFCELEMENTASSEMBLY", "Assembly");
    slab = text.element("IFCSLAB", "Slab");
    virtualElement = text.element("IFCVIRTUALELEMENT", "Virtual");
    beam = text.element("IFCBEAM", "Beam");
    text.wallType("Wall type A", {wallA, wallB});
    model = text.open();
    ASSERT_TRUE(model);
    addQuantities(*model, project, totalSet, {{"beton", 3405.0}, {"Acier", 127.5}, {"bois", 36.25}});
    addQuantities(*model, wallA, totalSet, {{"beton", 2400.0}, {"Acier", 120.5}});
    addQuantities(*model, slab, totalSet, {{"bois", 35.25}, {"beton", 1000.0}});
    addQuantities(*model, opening, totalSet, {{"beton", 5.0}});
    addQuantities(*model, assembly, totalSet, {{"Acier", 7.0}});
    addQuantities(*model, virtualElement, totalSet, {{"bois", 1.0}});

    detailed = std::make_unique<Orvane::MaterialQuantitiesProxyModel>(totalSet);
    detailed->setQuantitiesPropPathMap(
        {{sourceRow(wallA), QStringLiteral("Properties/BaseQuantities/NetVolume")}, {sourceRow(slab), "UF_UNITE"}});
    detailed->setSourceModel(model.get());
}

} // namespace resultmodels
