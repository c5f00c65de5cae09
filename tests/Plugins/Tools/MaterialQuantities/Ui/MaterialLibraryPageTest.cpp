// The material library's page in the settings dialog, driven as a user
// drives it, and what reaches the application's settings.
#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialLibraryModel.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialLibrarySettingsPage.h"

#include "OrvaneWidgets/SettingsDialog.h"

#include "DefaultLocale.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Orvane::MaterialLibrary;
using Orvane::MaterialLibraryModel;
using testsupport::DefaultLocale;

const QString concrete = QStringLiteral("B\u00e9ton");

class MaterialLibraryPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings().clear();
        dialog.addPage(&page);
        dialog.show();
        ASSERT_NE(view(), nullptr);
    }
    void TearDown() override { QSettings().clear(); }

    QTableView* view() const { return dialog.findChild<QTableView*>("entriesView"); }
    QModelIndex cell(const QString& name, int column) const
    {
        const QModelIndexList found = view()->model()->match(view()->model()->index(0, MaterialLibraryModel::Name),
                                                             Qt::DisplayRole, name, 1, Qt::MatchExactly);
        return found.isEmpty() ? QModelIndex() : found.first().siblingAtColumn(column);
    }
    /// Puts text in the cell's editor, past the keystrokes a validator would refuse, and presses Return.
    void type(const QModelIndex& index, const QString& text)
    {
        ASSERT_TRUE(index.isValid());
        view()->setCurrentIndex(index);
        view()->edit(index);
        auto* editor = qobject_cast<QLineEdit*>(view()->indexWidget(index));
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits on its next turn
    }
    double density(const QString& name) const
    {
        return cell(name, MaterialLibraryModel::Density).data(Qt::EditRole).toDouble();
    }
    void click(QDialogButtonBox::StandardButton button)
    {
        dialog.findChild<QDialogButtonBox*>()->button(button)->click();
    }
    QList<MaterialLibrary::Entry> saved() const
    {
        QSettings store;
        return MaterialLibrary::userEntries(store);
    }

    DefaultLocale locale{DefaultLocale::french()};
    Orvane::MaterialLibrarySettingsPage page;
    Orvane::SettingsDialog dialog;
};

TEST_F(MaterialLibraryPage, AChangedShippedRowIsSavedAsTheUsersAndMatchedFirstAndCancelKeepsTheApplied)
{
    type(cell(concrete, MaterialLibraryModel::Density), QStringLiteral("2300"));
    EXPECT_TRUE(cell(concrete, MaterialLibraryModel::Name).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(cell(concrete, MaterialLibraryModel::Name).data(Qt::ToolTipRole).toString(),
              "Your change of a shipped entry");
    click(QDialogButtonBox::Apply);

    ASSERT_EQ(saved().size(), 1);
    EXPECT_EQ(saved().first().name, concrete);
    QSettings store;
    const MaterialLibrary library = MaterialLibrary::withSettings(store);
    const MaterialLibrary::Match match = library.match(QStringLiteral("Concrete - Cast-in-Place Concrete"));
    ASSERT_TRUE(match);
    EXPECT_TRUE(match.entry->user);
    EXPECT_EQ(match.entry->density, 2300);

    type(cell(concrete, MaterialLibraryModel::Density), QStringLiteral("2200"));
    click(QDialogButtonBox::Cancel);
    dialog.show();
    EXPECT_EQ(density(concrete), 2300);
    EXPECT_EQ(saved().first().density, 2300);
}

TEST_F(MaterialLibraryPage, RemovingTheUsersChangeBringsTheShippedEntryBackAndRemovingAnOwnEntryDropsIt)
{
    auto* remove = dialog.findChild<QPushButton*>("removeButton");
    type(cell(concrete, MaterialLibraryModel::Density), QStringLiteral("2300"));
    ASSERT_TRUE(remove->isEnabled());
    remove->click();
    EXPECT_EQ(density(concrete), 2400);
    EXPECT_FALSE(cell(concrete, MaterialLibraryModel::Name).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(remove->isEnabled());

    const int rows = view()->model()->rowCount();
    dialog.findChild<QPushButton*>("addButton")->click();
    ASSERT_EQ(view()->model()->rowCount(), rows + 1);
    view()->setCurrentIndex(view()->model()->index(rows, MaterialLibraryModel::Name));
    ASSERT_TRUE(remove->isEnabled());
    remove->click();
    EXPECT_EQ(view()->model()->rowCount(), rows);
    click(QDialogButtonBox::Apply);
    EXPECT_TRUE(saved().isEmpty());
}

TEST_F(MaterialLibraryPage, TheTestFieldShowsWhatANameMatchesWithItsDensityAsEdited)
{
    auto* result = dialog.findChild<QLabel*>("testResultLabel");
    QTest::keyClicks(dialog.findChild<QLineEdit*>("testNameEdit"), "Structural Steel S355");
    EXPECT_TRUE(result->text().contains("\"Acier\" by the pattern \"*steel*\"")) << result->text().toStdString();
    EXPECT_TRUE(result->text().contains(QLocale().toString(7850))) << result->text().toStdString();

    type(cell(QStringLiteral("Acier"), MaterialLibraryModel::Density), QStringLiteral("7800"));
    EXPECT_TRUE(result->text().contains(QLocale().toString(7800))) << result->text().toStdString();
}

TEST_F(MaterialLibraryPage, DensitiesAreNonNegativeNumbersOfTheUsersLocale)
{
    const struct
    {
        const char* typed;
        double density; // what the row holds afterwards
    } cases[] = {
        {"2350,5", 2350.5}, {"-5", 2400}, {"abc", 2400}, {"2350.5", 2400}, {"", 2400}, {"0", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        page.reject(); // back to the shipped density
        type(cell(concrete, MaterialLibraryModel::Density), QString::fromUtf8(c.typed));
        EXPECT_EQ(density(concrete), c.density);
    }
    // Nor does a negative number reach the table other than through the editor.
    EXPECT_FALSE(view()->model()->setData(cell(concrete, MaterialLibraryModel::Density), -5.0));
}

} // namespace
