// corvane-sonabel [FILE]
// corvane-sonabel --screenshot OUT.png [--show WINDOW] [FILE]
// corvane-sonabel --quit-after-first-paint
#include "app/appcorecontroller.h"
#include "app/singleinstance.h"
#include "app/startuptimer.h"
#include "core/environment/editingstate.h"
#include "core/environment/logging.h"
#include "core/environment/terminationwatch.h"
#include "core/notification/notificationcenter.h"
#include "ui/fonts/fontsubstitutions.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/mainwindow/vymainwindowcontroller.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

struct Arguments {
    QString file;
    QString screenshot;
    QString show; // a window opened over the main window for the screenshot
    bool quitAfterFirstPaint = false;
    [[nodiscard]] bool runsAlone() const { return !screenshot.isEmpty() || quitAfterFirstPaint; }
};

// The program's options, read the same way before and after the QApplication exists.
struct CommandLine {
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    // The command's own name, not the settings' application name, as a version line goes.
    const QCommandLineOption version { { QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Displays version information.") };
    const QCommandLineOption screenshot { QStringLiteral("screenshot"),
        QStringLiteral("Render the main window into OUT.png once FILE is loaded, then quit."),
        QStringLiteral("OUT.png") };
    const QCommandLineOption firstPaint { QStringLiteral("quit-after-first-paint"),
        QStringLiteral("Print the milliseconds to the first paint of the main window and quit.") };
    const QCommandLineOption show { QStringLiteral("show"),
        QStringLiteral("With --screenshot: open WINDOW (ringtone-name, groove-box or recorder) once FILE "
                       "is loaded and render that window instead."),
        QStringLiteral("WINDOW") };

    CommandLine()
    {
        parser.setApplicationDescription(QStringLiteral("Makes ringtones from any audio or video file."));
        parser.addOption(version);
        parser.addOption(screenshot);
        parser.addOption(firstPaint);
        parser.addOption(show);
        parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("An audio or video file to open."));
    }
};

[[noreturn]] void printVersion()
{
    std::printf("corvane-sonabel %s\n", SONABEL_VERSION);
    std::fflush(stdout);
    std::exit(0);
}

// --help and --version only print, and answer where there is no display: the version
// before any application object, the help on the offscreen platform.
void printWithoutDisplay(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Qt's own options (-platform ...) fail this read; they are then left to the
    // read of what the QApplication leaves.
    CommandLine line;
    if (!line.parser.parse(arguments))
        return;
    if (line.parser.isSet(line.version))
        printVersion();
    if (line.parser.isSet(line.help))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

Arguments parse(const QApplication& app)
{
    CommandLine line;
    line.parser.process(app);
    if (line.parser.isSet(line.version))
        printVersion();
    Arguments arguments;
    if (!line.parser.positionalArguments().isEmpty())
        arguments.file = QFileInfo(line.parser.positionalArguments().constFirst()).absoluteFilePath();
    arguments.screenshot = line.parser.value(line.screenshot);
    arguments.quitAfterFirstPaint = line.parser.isSet(line.firstPaint);
    arguments.show = line.parser.value(line.show);
    return arguments;
}

// A run of its own: a temporary folder and a mount point nobody else uses, so it cannot
// disturb a running copy of the program.
std::unique_ptr<QTemporaryDir> makeOwnWorld()
{
    auto world = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/corvane-sonabel-run-XXXXXX"));
    if (!world->isValid())
        return nullptr;
    QDir(world->path()).mkpath(QStringLiteral("tmp"));
    QDir(world->path()).mkpath(QStringLiteral("mnt"));
    qputenv("TMPDIR", QFile::encodeName(world->filePath(QStringLiteral("tmp"))));
    qputenv("SONABEL_MOUNT_POINT", QFile::encodeName(world->filePath(QStringLiteral("mnt/.SonabelMedia"))));
    return world;
}

void loadAtStart(const QString& file)
{
    // Once the event loop runs, through the one loading path.
    QTimer::singleShot(0, [file] {
        NotificationCenter::defaultCenter().post(
            MainWindowNote::LoadChildItemInAudioEditView, nullptr, loadRequest(file));
    });
}

// Opens the window the pictures of the user guide show beside the main window; false
// for a name it does not know.
bool openForPicture(VyMainWindowController* window, const QString& name)
{
    if (name == u"ringtone-name")
        window->createRingtone();
    else if (name == u"groove-box")
        window->clickGrooveBox();
    else if (name == u"recorder")
        window->clickRecorder();
    else
        return false;
    return true;
}

void takeScreenshot(VyMainWindowController* window, const QString& out, const QString& show)
{
    if (!show.isEmpty() && !openForPicture(window, show)) {
        std::fprintf(stderr, "--show: no window named %s\n", qPrintable(show));
        window->allowClose();
        QCoreApplication::exit(2);
        return;
    }
    // Let the layout settle after the load before rendering; a window just opened reads
    // its file first.
    QTimer::singleShot(show.isEmpty() ? 150 : 1000, window, [window, out, show] {
        // The window just opened is the topmost modal one (or an alert it raised).
        QWidget* shown = show.isEmpty() ? nullptr : QApplication::activeModalWidget();
        const bool saved = (shown != nullptr ? shown : static_cast<QWidget*>(window))->grab().save(out, "PNG");
        if (!saved)
            std::fprintf(stderr, "cannot write the screenshot %s\n", qPrintable(out));
        else
            std::printf("%s\n", qPrintable(out));
        std::fflush(stdout);
        window->allowClose();
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

} // namespace

int main(int argc, char** argv)
{
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Sonabel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvane Sonabel"));
    QApplication::setApplicationVersion(QStringLiteral(SONABEL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.corvane.Sonabel"));
    printWithoutDisplay(argc, argv);
    QApplication app(argc, argv);
    installFontSubstitutions();
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/corvane-sonabel.svg")));
    const Arguments arguments = parse(app);
    logging::install();
    // A logout, a service manager or Ctrl+C ends the program through the shutdown Quit
    // runs, without its question: the mount helper stops and the temporary folder goes.
    // Watched from the start; a signal is acted on once the event loop runs.
    TerminationWatch termination;

    AppCoreController::Options options;
    std::unique_ptr<QTemporaryDir> ownWorld;
    std::unique_ptr<SingleInstance> instance;
    if (arguments.runsAlone()) {
        ownWorld = makeOwnWorld();
        if (!ownWorld) {
            std::fprintf(stderr, "cannot make a temporary folder\n");
            return 1;
        }
        options.launchMountHelper = false;
        options.automaticUpdateCheck = false;
        options.fadeIn = false;
        options.launchSound = false;
    } else {
        instance = std::make_unique<SingleInstance>();
        if (instance->claim() == SingleInstance::Role::Secondary) {
            if (instance->handOver(arguments.file))
                return 0;
            std::fprintf(stderr, "Corvane Sonabel is already running but does not answer.\n");
            return 1;
        }
    }

    AppCoreController core(options);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &core, &AppCoreController::applicationWillTerminate);
    core.appFinishLaunched();
    VyMainWindowController* window = core.mainWindowController();
    QObject::connect(&termination, &TerminationWatch::terminationRequested, window, [window] {
        window->allowClose();
        QCoreApplication::quit();
    });

    if (instance) {
        QObject::connect(
            instance.get(), &SingleInstance::fileHandedOver, window, &VyMainWindowController::openFromOutside);
        QObject::connect(instance.get(), &SingleInstance::activationRequested, window,
            &VyMainWindowController::makeSelfWindowBecomeKey);
    }
    if (arguments.quitAfterFirstPaint) {
        QObject::connect(window, &VyMainWindowController::firstPaint, window, [window] {
            std::printf("first paint after %.1f ms\n", millisecondsSinceProcessStart());
            std::fflush(stdout);
            window->allowClose();
            QCoreApplication::exit(0);
        });
    } else if (!arguments.screenshot.isEmpty()) {
        if (arguments.file.isEmpty()) {
            QObject::connect(window, &VyMainWindowController::firstPaint, window,
                [window, out = arguments.screenshot, show = arguments.show] { takeScreenshot(window, out, show); });
        } else {
            QObject::connect(window, &VyMainWindowController::fileLoaded, window,
                [window, out = arguments.screenshot, show = arguments.show] { takeScreenshot(window, out, show); });
            QObject::connect(window, &VyMainWindowController::fileRefused, window,
                [window](const QString& path, const QString& message) {
                    std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(message));
                    window->allowClose();
                    QCoreApplication::exit(1);
                });
        }
    }
    if (!arguments.file.isEmpty())
        loadAtStart(arguments.file);

    const int code = app.exec();
    core.applicationWillTerminate(); // when the loop was left without aboutToQuit
    if (!core.workersStopped()) {
        // A worker still runs: leave without destructors that would wait for it.
        std::fflush(stdout);
        std::fflush(stderr);
        ::_exit(code);
    }
    return code;
}
