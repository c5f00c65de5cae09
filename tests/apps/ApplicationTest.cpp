// The real orvane program, on the display that run-under-xvfb.sh gives it,
// driven from outside as a user drives it: xdotool for clicks and keys, the
// window titles for what the program shows, and the files it writes.
#include "Sheet.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

#include <gtest/gtest.h>

namespace {

const int patienceMs = 120000;

// Where the dock's buttons are, from the main window's top and bottom right
// corners: the dock fills the right of the window at its first start.
const QPoint computeButton(-300, 122);
const QPoint exportPmdButton(-300, -99);

bool waitUntil(const std::function<bool()>& condition, int patience = patienceMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > patience) {
            return false;
        }
        QThread::msleep(100);
    }
    return true;
}

/// Runs an X tool; its output, empty when it fails.
QString xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput()).trimmed() : QString();
}

/// One run of the program with a home of its own, so that the user's
/// settings and recent files stay untouched and every run starts afresh.
class Orvane
{
public:
    Orvane(const QString& home, const QString& language, const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "ORVANE_PLUGIN_PATH"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert("HOME", home);
        environment.insert("XDG_CONFIG_HOME", home + "/config");
        environment.insert("XDG_DATA_HOME", home + "/data");
        environment.insert("XDG_RUNTIME_DIR", home);
        environment.insert("LANG", language + ".UTF-8");
        environment.insert("LANGUAGE", language.left(2));
        environment.insert("QT_QPA_PLATFORM", "xcb");
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(QStringLiteral(ORVANE_PROGRAM), arguments);
    }

    ~Orvane()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    /// The program's visible window of that title, empty if none comes.
    QString window(const QString& title) const
    {
        QString found;
        waitUntil([&] {
            found = shownWindow(title);
            return !found.isEmpty() || !running();
        });
        return found;
    }

    QString shownWindow(const QString& title) const
    {
        for (const QString& window : visibleWindows()) {
            if (xdotool({"getwindowname", window}) == title) {
                return window;
            }
        }
        return {};
    }

    bool running() const { return !m_process.waitForFinished(0) && m_process.state() != QProcess::NotRunning; }

    /// Repeats what the user does until its effect shows: a click or key that
    /// comes while Qt moves the focus between the program's windows, which it
    /// does itself some time after showing one, is lost.
    static bool until(const std::function<void()>& action, const std::function<bool()>& effect)
    {
        const int attempts = 5;
        const int attemptPatienceMs = 5000;
        for (int attempt = 0; attempt < attempts; ++attempt) {
            action();
            if (waitUntil(effect, attemptPatienceMs)) {
                return true;
            }
        }
        return waitUntil(effect);
    }

    /// Answers a dialog with a key, after typing text into its focused field.
    bool answer(const QString& dialog, const QString& key, const QString& text = QString()) const
    {
        return until(
            [&] {
                if (!text.isEmpty()) {
                    xdotool({"key", "ctrl+a"});
                    xdotool({"type", "--delay", "10", text});
                }
                xdotool({"key", key});
                xdotool({"windowfocus", dialog}); // for the next attempt
            },
            [&] { return !visibleWindows().contains(dialog); });
    }

    /// Clicks at offset from the window's top right corner, or its bottom
    /// right one for a negative y.
    void click(const QString& window, const QPoint& offset) const
    {
        const QStringList geometry = xdotool({"getwindowgeometry", "--shell", window}).split('\n');
        const int width = geometry.filter("WIDTH=").value(0).section('=', 1).toInt();
        const int height = geometry.filter("HEIGHT=").value(0).section('=', 1).toInt();
        const int y = offset.y() < 0 ? height + offset.y() : offset.y();
        xdotool(
            {"mousemove", "--window", window, QString::number(width + offset.x()), QString::number(y), "click", "1"});
    }

    /// A key for the main window, focused first: without a window manager
    /// nobody gives it the focus back when a dialog closes.
    void key(const QString& window, const QString& key) const
    {
        xdotool({"windowfocus", "--sync", window, "key", key});
    }

    /// The exit status once the program ended by itself, -1 otherwise.
    int exitStatus()
    {
        if ((running() && !m_process.waitForFinished(patienceMs)) || m_process.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return m_process.exitCode();
    }

private:
    QStringList visibleWindows() const
    {
        return xdotool({"search", "--onlyvisible", "--pid", QString::number(m_process.processId())})
            .split('\n', Qt::SkipEmptyParts);
    }

    /// Mutable: without an event loop only its waits notice that it ended.
    mutable QProcess m_process;
};

bool holdsResults(const QString& fileName)
{
    return testsupport::readFile(fileName).contains("'TotalMaterialQuantities'");
}

class ApplicationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("xdotool").isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY")) {
            GTEST_SKIP() << "needs xdotool and a display (run-under-xvfb.sh)";
        }
        ASSERT_TRUE(QFile::copy(MQ_SOURCE_DIR "/samples/small-building.ifc", model));
        ASSERT_TRUE(QDir().mkpath(home));
        ASSERT_TRUE(QFile::setPermissions(home, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    /// Starts the program on the model and computes its material quantities
    /// through the dock's button; the window's title, empty on failure.
    QString computeInNewRun(Orvane& orvane)
    {
        const QString window = orvane.window("model.ifc - Orvane");
        const bool computed =
            !window.isEmpty() && Orvane::until([&] { orvane.click(window, computeButton); },
                                               [&] { return !orvane.shownWindow("model.ifc* - Orvane").isEmpty(); });
        return computed ? window : QString();
    }

    /// The dialog of that title that the button at offset opens.
    static QString openDialog(const Orvane& orvane, const QString& window, const QPoint& offset, const QString& title)
    {
        Orvane::until([&] { orvane.click(window, offset); }, [&] { return !orvane.shownWindow(title).isEmpty(); });
        return orvane.shownWindow(title);
    }

    static void quit(const Orvane& orvane, const QString& window)
    {
        Orvane::until([&] { orvane.key(window, "ctrl+q"); }, [&] { return !orvane.running(); });
    }

    QTemporaryDir folder;
    const QString model = folder.filePath("model.ifc");
    const QString home = folder.filePath("home");
};

} // namespace

TEST_F(ApplicationTest, ComputedResultsAreSavedAndShownAgainWhenTheModelIsReopened)
{
    {
        Orvane orvane(home, "en_US", {model});
        const QString window = computeInNewRun(orvane);
        ASSERT_FALSE(window.isEmpty()) << "the results were not computed";
        EXPECT_TRUE(Orvane::until([&] { orvane.key(window, "ctrl+s"); },
                                  [&] { return !orvane.shownWindow("model.ifc - Orvane").isEmpty(); }))
            << "the results were not saved";
        quit(orvane, window);
        ASSERT_EQ(orvane.exitStatus(), 0);
    }
    ASSERT_TRUE(holdsResults(model));
    QProcess ifcinfo;
    ifcinfo.start(IFCINFO_PROGRAM, {model});
    ASSERT_TRUE(ifcinfo.waitForFinished(patienceMs));
    EXPECT_EQ(ifcinfo.exitCode(), 0) << ifcinfo.readAllStandardOutput().toStdString();

    // The quantities workbook holds what the dock shows.
    const QString workbook = folder.filePath("totals.xlsx");
    Orvane orvane(home, "en_US", {model});
    const QString window = orvane.window("model.ifc - Orvane");
    ASSERT_FALSE(window.isEmpty());
    const QString dialog = openDialog(orvane, window, exportPmdButton, "Excel output file");
    ASSERT_FALSE(dialog.isEmpty());
    ASSERT_TRUE(orvane.answer(dialog, "Return", workbook));
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(workbook).size() > 0; }));
    quit(orvane, window);
    EXPECT_EQ(orvane.exitStatus(), 0);
    const QList<testsupport::Sheet> sheets = testsupport::Sheet::readWorkbook(workbook);
    ASSERT_EQ(testsupport::Sheet::names(sheets).value(0), "Total quantities");
    QVariantList materials;
    for (const QVariantList& row : sheets[0].rows) {
        materials.append(row.value(0));
    }
    EXPECT_GE(materials.size(), 5);
    EXPECT_TRUE(materials.contains(QString::fromUtf8("Béton")));
}

TEST_F(ApplicationTest, AFrenchRunShowsTheFrenchTexts)
{
    Orvane orvane(home, "fr_FR", {model});
    const QString window = computeInNewRun(orvane);
    ASSERT_FALSE(window.isEmpty()) << "the results were not computed";

    // The plug-in's texts, then the host's: the question asked before quitting
    // with unsaved results, answered with its default button, Save.
    const QString dialog = openDialog(orvane, window, exportPmdButton, "Fichier Excel de sortie");
    ASSERT_FALSE(dialog.isEmpty());
    ASSERT_TRUE(orvane.answer(dialog, "Escape"));
    const QString title = QString::fromUtf8("Résultats non enregistrés");
    ASSERT_TRUE(
        Orvane::until([&] { orvane.key(window, "ctrl+q"); }, [&] { return !orvane.shownWindow(title).isEmpty(); }));
    const QString question = orvane.shownWindow(title);
    ASSERT_TRUE(orvane.answer(question, "Return"));
    EXPECT_EQ(orvane.exitStatus(), 0);
    EXPECT_TRUE(holdsResults(model));
}
