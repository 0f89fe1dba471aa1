// logosmith-cli: the program's picture and printer functions for scripts and batch jobs.

#include "platform/core/Error.h"
#include "tools/logosmith-cli/Subcommand.h"

#include <QGuiApplication>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

void printUsage(std::ostream& out) {
    out << "usage: logosmith-cli SUBCOMMAND ARGUMENTS...\n"
           "       logosmith-cli --version | --help\n\n";
    for (const auto& command : logosmith::cli::subcommands())
        out << "  " << command.name << (*command.usage ? " " : "") << command.usage << "\n      "
            << command.summary << "\n";
}

// Qt's own diagnostics (for example "QStandardPaths: XDG_RUNTIME_DIR not set" under cron, ssh
// or in a container) are not the tool's messages: a script's standard error carries only ours.
void dropQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg)
        std::cerr << "logosmith-cli: " << message.toStdString() << "\n";
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(dropQtMessages);
    // Metafiles are painted with Qt, which needs a GUI application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h") {
        printUsage(arguments.empty() ? std::cerr : std::cout);
        return arguments.empty() ? 2 : 0;
    }
    if (arguments[0] == "--version") {
        std::cout << "logosmith-cli " << LOGOSMITH_VERSION << "\n";
        return 0;
    }
    for (const auto& command : logosmith::cli::subcommands()) {
        if (arguments[0] != command.name)
            continue;
        // A subcommand asked for help answers with its usage, whatever else was given.
        for (std::size_t i = 1; i < arguments.size() && arguments[i] != "--"; ++i)
            if (arguments[i] == "--help" || arguments[i] == "-h") {
                std::cout << "usage: logosmith-cli " << command.name << (*command.usage ? " " : "")
                          << command.usage << "\n  " << command.summary << "\n";
                return 0;
            }
        try {
            return command.run({arguments.begin() + 1, arguments.end()}, std::cout);
        } catch (const logosmith::cli::UsageError& e) {
            std::cerr << "logosmith-cli " << command.name << ": " << e.what() << "\nusage: "
                      << "logosmith-cli " << command.name << " " << command.usage << "\n";
            return 2;
        } catch (const std::exception& e) {
            std::cerr << "logosmith-cli " << command.name << ": " << e.what() << "\n";
            return 1;
        } catch (...) {
            std::cerr << "logosmith-cli " << command.name << ": unexpected error\n";
            return 1;
        }
    }
    std::cerr << "logosmith-cli: unknown subcommand \"" << arguments[0] << "\"\n";
    printUsage(std::cerr);
    return 2;
}
