#include "platform/wallpaper_setter.h"

#include "platform/app_folders.h"
#include "platform/desktop_commands.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace quillmark {

namespace {

struct ToolRun {
    Status status;
    std::string output;
};

// "5 seconds", "0.3 seconds".
std::string seconds(std::chrono::milliseconds timeout) {
    const auto tenths = timeout.count() / 100;
    std::string out = std::to_string(tenths / 10);
    if (tenths % 10 != 0)
        out += "." + std::to_string(tenths % 10);
    return out + (tenths == 10 ? " second" : " seconds");
}

// Runs a desktop tool; any way it fails is an error naming the tool and the cause.
ToolRun runTool(const Command& command, std::chrono::milliseconds timeout) {
    const QString program = QString::fromStdString(command.program);
    if (QStandardPaths::findExecutable(program).isEmpty())
        return {Error{ErrorCode::NotFound, command.program + " is not installed"}, {}};
    QStringList arguments;
    for (const std::string& a : command.arguments)
        arguments << QString::fromStdString(a);
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    const int ms = static_cast<int>(timeout.count());
    if (!process.waitForStarted(ms))
        return {Error{ErrorCode::Other,
                      command.program + " could not be started: " + process.errorString().toStdString()},
                {}};
    if (!process.waitForFinished(ms)) {
        process.kill();
        process.waitForFinished(1000);
        return {Error{ErrorCode::Other, command.program + " did not finish within " + seconds(timeout)}, {}};
    }
    const std::string output = process.readAllStandardOutput().toStdString();
    if (process.exitStatus() != QProcess::NormalExit)
        return {Error{ErrorCode::Other, command.program + " crashed"}, output};
    if (process.exitCode() != 0) {
        std::string err = process.readAllStandardError().trimmed().toStdString();
        if (err.size() > 300)
            err.resize(300);
        return {Error{ErrorCode::Other, command.program + " failed with exit status " +
                                            std::to_string(process.exitCode()) +
                                            (err.empty() ? "" : ": " + err)},
                output};
    }
    return {Status(), output};
}

Status runAll(const std::vector<Command>& commands, std::chrono::milliseconds timeout) {
    for (const Command& c : commands)
        if (ToolRun run = runTool(c, timeout); !run.status)
            return run.status;
    return {};
}

Status setGsettingsDesktop(Desktop desktop, const std::string& imagePath, std::chrono::milliseconds timeout) {
    ToolRun options = runTool(pictureOptionsQuery(desktop), timeout);
    if (!options.status)
        return options.status;
    return runAll(gsettingsCommands(desktop, imagePath, options.output), timeout);
}

Status setXfce(const std::string& imagePath, std::chrono::milliseconds timeout) {
    ToolRun list = runTool(xfceListQuery(), timeout);
    if (!list.status)
        return list.status;
    const std::vector<Command> commands = xfceCommands(list.output, imagePath);
    if (commands.empty())
        return Error{ErrorCode::NotFound, "Xfce's desktop has no backdrop to set"};
    return runAll(commands, timeout);
}

Status setKde(const std::string& imagePath, std::chrono::milliseconds timeout) {
    ToolRun apply = runTool(plasmaApplyCommand(imagePath), timeout);
    if (apply.status || apply.status.code() != ErrorCode::NotFound)
        return apply.status;
    return runTool(plasmaScriptCommand(imagePath), timeout).status;
}

} // namespace

Status DesktopWallpaperSetter::setWallpaper(const std::string& imagePath, const QImage& picture) {
    const Desktop desktop = detectDesktop([](const char* name) { return environmentValue(name); });
    switch (desktop) {
    case Desktop::Gnome:
    case Desktop::Cinnamon:
    case Desktop::Mate:
        return setGsettingsDesktop(desktop, imagePath, m_timeout);
    case Desktop::Xfce:
        return setXfce(imagePath, m_timeout);
    case Desktop::Kde:
        return setKde(imagePath, m_timeout);
    case Desktop::Lxqt:
        return runTool(lxqtCommand(imagePath), m_timeout).status;
    case Desktop::Unknown:
        break;
    }
    // Under Wayland only the compositor draws the background, with no common way to tell it what.
    if (environmentValue("XDG_SESSION_TYPE") == "wayland" || !environmentValue("WAYLAND_DISPLAY").empty())
        return Error{ErrorCode::Other,
                     "Setting the wallpaper on this Wayland desktop is not possible; "
                     "Quillmark can set it on GNOME, Cinnamon, MATE, Xfce, KDE Plasma and LXQt"};
    if (environmentValue("DISPLAY").empty())
        return Error{ErrorCode::Other, "There is no desktop session to set the wallpaper on"};
    return paintRootWindow(picture);
}

} // namespace quillmark
