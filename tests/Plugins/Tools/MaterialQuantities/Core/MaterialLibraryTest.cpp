// The material library: reading its table, matching IFC material names.
#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"

#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Orvane::MaterialLibrary;

const char* const table =
    "# comment\n"
    "name\tpatterns\tdensity\tsource\twaste_code\tcategory\toutlet\n"
    "B\u00e9ton\tbeton*;*concrete*\t2400\tA\t17 01 01\tinert\trecycling\n"
    "B\u00e9ton arm\u00e9\t*beton arme*;*reinforced concrete*\t2500\tA\t17 01 01\tinert\trecycling\n"
    "Acier\tacier*;*steel*\t7850\tB\t17 04 05\tnon-hazardous\trecycling\n";

TEST(MaterialLibrary, NamesMatchExactlyThenByTheMostSpecificPattern)
{
    QStringList errors;
    const MaterialLibrary library = MaterialLibrary::parse(QString::fromUtf8(table), &errors);
    ASSERT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
    ASSERT_EQ(library.entries().size(), 3);
    const struct
    {
        const char* name;
        const char* entry; // empty: no match
        MaterialLibrary::Match::How how;
    } cases[] = {
        {"B\u00e9ton", "B\u00e9ton", MaterialLibrary::Match::ExactName},
        {"  BETON  ", "B\u00e9ton", MaterialLibrary::Match::ExactName},
        {"b\u00e9ton_arm\u00e9", "B\u00e9ton arm\u00e9", MaterialLibrary::Match::ExactName},
        {"B\u00e9ton arm\u00e9 C25/30", "B\u00e9ton arm\u00e9", MaterialLibrary::Match::Pattern},
        {"Beton C25/30", "B\u00e9ton", MaterialLibrary::Match::Pattern},
        {"Reinforced Concrete - Cast-in-Place", "B\u00e9ton arm\u00e9", MaterialLibrary::Match::Pattern},
        {"Structural Steel S355", "Acier", MaterialLibrary::Match::Pattern},
        {"Bois", "", MaterialLibrary::Match::None},
        {"", "", MaterialLibrary::Match::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MaterialLibrary::Match match = library.match(QString::fromUtf8(c.name));
        EXPECT_EQ(match.how, c.how);
        EXPECT_EQ(match.entry ? match.entry->name : QString(), QString::fromUtf8(c.entry));
    }
}

TEST(MaterialLibrary, TheUsersEntriesReplaceOrComeBeforeTheShippedOnes)
{
    MaterialLibrary library = MaterialLibrary::parse(QString::fromUtf8(table));
    MaterialLibrary::Entry concrete;
    concrete.name = QStringLiteral("BETON");
    concrete.patterns = QStringList{QStringLiteral("*concrete*")};
    concrete.density = 2300;
    MaterialLibrary::Entry glulam;
    glulam.name = QStringLiteral("Lamell\u00e9-coll\u00e9");
    glulam.patterns = QStringList{QStringLiteral("*steel*")}; // wins over the shipped pattern
    library.addUserEntries({concrete, glulam});
    ASSERT_EQ(library.entries().size(), 4);
    EXPECT_EQ(library.match(QStringLiteral("b\u00e9ton")).entry->density, 2300);
    EXPECT_TRUE(library.match(QStringLiteral("b\u00e9ton")).entry->user);
    EXPECT_EQ(library.match(QStringLiteral("Stainless steel")).entry->name, glulam.name);
    // An exact shipped name still wins over a user's pattern.
    EXPECT_EQ(library.match(QStringLiteral("Acier")).entry->name, QStringLiteral("Acier"));

    QTemporaryDir folder;
    QSettings store(folder.filePath("settings.ini"), QSettings::IniFormat);
    MaterialLibrary::saveUserEntries(store, {concrete, glulam});
    const QList<MaterialLibrary::Entry> back = MaterialLibrary::userEntries(store);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back.at(1).name, glulam.name);
    EXPECT_EQ(back.at(0).density, 2300);
}

TEST(MaterialLibrary, UnreadableLinesAreLeftOutAndNamed)
{
    QStringList errors;
    const MaterialLibrary library =
        MaterialLibrary::parse(QStringLiteral("name\tpatterns\tdensity\tsource\twaste_code\tcategory\toutlet\n"
                                              "A\t\tdense\t\t\tinert\trecycling\n"
                                              "B\t\t1\t\t\tsolid\trecycling\n"
                                              "C\t\t1\t\t\tinert\tburied\n"
                                              "D\t1\n"
                                              "E\t\t1\t\t17 02 01\tnon-hazardous\treuse\n"),
                               &errors);
    ASSERT_EQ(library.entries().size(), 1);
    EXPECT_EQ(library.entries().front().name, QStringLiteral("E"));
    ASSERT_EQ(errors.size(), 4);
    EXPECT_TRUE(errors.at(0).startsWith(QStringLiteral("line 2:")));
    EXPECT_TRUE(errors.at(3).startsWith(QStringLiteral("line 5:")));
}

TEST(MaterialLibrary, TheShippedTableReadsWithoutError)
{
    QString error;
    const MaterialLibrary library = MaterialLibrary::shipped(&error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_FALSE(library.entries().isEmpty());
    EXPECT_GE(library.entries().size(), 60);
    // Chapter 17 of the European waste list; its hazardous entries carry a star.
    const QRegularExpression chapter17(QStringLiteral("^17 \\d\\d \\d\\d\\*?$"));
    QSet<QString> names;
    for (const MaterialLibrary::Entry& entry : library.entries()) {
        SCOPED_TRACE(entry.name.toStdString());
        EXPECT_GT(entry.density, 0.0);
        EXPECT_FALSE(entry.source.isEmpty());
        EXPECT_TRUE(chapter17.match(entry.wasteCode).hasMatch()) << entry.wasteCode.toStdString();
        EXPECT_EQ(entry.wasteCode.endsWith(QLatin1Char('*')), entry.category == MaterialLibrary::Category::Hazardous);
        EXPECT_FALSE(entry.patterns.isEmpty());
        EXPECT_FALSE(names.contains(MaterialLibrary::folded(entry.name))) << "named twice";
        names.insert(MaterialLibrary::folded(entry.name));
    }
}

TEST(MaterialLibrary, NamesAsAuthoringToolsWriteThemFindTheirMaterialInTheShippedTable)
{
    const MaterialLibrary library = MaterialLibrary::shipped();
    const struct
    {
        const char* name;
        const char* entry;
    } cases[] = {
        {"Concrete - Cast-in-Place Concrete", "B\u00e9ton"},
        {"Concrete, Precast", "B\u00e9ton"},
        {"B\u00e9ton arm\u00e9 C25/30", "B\u00e9ton arm\u00e9"},
        {"Stahlbeton C30/37", "B\u00e9ton arm\u00e9"},
        {"Concrete Masonry Units", "Bloc b\u00e9ton"},
        {"Parpaing creux 20", "Bloc b\u00e9ton"},
        {"Aerated concrete block", "B\u00e9ton cellulaire"},
        {"Structural Steel S355", "Acier"},
        {"Profil\u00e9 acier S235", "Acier"},
        {"Stainless Steel", "Acier inoxydable"},
        {"Edelstahl", "Acier inoxydable"},
        {"Metal - Aluminum", "Aluminium"},
        {"Timber", "Bois massif"},
        {"Wood - Sheathing - plywood", "Contreplaqu\u00e9"},
        {"Glued laminated timber GL24h", "Lamell\u00e9-coll\u00e9"},
        {"OSB 3", "OSB"},
        {"Gypsum Wall Board", "Plaque de pl\u00e2tre"},
        {"Plaque de pl\u00e2tre BA13", "Plaque de pl\u00e2tre"},
        {"Gypsum Plaster", "Pl\u00e2tre"},
        {"Rigid insulation", "Polystyr\u00e8ne expans\u00e9"},
        {"XPS 300", "Polystyr\u00e8ne extrud\u00e9"},
        {"Laine de verre 100 mm", "Laine de verre"},
        {"Steinwolle", "Laine de roche"},
        {"Brick, Common", "Brique"},
        {"Brique creuse terre cuite", "Brique creuse"},
        {"Roof tile", "Tuile"},
        {"Ceramic tile", "Carrelage, c\u00e9ramique"},
        {"Glass", "Verre"},
        {"Glass, Clear Glazing", "Vitrage"},
        {"Fibre-ciment amiant\u00e9", "Amiante-ciment"},
        {"Asbestos cement sheet", "Amiante-ciment"},
        {"Fibre cement cladding", "Fibre-ciment"},
        {"Sandwich panel", ""},
        {"Textile", ""},
        {"Retaining wall", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MaterialLibrary::Match match = library.match(QString::fromUtf8(c.name));
        EXPECT_EQ(match.entry ? match.entry->name : QString(), QString::fromUtf8(c.entry))
            << match.pattern.toStdString();
    }
}

} // namespace
