#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

class QSettings;

namespace Orvane {

/// Construction materials with what a model lacks to compute and report
/// them: density, European waste-list code, waste category and default
/// outlet. The shipped table (share/orvane/materials/materials.tsv) comes
/// first; the user's own entries, kept in the settings, add to it and
/// replace the shipped entries of the same name.
///
/// An IFC material name is matched by exact name first (case, accents and
/// spacing aside), then by pattern: wildcards (* and ?) over the same
/// folded name, the most specific pattern winning. The user's entries are
/// tried before the shipped ones at each step.
class MaterialLibrary
{
    Q_DECLARE_TR_FUNCTIONS(Orvane::MaterialLibrary)
public:
    enum class Category { Inert, NonHazardous, Hazardous };
    enum class Outlet { Reuse, Recycling, EnergyRecovery, Disposal };

    struct Entry
    {
        QString name;
        /// Wildcard patterns in the languages of the models read.
        QStringList patterns;
        /// kg/m³; 0 when unknown.
        double density = 0.0;
        /// Where the density comes from.
        QString source;
        /// European waste list, "17 01 01" say.
        QString wasteCode;
        Category category = Category::NonHazardous;
        Outlet outlet = Outlet::Recycling;
        /// The user's own, or a user's change of a shipped one.
        bool user = false;

        bool operator==(const Entry& other) const;
    };

    struct Match
    {
        enum How { None, ExactName, Pattern };
        How how = None;
        /// Valid while the library lives; null when nothing matched.
        const Entry* entry = nullptr;
        /// The pattern that matched.
        QString pattern;

        explicit operator bool() const { return entry != nullptr; }
        /// How the name was matched, as the user reads it.
        QString description() const;
    };

    MaterialLibrary() = default;
    /// The table shipped with the application; empty, with *error set, when
    /// it cannot be read.
    static MaterialLibrary shipped(QString* error = nullptr);
    /// The shipped table with the user's entries of the settings store.
    static MaterialLibrary withSettings(QSettings& store, QString* error = nullptr);
    /// Where the shipped table is installed.
    static QString shippedFile();
    /// Reads a table; the entries of lines that cannot be read are left
    /// out and named in *errors ("line 12: ...").
    static MaterialLibrary parse(const QString& text, QStringList* errors = nullptr);
    /// The table as parse() reads it back.
    static QString format(const QList<Entry>& entries);

    /// The user's entries of a settings store, and saving them there.
    static QList<Entry> userEntries(QSettings& store);
    static void saveUserEntries(QSettings& store, const QList<Entry>& entries);

    /// Adds the user's entries, each replacing a shipped one of the same name.
    void addUserEntries(const QList<Entry>& entries);
    const QList<Entry>& entries() const { return m_entries; }
    Match match(const QString& materialName) const;

    /// A name as matching compares it: lower case, without accents,
    /// spaces, dashes and underscores as single spaces, trimmed.
    static QString folded(const QString& name);

    static QString categoryKey(Category category);
    static QString outletKey(Outlet outlet);
    static bool categoryFromKey(const QString& key, Category* category);
    static bool outletFromKey(const QString& key, Outlet* outlet);
    /// As the user reads them.
    static QString categoryText(Category category);
    static QString outletText(Outlet outlet);

private:
    const Entry* exactMatch(const QString& folded, bool user) const;
    Match patternMatch(const QString& folded, bool user) const;

    QList<Entry> m_entries;
};

} // namespace Orvane
