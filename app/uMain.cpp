#include "uMain.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle("KORVANT MRX-310 Logosmith");
}

void TForm1::formCreate() {}
