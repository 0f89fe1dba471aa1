#pragma once

#include <QProgressBar>
#include <cstddef>

class QTimer;

// How far a send of Store or Print has come. A send that is over in a moment shows no bar at
// all: it appears only after half a second.
class SendProgressBar : public QProgressBar {
    Q_OBJECT
  public:
    explicit SendProgressBar(QWidget* parent);

    void begin(qint64 size);
    void advance(std::size_t size);
    void end();

  private:
    QTimer* delay_ = nullptr;
};
