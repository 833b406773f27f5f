#include "platform/wallpaper_setter.h"

#include "platform/app_folders.h"
#include "wallpaper/desktop.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace quillmark {

namespace {

struct ToolRun {
    Status status;
    std::string output;
};

std::string describe(const Command& command) {
    return command.program;
}

// Runs a desktop tool; any way it fails is an error naming the tool and the cause.
ToolRun runTool(const Command& command) {
    const QString program = QString::fromStdString(command.program);
    if (QStandardPaths::findExecutable(program).isEmpty())
        return {Error{ErrorCode::NotFound, describe(command) + " is not installed"}, {}};
    QStringList arguments;
    for (const std::string& a : command.arguments)
        arguments << QString::fromStdString(a);
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(static_cast<int>(DesktopWallpaperSetter::kToolTimeout.count())))
        return {Error{ErrorCode::Other,
                      describe(command) + " could not be started: " + process.errorString().toStdString()},
                {}};
    if (!process.waitForFinished(static_cast<int>(DesktopWallpaperSetter::kToolTimeout.count()))) {
        process.kill();
        process.waitForFinished(1000);
        return {Error{ErrorCode::Other, describe(command) + " did not finish within 5 seconds"}, {}};
    }
    const std::string output = process.readAllStandardOutput().toStdString();
    if (process.exitStatus() != QProcess::NormalExit)
        return {Error{ErrorCode::Other, describe(command) + " crashed"}, output};
    if (process.exitCode() != 0) {
        std::string err = process.readAllStandardError().trimmed().toStdString();
        if (err.size() > 300)
            err.resize(300);
        return {Error{ErrorCode::Other, describe(command) + " failed with exit status " +
                                            std::to_string(process.exitCode()) +
                                            (err.empty() ? "" : ": " + err)},
                output};
    }
    return {Status(), output};
}

Status runAll(const std::vector<Command>& commands) {
    for (const Command& c : commands)
        if (ToolRun run = runTool(c); !run.status)
            return run.status;
    return {};
}

Status setGsettingsDesktop(Desktop desktop, const std::string& imagePath) {
    ToolRun options = runTool(pictureOptionsQuery(desktop));
    if (!options.status)
        return options.status;
    return runAll(gsettingsCommands(desktop, imagePath, options.output));
}

Status setXfce(const std::string& imagePath) {
    ToolRun list = runTool(xfceListQuery());
    if (!list.status)
        return list.status;
    const std::vector<Command> commands = xfceCommands(list.output, imagePath);
    if (commands.empty())
        return Error{ErrorCode::NotFound, "Xfce's desktop has no backdrop to set"};
    return runAll(commands);
}

Status setKde(const std::string& imagePath) {
    ToolRun apply = runTool(plasmaApplyCommand(imagePath));
    if (apply.status || apply.status.code() != ErrorCode::NotFound)
        return apply.status;
    return runTool(plasmaScriptCommand(imagePath)).status;
}

} // namespace

Status DesktopWallpaperSetter::setWallpaper(const std::string& imagePath, const QImage& picture) {
    const Desktop desktop = detectDesktop([](const char* name) { return environmentValue(name); });
    switch (desktop) {
    case Desktop::Gnome:
    case Desktop::Cinnamon:
    case Desktop::Mate:
        return setGsettingsDesktop(desktop, imagePath);
    case Desktop::Xfce:
        return setXfce(imagePath);
    case Desktop::Kde:
        return setKde(imagePath);
    case Desktop::Lxqt:
        return runTool(lxqtCommand(imagePath)).status;
    case Desktop::Unknown:
        break;
    }
    // Under Wayland only the compositor draws the background, and it has no common way
    // to be told what to show.
    if (environmentValue("XDG_SESSION_TYPE") == "wayland" || !environmentValue("WAYLAND_DISPLAY").empty())
        return Error{ErrorCode::Other,
                     "Setting the wallpaper on this Wayland desktop is not possible; "
                     "Quillmark can set it on GNOME, Cinnamon, MATE, Xfce, KDE Plasma and LXQt"};
    if (environmentValue("DISPLAY").empty())
        return Error{ErrorCode::Other, "There is no desktop session to set the wallpaper on"};
    return paintRootWindow(picture);
}

} // namespace quillmark
