// The real orvane program, on the display that run-under-xvfb.sh gives it,
// driven from outside as a user drives it: xdotool for clicks and keys, the
// window titles for what the program shows, and the files it writes.
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
const QPoint exportPmdButton(-300, -67);

bool waitUntil(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > patienceMs) {
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
            for (const QString& window : visibleWindows()) {
                if (xdotool({"getwindowname", window}) == title) {
                    found = window;
                }
            }
            return !found.isEmpty() || m_process.state() == QProcess::NotRunning;
        });
        return found;
    }

    bool windowGone(const QString& window) const
    {
        return waitUntil([&] { return !visibleWindows().contains(window); });
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

    void keys(const QString& window, const QStringList& keys) const
    {
        xdotool(QStringList{"windowfocus", "--sync", window, "key", "--delay", "50"} + keys);
    }

    void type(const QString& window, const QString& text) const
    {
        xdotool({"windowfocus", "--sync", window, "type", "--delay", "10", text});
    }

    /// The exit status once the program ended by itself, -1 otherwise.
    int exitStatus()
    {
        if (!m_process.waitForFinished(patienceMs) || m_process.exitStatus() != QProcess::NormalExit) {
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

    QProcess m_process;
};

bool holdsResults(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("'TotalMaterialQuantities'");
}

/// The names in the first column of a workbook's sheet, read by openpyxl.
QStringList firstColumn(const QString& workbook, const QString& sheet)
{
    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c",
                  "import sys, openpyxl\n"
                  "for row in openpyxl.load_workbook(sys.argv[1])[sys.argv[2]].iter_rows(values_only=True):\n"
                  "    print(row[0])\n",
                  workbook, sheet});
    python.waitForFinished(patienceMs);
    return QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
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
        if (!window.isEmpty()) {
            orvane.click(window, computeButton);
        }
        return window.isEmpty() || orvane.window("model.ifc* - Orvane").isEmpty() ? QString() : window;
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
        orvane.keys(window, {"ctrl+s"});
        EXPECT_FALSE(orvane.window("model.ifc - Orvane").isEmpty()) << "the results were not saved";
        orvane.keys(window, {"ctrl+q"});
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
    orvane.click(window, exportPmdButton);
    const QString dialog = orvane.window("Excel output file");
    ASSERT_FALSE(dialog.isEmpty());
    orvane.type(dialog, workbook);
    orvane.keys(dialog, {"Return"});
    ASSERT_TRUE(orvane.windowGone(dialog));
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(workbook).size() > 0; }));
    orvane.keys(window, {"ctrl+q"});
    EXPECT_EQ(orvane.exitStatus(), 0);
    const QStringList materials = firstColumn(workbook, "Total quantities");
    EXPECT_GE(materials.size(), 5) << materials.join(", ").toStdString();
    EXPECT_TRUE(materials.contains(QString::fromUtf8("Béton"))) << materials.join(", ").toStdString();
}

TEST_F(ApplicationTest, AFrenchRunShowsTheFrenchTexts)
{
    Orvane orvane(home, "fr_FR", {model});
    const QString window = computeInNewRun(orvane);
    ASSERT_FALSE(window.isEmpty()) << "the results were not computed";

    // The plug-in's texts, then the host's: the question asked before quitting
    // with unsaved results, answered with its default button, Save.
    orvane.click(window, exportPmdButton);
    const QString dialog = orvane.window("Fichier Excel de sortie");
    ASSERT_FALSE(dialog.isEmpty());
    orvane.keys(dialog, {"Escape"});
    ASSERT_TRUE(orvane.windowGone(dialog));
    orvane.keys(window, {"ctrl+q"});
    const QString question = orvane.window(QString::fromUtf8("Résultats non enregistrés"));
    ASSERT_FALSE(question.isEmpty());
    orvane.keys(question, {"Return"});
    EXPECT_EQ(orvane.exitStatus(), 0);
    EXPECT_TRUE(holdsResults(model));
}
