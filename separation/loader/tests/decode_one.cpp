// Decodes one picture file as the program does and says what came of it: exit 0 with the size
// on a picture, 1 with the message on a refusal, 2 on anything else. The budget test runs it
// as a process of its own, so that its time and peak memory can be measured alone.

#include "platform/core/Error.h"
#include "separation/loader/PictureLoader.h"

#include <QGuiApplication>

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: loader_decode_one FILE\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        const logosmith::Picture p = logosmith::decodePictureFile(argv[1]);
        std::cout << p.width() << " x " << p.height() << "\n";
        return 0;
    } catch (const logosmith::DecodeError& e) {
        std::cout << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}
