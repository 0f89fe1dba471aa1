#include "app/CommandLine.h"

#include "app/windows/MainWindow.h"
#include "platform/ErrorGuard.h"

#include <QFileInfo>

#include <cstdio>

namespace logosmith {

namespace {

const char usage[] = "usage: logosmith [PICTURE...]\n"
                     "       logosmith --version | --help\n"
                     "Starts the logo window; each PICTURE is added to the image library as\n"
                     "\"Add Image\" adds it, in order.\n";

} // namespace

std::optional<int> answerInformationOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            break;
        if (argument == "--version") {
            std::printf("logosmith %s\n", LOGOSMITH_VERSION);
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    return std::nullopt;
}

std::optional<QStringList> pictureArguments(const QStringList& arguments) {
    QStringList pictures;
    bool optionsEnded = false;
    for (const QString& argument : arguments.mid(1)) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.startsWith('-') && argument != "-") {
            std::fprintf(stderr, "logosmith: unknown option %s\n%s", qPrintable(argument), usage);
            return std::nullopt;
        }
        pictures << QFileInfo(argument).absoluteFilePath();
    }
    return pictures;
}

void addPicturesFromCommandLine(MainWindow& window, const QStringList& pictures) {
    for (const QString& picture : pictures) {
        // A close while a message was open (the session ending) leaves the rest unadded.
        if (!window.isVisible())
            return;
        guarded([&] { window.addImageFile(picture); });
    }
}

} // namespace logosmith
