// Fuzz target: a window's stored place, show state, control values and focused control, as
// FormStorage applies them when the window is shown. Whatever the settings file holds, the
// window comes up on a screen and its values can be written back.

#include "platform/fuzz/WindowFuzzing.h"
#include "platform/widgets/FormStorage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cstdlib>

using namespace logosmith;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startWidgetApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzedSettings settings(data, size);
    for (const bool fixedSize : {true, false}) {
        QWidget window;
        auto* edit = new QLineEdit(&window);
        edit->setObjectName("Edit1");
        auto* box = new QCheckBox("Fit Scale", &window);
        box->setObjectName("CheckBox1");
        auto* slider = new QScrollBar(Qt::Horizontal, &window);
        slider->setObjectName("ScrollBar1");
        slider->setRange(0, 255);
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : std::initializer_list<QWidget*>{edit, box, slider})
            layout->addWidget(w);
        if (fixedSize)
            window.setFixedSize(300, 200);
        else
            window.resize(300, 200);
        auto* storage = new FormStorage(&window, settings.store(), "main",
                                        {"Edit1.Text", "CheckBox1.Checked", "ScrollBar1.Value",
                                         "Missing.Text", "Edit1.", ".Text", "Edit1.NoSuch"});
        window.show();
        bool onScreen = false;
        for (const QScreen* screen : QGuiApplication::screens())
            onScreen = onScreen || screen->availableGeometry().intersects(window.frameGeometry());
        if (storage->positionApplied() && !window.isMinimized() && !onScreen)
            std::abort();
        if (slider->value() < 0 || slider->value() > 255)
            std::abort();
        storage->write(false);
        window.hide();
    }
    return 0;
}
