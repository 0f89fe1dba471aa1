#include "app/windows/SendProgressBar.h"

#include <QTimer>
#include <algorithm>
#include <climits>

SendProgressBar::SendProgressBar(QWidget* parent) : QProgressBar(parent) {
    hide();
    delay_ = new QTimer(this);
    delay_->setSingleShot(true);
    delay_->setInterval(500);
    connect(delay_, &QTimer::timeout, this, &QWidget::show);
}

void SendProgressBar::begin(qint64 size) {
    setRange(0, int(std::min<qint64>(size, INT_MAX)));
    setValue(0);
    delay_->start();
}

void SendProgressBar::advance(std::size_t size) {
    setValue(value() + int(size));
}

void SendProgressBar::end() {
    delay_->stop();
    hide();
}
